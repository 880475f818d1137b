#include "settings/ini_document.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "platform/error_text.h"
#include "platform/file_io.h"
#include "platform/gbk_text.h"
#include "platform/path_parts.h"

namespace lct {
namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kHeaderLineStart = "\r\n[";
constexpr std::size_t npos = std::string_view::npos;

bool startsHeader(std::string_view doc, std::size_t at) {
    return at == 0 || (at >= 2 && doc[at - 2] == '\r' && doc[at - 1] == '\n');
}

}  // namespace

IniDocument::~IniDocument() {
    close();
}

namespace {

// Takes the lock on `fd`, waiting up to `wait` for another holder.
bool lockWaiting(int fd, int operation, std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(fd, operation | LOCK_NB) == 0) return true;
        if (errno != EWOULDBLOCK && errno != EINTR) return false;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        ::usleep(20'000);
    }
}

// True when `fd` is still the file at `path` (a writer may have replaced it
// while this opener waited for the lock of the old one).
bool stillAtPath(int fd, const std::string& path) {
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

constexpr int kOpenFlags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

}  // namespace

bool IniDocument::noteAccess(FileAccess access, int error) {
    access_ = access;
    accessError_.clear();
    switch (access) {
        case FileAccess::Held:
            return true;
        case FileAccess::Missing:
            accessError_ = errorText(ENOENT);
            break;
        case FileAccess::NotAFile:
            accessError_ = "不是文件";
            break;
        case FileAccess::Locked:
            accessError_ = "正被另一个程序使用";
            break;
        case FileAccess::Unreadable:
        case FileAccess::ReadOnly:
            accessError_ = errorText(error != 0 ? error : EIO);
            break;
    }
    return false;
}

bool IniDocument::open(std::string_view path, std::chrono::milliseconds wait) {
    close();
    path_ = path;
    if (path_.empty() || path_.find('\0') != std::string::npos)
        return noteAccess(FileAccess::Unreadable, ENOENT);
    filePath_ = resolvedPath(path_);

    // A writer that replaces the file between this open and this lock leaves
    // the lock on a file no longer named: then the new one is opened.
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (const std::optional<bool> held = openAtPath(wait)) return *held;
    }
    return noteAccess(FileAccess::Locked);
}

std::optional<bool> IniDocument::openAtPath(std::chrono::milliseconds wait) {
    // O_NONBLOCK keeps a FIFO at that path from blocking the open; anything
    // but a regular file is refused below.
    UniqueFd fd(::open(filePath_.c_str(), O_RDWR | O_CREAT | kOpenFlags, 0666));
    const int writeError = fd ? 0 : errno;
    if (!fd) fd.reset(::open(filePath_.c_str(), O_RDONLY | kOpenFlags));
    if (!fd) {
        // A folder in the file's place cannot even be opened for writing.
        return noteAccess(writeError == EISDIR ? FileAccess::NotAFile : FileAccess::Unreadable,
                          writeError);
    }

    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return noteAccess(FileAccess::Unreadable, errno);
    if (!S_ISREG(st.st_mode)) return noteAccess(FileAccess::NotAFile);
    // A second copy of the program holds the lock: read what it has, write nothing.
    const bool locked = writeError == 0 && !lockWaiting(fd.get(), LOCK_EX, wait);
    if (writeError == 0 && !locked && !stillAtPath(fd.get(), filePath_)) return std::nullopt;

    std::string bytes;
    // A file that cannot be read must not be written either: the document
    // would not be its image.
    if (!readAll(fd.get(), bytes)) return noteAccess(FileAccess::Unreadable, errno);
    document_ = std::move(bytes);
    if (locked) return noteAccess(FileAccess::Locked);
    if (writeError != 0) return noteAccess(FileAccess::ReadOnly, writeError);
    file_ = std::move(fd);
    // A save killed part-way left its temporary files beside the settings.
    const std::string folder = folderOf(filePath_);
    removeStaleTemporaryFiles(folder);
    removeStaleTemporaryFiles(folder + "/inibin");
    return noteAccess(FileAccess::Held);
}

bool IniDocument::load(std::string_view path) {
    close();
    path_ = path;
    if (path_.empty() || path_.find('\0') != std::string::npos)
        return noteAccess(FileAccess::Missing);
    filePath_ = resolvedPath(path_);
    UniqueFd fd(::open(filePath_.c_str(), O_RDONLY | kOpenFlags));
    if (!fd) {
        return noteAccess(errno == ENOENT ? FileAccess::Missing : FileAccess::Unreadable, errno);
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return noteAccess(FileAccess::Unreadable, errno);
    if (!S_ISREG(st.st_mode)) return noteAccess(FileAccess::NotAFile);
    // Readers share the lock; a writer holding it is not waited for, since
    // the file it replaces is whole at every moment.
    ::flock(fd.get(), LOCK_SH | LOCK_NB);
    std::string bytes;
    if (!readAll(fd.get(), bytes)) return noteAccess(FileAccess::Unreadable, errno);
    document_ = std::move(bytes);
    return noteAccess(FileAccess::Held);
}

void IniDocument::close() {
    if (file_) {
        saveDepth_ = 0;
        // Changes of a save that was ended without writing stay out of the
        // file. A last write that fails leaves the file whole, old or new, and
        // is no one's to report: a caller who must know saves with finishSave.
        if (!withheld_) static_cast<void>(syncFile());
        file_.reset();
    }
    document_.clear();
    forgetCache();
    dirty_ = false;
    withheld_ = false;
    saveDepth_ = 0;
}

bool IniDocument::fileBehind() const {
    return file_ && dirty_;
}

bool IniDocument::finishSave(bool write, std::string* error) {
    if (saveDepth_ > 0) --saveDepth_;
    if (saveDepth_ > 0) return true;
    if (!write) {
        withheld_ = dirty_;
        return true;
    }
    return syncFile(error);
}

void IniDocument::forgetCache() {
    cachedSection_.clear();
    cachedStart_.reset();
    cachedEnd_.reset();
}

std::optional<IniDocument::Header> IniDocument::findSection(std::string_view name,
                                                            std::size_t& from) {
    std::string needle;
    needle.reserve(name.size() + 2);
    needle += '[';
    needle += name;
    needle += ']';
    // A match that is no header sends the search on.
    for (;;) {
        if (cachedStart_ && cachedEnd_ && cachedSection_ == name) {
            // The cache belongs to this document; the check of its bytes costs
            // the length of the name and guards against any edit it missed.
            if (*cachedStart_ <= document_.size() &&
                document_.compare(*cachedStart_, needle.size(), needle) == 0)
                return Header{*cachedStart_, *cachedEnd_};
            forgetCache();
        }
        const std::size_t at = findBytes(document_, needle, from);
        cachedSection_ = name;
        cachedEnd_.reset();
        if (at == npos) {
            cachedStart_.reset();
            return std::nullopt;
        }
        cachedStart_ = at;
        if (startsHeader(document_, at)) {
            cachedEnd_ = at + needle.size() - 1;
            return Header{at, *cachedEnd_};
        }
        from = at + 1;
    }
}

std::size_t IniDocument::nextHeaderLine(std::size_t from, std::size_t limit) const {
    for (;;) {
        const std::size_t lineBreak = findBytes(document_, kHeaderLineStart, from);
        if (lineBreak == npos || lineBreak >= limit) return npos;
        const std::size_t bracket = lineBreak + 2;
        std::size_t lineEnd = findBytes(document_, kLineBreak, bracket);
        if (lineEnd == npos) lineEnd = document_.size();
        const std::string_view line(document_.data() + bracket, lineEnd - bracket);
        if (findAtBoundary(line, "]") != npos) return bracket;
        from = bracket;
    }
}

std::int64_t IniDocument::headerBetween(std::int64_t from, std::int64_t to) const {
    if (to < 1) return -1;
    const std::size_t start = from > 1 ? static_cast<std::size_t>(from - 1) : 0;
    const std::size_t bracket = nextHeaderLine(start, static_cast<std::size_t>(to - 1));
    return bracket == npos ? -1 : static_cast<std::int64_t>(bracket) + 1;
}

std::optional<IniDocument::Span> IniDocument::findKey(const Header& header,
                                                      std::string_view key) const {
    std::string needle;
    needle.reserve(key.size() + 3);
    needle += kLineBreak;
    needle += key;
    needle += '=';
    const std::size_t at = findBytes(document_, needle, header.end);
    if (at == npos) return std::nullopt;
    // A header line between the section's header and the match means that the
    // match is a key of a later section. The key's own line is not counted.
    if (nextHeaderLine(header.end + 1, at) != npos) return std::nullopt;
    const std::size_t start = at + needle.size();
    std::size_t end = findBytes(document_, kLineBreak, start);
    if (end == npos) end = document_.size();
    return Span{start, end - start};
}

std::string IniDocument::readKey(std::string_view section, std::string_view key,
                                 std::string_view defaultValue, bool emptyMeansMissing) {
    std::size_t from = 0;
    const std::optional<Header> header = findSection(section, from);
    if (!header) return std::string(defaultValue);
    const std::optional<Span> span = findKey(*header, key);
    if (!span) return std::string(defaultValue);
    std::string_view value(document_.data() + span->start, span->size);
    value = value.substr(0, value.find('\0'));
    if (value.empty() && emptyMeansMissing) return std::string(defaultValue);
    return std::string(value);
}

KeyWrite IniDocument::writeKey(std::string_view section, std::string_view key,
                               std::string_view value) {
    const std::optional<Header> header = establishSection(section);
    // Both are always found: a line just added is found by the search after
    // it. The checks keep a slip there from reading through an empty optional.
    if (!header) return KeyWrite::Failed;
    const std::optional<Span> span = establishKey(*header, key);
    if (!span) return KeyWrite::Failed;
    const std::string_view old(document_.data() + span->start, span->size);
    // An unchanged value touches nothing, but a file that lags behind after a
    // failed write gets another chance.
    if (old != value) change(span->start, span->size, value);
    return syncFile() ? KeyWrite::Written : KeyWrite::Failed;
}

std::optional<IniDocument::Header> IniDocument::establishSection(std::string_view name) {
    std::size_t from = 0;
    if (std::optional<Header> header = findSection(name, from)) return header;
    std::string line;
    if (!document_.empty()) line += kLineBreak;
    line += '[';
    line += name;
    line += ']';
    from = document_.size();
    change(document_.size(), 0, line);
    return findSection(name, from);
}

std::optional<IniDocument::Span> IniDocument::establishKey(const Header& header,
                                                           std::string_view key) {
    if (std::optional<Span> span = findKey(header, key)) return span;
    // The key line goes at the end of the section, before the next line that
    // starts with "[".
    std::size_t at = findBytes(document_, kHeaderLineStart, header.end + 1);
    if (at == npos) at = document_.size();
    std::string line;
    line.reserve(key.size() + 3);
    line += kLineBreak;
    line += key;
    line += '=';
    change(at, 0, line);
    // Searched again rather than taken from `at`: with a key that holds line
    // breaks, an earlier match may now run into the new line, and the first
    // match is the key's line for every later read.
    return findKey(header, key);
}

void IniDocument::change(std::size_t at, std::size_t oldSize, std::string_view bytes) {
    document_.replace(at, oldSize, bytes);
    if (cachedStart_ && at <= *cachedStart_) forgetCache();
    dirty_ = true;
}

// Brings the file up to the document by replacing it as a whole. On failure
// the file stays as it was and the document keeps every change, so the next
// call tries again.
bool IniDocument::syncFile(std::string* error) {
    if (!file_) {
        dirty_ = false;
        return true;
    }
    if (!dirty_ || saveDepth_ > 0) return true;
    ReplacementFile file(filePath_);
    bool done = file.write(document_);
    struct stat old {};
    if (done && ::fstat(file_.get(), &old) == 0) done = file.setPermissions(old.st_mode);
    // The new file is locked before it takes the name: no other copy can
    // lock it in between. Taking it over releases the lock of the old one.
    done = done && file.sync() && file.lock() && file.commitAndKeep(file_);
    if (!done) {
        if (error) *error = errorText(file.failure());
        return false;
    }
    // The rename itself reaches the disk with the folder; should that fail,
    // the settings file is still whole, old or new.
    static_cast<void>(syncFolderOf(filePath_));
    dirty_ = false;
    withheld_ = false;
    return true;
}

}  // namespace lct
