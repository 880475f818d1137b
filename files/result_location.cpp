#include "files/result_location.h"

#include <algorithm>
#include <vector>

#include "files/paths.h"
#include "files/text_encoding.h"
#include "platform/bytes.h"
#include "platform/charset.h"

namespace lct {
namespace {

// Longest file name most file systems accept, in bytes.
constexpr std::size_t kMaxNameBytes = 255;
constexpr std::size_t kMaxExtensionBytes = 128;
constexpr std::string_view kUntitled = "无标题";

// "/" would lead into other folders (or out of the result folder); control
// characters (line breaks from title separators) make names nobody can type.
std::string safeNamePart(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        if (c == '/' || static_cast<unsigned char>(c) < 0x20) c = '_';
    }
    return out;
}

// Cuts to at most `limit` bytes without splitting a UTF-8 character.
void truncateUtf8(std::string& s, std::size_t limit) {
    if (s.size() <= limit) return;
    std::size_t cut = limit;
    while (cut > 0 && isContinuation(byteAt(s, cut)))
        --cut;
    s.resize(cut);
}

// The last level of a relative result path, named as resultFilePathAt says.
std::string relativeResultName(std::string_view name, std::string_view gbkNewExtension, int copy) {
    if (gbkNewExtension.empty() && copy <= 1) return std::string(name);
    const std::size_t dot = name.rfind('.');
    std::string base(name.substr(0, dot));
    std::string extension(dot == std::string_view::npos ? std::string_view()
                                                        : name.substr(dot + 1));
    if (!gbkNewExtension.empty()) {
        extension = safeNamePart(gbkToUtf8(gbkNewExtension));
        truncateUtf8(extension, kMaxExtensionBytes);
    }
    std::string suffix = extension.empty() ? std::string() : "." + extension;
    if (copy > 1) suffix = " (" + std::to_string(copy) + ")" + suffix;
    truncateUtf8(base, kMaxNameBytes - suffix.size());
    return base + suffix;
}

}  // namespace

std::string resultFolderOf(std::string_view firstInputPath) {
    const std::string folder =
        firstInputPath.find('/') == std::string_view::npos ? "." : folderOfPath(firstInputPath);
    return folder + "/" + std::string(kResultFolderName) + "/";
}

std::string titleOfPath(std::string_view path) {
    const std::string name = baseNameOfPath(path);
    return isValidUtf8(name) ? utf8ToGbk(name) : name;
}

std::string resultFileName(std::string_view gbkTitle, std::string_view gbkNewExtension,
                           std::string_view inputPath, int copy) {
    std::string extension = safeNamePart(gbkNewExtension.empty() ? extensionOfPath(inputPath)
                                                                 : gbkToUtf8(gbkNewExtension));
    truncateUtf8(extension, kMaxExtensionBytes);
    std::string suffix = extension.empty() ? std::string() : "." + extension;
    if (copy > 1) suffix = " (" + std::to_string(copy) + ")" + suffix;

    std::string title = safeNamePart(gbkToUtf8(gbkTitle));
    if (title.empty()) title = safeNamePart(baseNameOfPath(inputPath));
    if (title.empty()) title = kUntitled;
    truncateUtf8(title, kMaxNameBytes - suffix.size());

    std::string name = title + suffix;
    if (name == "." || name == "..") return "_" + name;
    return name;
}

std::string resultFilePath(std::string_view resultFolder, std::string_view gbkTitle,
                           std::string_view gbkNewExtension, std::string_view inputPath, int copy) {
    std::string path(resultFolder);
    if (!path.empty() && path.back() != '/') path.push_back('/');
    return path + resultFileName(gbkTitle, gbkNewExtension, inputPath, copy);
}

std::string resultFilePathAt(std::string_view resultFolder, std::string_view relativePath,
                             std::string_view gbkNewExtension, int copy) {
    std::string path(resultFolder);
    if (!path.empty() && path.back() != '/') path.push_back('/');
    std::vector<std::string_view> levels;
    std::size_t start = 0;
    while (start <= relativePath.size()) {
        const std::size_t slash = std::min(relativePath.find('/', start), relativePath.size());
        const std::string_view level = relativePath.substr(start, slash - start);
        if (!level.empty() && level != ".") levels.push_back(level);
        start = slash + 1;
    }
    if (levels.empty()) levels.push_back(kUntitled);
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const bool last = i + 1 == levels.size();
        if (levels[i] == "..") path += "_";
        path += last ? relativeResultName(levels[i], gbkNewExtension, copy) : levels[i];
        if (!last) path += '/';
    }
    return path;
}

}  // namespace lct
