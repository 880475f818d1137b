#include "platform/path_parts.h"

namespace lct {

std::string_view folderPart(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
}

std::string_view namePart(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string folderOf(std::string_view path) {
    if (path.find('/') == std::string_view::npos) return ".";
    const std::string_view folder = folderPart(path);
    return folder.empty() ? "/" : std::string(folder);
}

std::string siblingPath(std::string_view path, std::string_view name) {
    std::string out(path.substr(0, path.size() - namePart(path).size()));
    out += name;
    return out;
}

}  // namespace lct
