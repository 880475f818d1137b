#include "engine/chars.h"

#include <algorithm>

#include "platform/bytes.h"
#include "platform/charset.h"
#include "platform/gbk_text.h"

namespace lct {
namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';

bool isLineBreakStart(std::string_view s, std::size_t i) {
    return s[i] == kCr || s[i] == kLf;
}

// How much one character counts in a mode.
int weight(std::string_view s, std::size_t offset, std::size_t size, CountMode mode) {
    if (!isLineBreakStart(s, offset)) return 1;
    switch (mode) {
        case CountMode::NoLineBreaks:
            return 0;
        case CountMode::Bytes:
            return static_cast<int>(size);
        case CountMode::Characters:
            break;
    }
    return 1;
}

// A pattern prepared for comparison at character boundaries. Unless case
// matters, the bytes of its single-byte characters are folded; the bytes of
// its double-byte characters must match exactly.
class Needle {
  public:
    Needle(std::string_view pattern, bool caseSensitive) : bytes_(pattern) {
        for (std::size_t i = 0; i < pattern.size();) {
            const std::size_t n = charSize(pattern, i);
            lastCharStart_ = i;
            if (!caseSensitive && n == 1 && byteAt(pattern, i) < 0x80) {
                const char folded = toLowerAscii(pattern[i]);
                if (folded >= 'a' && folded <= 'z') {
                    foldable_.resize(pattern.size(), false);
                    foldable_[i] = true;
                    bytes_[i] = folded;
                }
            }
            i += n;
        }
    }

    bool empty() const { return bytes_.empty(); }
    bool folds() const { return !foldable_.empty(); }
    const std::string& bytes() const { return bytes_; }

    // True when the pattern matches at `offset`, a character boundary of
    // `text`, and the match ends at a character boundary too (a CR never
    // matches the first half of a CR LF, a lead byte never half a character).
    bool matchesAt(std::string_view text, std::size_t offset) const {
        if (text.size() - offset < bytes_.size()) return false;
        if (!folds()) {
            if (text.compare(offset, bytes_.size(), bytes_) != 0) return false;
        } else {
            for (std::size_t j = 0; j < bytes_.size(); ++j) {
                const char t = text[offset + j];
                if (foldable_[j] ? toLowerAscii(t) != bytes_[j] : t != bytes_[j]) return false;
            }
        }
        const std::size_t last = offset + lastCharStart_;
        return last + charSize(text, last) == offset + bytes_.size();
    }

  private:
    std::string bytes_;
    std::vector<bool> foldable_;
    std::size_t lastCharStart_ = 0;
};

// Walks a text character by character, keeping the position of the current
// character in a counting mode.
class Walker {
  public:
    Walker(std::string_view text, CountMode mode) : text_(text), mode_(mode) {}

    bool atEnd() const { return offset_ >= text_.size(); }
    std::size_t offset() const { return offset_; }
    int position() const { return position_; }  // 1-based position of the current character

    void next() {
        const std::size_t n = charSize(text_, offset_);
        position_ += weight(text_, offset_, n, mode_);
        offset_ += n;
    }

    // Advances to the first character whose position is at least `start`.
    void skipTo(int start) {
        while (!atEnd() && position_ < start)
            next();
    }

  private:
    std::string_view text_;
    CountMode mode_;
    std::size_t offset_ = 0;
    int position_ = 1;
};

// The next byte-level occurrence of the needle's bytes that starts at a
// character boundary at or after the walker's character, with the walker
// moved to it; npos when there is none (the walker may then have moved on).
// Whether the occurrence also ends at a boundary is for Needle::matchesAt.
std::size_t nextHitAtBoundary(std::string_view text, const Needle& needle, Walker& w) {
    return findAtBoundary(text, needle.bytes(), w.offset(), [&w](std::size_t) {
        w.next();
        return w.offset();
    });
}

}  // namespace

int charCount(std::string_view text, CountMode mode) {
    if (mode == CountMode::Characters) {
        // The common case: runs of plain ASCII count their bytes, runs of
        // double-byte characters half of theirs, the rest one at a time.
        std::size_t count = 0;
        for (std::size_t i = 0; i < text.size();) {
            const std::size_t ascii = skipPlainAscii(text, i, '\r', '\r');
            count += ascii - i;
            const std::size_t pairs = skipDoubleBytes(text, ascii);
            count += (pairs - ascii) / 2;
            i = pairs;
            if (i < text.size()) {
                i += charSize(text, i);
                ++count;
            }
        }
        return static_cast<int>(count);
    }
    int count = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = charSize(text, i);
        count += weight(text, i, n, mode);
        i += n;
    }
    return count;
}

int findChars(std::string_view text, std::string_view pattern, int start, bool caseSensitive,
              CountMode mode) {
    const Needle needle(pattern, caseSensitive);
    if (needle.empty()) return -1;
    Walker w(text, mode);
    w.skipTo(std::max(start, 1));
    if (!needle.folds()) {
        // Fast substring search; a hit inside a character is skipped.
        while (!w.atEnd()) {
            const std::size_t hit = nextHitAtBoundary(text, needle, w);
            if (hit == std::string_view::npos) return -1;
            if (needle.matchesAt(text, hit)) return w.position();
            w.next();
        }
        return -1;
    }
    for (; !w.atEnd(); w.next()) {
        if (needle.matchesAt(text, w.offset())) return w.position();
    }
    return -1;
}

int findCharsBackward(std::string_view text, std::string_view pattern, int start) {
    const Needle needle(pattern, true);
    if (needle.empty() || start < 1) return -1;
    int found = -1;
    for (Walker w(text, CountMode::Characters); !w.atEnd() && w.position() <= start; w.next()) {
        if (needle.matchesAt(text, w.offset())) found = w.position();
    }
    return found;
}

std::vector<int> findAllChars(std::string_view text, std::string_view pattern, bool caseSensitive) {
    std::vector<int> found;
    const Needle needle(pattern, caseSensitive);
    if (needle.empty()) return found;
    Walker w(text, CountMode::Characters);
    if (!needle.folds()) {
        // Jump from one byte-level hit to the next; hits inside a character
        // are skipped.
        while (!w.atEnd()) {
            const std::size_t hit = nextHitAtBoundary(text, needle, w);
            if (hit == std::string_view::npos) break;
            if (needle.matchesAt(text, hit)) found.push_back(w.position());
            w.next();
        }
        return found;
    }
    for (; !w.atEnd(); w.next()) {
        if (needle.matchesAt(text, w.offset())) found.push_back(w.position());
    }
    return found;
}

std::string midChars(std::string_view text, int start, int count) {
    if (count < 1) return {};
    Walker w(text, CountMode::Characters);
    w.skipTo(std::max(start, 1));
    const std::size_t from = w.offset();
    for (int i = 0; i < count && !w.atEnd(); ++i)
        w.next();
    return std::string(text.substr(from, w.offset() - from));
}

std::string replaceText(std::string_view text, std::string_view from, std::string_view to,
                        bool caseSensitive, int limit) {
    const Needle needle(from, caseSensitive);
    if (needle.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    int done = 0;
    std::size_t copied = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if ((limit < 1 || done < limit) && needle.matchesAt(text, i)) {
            out.append(text.substr(copied, i - copied));
            out.append(to);
            i += from.size();
            copied = i;
            ++done;
            continue;
        }
        if (limit >= 1 && done >= limit) break;
        i += charSize(text, i);
    }
    out.append(text.substr(copied));
    return out;
}

bool matchesAt(std::string_view text, std::size_t offset, std::string_view pattern) {
    return offset <= text.size() && Needle(pattern, true).matchesAt(text, offset);
}

bool containsText(std::string_view text, std::string_view pattern) {
    return findChars(text, pattern, 1, true) > 0;
}

// A byte of 0x80 or more takes the byte after it along, whatever that is; a
// byte below 0x80 always ends a character. Walks sixteen bytes at a time where it can, else a word
// at a time through runs of plain ASCII and of double-byte characters.
std::size_t nextOfAscii(std::string_view text, std::size_t from, char stop1, char stop2) {
    std::size_t i = from;
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi8(stop1);
    const __m128i second = _mm_set1_epi8(stop2);
    while (i + 16 <= text.size()) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
        const auto high = static_cast<unsigned>(_mm_movemask_epi8(block));
        const auto stops = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(block, first), _mm_cmpeq_epi8(block, second))));
        const unsigned low = ~high & 0xFFFFu;
        if (stops == 0) {
            // On from the last byte below 0x80, where a character ends; a
            // block of high bytes alone holds whole characters.
            i += low == 0 ? 16 : 32 - static_cast<unsigned>(__builtin_clz(low));
            continue;
        }
        const auto at = static_cast<unsigned>(__builtin_ctz(stops));
        // The high bytes right before the stop, back to a character's end.
        const unsigned lowBefore = low & ((1u << at) - 1);
        const unsigned runStart =
            lowBefore == 0 ? 0 : 32 - static_cast<unsigned>(__builtin_clz(lowBefore));
        if ((at - runStart) % 2 == 0) return i + at;
        i += at + 1;  // a trail byte: the character ends with it
    }
#endif
    for (;;) {
        i = skipPlainAscii(text, i, stop1, stop2);
        if (i >= text.size()) return text.size();
        if (static_cast<unsigned char>(text[i]) < 0x80) return i;
        i = skipDoubleBytes(text, i);
        if (i < text.size() && static_cast<unsigned char>(text[i]) >= 0x80) i += 2;
    }
}

CharIndex::CharIndex(std::string_view text) : text_(text) {
    checkpoints_.reserve(text.size() / kStride + 1);
    std::size_t position = 0;  // characters before byte i
    // Keeps the checkpoints that fall in a run of `chars` characters of
    // `width` bytes each, starting at byte `from`.
    const auto run = [&](std::size_t from, std::size_t chars, std::size_t width) {
        std::size_t next = (position + kStride - 1) / kStride * kStride;  // next checkpoint
        for (; next < position + chars; next += kStride)
            checkpoints_.push_back(from + (next - position) * width);
        position += chars;
    };
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t ascii = skipPlainAscii(text, i, '\r', '\r');
        run(i, ascii - i, 1);
        const std::size_t pairs = skipDoubleBytes(text, ascii);
        run(ascii, (pairs - ascii) / 2, 2);
        i = pairs;
        if (i < text.size()) {
            run(i, 1, 1);
            i += charSize(text, i);
        }
    }
    count_ = static_cast<int>(position);
}

std::size_t CharIndex::offset(int position) const {
    const int clamped = std::clamp(position, 1, count_ + 1);
    if (clamped > count_) return text_.size();
    const auto checkpoint = static_cast<std::size_t>((clamped - 1) / kStride);
    std::size_t i = checkpoints_[checkpoint];
    for (int walk = (clamped - 1) % kStride; walk > 0; --walk)
        i += charSize(text_, i);
    return i;
}

std::string_view CharIndex::mid(int start, int count) const {
    if (count < 1) return {};
    const int first = std::max(start, 1);
    if (first > this->count()) return {};
    const auto last = static_cast<int>(  // inclusive
        std::min<long long>(this->count(), static_cast<long long>(first) + count - 1));
    const std::size_t from = offset(first);
    return text_.substr(from, offset(last + 1) - from);
}

}  // namespace lct
