#include "files/paths.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>
#include <optional>

#include "engine/lists.h"
#include "platform/bytes.h"
#include "platform/charset.h"
#include "platform/error_text.h"
#include "platform/file_io.h"
#include "platform/path_parts.h"
#include "platform/utf8.h"

namespace lct {
namespace {

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

// Bytes of the UTF-8 character at `i` (1 for a byte that starts none, so
// names that are not valid UTF-8 still match byte by byte).
std::size_t utf8CharSize(std::string_view s, std::size_t i) {
    return std::max<std::size_t>(1, looseUtf8Size(s, i));
}

// Wildcard match with backtracking to the last "*": linear in practice, and
// never exponential.
bool wildcardMatch(std::string_view name, std::string_view pattern) {
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starP = std::string_view::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            n += utf8CharSize(name, n);
        } else if (p < pattern.size() && toLowerAscii(pattern[p]) == toLowerAscii(name[n])) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            starN += utf8CharSize(name, starN);
            n = starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The names of the entries of `folder` (which ends with "/") that are no
// folder and no link to one, sorted by bytes; nullopt, with errno set, when it
// cannot be read.
std::optional<std::vector<std::string>> entriesIn(const std::string& folder,
                                                  const KeepAlive& keepAlive) {
    std::vector<std::string> names;
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) return std::nullopt;
    while (const dirent* entry = ::readdir(dir.get())) {
        keepAlive();
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        // The program's own temporary files (left by a killed write) are
        // never articles.
        if (isTemporaryFileName(name)) continue;
        // The folder tells most kinds itself; links (followed) and file systems
        // that tell nothing are asked.
        const bool folderEntry =
            entry->d_type == DT_DIR || ((entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) &&
                                        isFolder(folder + std::string(name)));
        if (!folderEntry) names.emplace_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The folders that a listing's patterns search: each is read once, however
// many patterns search it, and each of its files is listed once, however
// many patterns match it.
class FolderListings {
  public:
    // `prefix` is `folder` ending with "/"; a folder that cannot be read is
    // added to `failures` (when given).
    FolderListings(std::string_view folder, std::string prefix, std::vector<RunFailure>* failures,
                   const KeepAlive& keepAlive)
        : folder_(folder), prefix_(std::move(prefix)), failures_(failures), keepAlive_(keepAlive) {}

    // Appends the files of `searched` (ending with "/") that `namePattern`
    // matches and no earlier pattern listed.
    void list(const std::string& searched, std::string_view namePattern,
              std::vector<std::string>& out) {
        Listing& found = listing(searched);
        for (std::size_t i = 0; i < found.names.size(); ++i) {
            if (found.listed[i] || !matchesNamePattern(found.names[i], namePattern)) continue;
            found.listed[i] = true;
            out.push_back(searched + found.names[i]);
        }
    }

  private:
    struct Listing {
        std::vector<std::string> names;
        std::vector<bool> listed;
    };

    // The folder's entries, read on first use. A folder named by a pattern
    // may be missing (only some listed folders have it): no failure then.
    Listing& listing(const std::string& searched) {
        if (const auto known = listings_.find(searched); known != listings_.end())
            return known->second;
        std::optional<std::vector<std::string>> names = entriesIn(searched, keepAlive_);
        const int reason = names ? 0 : errno;
        const bool missing = reason == ENOENT || reason == ENOTDIR;
        if (!names && failures_ && (searched == prefix_ || !missing)) {
            const std::string shown = searched == prefix_ ? std::string(folder_) : searched;
            failures_->push_back({shown, "无法列出文件夹中的文件：" + errorText(reason)});
        }
        Listing entry;
        if (names) entry.names = std::move(*names);
        entry.listed.assign(entry.names.size(), false);
        return listings_.emplace(searched, std::move(entry)).first->second;
    }

    std::string_view folder_;
    std::string prefix_;
    std::vector<RunFailure>* failures_;
    const KeepAlive& keepAlive_;
    std::map<std::string, Listing> listings_;
};
}  // namespace

std::string folderOfPath(std::string_view path) {
    return std::string(folderPart(path));
}

std::string baseNameOfPath(std::string_view path) {
    const std::string_view name = namePart(path);
    return std::string(name.substr(0, name.rfind('.')));
}

std::string extensionOfPath(std::string_view path) {
    const std::string_view name = namePart(path);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return {};
    return std::string(name.substr(dot + 1));
}

bool createFolderPath(std::string_view folder, std::vector<std::string>* created) {
    std::string path(folder);
    if (path.empty()) return false;
    if (path.back() != '/') path.push_back('/');
    for (std::size_t slash = path.find('/'); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        if (slash == 0) continue;  // the root
        const std::string level = path.substr(0, slash);
        struct stat st {};
        if (::stat(level.c_str(), &st) == 0) {
            if (!S_ISDIR(st.st_mode)) return false;
            continue;
        }
        if (::mkdir(level.c_str(), 0777) != 0) {
            // Another process may have made it in the meantime.
            if (errno != EEXIST || ::stat(level.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
                return false;
            continue;
        }
        if (created) created->push_back(level);
    }
    return true;
}

bool matchesNamePattern(std::string_view name, std::string_view pattern) {
    if (wildcardMatch(name, pattern)) return true;
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*")
        return name.find('.') == std::string_view::npos &&
               wildcardMatch(name, pattern.substr(0, pattern.size() - 2));
    return false;
}

std::size_t listFolderFiles(std::string_view folder, std::string_view gbkPatterns,
                            std::vector<std::string>& out, std::vector<RunFailure>* failures,
                            const KeepAlive& keepAlive) {
    out.clear();
    std::string prefix(folder.empty() ? "." : folder);
    if (prefix.back() != '/') prefix.push_back('/');
    FolderListings listings(folder, prefix, failures, keepAlive);
    // Split while still GBK: a "|" may only be taken where GBK has a character.
    const std::string_view patternText = gbkPatterns.empty() ? "*.*" : gbkPatterns;
    for (const std::string& gbkPattern : splitList(patternText, "|")) {
        const std::string pattern = gbkToUtf8(gbkPattern);
        // A pattern may name a folder of its own ("sub/*.txt"); its files are
        // listed with that folder in their path.
        const std::size_t slash = pattern.rfind('/');
        const std::string searched =
            prefix + (slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1));
        const std::string_view namePattern =
            std::string_view(pattern).substr(slash == std::string::npos ? 0 : slash + 1);
        listings.list(searched, namePattern, out);
    }
    return out.size();
}

}  // namespace lct
