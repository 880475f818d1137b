#pragma once
// The character model of the engine's GBK texts, and counting, searching and
// cutting by character.
//
// A text is scanned byte by byte from its start. One character is:
//   - a byte below 0x80 other than CR and LF;
//   - CR immediately followed by LF (a line break is one character);
//   - a lone CR, or a lone LF;
//   - a GB18030 four-byte sequence (81..FE, 30..39, 81..FE, 30..39), which is
//     how the codec carries characters that GBK lacks;
//   - any other byte of 0x80 or more together with the byte after it, whatever
//     that byte is (so a trail byte equal to '\', '|', '>' or a letter belongs
//     to its character and is never seen on its own);
//   - a lead byte at the very end of the text, alone.
// Positions are 1-based character indices; byte offsets stay in this module.
// Searches only ever match at character boundaries.

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/charset.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lct {

/// How line breaks are counted.
enum class CountMode {
    NoLineBreaks = 0,  ///< line-break characters count 0
    Characters = 1,    ///< every character counts 1 (the default)
    Bytes = 2,         ///< like Characters, but CR and LF count one each
};

/// Bytes of the character that starts at byte `offset` (0 at the end).
inline std::size_t charSize(std::string_view text, std::size_t offset) {
    if (offset + 1 < text.size() && text[offset] == '\r' && text[offset + 1] == '\n') return 2;
    return gbkCharSize(text, offset);
}

/// The offset of the first byte at or after `i` that is 0x80 or more or equals
/// `stop1` or `stop2`; text.size() when there is none. Every byte skipped is a
/// character of its own. Looks at sixteen bytes at a time where SSE2 is there,
/// else eight.
inline std::size_t skipPlainAscii(std::string_view text, std::size_t i, char stop1, char stop2) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHigh = 0x8080808080808080u;
    const auto hasZeroByte = [](std::uint64_t v) { return (v - kOnes) & ~v & kHigh; };
    const std::uint64_t pattern1 = kOnes * static_cast<unsigned char>(stop1);
    const std::uint64_t pattern2 = kOnes * static_cast<unsigned char>(stop2);
    const char* data = text.data();
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi8(stop1);
    const __m128i second = _mm_set1_epi8(stop2);
    for (; i + 16 <= text.size(); i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        const int found = _mm_movemask_epi8(block) |
                          _mm_movemask_epi8(_mm_cmpeq_epi8(block, first)) |
                          _mm_movemask_epi8(_mm_cmpeq_epi8(block, second));
        if (found != 0)
            return i + static_cast<unsigned>(__builtin_ctz(static_cast<unsigned>(found)));
    }
#endif
    while (i + 8 <= text.size()) {
        std::uint64_t word = 0;
        __builtin_memcpy(&word, data + i, 8);
        if ((word & kHigh) | hasZeroByte(word ^ pattern1) | hasZeroByte(word ^ pattern2)) break;
        i += 8;
    }
    while (i < text.size()) {
        const char c = data[i];
        if (static_cast<unsigned char>(c) >= 0x80 || c == stop1 || c == stop2) break;
        ++i;
    }
    return i;
}

/// The end of the run of double-byte characters that starts at `i` (a
/// character start): an even number of bytes on. Such a run holds no
/// four-byte sequence, whose digits are ASCII: its characters are a byte of
/// 0x80 or more and one of 0x40 or more (the second byte of many of GBK's
/// traditional characters is ASCII). Looks at four characters at a time.
inline std::size_t skipDoubleBytes(std::string_view text, std::size_t i) {
    // The first bytes of the four characters in a word read from memory, and
    // their second bytes.
    constexpr bool kLittle = std::endian::native == std::endian::little;
    constexpr std::uint64_t kFirst = kLittle ? 0x0080008000800080u : 0x8000800080008000u;
    constexpr std::uint64_t kSecond = kLittle ? 0x8000800080008000u : 0x0080008000800080u;
    const char* data = text.data();
#if defined(__SSE2__)
    // Eight such characters at a time: first bytes at even offsets, and bit 7
    // of a byte of (block | block + block) is set when the byte is 0x40 or more.
    for (; i + 16 <= text.size(); i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        if ((_mm_movemask_epi8(block) & 0x5555) != 0x5555 ||
            (_mm_movemask_epi8(_mm_or_si128(block, _mm_add_epi8(block, block))) & 0xAAAA) != 0xAAAA)
            break;
    }
#endif
    for (;;) {
        while (i + 8 <= text.size()) {
            std::uint64_t word = 0;
            __builtin_memcpy(&word, data + i, 8);
            // Bit 7 of a byte of (word | word << 1) is set when the byte is 0x40 or more.
            if ((word & kFirst) != kFirst || ((word | word << 1) & kSecond) != kSecond) break;
            i += 8;
        }
        if (i + 1 >= text.size() || static_cast<unsigned char>(data[i]) < 0x80 ||
            static_cast<unsigned char>(data[i + 1]) < 0x40)
            return i;
        i += 2;
    }
}

/// The first character at or after `from` (a character start) that is the
/// ASCII byte `stop1` or `stop2` (neither a line feed, which a carriage return
/// before it takes along); text.size() when there is none. Looks at sixteen
/// bytes at a time.
std::size_t nextOfAscii(std::string_view text, std::size_t from, char stop1, char stop2);

/// Number of characters of `text` in the given counting mode.
int charCount(std::string_view text, CountMode mode = CountMode::Characters);

/// Character position where the first occurrence of `pattern` that begins at or
/// after character `start` begins, or -1 (also for an empty pattern). A start
/// below 1 means 1. Unless `caseSensitive`, ASCII letters compare without case;
/// double-byte characters are never folded.
int findChars(std::string_view text, std::string_view pattern, int start = 1,
              bool caseSensitive = false, CountMode mode = CountMode::Characters);

/// Position of the last occurrence of `pattern` that begins at or before
/// character `start` (case-sensitive), or -1.
int findCharsBackward(std::string_view text, std::string_view pattern, int start);

/// Every position where `pattern` occurs, each search starting one character
/// after the previous hit (so occurrences may overlap), in one linear pass.
/// Empty for an empty pattern.
std::vector<int> findAllChars(std::string_view text, std::string_view pattern,
                              bool caseSensitive = false);

/// The `count` characters that begin at character `start` (below 1 means 1);
/// shorter at the end of the text; empty for a count below 1 or a start past
/// the end. A CR LF line break is one character and is never split.
std::string midChars(std::string_view text, int start, int count);

/// `text` with every occurrence of `from` replaced by `to`, scanning from the
/// start and continuing after each replacement; at most `limit` replacements
/// when limit >= 1, all otherwise. Matches only at character boundaries;
/// unless `caseSensitive`, ASCII letters compare without case. An empty `from`
/// changes nothing.
std::string replaceText(std::string_view text, std::string_view from, std::string_view to,
                        bool caseSensitive = true, int limit = 0);

/// True when `pattern` (case-sensitive) occurs at byte `offset`, which must be a
/// character boundary of `text`, and ends at a character boundary. For the
/// other primitives; engine stages work with positions.
bool matchesAt(std::string_view text, std::size_t offset, std::string_view pattern);

/// True when `text` contains `pattern` at a character boundary (case-sensitive).
bool containsText(std::string_view text, std::string_view pattern);

/// Byte offsets of the character starts of one text, for random access by
/// character position. Built in one pass; the text must stay alive and
/// unchanged while the index is used. Only every kStride-th start is kept
/// (an eighth of a byte per byte of text at most), so an access walks at most
/// kStride - 1 characters from the nearest kept one.
class CharIndex {
  public:
    static constexpr int kStride = 32;

    explicit CharIndex(std::string_view text);

    int count() const { return count_; }
    /// Byte offset where character `position` begins (count()+1 gives the text size).
    std::size_t offset(int position) const;
    /// The characters from `start` to `start + count - 1`, clipped to the text.
    std::string_view mid(int start, int count) const;
    /// The character at `position`, or empty.
    std::string_view at(int position) const { return mid(position, 1); }
    std::string_view text() const { return text_; }

    /// Calls `visit(position, character)` for every character, in order.
    template <typename Visit>
    void forEach(Visit visit) const {
        int position = 1;
        for (std::size_t i = 0; i < text_.size(); ++position) {
            const std::size_t n = charSize(text_, i);
            visit(position, text_.substr(i, n));
            i += n;
        }
    }

  private:
    std::string_view text_;
    int count_ = 0;
    std::vector<std::size_t> checkpoints_;  // the start of characters 1, 1 + kStride, …
};

}  // namespace lct
