#include "files/folder_tree.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <set>
#include <unordered_set>
#include <utility>

#include "files/paths.h"

namespace lct {
namespace {

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

using FolderId = std::pair<dev_t, ino_t>;

std::optional<FolderId> folderIdOf(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
    return FolderId{st.st_dev, st.st_ino};
}

// The names of the folders directly inside `prefix` (a folder ending with
// "/"), sorted by bytes. A symbolic link is no folder here, wherever it points.
// None when it cannot be read: its listing has told that already.
std::vector<std::string> subfoldersOf(const std::string& prefix, const KeepAlive& keepAlive) {
    std::vector<std::string> names;
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(prefix.c_str()));
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir.get())) {
        keepAlive();
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        bool folder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN) {
            struct stat st {};
            folder = ::lstat((prefix + entry->d_name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        if (folder) names.emplace_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string withSlash(std::string_view folder) {
    std::string prefix(folder.empty() ? "." : folder);
    if (prefix.back() != '/') prefix.push_back('/');
    return prefix;
}

}  // namespace

std::size_t listFolderTree(std::string_view folder, std::string_view gbkPatterns,
                           std::string_view skipped, std::vector<std::string>& out,
                           std::vector<RunFailure>* failures, const KeepAlive& keepAlive) {
    out.clear();
    std::set<FolderId> met;
    if (const auto id = folderIdOf(std::string(skipped))) met.insert(*id);
    std::unordered_set<std::string> listed;
    // Depth first, in order: the folders still to list, the next one last.
    std::vector<std::string> pending{std::string(folder.empty() ? "." : folder)};
    std::vector<std::string> files;
    while (!pending.empty()) {
        const std::string current = std::move(pending.back());
        pending.pop_back();
        if (const auto id = folderIdOf(current); id && !met.insert(*id).second) continue;
        listFolderFiles(current, gbkPatterns, files, failures, keepAlive);
        for (std::string& file : files) {
            if (listed.insert(file).second) out.push_back(std::move(file));
        }
        const std::string prefix = withSlash(current);
        const std::vector<std::string> subfolders = subfoldersOf(prefix, keepAlive);
        for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it)
            pending.push_back(prefix + *it);
    }
    return out.size();
}

std::string pathBelow(std::string_view folder, std::string_view path) {
    const std::string prefix = withSlash(folder);
    if (!path.starts_with(prefix)) return std::string(path);
    return std::string(path.substr(prefix.size()));
}

}  // namespace lct
