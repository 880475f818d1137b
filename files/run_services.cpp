#include "files/run_services.h"

#include <sys/stat.h>

#include <cerrno>

#include "files/elapsed.h"
#include "files/paths.h"
#include "files/result_location.h"
#include "files/shell.h"
#include "files/text_file.h"
#include "platform/error_text.h"
#include "platform/file_io.h"

namespace lct {
namespace {

std::string withoutTrailingSlash(std::string_view folder) {
    std::string path(folder);
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

}  // namespace

bool FileRunServices::isFile(std::string_view path) {
    struct stat st {};
    return !path.empty() && ::stat(std::string(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::uint64_t FileRunServices::sizeOf(std::string_view path) {
    struct stat st {};
    if (::stat(std::string(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
    return static_cast<std::uint64_t>(st.st_size);
}

ArticleFile FileRunServices::read(std::string_view path, TextEncoding requested, bool replaceGzip) {
    TextFile file =
        readTextFile(path, requested, replaceGzip ? GzipFile::Replace : GzipFile::InMemory);
    // A decompression writes beside the input: a killed one may have left its
    // temporary file there.
    if (file.decompressed) clearOnce(folderOfPath(path));
    return {std::move(file.text), file.detected, file.lineBreaks, std::move(file.error)};
}

bool FileRunServices::write(std::string_view path, std::string_view text, TextEncoding encoding,
                            LineBreaks lineBreaks, std::string& error) {
    return writeTextFile(path, text, encoding, lineBreaks, &error);
}

bool FileRunServices::createResultFolder(std::string_view folder, bool& created,
                                         std::string& error) {
    const std::string path = withoutTrailingSlash(folder);
    created = false;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        // Only the result folder itself is made: a missing folder above it
        // means the first input's folder is gone, and nothing is created there.
        if (::mkdir(path.c_str(), 0777) == 0) {
            created = true;
        } else if (errno != EEXIST) {
            error = errorText(errno);
            return false;
        }
        if (::stat(path.c_str(), &st) != 0) {
            error = errorText(errno);
            return false;
        }
    }
    if (!S_ISDIR(st.st_mode)) {
        error = "已有同名的文件占用了这个位置";
        return false;
    }
    // A new folder holds nothing to clear.
    if (created) {
        const std::lock_guard lock(clearedMutex_);
        cleared_.insert(path);
    } else {
        clearOnce(path);
    }
    return true;
}

bool FileRunServices::isFolder(std::string_view path) {
    struct stat st {};
    return !path.empty() && ::stat(std::string(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string FileRunServices::fileIdentity(std::string_view path, bool followLinks) {
    struct stat st {};
    const std::string name(path);
    const int rc = followLinks ? ::stat(name.c_str(), &st) : ::lstat(name.c_str(), &st);
    if (rc != 0) return {};
    return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

std::string FileRunServices::resultFolder(std::string_view firstPath) {
    return resultFolderOf(firstPath);
}

std::string FileRunServices::titleOf(std::string_view path) {
    return titleOfPath(path);
}

std::string FileRunServices::resultPath(std::string_view folder, std::string_view gbkTitle,
                                        std::string_view gbkNewExtension,
                                        std::string_view inputPath, int copy) {
    return resultFilePath(folder, gbkTitle, gbkNewExtension, inputPath, copy);
}

std::string FileRunServices::elapsedText(std::int64_t milliseconds) {
    return lct::elapsedText(milliseconds);
}

void FileRunServices::openFolder(std::string_view folder) {
    // Showing the results is a courtesy after the run: a desktop without a
    // file browser changes nothing of them, and the run has said where they are.
    static_cast<void>(openFolderInShell(folder));
}

void FileRunServices::clearOnce(const std::string& folder) {
    const std::string key = withoutTrailingSlash(folder.empty() ? "." : folder);
    {
        const std::lock_guard lock(clearedMutex_);
        if (!cleared_.insert(key).second) return;
    }
    removeStaleTemporaryFiles(key);
}

}  // namespace lct
