#pragma once
// Bytes of text: reading a byte as the unsigned value it is, the byte classes
// of UTF-8 and GB18030, and the ASCII character classes. Every byte predicate of the
// program lives here, so that a lead byte is tested the same way everywhere
// (a byte is 0x80 or more only as unsigned char).
//
// ASCII letter case is the only case the program folds: double-byte
// characters and bytes of 0x80 or more are never changed.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace lct {

/// The byte at `i` of `s` as an unsigned value (0..255).
constexpr unsigned byteAt(std::string_view s, std::size_t i) {
    return static_cast<unsigned char>(s[i]);
}

/// True for a UTF-8 continuation byte (80..BF).
constexpr bool isContinuation(unsigned b) {
    return (b & 0xC0) == 0x80;
}

/// GB18030's byte classes: a lead byte (81..FE) starts a two-byte character,
/// whose trail byte is 40..FE but 7F, or a four-byte one, whose second and
/// fourth bytes are digits (30..39) and third a lead byte.
constexpr bool isGbLeadByte(unsigned b) {
    return b >= 0x81 && b <= 0xFE;
}
constexpr bool isGbTrailByte(unsigned b) {
    return b >= 0x40 && b <= 0xFE && b != 0x7F;
}
constexpr bool isGbDigitByte(unsigned b) {
    return b >= 0x30 && b <= 0x39;
}

/// The end of the run of ASCII bytes that starts at `i`: the offset of the
/// first byte of 0x80 or more from `i` on, or the size of `s`. Eight bytes at
/// a time: texts are mostly such runs.
inline std::size_t asciiRunEnd(std::string_view s, std::size_t i) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    while (i + 8 <= s.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, s.data() + i, 8);
        if (word & kHighBits) break;
        i += 8;
    }
    while (i < s.size() && byteAt(s, i) < 0x80)
        ++i;
    return i;
}

constexpr bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

constexpr bool isAsciiAlnum(char c) {
    return isAsciiLetter(c) || isAsciiDigit(c);
}

/// `c` in lower case when it is an ASCII capital letter; unchanged otherwise.
constexpr char toLowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

/// True when `a` and `b` are equal with ASCII letters compared without case.
constexpr bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (toLowerAscii(a[i]) != toLowerAscii(b[i])) return false;
    }
    return true;
}

}  // namespace lct
