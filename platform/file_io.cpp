#include "platform/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <vector>

#include "platform/bytes.h"
#include "platform/error_text.h"
#include "platform/path_parts.h"
#include "platform/unique_fd.h"

namespace lct {
namespace {

constexpr std::string_view kTemporaryPrefix = ".lct-";
constexpr std::string_view kTemporarySuffix = ".tmp";
// A temporary file this old belongs to no write still going on, whoever made it.
constexpr std::time_t kStaleAfterSeconds = 24 * 60 * 60;

struct FreeDeleter {
    void operator()(char* p) const { std::free(p); }
};

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

void setError(std::string* error, std::string text) {
    if (error) *error = std::move(text);
}

// Records the reason of the failed call that set errno; returns false.
bool fail(std::string* error) {
    setError(error, errorText(errno));
    return false;
}

// Eight hex digits naming this machine, so that a run cleaning a shared folder
// never takes another machine's temporary file for a dead process's.
const std::string& hostTag() {
    static const std::string tag = [] {
        std::array<char, 256> name{};
        if (::gethostname(name.data(), name.size() - 1) != 0) name[0] = '\0';
        std::uint32_t hash = 2166136261u;  // FNV-1a
        for (const char* p = name.data(); *p; ++p)
            hash = (hash ^ static_cast<unsigned char>(*p)) * 16777619u;
        static constexpr char kHex[] = "0123456789abcdef";
        std::string out(8, '0');
        for (int i = 7; i >= 0; --i, hash >>= 4)
            out[static_cast<std::size_t>(i)] = kHex[hash & 0xF];
        return out;
    }();
    return tag;
}

// This process's id, asked once (and again in a forked child): one system
// call less for every file a batch writes.
std::atomic<pid_t> cachedProcessId{0};

pid_t processId() {
    pid_t pid = cachedProcessId.load(std::memory_order_relaxed);
    if (pid == 0) {
        static const int registered = ::pthread_atfork(
            nullptr, nullptr, [] { cachedProcessId.store(0, std::memory_order_relaxed); });
        static_cast<void>(registered);
        pid = ::getpid();
        cachedProcessId.store(pid, std::memory_order_relaxed);
    }
    return pid;
}

// A name beside `target`, short, so that a target name near the length limit
// still leaves room for it; machine, process id and counter keep concurrent
// writers apart.
std::string temporaryName(const std::string& target, unsigned attempt) {
    static std::atomic<unsigned> counter{0};
    return siblingPath(target, std::string(kTemporaryPrefix) + hostTag() + "-" +
                                   std::to_string(processId()) + "-" + std::to_string(counter++) +
                                   "-" + std::to_string(attempt) + std::string(kTemporarySuffix));
}

std::string kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "是文件夹，不是文件";
    if (S_ISFIFO(mode)) return "是管道，不是普通文件";
    if (S_ISSOCK(mode)) return "是套接字，不是普通文件";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "是设备，不是普通文件";
    return "不是普通文件";
}

// The fields between the prefix and the suffix of a temporary file name.
std::vector<std::string_view> temporaryFields(std::string_view name) {
    std::vector<std::string_view> fields;
    if (!isTemporaryFileName(name)) return fields;
    std::string_view rest = name.substr(
        kTemporaryPrefix.size(), name.size() - kTemporaryPrefix.size() - kTemporarySuffix.size());
    for (;;) {
        const std::size_t dash = rest.find('-');
        fields.push_back(rest.substr(0, dash));
        if (dash == std::string_view::npos) break;
        rest.remove_prefix(dash + 1);
    }
    return fields;
}

// True when the temporary file `name` was left by a process of this machine
// that has ended. Names without a machine tag come from earlier versions,
// which only ever wrote from this machine.
bool madeByEndedProcess(std::string_view name) {
    const std::vector<std::string_view> fields = temporaryFields(name);
    std::string_view pidText;
    if (fields.size() == 4) {
        if (fields[0] != hostTag()) return false;
        pidText = fields[1];
    } else if (fields.size() == 3) {
        pidText = fields[0];
    } else {
        return false;
    }
    if (pidText.empty() || pidText.size() > 9) return false;
    pid_t pid = 0;
    for (char c : pidText) {
        if (c < '0' || c > '9') return false;
        pid = pid * 10 + (c - '0');
    }
    if (pid <= 0 || pid == ::getpid()) return false;
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

}  // namespace

bool readAll(int fd, std::string& out, std::size_t size) {
    out.clear();
    if (size == 0) {
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
            size = static_cast<std::size_t>(st.st_size);
    }
    if (size > 0) {
        // The size the file had when it was looked at: read straight into the
        // text, and stop there (no further read only to meet the end).
        out.resize(size);
        std::size_t got = 0;
        while (got < size) {
            const ssize_t n = ::read(fd, out.data() + got, size - got);
            if (n < 0) {
                if (errno == EINTR) continue;
                const int saved = errno;
                out.clear();
                errno = saved;
                return false;
            }
            if (n == 0) break;
            got += static_cast<std::size_t>(n);
        }
        out.resize(got);
        return true;
    }
    std::array<char, 64 * 1024> buffer{};
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            const int saved = errno;
            out.clear();
            errno = saved;
            return false;
        }
        if (n == 0) return true;
        out.append(buffer.data(), static_cast<std::size_t>(n));
    }
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string resolvedPath(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    const std::unique_ptr<char, FreeDeleter> real(::realpath(path.c_str(), nullptr));
    return real ? std::string(real.get()) : path;
}

ReplacementFile::ReplacementFile(std::string_view target) : target_(target) {
    create();
}

ReplacementFile::ReplacementFile(int folder, std::string_view name)
    : folder_(folder), target_(name) {
    if (target_.find('/') != std::string::npos) {
        fail(EINVAL);
        return;
    }
    create();
}

void ReplacementFile::create() {
    if (target_.empty()) {
        fail(ENOENT);
        return;
    }
    // Another file may hold a name made by a process that had this id
    // before: the next attempt takes another name.
    for (unsigned attempt = 0; attempt < 100 && !fd_; ++attempt) {
        temporary_ = temporaryName(target_, attempt);
        fd_.reset(::openat(folder_, temporary_.c_str(),
                           O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW, 0666));
        if (!fd_ && errno != EEXIST) break;
    }
    if (!fd_) {
        temporary_.clear();  // nothing of this object's own to remove
        fail(errno);
    }
}

ReplacementFile::~ReplacementFile() {
    if (!committed_ && !temporary_.empty()) {
        fd_.reset();
        ::unlinkat(folder_, temporary_.c_str(), 0);
    }
}

bool ReplacementFile::fail(int error) {
    if (failure_ == 0) failure_ = error != 0 ? error : EIO;
    fd_.reset();
    if (!temporary_.empty()) ::unlinkat(folder_, temporary_.c_str(), 0);
    temporary_.clear();
    return false;
}

bool ReplacementFile::write(std::string_view bytes) {
    if (!ok()) return false;
    return writeAll(fd_.get(), bytes) || fail(errno);
}

bool ReplacementFile::setPermissions(mode_t mode) {
    if (!ok()) return false;
    return ::fchmod(fd_.get(), mode & 07777) == 0 || fail(errno);
}

bool ReplacementFile::sync() {
    if (!ok()) return false;
    return ::fsync(fd_.get()) == 0 || fail(errno);
}

bool ReplacementFile::lock() {
    if (!ok()) return false;
    return ::flock(fd_.get(), LOCK_EX | LOCK_NB) == 0 || fail(errno);
}

bool ReplacementFile::commit() {
    if (!ok()) return false;
    if (!fd_.close()) return fail(errno);
    if (::renameat(folder_, temporary_.c_str(), folder_, target_.c_str()) != 0) return fail(errno);
    committed_ = true;
    return true;
}

bool ReplacementFile::commitAndKeep(UniqueFd& held) {
    if (!ok()) return false;
    if (::renameat(folder_, temporary_.c_str(), folder_, target_.c_str()) != 0) return fail(errno);
    committed_ = true;
    held = std::move(fd_);
    return true;
}

bool syncFolderOf(std::string_view path) {
    const UniqueFd folder(::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return folder && ::fsync(folder.get()) == 0;
}

bool pathExists(std::string_view path) {
    if (path.empty()) return false;
    struct stat st {};
    return ::stat(std::string(path).c_str(), &st) == 0;
}

std::optional<std::string> readWholeFile(std::string_view path, std::string* error) {
    if (path.empty()) {
        setError(error, "路径为空");
        return std::nullopt;
    }
    const std::string name(path);
    // O_NONBLOCK: opening a pipe or a device returns at once, without waiting
    // for a writer or a line; the fstat below refuses them before any read.
    struct stat st {};
    UniqueFd fd(::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd) {
        const int reason = errno;
        // A socket cannot be opened at all: say what it is rather than ENXIO.
        if (::stat(name.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
            setError(error, kindOf(st.st_mode));
        } else if (reason == ENOENT && ::lstat(name.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
            setError(error, "是符号链接，它指向的文件不存在");
        } else {
            setError(error, errorText(reason));
        }
        return std::nullopt;
    }
    if (::fstat(fd.get(), &st) != 0) {
        fail(error);
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode)) {
        setError(error, kindOf(st.st_mode));
        return std::nullopt;
    }
    std::string bytes;
    if (!readAll(fd.get(), bytes, static_cast<std::size_t>(st.st_size))) {
        fail(error);
        return std::nullopt;
    }
    return bytes;
}

bool writeFileAtomically(std::string_view path, std::string_view bytes, Durability durability,
                         LinkTarget links, std::string* error) {
    if (path.empty()) {
        setError(error, "路径为空");
        return false;
    }
    const std::string target =
        links == LinkTarget::Follow ? resolvedPath(std::string(path)) : std::string(path);
    // A file that replaces the user's own keeps its permission bits; a result
    // replaces whatever was there, and is not looked at first (a folder in its
    // place makes the rename fail, which says so).
    struct stat existing {};
    const bool exists = links == LinkTarget::Follow && ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        setError(error, errorText(EISDIR));
        return false;
    }

    ReplacementFile file(target);
    bool done = file.write(bytes);
    if (done && exists && S_ISREG(existing.st_mode)) done = file.setPermissions(existing.st_mode);
    if (done && durability == Durability::Synced) done = file.sync();
    done = done && file.commit();
    if (!done) setError(error, errorText(file.failure()));
    return done;
}

bool writeProgramOutput(std::string_view path, std::string_view bytes, std::string* error) {
    const std::string name(path);
    struct stat st {};
    if (name.empty() || ::stat(name.c_str(), &st) != 0 || S_ISREG(st.st_mode))
        return writeFileAtomically(path, bytes, Durability::Synced, LinkTarget::Follow, error);
    if (!S_ISCHR(st.st_mode) && !S_ISFIFO(st.st_mode)) {
        setError(error, kindOf(st.st_mode));
        return false;
    }
    // Replacing a device or a pipe by a file would take it from everyone who
    // uses it, and the reader at the other end would get nothing.
    UniqueFd fd(::open(name.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
    if (!fd || !writeAll(fd.get(), bytes) || !fd.close()) return fail(error);
    return true;
}

bool writeFileInFolder(int folder, std::string_view name, std::string_view bytes,
                       Durability durability, std::string* error) {
    ReplacementFile file(folder, name);
    bool done = file.write(bytes);
    if (done && durability == Durability::Synced) done = file.sync();
    done = done && file.commit();
    if (!done) setError(error, errorText(file.failure()));
    return done;
}

UniqueFd openWritableFolder(std::string_view path, bool& created, std::string* error) {
    std::string name(path);
    while (name.size() > 1 && name.back() == '/')
        name.pop_back();
    return openWritableFolderAt(AT_FDCWD, name, created, error);
}

UniqueFd openWritableFolderAt(int parent, std::string_view name, bool& created,
                              std::string* error) {
    created = false;
    if (name.empty()) {
        setError(error, "路径为空");
        return UniqueFd();
    }
    const std::string level(name);
    // Only this level is made: a missing folder above it is no place to write.
    if (::mkdirat(parent, level.c_str(), 0777) == 0) {
        created = true;
    } else if (errno != EEXIST) {
        fail(error);
        return UniqueFd();
    }
    // O_NOFOLLOW: a link in the folder's place (planted in a shared folder,
    // say) would lead the writes anywhere the link points.
    UniqueFd folder(
        ::openat(parent, level.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (folder) return folder;
    const int reason = errno;
    struct stat st {};
    if (::fstatat(parent, level.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)) {
        setError(error, "是符号链接，结果不会写到它指向的地方");
    } else if (reason == ENOTDIR) {
        setError(error, "已有同名的文件占用了这个位置");
    } else {
        setError(error, errorText(reason));
    }
    return UniqueFd();
}

bool isTemporaryFileName(std::string_view name) {
    if (name.size() <= kTemporaryPrefix.size() + kTemporarySuffix.size()) return false;
    if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix)) return false;
    const std::string_view middle = name.substr(
        kTemporaryPrefix.size(), name.size() - kTemporaryPrefix.size() - kTemporarySuffix.size());
    for (char c : middle) {
        const bool hex = isAsciiDigit(c) || (c >= 'a' && c <= 'f');
        if (!hex && c != '-') return false;
    }
    return true;
}

int removeStaleTemporaryFiles(std::string_view folder) {
    const std::string path(folder.empty() ? "." : folder);
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd ? removeStaleTemporaryFiles(fd.get()) : 0;
}

int removeStaleTemporaryFiles(int folder) {
    // The listing gets a descriptor of its own: closedir closes it.
    const int listed = ::dup(folder);
    if (listed < 0) return 0;
    const std::unique_ptr<DIR, DirCloser> dir(::fdopendir(listed));
    if (!dir) {
        ::close(listed);
        return 0;
    }
    // The copy shares its position with `folder`: start from the first entry.
    ::rewinddir(dir.get());
    const std::time_t now = std::time(nullptr);
    int removed = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (!isTemporaryFileName(name)) continue;
        struct stat st {};
        if (::fstatat(folder, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
            continue;
        const bool old = now - st.st_mtime > kStaleAfterSeconds;
        if ((old || madeByEndedProcess(name)) && ::unlinkat(folder, entry->d_name, 0) == 0)
            ++removed;
    }
    return removed;
}

}  // namespace lct
