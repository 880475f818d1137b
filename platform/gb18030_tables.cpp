#include "platform/gb18030_tables.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/icu_converter.h"
#include "platform/table_writer.h"
#include "platform/utf8.h"

namespace lct {
namespace {

constexpr unsigned kLeadFirst = 0x81;
constexpr unsigned kLeadLast = 0xFE;
constexpr unsigned kTrailFirst = 0x40;
constexpr unsigned kTrailLast = 0xFE;
constexpr unsigned kTrails = kTrailLast - kTrailFirst + 1;
constexpr std::size_t kCodes = (kLeadLast - kLeadFirst + 1) * kTrails;

std::size_t codeIndex(unsigned lead, unsigned trail) {
    return (lead - kLeadFirst) * kTrails + (trail - kTrailFirst);
}

// Writes the four bytes of `v`, lowest first, at `d`.
void storeLittleEndian(char* d, std::uint32_t v) {
    const std::array<char, 4> bytes = {static_cast<char>(v), static_cast<char>(v >> 8),
                                       static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
    std::memcpy(d, bytes.data(), bytes.size());
}

bool isSurrogate(char32_t u) {
    return u >= 0xD800 && u <= 0xDFFF;
}

// Two-byte code → its character (0: not covered), and character → two-byte
// code, lead byte high (0: not covered).
struct Tables {
    std::array<std::uint16_t, kCodes> decode{};
    std::array<std::uint16_t, 0x10000> encode{};
    // The UTF-8 of `decode`'s characters, its bytes from the lowest up and
    // their count in the highest (0: not covered).
    std::array<std::uint32_t, kCodes> utf8{};
    Tables();
};

// Every two-byte code in one buffer, decoded by ICU with offsets so that each
// output unit is traced to its code; then every character that came out as
// one unit encoded back, and kept where ICU gives the same two bytes.
Tables::Tables() {
    UErrorCode status = U_ZERO_ERROR;
    const ConverterPtr gb(ucnv_open("gb18030", &status));
    if (U_FAILURE(status)) return;  // all zero: nothing is covered, ICU does all
    std::vector<char> codes;
    for (unsigned lead = kLeadFirst; lead <= kLeadLast; ++lead) {
        for (unsigned trail = kTrailFirst; trail <= kTrailLast; ++trail) {
            if (trail == 0x7F) continue;
            codes.push_back(static_cast<char>(lead));
            codes.push_back(static_cast<char>(trail));
        }
    }
    std::vector<UChar> units(codes.size());
    std::vector<int32_t> offsets(codes.size());
    UChar* target = units.data();
    const char* source = codes.data();
    ucnv_toUnicode(gb.get(), &target, units.data() + units.size(), &source,
                   codes.data() + codes.size(), offsets.data(), true, &status);
    if (U_FAILURE(status)) return;
    const std::size_t produced = static_cast<std::size_t>(target - units.data());
    std::vector<int> unitsOfCode(codes.size() / 2, 0);
    for (std::size_t i = 0; i < produced; ++i)
        ++unitsOfCode[static_cast<std::size_t>(offsets[i]) / 2];
    for (std::size_t i = 0; i < produced; ++i) {
        const UChar u = units[i];
        const std::size_t code = static_cast<std::size_t>(offsets[i]) / 2;
        if (unitsOfCode[code] != 1 || u == 0xFFFD || u < 0x80 || isSurrogate(u)) continue;
        const auto lead = static_cast<unsigned char>(codes[2 * code]);
        const auto trail = static_cast<unsigned char>(codes[2 * code + 1]);
        decode[codeIndex(lead, trail)] = u;
        utf8[codeIndex(lead, trail)] =
            u < 0x800 ? (0xC0u | u >> 6) | (0x80u | (u & 0x3Fu)) << 8 | 2u << 24
                      : (0xE0u | u >> 12) | (0x80u | ((u >> 6) & 0x3Fu)) << 8 |
                            (0x80u | (u & 0x3Fu)) << 16 | 3u << 24;
        // The way back, as ICU takes it.
        std::array<char, 8> bytes{};
        UErrorCode back = U_ZERO_ERROR;
        const int32_t n = ucnv_fromUChars(gb.get(), bytes.data(), bytes.size(), &u, 1, &back);
        if (U_SUCCESS(back) && n == 2 && static_cast<unsigned char>(bytes[0]) == lead &&
            static_cast<unsigned char>(bytes[1]) == trail)
            encode[u] = static_cast<std::uint16_t>(lead << 8 | trail);
    }
}

const Tables& tables() {
    static const Tables t;
    return t;
}

// The BMP character of UTF-8 at `i`, which encodes into two bytes when the
// tables have it; a size of 0 for anything else (four-byte forms included).
Utf8Char bmpUtf8At(std::string_view s, std::size_t i) {
    const Utf8Char c = readUtf8(s, i);
    return c.size <= 3 ? c : Utf8Char{};
}

unsigned unit16At(std::string_view s, std::size_t i, UnicodeForm form) {
    return form == UnicodeForm::Utf16Le ? byteAt(s, i) | byteAt(s, i + 1) << 8
                                        : byteAt(s, i) << 8 | byteAt(s, i + 1);
}

// How many input bytes the quick loops below take between two checks of
// the room left in the output: a whole block is reserved at once.
constexpr std::size_t kBlock = 4096;

// Copies the ASCII byte at `p` to `d`, or eight at once when the next eight
// before `stop` all are ASCII, and moves both on.
inline void copyAscii(const unsigned char*& p, const unsigned char* stop, char*& d) {
    if (stop - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if ((word & 0x8080808080808080u) == 0) {
            std::memcpy(d, p, 8);
            p += 8;
            d += 8;
            return;
        }
    }
    *d++ = static_cast<char>(*p++);
}

std::size_t encodeUtf8Run(std::string_view s, const Tables& t, std::string& out) {
    TableWriter w(out, s.size());
    const auto* const begin = reinterpret_cast<const unsigned char*>(s.data());
    const auto* const end = begin + s.size();
    const auto* p = begin;
    while (p < end) {
        // Each input byte gives at most one output byte.
        const auto* const stop = p + std::min<std::ptrdiff_t>(end - p, kBlock);
        w.room(static_cast<std::size_t>(stop - p) + 8);
        char* d = w.at();
        // The common case first: ASCII eight bytes at a time, and the
        // three-byte forms of the two-byte codes (all of CJK).
        while (p < stop) {
            if (*p < 0x80) {
                copyAscii(p, stop, d);
                continue;
            }
            unsigned cp;
            std::ptrdiff_t size;
            const unsigned b0 = p[0];
            const unsigned b1 = stop - p >= 3 ? p[1] : 0;
            const unsigned b2 = stop - p >= 3 ? p[2] : 0;
            // One test for the three bit patterns of a three-byte form.
            if (((b0 & 0xF0) | (b1 & 0xC0) << 8 | (b2 & 0xC0) << 16) ==
                (0xE0 | 0x80 << 8 | 0x80 << 16)) {
                cp = (b0 & 0x0Fu) << 12 | (b1 & 0x3Fu) << 6 | (b2 & 0x3Fu);
                if (cp < 0x800) break;  // overlong
                size = 3;
            } else {
                const Utf8Char c = bmpUtf8At(s, static_cast<std::size_t>(p - begin));
                if (!c.size || p + c.size > stop) break;
                cp = c.cp;
                size = static_cast<std::ptrdiff_t>(c.size);
            }
            const unsigned code = t.encode[cp];  // 0 for the surrogates
            if (!code) break;
            d[0] = static_cast<char>(code >> 8);
            d[1] = static_cast<char>(code & 0xFF);
            d += 2;
            p += size;
        }
        w.advanceTo(d);
        if (p < stop) {
            // A character the loop does not take, or one cut by the block's end.
            const Utf8Char c = bmpUtf8At(s, static_cast<std::size_t>(p - begin));
            const unsigned code = c.size ? t.encode[c.cp] : 0;
            if (!code) break;
            w.room(2);
            w.byte(code >> 8);
            w.byte(code & 0xFF);
            p += c.size;
        }
    }
    return static_cast<std::size_t>(p - begin);
}

std::size_t encodeUtf16Run(std::string_view s, UnicodeForm form, const Tables& t,
                           std::string& out) {
    TableWriter w(out, s.size() / 2 * 2);
    std::size_t i = 0;
    for (; i + 1 < s.size(); i += 2) {
        w.room(2);
        const unsigned u = unit16At(s, i, form);
        if (u < 0x80) {
            w.byte(u);
            continue;
        }
        const unsigned code = t.encode[u];
        if (!code) break;
        w.byte(code >> 8);
        w.byte(code & 0xFF);
    }
    return i;
}

// The character of the two-byte code at `i`, 0 when the tables lack it.
char32_t twoByteAt(std::string_view gb, std::size_t i, const Tables& t) {
    const unsigned lead = byteAt(gb, i) - kLeadFirst;
    const unsigned trail = byteAt(gb, i + 1) - kTrailFirst;
    // Trail 0x7F has no entry; bytes below the ranges wrap round to large values.
    return lead < kLeadLast - kLeadFirst + 1 && trail < kTrails ? t.decode[lead * kTrails + trail]
                                                                : 0;
}

std::size_t decodeToUtf8(std::string_view gb, const Tables& t, std::string& out) {
    TableWriter w(out, gb.size() + gb.size() / 2);
    const auto* const begin = reinterpret_cast<const unsigned char*>(gb.data());
    const auto* const end = begin + gb.size();
    const auto* p = begin;
    while (p < end) {
        // Two input bytes give at most three output bytes; a character is
        // written as four, the last overwritten by what follows.
        const auto* const stop = p + std::min<std::ptrdiff_t>(end - p, kBlock);
        w.room(static_cast<std::size_t>(stop - p) * 3 / 2 + 8);
        char* d = w.at();
        while (p < stop) {
            if (*p < 0x80) {
                copyAscii(p, stop, d);
                continue;
            }
            if (end - p < 2) break;
            const unsigned lead = p[0] - kLeadFirst;
            const unsigned trail = p[1] - kTrailFirst;
            // Trail 0x7F has no entry; bytes below the ranges wrap round to
            // large values.
            const std::uint32_t bytes = lead < kLeadLast - kLeadFirst + 1 && trail < kTrails
                                            ? t.utf8[lead * kTrails + trail]
                                            : 0;
            if (!bytes) break;
            // The count lands after the character, where the next one goes.
            storeLittleEndian(d, bytes);
            d += bytes >> 24;
            p += 2;
        }
        w.advanceTo(d);
        if (p < stop) break;
    }
    return static_cast<std::size_t>(p - begin);
}

std::size_t decodeToUtf16(std::string_view gb, UnicodeForm form, const Tables& t,
                          std::string& out) {
    TableWriter w(out, gb.size() * 2);
    std::size_t i = 0;
    while (i < gb.size()) {
        w.room(2);
        if (byteAt(gb, i) < 0x80) {
            w.unit16(byteAt(gb, i++), form);
            continue;
        }
        if (i + 1 >= gb.size()) break;
        const char32_t u = twoByteAt(gb, i, t);
        if (!u) break;
        w.unit16(u, form);
        i += 2;
    }
    return i;
}

}  // namespace

std::size_t decodeGb18030Run(std::string_view gb, UnicodeForm to, std::string& out) {
    const Tables& t = tables();
    return to == UnicodeForm::Utf8 ? decodeToUtf8(gb, t, out) : decodeToUtf16(gb, to, t, out);
}

std::size_t encodeGb18030Run(std::string_view text, UnicodeForm from, std::string& out) {
    const Tables& t = tables();
    return from == UnicodeForm::Utf8 ? encodeUtf8Run(text, t, out)
                                     : encodeUtf16Run(text, from, t, out);
}

char32_t gb18030TwoByteCharacter(unsigned lead, unsigned trail) {
    const std::array<char, 2> code = {static_cast<char>(lead), static_cast<char>(trail)};
    return twoByteAt({code.data(), code.size()}, 0, tables());
}

std::size_t gb18030CharSize(std::string_view gb) {
    if (gb.empty()) return 0;
    const unsigned b0 = byteAt(gb, 0);
    if (b0 < 0x80) return 1;
    if (gb.size() < 2 || !isGbLeadByte(b0)) return 0;
    if (isGbTrailByte(byteAt(gb, 1))) return 2;
    if (gb.size() >= 4 && isGbDigitByte(byteAt(gb, 1)) && isGbLeadByte(byteAt(gb, 2)) &&
        isGbDigitByte(byteAt(gb, 3)))
        return 4;
    return 0;
}

std::size_t unicodeCharSize(std::string_view text, UnicodeForm form) {
    if (form != UnicodeForm::Utf8) {
        if (text.size() < 2) return 0;
        const unsigned u = unit16At(text, 0, form);
        if (u < 0xD800 || u > 0xDFFF) return 2;
        if (u >= 0xDC00 || text.size() < 4) return 0;
        const unsigned low = unit16At(text, 2, form);
        return low >= 0xDC00 && low <= 0xDFFF ? 4 : 0;
    }
    return text.empty() ? 0 : readUtf8(text, 0).size;
}

}  // namespace lct
