#include "files/run_services.h"

#include <sys/stat.h>

#include "files/batch_report.h"
#include "files/elapsed.h"
#include "files/result_location.h"
#include "files/shell.h"
#include "files/text_file.h"
#include "platform/error_text.h"
#include "platform/file_io.h"
#include "platform/path_parts.h"

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

ArticleFile FileRunServices::read(std::string_view path, TextEncoding requested,
                                  const KeepAlive& keepAlive) {
    TextFile file = readTextFile(path, requested, keepAlive);
    return {std::move(file.text), file.detected, file.lineBreaks, std::move(file.error),
            file.compressed};
}

bool FileRunServices::write(std::string_view path, std::string_view text,
                            const ResultFormat& format, std::string& error) {
    // A big article is not held twice when its result is its text as it is.
    std::optional<std::string> encoded;
    if (!resultIsText(format)) {
        encoded = resultBytes(path, text, format, error);
        if (!encoded) return false;
    }
    const std::string_view bytes = encoded ? std::string_view(*encoded) : text;
    std::string_view below;
    const int folder = resultFolderFd(path, below);
    if (folder < 0)
        return writeFileAtomically(path, bytes, Durability::Cached, LinkTarget::Replace, &error);
    // The folders between are opened one below the other, so that a link
    // planted among them never leads the result elsewhere.
    UniqueFd level;
    int at = folder;
    for (std::size_t slash = below.find('/'); slash != std::string_view::npos;
         slash = below.find('/')) {
        const std::string_view name = below.substr(0, slash);
        below.remove_prefix(slash + 1);
        if (name.empty() || name == ".") continue;
        bool created = false;
        std::string why;
        UniqueFd next = openWritableFolderAt(at, name, created, &why);
        if (!next) {
            error = "无法创建结果文件夹中的 " + std::string(name) + "：" + why;
            return false;
        }
        level = std::move(next);
        at = level.get();
    }
    return writeFileInFolder(at, below, bytes, Durability::Cached, &error);
}

bool FileRunServices::createResultFolder(std::string_view folder, bool& created,
                                         std::string& error) {
    const std::string path = withoutTrailingSlash(folder);
    UniqueFd fd = openWritableFolder(path, created, &error);
    if (!fd) return false;
    // A new folder holds nothing to clear.
    if (!created) removeStaleTemporaryFiles(fd.get());
    const std::lock_guard lock(mutex_);
    resultFolders_.insert_or_assign(path, std::move(fd));
    return true;
}

int FileRunServices::resultFolderFd(std::string_view path, std::string_view& below) {
    const std::lock_guard lock(mutex_);
    for (const auto& [folder, fd] : resultFolders_) {
        if (path.size() > folder.size() && path.starts_with(folder) && path[folder.size()] == '/') {
            below = path.substr(folder.size() + 1);
            return fd.get();
        }
    }
    return -1;
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

std::string FileRunServices::resultPathAt(std::string_view folder, std::string_view relativePath,
                                          std::string_view gbkNewExtension, int copy) {
    return resultFilePathAt(folder, relativePath, gbkNewExtension, copy);
}

std::string FileRunServices::elapsedText(std::int64_t milliseconds) {
    return lct::elapsedText(milliseconds);
}

bool FileRunServices::openFolder(std::string_view folder) {
    return openFolderInShell(folder);
}

bool FileRunServices::writeReport(std::string_view path, const std::vector<InputOutcome>& outcomes,
                                  std::string& error) {
    const std::string bytes = batchReportText(outcomes, reportFormatOf(path));
    std::string_view below;
    if (const int folder = resultFolderFd(path, below);
        folder >= 0 && below.find('/') == std::string_view::npos)
        return writeFileInFolder(folder, below, bytes, Durability::Synced, &error);
    return writeProgramOutput(path, bytes, &error);
}

}  // namespace lct
