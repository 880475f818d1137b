#include "settings/stale_files.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <memory>

namespace lct::settings_detail {
namespace {

constexpr std::string_view kMarker = ".tmp";

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

// The process id in a name ending in ".tmp<pid>-<counter>", or 0.
pid_t ownerOf(std::string_view name, std::string_view base) {
    const std::size_t marker = name.rfind(kMarker);
    if (marker == std::string_view::npos || marker == 0) return 0;
    if (!base.empty() && name.substr(0, marker) != base) return 0;
    std::string_view rest = name.substr(marker + kMarker.size());
    const std::size_t dash = rest.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash > 9 || dash + 1 == rest.size())
        return 0;
    pid_t pid = 0;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const char c = rest[i];
        if (i == dash) continue;
        if (c < '0' || c > '9') return 0;
        if (i < dash) pid = pid * 10 + (c - '0');
    }
    return pid;
}

}  // namespace

std::string temporaryPathFor(std::string_view path) {
    static std::atomic<unsigned> counter{0};
    return std::string(path) + std::string(kMarker) + std::to_string(::getpid()) + "-" +
           std::to_string(counter++);
}

int removeStaleTemporaries(const std::string& folder, std::string_view name) {
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view entryName = entry->d_name;
        const pid_t pid = ownerOf(entryName, name);
        if (pid <= 0 || pid == ::getpid()) continue;
        if (::kill(pid, 0) == 0 || errno != ESRCH) continue;
        const std::string path = folder + "/" + std::string(entryName);
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::unlink(path.c_str()) == 0)
            ++removed;
    }
    return removed;
}

}  // namespace lct::settings_detail
