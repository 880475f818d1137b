#pragma once
// Reading UTF-8 one sequence at a time: the one reader of the program. Each
// function looks at the sequence that starts at a given byte and never reads
// past the end of its text.
//
// Two rules are in use. The strict one (readUtf8) is well-formed UTF-8: no
// overlong forms, no surrogates, nothing above U+10FFFF, no cut sequence.
// The loose one (looseUtf8Size) looks only at bit patterns, as a guess at a
// file's charset does: a lead byte C0..DF, E0..EF or F0..F4 followed by as
// many continuation bytes as it announces.

#include <cstddef>
#include <string_view>

#include "platform/bytes.h"

namespace lct {

/// A code point read from UTF-8 and the bytes it took; size 0 when the bytes
/// are no well-formed sequence.
struct Utf8Char {
    char32_t cp = 0;
    std::size_t size = 0;
};

/// The sequence at `p` (before `end`) by the strict rule. It runs for every
/// character of long texts, hence inline, with the three-byte form of CJK
/// tried first.
[[gnu::always_inline]] inline Utf8Char readUtf8(const unsigned char* p, const unsigned char* end) {
    const unsigned lead = p[0];
    if (lead < 0x80) return {static_cast<char32_t>(lead), 1};
    const std::ptrdiff_t left = end - p;
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (left < 3 || !isContinuation(p[1]) || !isContinuation(p[2])) return {};
        const auto cp =
            static_cast<char32_t>(((lead & 0x0Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu));
        if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) return {};
        return {cp, 3};
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        if (left < 2 || !isContinuation(p[1])) return {};
        return {static_cast<char32_t>(((lead & 0x1Fu) << 6) | (p[1] & 0x3Fu)), 2};
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (left < 4 || !isContinuation(p[1]) || !isContinuation(p[2]) || !isContinuation(p[3]))
            return {};
        const auto cp = static_cast<char32_t>(((lead & 0x07u) << 18) | ((p[1] & 0x3Fu) << 12) |
                                              ((p[2] & 0x3Fu) << 6) | (p[3] & 0x3Fu));
        if (cp < 0x10000 || cp > 0x10FFFF) return {};
        return {cp, 4};
    }
    return {};
}

/// The sequence at byte `i` of `s` by the strict rule.
[[gnu::always_inline]] inline Utf8Char readUtf8(std::string_view s, std::size_t i) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    return readUtf8(p + i, p + s.size());
}

/// Bytes that the lead byte `lead` announces, for stepping through text known
/// to be valid UTF-8 (or through any text where a wrong step does no harm): 1
/// below C0, 2 up to DF, 3 up to EF, 4 from F0 on. Nothing after it is looked at.
constexpr std::size_t utf8SequenceSize(unsigned lead) {
    if (lead < 0xC0) return 1;
    if (lead < 0xE0) return 2;
    if (lead < 0xF0) return 3;
    return 4;
}

/// Bytes of the sequence at byte `i` of `s` by the loose rule: 1 for an ASCII
/// byte, 2 to 4 for a lead byte followed by its continuation bytes, 0 for
/// anything else.
constexpr std::size_t looseUtf8Size(std::string_view s, std::size_t i) {
    const unsigned lead = byteAt(s, i);
    if (lead < 0x80) return 1;
    const std::size_t size = lead >= 0xC0 && lead <= 0xF4 ? utf8SequenceSize(lead) : 0;
    if (size == 0 || s.size() - i < size) return 0;
    for (std::size_t k = 1; k < size; ++k) {
        if (!isContinuation(byteAt(s, i + k))) return 0;
    }
    return size;
}

/// Raw bytes (bytes that were no valid GBK) travel through Unicode as the
/// private-use code point U+10FF00 + byte: F4 8F BC..BF 80..BF in UTF-8 (see
/// InvalidBytes in platform/charset.h).
constexpr char32_t kRawByteBase = 0x10FF00;

/// True when the character at byte `i` of `s` is one of U+10FF00..U+10FFFF.
inline bool isRawBytePoint(std::string_view s, std::size_t i) {
    return byteAt(s, i) == 0xF4 && readUtf8(s, i).cp >= kRawByteBase;
}

}  // namespace lct
