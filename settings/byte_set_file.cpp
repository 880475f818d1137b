#include "settings/byte_set_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/charset.h"
#include "platform/error_text.h"
#include "platform/file_io.h"
#include "platform/path_parts.h"

namespace lct {
namespace {

bool isSafeName(std::string_view name) {
    return name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

bool ensureFolder(const std::string& folder) {
    if (::mkdir(folder.c_str(), 0777) == 0) return true;
    if (errno != EEXIST) return false;
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) return false;
    if (S_ISDIR(st.st_mode)) return true;
    errno = ENOTDIR;
    return false;
}

}  // namespace

std::string byteSetPath(std::string_view settingsPath, std::string_view section,
                        std::string_view key) {
    if (settingsPath.empty() || !isSafeName(section) || !isSafeName(key)) return {};
    std::string path = folderOf(settingsPath);
    if (path.back() != '/') path += '/';
    path += "inibin/";
    path += gbkToUtf8(section, InvalidBytes::Preserve);
    path += '-';
    path += gbkToUtf8(key, InvalidBytes::Preserve);
    path += ".ibn";
    return path;
}

std::optional<std::string> readByteSetFile(const std::string& path) {
    if (path.empty()) return std::nullopt;
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd) return std::nullopt;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    std::string out;
    if (!readAll(fd.get(), out)) return std::nullopt;
    return out;
}

bool writeByteSetFile(const std::string& path, std::string_view bytes, std::string* error) {
    auto fail = [&](int code) {
        if (error) *error = errorText(code);
        return false;
    };
    if (path.empty()) {
        if (error) *error = "无法为这个键组成文件名";
        return false;
    }
    if (!ensureFolder(folderOf(path))) return fail(errno);
    ReplacementFile file(path);
    if (file.write(bytes) && file.sync() && file.commit()) return true;
    return fail(file.failure());
}

}  // namespace lct
