#include "settings/ini_document.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "app/form.h"
#include "platform/charset.h"
#include "settings/gbk_scan.h"

namespace lct {
namespace {

using settings_detail::findAtBoundary;
using settings_detail::findBytes;
using settings_detail::UniqueFd;

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kHeaderLineStart = "\r\n[";
constexpr std::size_t npos = std::string_view::npos;

// A request whose header or key line does not show up after this many
// additions is dropped (see applyRequest).
constexpr int kMaxAdditions = 10;

// Clears the flag when the write ends, however it ends.
class ApplyingScope {
  public:
    explicit ApplyingScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~ApplyingScope() { flag_ = false; }
    ApplyingScope(const ApplyingScope&) = delete;
    ApplyingScope& operator=(const ApplyingScope&) = delete;

  private:
    bool& flag_;
};

bool readWhole(int fd, std::string& out) {
    out.clear();
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0) out.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[64 * 1024];
    off_t offset = 0;
    for (;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            out.clear();
            return false;
        }
        if (n == 0) return true;
        out.append(buffer, static_cast<std::size_t>(n));
        offset += n;
    }
}

bool startsHeader(std::string_view doc, std::size_t at) {
    return at == 0 || (at >= 2 && doc[at - 2] == '\r' && doc[at - 1] == '\n');
}

}  // namespace

IniDocument::~IniDocument() {
    close();
}

bool IniDocument::open(std::string_view path) {
    close();
    path_ = path;
    if (path_.find('\0') != std::string::npos) return false;

    // O_NONBLOCK keeps a FIFO at that path from blocking the open; anything but
    // a regular file is refused below.
    constexpr int kFlags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    UniqueFd fd(::open(path_.c_str(), O_RDWR | O_CREAT | kFlags, 0666));
    bool writable = static_cast<bool>(fd);
    if (!writable) fd.reset(::open(path_.c_str(), O_RDONLY | kFlags));
    if (!fd) return false;

    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    // A second copy of the program holds the lock: read what it has, write nothing.
    if (writable && ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) writable = false;

    std::string bytes;
    // A file that cannot be read must not be written either: the document would
    // not be its image, and edits made in place would mix the two.
    if (!readWhole(fd.get(), bytes)) return false;
    document_ = std::move(bytes);
    if (!writable) return false;

    file_ = std::move(fd);
    fileSize_ = document_.size();
    return true;
}

void IniDocument::close() {
    if (file_) {
        syncFile();
        if (wroteFile_) ::fdatasync(file_.get());
        file_.reset();
    }
    document_.clear();
    forgetCache();
    fileSize_ = 0;
    dirtyFrom_ = kClean;
    dirtyTo_ = 0;
    wroteFile_ = false;
}

bool IniDocument::fileBehind() const {
    return file_ && (dirtyFrom_ != kClean || fileSize_ != document_.size());
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
    for (bool first = true;; first = false) {
        // A match that was no header sends the search on; the window gets its
        // turn before each further pass, as it does before the first.
        if (!first) processPendingMessages();
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
    processPendingMessages();
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

int IniDocument::writeKey(std::string_view section, std::string_view key, std::string_view value) {
    pending_.push_back({std::string(section), std::string(key), std::string(value)});
    if (applying_) return kQueued;
    return applyPending();
}

int IniDocument::applyPending() {
    if (applying_) return kQueued;
    if (pending_.empty()) return kFailed;
    std::optional<int> first;
    // A loop rather than the recursion of "apply one, then apply the rest": the
    // order is the same, and a long queue cannot exhaust the stack.
    while (!pending_.empty()) {
        const Request request = std::move(pending_.front());
        pending_.pop_front();
        int result = kFailed;
        {
            ApplyingScope scope(applying_);
            result = applyRequest(request);
        }
        if (!first) first = result;
    }
    return *first;
}

int IniDocument::applyRequest(const Request& request) {
    std::size_t from = 0;
    int headersAdded = 0;
    int keysAdded = 0;
    bool reachedFile = true;
    for (;;) {
        // Handlers run here and may read, close or reopen the document, so no
        // position survives from one pass to the next.
        processPendingMessages();
        const std::optional<Header> header = findSection(request.section, from);
        if (header) {
            const std::optional<Span> span = findKey(*header, request.key);
            if (span) {
                const std::string_view old(document_.data() + span->start, span->size);
                // An unchanged value touches nothing, but a file that lags
                // behind after a failed write gets another chance.
                const bool ok = old == request.value
                                    ? syncFile()
                                    : change(span->start, span->size, request.value);
                return ok && reachedFile ? kWritten : kFailed;
            }
            // A key line that never shows up can only come from a handler that
            // keeps replacing the document; stop rather than loop.
            if (++keysAdded > kMaxAdditions) {
                reportFault();
                return kFailed;
            }
            std::size_t at = findBytes(document_, kHeaderLineStart, header->end + 1);
            if (at == npos) at = document_.size();
            std::string line;
            line.reserve(request.key.size() + 3);
            line += kLineBreak;
            line += request.key;
            line += '=';
            if (!change(at, 0, line)) reachedFile = false;
            continue;
        }
        std::string headerLine;
        if (!document_.empty()) headerLine += kLineBreak;
        headerLine += '[';
        headerLine += request.section;
        headerLine += ']';
        from = document_.size();
        if (!change(document_.size(), 0, headerLine)) reachedFile = false;
        if (++headersAdded > kMaxAdditions) {
            reportFault();
            return kFailed;
        }
    }
}

void IniDocument::reportFault() {
    if (!owner_) return;
    static const std::string message =
        utf8ToGbk("配置模块出现意外，可能导致无法正常保存！详情请咨询青禾。");
    owner_->messageBox(message, {}, MessageButtons::Ok, MessageIcon::Warning);
    owner_->messageBox(document_, {}, MessageButtons::Ok, MessageIcon::Information);
}

bool IniDocument::change(std::size_t at, std::size_t oldSize, std::string_view bytes) {
    document_.replace(at, oldSize, bytes);
    if (cachedStart_ && at <= *cachedStart_) forgetCache();
    if (oldSize == bytes.size())
        markDirty(at, at + bytes.size());
    else
        markDirty(at, document_.size());
    return syncFile();
}

void IniDocument::markDirty(std::size_t from, std::size_t to) {
    if (from >= to) return;
    dirtyFrom_ = std::min(dirtyFrom_, from);
    dirtyTo_ = std::max(dirtyTo_, to);
}

// Brings the file up to the document. On failure the dirty range keeps what
// is still to be written, so the next call repairs the file. A file that has
// to grow gets its space first: when the disk is full that fails before any
// byte of the file has changed, and the file keeps its old content.
bool IniDocument::syncFile() {
    if (!file_) {
        dirtyFrom_ = kClean;
        dirtyTo_ = 0;
        return true;
    }
    const int fd = file_.get();
    const std::size_t size = document_.size();
    if (size > fileSize_) {
        const int error = ::posix_fallocate(fd, static_cast<off_t>(fileSize_),
                                            static_cast<off_t>(size - fileSize_));
        if (error != 0) {
            // Undo a partial extension; the old bytes are all below fileSize_.
            if (::ftruncate(fd, static_cast<off_t>(fileSize_)) != 0) {
                // The size is checked again on the next attempt.
            }
            return false;
        }
        markDirty(fileSize_, size);
        fileSize_ = size;
    }
    if (dirtyFrom_ != kClean) {
        const std::size_t end = std::min(dirtyTo_, size);
        while (dirtyFrom_ < end) {
            const ssize_t n = ::pwrite(fd, document_.data() + dirtyFrom_, end - dirtyFrom_,
                                       static_cast<off_t>(dirtyFrom_));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            wroteFile_ = true;
            dirtyFrom_ += static_cast<std::size_t>(n);
        }
    }
    if (size < fileSize_) {
        if (::ftruncate(fd, static_cast<off_t>(size)) != 0) return false;
        wroteFile_ = true;
        fileSize_ = size;
    }
    dirtyFrom_ = kClean;
    dirtyTo_ = 0;
    return true;
}

}  // namespace lct
