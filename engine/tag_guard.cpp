#include "engine/tag_guard.h"

#include <algorithm>
#include <cstring>

#include "engine/chars.h"
#include "platform/memory.h"

namespace lct {
namespace {

constexpr std::size_t kTagsPerBreath = 256;
// The room of a block of saved tags: as much as the blocks before, from
// kFirstTagBlock up to kTagBlock.
constexpr std::size_t kFirstTagBlock = 4096;
constexpr std::size_t kTagBlock = std::size_t{1} << 20;
// A text read for the last time goes back to the system a megabyte at a time.
constexpr std::size_t kReleaseStep = std::size_t{1} << 20;

struct TagSpan {
    std::size_t begin;
    std::size_t end;  // one past the ">"
};

// True when the "<" or ">" at `p` starts a character, given that `from` (at
// most `p`) does. Only a byte of 0x80 or more takes the byte after it along;
// the bytes of a four-byte sequence hold no "<" or ">". So `p` is a trail byte
// exactly when an odd number of such bytes stands right before it, counted
// back to the last smaller byte (which always ends a character) or to `from`.
bool startsCharacter(std::string_view text, std::size_t from, std::size_t p) {
    std::size_t run = p;
    while (run > from && static_cast<unsigned char>(text[run - 1]) >= 0x80)
        --run;
    return (p - run) % 2 == 0;
}

// The next "<" or ">" at or after `from` (a character start) that starts a
// character; text.size() when there is none.
std::size_t nextAngle(std::string_view text, std::size_t from) {
    return nextOfAscii(text, from, '<', '>');
}

// Calls `onTag` for every tag of `text` in text order; `onText` receives the
// runs between them.
template <typename OnText, typename OnTag>
void scanTags(std::string_view text, OnText onText, OnTag onTag, const KeepAlive& keepAlive) {
    std::size_t copied = 0;
    std::size_t open = std::string_view::npos;  // the last "<" not yet closed
    std::size_t tags = 0;
    for (std::size_t i = nextAngle(text, 0); i < text.size(); i = nextAngle(text, i + 1)) {
        if (text[i] == '<') {
            open = i;
        } else if (open != std::string_view::npos) {
            onText(text.substr(copied, open - copied));
            onTag(TagSpan{open, i + 1});
            copied = i + 1;
            open = std::string_view::npos;
            if (++tags % kTagsPerBreath == 0) keepAlive();
        }
    }
    onText(text.substr(copied));
}

}  // namespace

class TagGuard::Sink {
  public:
    /// Writes into `out`, after what it holds.
    explicit Sink(std::string& out) : out_(out), size_(out.size()) {}
    /// Writes over `text` from its start, never ahead of what is read: each
    /// piece written is no longer than the bytes read for it.
    static Sink over(std::string& text) { return Sink(text, 0); }

    void append(std::string_view bytes) {
        if (!inPlace_) {
            out_.append(bytes);
            return;
        }
        // Moved, never appended: that would write a terminator over bytes
        // not read yet.
        std::memmove(out_.data() + size_, bytes.data(), bytes.size());
        size_ += bytes.size();
    }

    /// The string written, taken from where it was written.
    std::string take() {
        if (inPlace_) {
            out_.resize(size_);
            // What the tags took is not held on while the text is worked on.
            releaseSpareCapacity(out_);
        }
        return std::move(out_);
    }

  private:
    Sink(std::string& text, std::size_t size) : out_(text), size_(size), inPlace_(true) {}

    std::string& out_;
    std::size_t size_;
    bool inPlace_ = false;
};

const std::string& TagGuard::defaultPlaceholder() {
    static const std::string placeholder(10, '\xFF');
    return placeholder;
}

const std::string& TagGuard::shortPlaceholder() {
    static const std::string placeholder(2, '\xFF');
    return placeholder;
}

std::string TagGuard::protect(std::string_view text, std::string_view placeholder, bool save) {
    const std::string_view used = placeholder.empty() ? defaultPlaceholder() : placeholder;
    std::string out;
    out.reserve(text.size());
    if (!save) {
        scanTags(
            text, [&](std::string_view run) { out.append(run); },
            [&](TagSpan) { out.append(used); }, keepAlive_);
        return out;
    }
    placeholder_ = used;
    forgetTags();
    noFF_ = text.find('\xFF') == std::string_view::npos;
    Sink sink(out);
    appendHidingTags(text, used, sink);
    return sink.take();
}

std::string TagGuard::protectRegions(std::string_view text, const std::vector<ByteRange>& regions,
                                     bool tags, std::string_view placeholder) {
    std::string out;
    out.reserve(text.size());
    Sink sink(out);
    return protectInto(text, regions, tags, placeholder, sink);
}

std::string TagGuard::protectRegions(std::string&& text, std::size_t from,
                                     const std::vector<ByteRange>& regions, bool tags,
                                     std::string_view placeholder) {
    const std::string_view used = placeholder.empty() ? defaultPlaceholder() : placeholder;
    const bool fits = used.size() <= 2 && text.find('\xFF', from) == std::string::npos &&
                      std::all_of(regions.begin(), regions.end(), [&](const ByteRange& r) {
                          return r.end - r.begin >= used.size();
                      });
    if (!fits) return protectRegions(std::string_view(text).substr(from), regions, tags, used);
    Sink sink = Sink::over(text);
    return protectInto(std::string_view(text).substr(from), regions, tags, used, sink);
}

std::string TagGuard::protectInto(std::string_view text, const std::vector<ByteRange>& regions,
                                  bool tags, std::string_view placeholder, Sink& out) {
    const std::string_view used = placeholder.empty() ? defaultPlaceholder() : placeholder;
    placeholder_ = used;
    forgetTags();
    noFF_ = text.find('\xFF') == std::string_view::npos;
    std::size_t at = 0;
    const auto gap = [&](std::size_t end) {
        const std::string_view run = text.substr(at, end - at);
        if (tags)
            appendHidingTags(run, used, out);
        else
            appendText(run, used, out);
    };
    for (const ByteRange& region : regions) {
        gap(region.begin);
        hide(text.substr(region.begin, region.end - region.begin), used, out);
        at = region.end;
    }
    gap(text.size());
    return out.take();
}

void TagGuard::appendHidingTags(std::string_view run, std::string_view placeholder, Sink& out) {
    scanTags(
        run, [&](std::string_view text) { appendText(text, placeholder, out); },
        [&](TagSpan tag) { hide(run.substr(tag.begin, tag.end - tag.begin), placeholder, out); },
        keepAlive_);
}

void TagGuard::hide(std::string_view bytes, std::string_view placeholder, Sink& out) {
    if (tagBlocks_.empty() ||
        tagBlocks_.back().capacity() - tagBlocks_.back().size() < bytes.size()) {
        // Small for a small page, a megabyte at most beyond the tag itself.
        tagBlocks_.emplace_back().reserve(
            std::max(bytes.size(), std::clamp(tagBytes_, kFirstTagBlock, kTagBlock)));
    }
    tagBlocks_.back().append(bytes);
    tagBytes_ += bytes.size();
    std::size_t size = bytes.size();
    for (; size >= 0x80; size >>= 7)
        tagSizes_.push_back(static_cast<char>(0x80 | (size & 0x7F)));
    tagSizes_.push_back(static_cast<char>(size));
    out.append(placeholder);
}

void TagGuard::appendText(std::string_view run, std::string_view placeholder, Sink& out) {
    if (noFF_) {
        out.append(run);
        return;
    }
    std::size_t copied = 0;
    for (std::size_t at = run.find('\xFF'); at != std::string_view::npos;
         at = run.find('\xFF', copied)) {
        // The whole character that holds the byte, which may be its trail.
        const std::size_t begin = startsCharacter(run, copied, at) ? at : at - 1;
        const std::size_t end = std::min(begin + 2, run.size());
        out.append(run.substr(copied, begin - copied));
        hide(run.substr(begin, end - begin), placeholder, out);
        copied = end;
    }
    out.append(run.substr(copied));
}

std::string TagGuard::strip(std::string_view text, const KeepAlive& keepAlive) {
    std::string out;
    out.reserve(text.size());
    scanTags(
        text, [&](std::string_view run) { out.append(run); }, [](TagSpan) {}, keepAlive);
    return out;
}

void TagGuard::forgetTags() {
    tagBlocks_.clear();
    tagBytes_ = 0;
    tagSizes_.clear();
}

template <typename Visit>
void TagGuard::forEachTag(Visit visit) const {
    std::size_t block = 0;
    std::size_t begin = 0;
    for (std::size_t at = 0; at < tagSizes_.size();) {
        std::size_t size = 0;
        for (int shift = 0;; shift += 7) {
            const auto byte = static_cast<unsigned char>(tagSizes_[at++]);
            size |= static_cast<std::size_t>(byte & 0x7F) << shift;
            if (byte < 0x80) break;
        }
        // A tag that did not fit in what its block had left begins the next.
        if (begin + size > tagBlocks_[block].size()) {
            ++block;
            begin = 0;
        }
        if (!visit(std::string_view(tagBlocks_[block]).substr(begin, size))) return;
        begin += size;
    }
}

std::size_t TagGuard::findPlaceholder(std::string_view text, std::size_t from) const {
    const std::size_t size = placeholder_.size();
    while (from + size <= text.size()) {
        const void* hit =
            std::memchr(text.data() + from, placeholder_[0], text.size() - size + 1 - from);
        if (!hit) break;
        const auto at = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
        // A placeholder is a few bytes: compared here, not by a call.
        std::size_t k = 1;
        while (k < size && text[at + k] == placeholder_[k])
            ++k;
        if (k == size) return at;
        from = at + 1;
    }
    return std::string_view::npos;
}

std::string TagGuard::restore(std::string_view text) const {
    return restoreAfter({}, text);
}

std::string TagGuard::restoreAfter(std::string_view prefix, std::string_view text) const {
    return restoreInto(prefix, text, false);
}

std::string TagGuard::restoreAfter(std::string_view prefix, std::string&& text) const {
    std::string out = restoreInto(prefix, text, true);
    std::string().swap(text);
    return out;
}

std::string TagGuard::restoreInto(std::string_view prefix, std::string_view text,
                                  bool lastRead) const {
    std::string out;
    out.reserve(prefix.size() + text.size() + tagBytes_);
    out.append(prefix);
    std::size_t copied = 0;
    std::size_t released = 0;
    forEachTag([&](std::string_view tag) {
        const std::size_t hit = findPlaceholder(text, copied);
        if (hit == std::string_view::npos) return false;
        out.append(text.substr(copied, hit - copied));
        out.append(tag);
        copied = hit + placeholder_.size();
        if (lastRead && copied - released >= kReleaseStep) {
            releaseReadBytes(text, released, copied);
            released = copied;
        }
        return true;
    });
    out.append(text.substr(copied));
    return out;
}

std::string TagGuard::restore(std::string_view text,
                              std::vector<std::pair<std::size_t, std::size_t>>& spans) const {
    std::string out;
    out.reserve(text.size() + tagBytes_);
    std::size_t copied = 0;
    // A position of `text` moves by what the tags before it add.
    std::size_t next = 0;  // the first span end not yet moved (ends, then begins)
    std::size_t nextBegin = 0;
    long long shift = 0;
    const auto moveBefore = [&](std::size_t limit) {
        for (; nextBegin < spans.size() && spans[nextBegin].first <= limit; ++nextBegin)
            spans[nextBegin].first =
                static_cast<std::size_t>(static_cast<long long>(spans[nextBegin].first) + shift);
        for (; next < spans.size() && spans[next].second <= limit; ++next)
            spans[next].second =
                static_cast<std::size_t>(static_cast<long long>(spans[next].second) + shift);
    };
    forEachTag([&](std::string_view tag) {
        const std::size_t hit = findPlaceholder(text, copied);
        if (hit == std::string_view::npos) return false;
        moveBefore(hit);
        out.append(text.substr(copied, hit - copied));
        out.append(tag);
        shift += static_cast<long long>(tag.size()) - static_cast<long long>(placeholder_.size());
        copied = hit + placeholder_.size();
        return true;
    });
    moveBefore(text.size());
    out.append(text.substr(copied));
    return out;
}

std::vector<std::string> TagGuard::savedTags() const {
    std::vector<std::string> tags;
    forEachTag([&](std::string_view tag) {
        tags.emplace_back(tag);
        return true;
    });
    return tags;
}

}  // namespace lct
