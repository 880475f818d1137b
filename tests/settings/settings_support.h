#pragma once
// Helpers of the settings tests: a scratch folder, whole-file reads and writes,
// and running a check in a child process: without root's right to write
// anything, or on a full disk.

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>

#include "file_size_limit.h"

namespace lct::test {

/// A fresh folder under the system's temporary folder, removed with everything
/// in it (read-only parts included) when the object goes away.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "lct-settings-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
        // Open to everyone, so that checks run as an unprivileged user can reach it.
        ::chmod(path_.c_str(), 0777);
    }
    ~TempFolder() {
        std::error_code error;
        for (auto it = std::filesystem::recursive_directory_iterator(path_, error);
             !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, error);
        std::filesystem::remove_all(path_, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }

  private:
    std::string path_;
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return {};
    std::string out(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(out.data(), static_cast<std::streamsize>(out.size()));
    return out;
}

inline bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

inline void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

/// Runs `check` in a child process and returns its exit code (128 + signal
/// when it was killed). With `unprivileged` and when running as root, the child
/// first becomes the user "nobody", so that file modes apply to it. The check
/// reports failures on stderr and returns 0 when everything held.
inline int runInChild(const std::function<int()>& check, bool unprivileged) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) return 200;
    if (pid == 0) {
        if (unprivileged && ::geteuid() == 0) {
            constexpr gid_t kNobody = 65534;
            if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                ::_exit(201);
        }
        const int code = check();
        std::fflush(nullptr);
        ::_exit(code);
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) return 202;
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}

/// Counts failed conditions in a child process and names them on stderr.
class ChildChecks {
  public:
    void expect(bool condition, const char* what) {
        if (condition) return;
        std::fprintf(stderr, "child check failed: %s\n", what);
        ++failures_;
    }
    int result() const { return failures_ == 0 ? 0 : 1; }

  private:
    int failures_ = 0;
};

/// Runs `check` in a child process (see runInChild) where no file may grow
/// past `bytes`, as on a full disk: such a write fails instead of ending the
/// process. `check` reports to `checks`, and lifts `limit` to give room again.
/// Returns 0 when every check held.
inline int runOnAFullDisk(
    rlim_t bytes, const std::function<void(ChildChecks& checks, FileSizeLimit& limit)>& check) {
    return runInChild(
        [&] {
            ChildChecks checks;
            FileSizeLimit limit(bytes);
            check(checks, limit);
            return checks.result();
        },
        false);
}

}  // namespace lct::test
