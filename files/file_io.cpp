#include "files/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

namespace lct {
namespace {

// Owns a file descriptor.
class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }

    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }
    /// Closes now and reports whether the close succeeded (a delayed write
    /// error can surface only here).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

struct FreeDeleter {
    void operator()(char* p) const { std::free(p); }
};

bool writeAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// The folder part of `path`, for creating the temporary file beside it.
std::string folderPrefix(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return path.substr(0, slash + 1);
}

// A short name, so that a target name near the length limit still leaves
// room for it; process id and counter keep concurrent writers apart.
std::string temporaryName(const std::string& folder, unsigned attempt) {
    static std::atomic<unsigned> counter{0};
    return folder + ".lct-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
           std::to_string(attempt) + ".tmp";
}

// Where the content must go: a symbolic link is resolved so that the link
// itself survives the rename.
std::string resolveTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    const std::unique_ptr<char, FreeDeleter> real(::realpath(path.c_str(), nullptr));
    return real ? std::string(real.get()) : path;
}

}  // namespace

bool PathExists(std::string_view path) {
    if (path.empty()) return false;
    struct stat st {};
    return ::stat(std::string(path).c_str(), &st) == 0;
}

std::optional<std::string> ReadWholeFile(std::string_view path) {
    if (path.empty()) return std::nullopt;
    // O_NONBLOCK: opening a pipe must not wait for a writer; it is refused below.
    Fd fd(::open(std::string(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.ok()) return std::nullopt;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    std::array<char, 64 * 1024> buffer{};
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (n == 0) break;
        bytes.append(buffer.data(), static_cast<std::size_t>(n));
    }
    return bytes;
}

bool WriteFileAtomically(std::string_view path, std::string_view bytes, Durability durability) {
    if (path.empty()) return false;
    const std::string target = resolveTarget(std::string(path));
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) return false;

    const std::string folder = folderPrefix(target);
    std::string temp;
    int raw = -1;
    for (unsigned attempt = 0; attempt < 100 && raw < 0; ++attempt) {
        temp = temporaryName(folder, attempt);
        // 0666: the process umask applies, as for any new file.
        raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (raw < 0 && errno != EEXIST) return false;
    }
    Fd fd(raw);
    if (!fd.ok()) return false;

    bool ok = writeAll(fd.get(), bytes);
    if (ok && exists && S_ISREG(existing.st_mode))
        ok = ::fchmod(fd.get(), existing.st_mode & 07777) == 0;
    if (durability == Durability::Synced) ok = ok && ::fsync(fd.get()) == 0;
    ok = fd.close() && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace lct
