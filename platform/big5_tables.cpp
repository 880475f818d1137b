#include "platform/big5_tables.h"

#include <unicode/ucnv.h>
#include <unicode/uset.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/bytes.h"
#include "platform/gb18030_tables.h"
#include "platform/icu_converter.h"
#include "platform/table_writer.h"

namespace lct {
namespace {

// Both charsets' two-byte codes have a lead byte of 81..FE; a trail byte of
// 40..FE takes in every trail of either (Big5's 40..7E and A1..FE, GB18030's
// 40..FE but 7F).
constexpr unsigned kLeadFirst = 0x81;
constexpr unsigned kLeads = 0xFE - kLeadFirst + 1;
constexpr unsigned kTrailFirst = 0x40;
constexpr unsigned kTrails = 0xFE - kTrailFirst + 1;
constexpr std::size_t kCodes = std::size_t{kLeads} * kTrails;

// An entry of `fromGb` for a character that Big5 cannot hold exactly: this
// bit with the character.
constexpr std::uint32_t kLost = 1u << 31;

// The index of the two-byte code at `i` of `s`, or kCodes for bytes outside
// the ranges (bytes below them wrap round to large values).
std::size_t codeAt(std::string_view s, std::size_t i) {
    const unsigned lead = byteAt(s, i) - kLeadFirst;
    const unsigned trail = byteAt(s, i + 1) - kTrailFirst;
    return lead < kLeads && trail < kTrails ? lead * kTrails + trail : kCodes;
}

struct SetCloser {
    void operator()(USet* s) const { uset_close(s); }
};

// GB18030 bytes are kept big-endian in the low two or four bytes of a 32-bit
// value (a two-byte code is at most FEFE, a four-byte one at least 81308130);
// Big5 bytes the same way in one or two bytes. 0 is "not covered".
struct Tables {
    std::array<std::uint32_t, kCodes> toGb{};      // Big5 two-byte code → GB18030
    std::array<std::uint32_t, 0x80> singleToGb{};  // Big5 byte 80..FF alone → GB18030
    std::array<std::uint32_t, kCodes> fromGb{};    // GB18030 two-byte code → Big5, or kLost | u
    Tables();
};

// The bytes ICU writes for the one character `u` in the charset of `c`, or 0.
std::uint32_t encoded(UConverter* c, UChar u) {
    std::array<char, 8> bytes{};
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = ucnv_fromUChars(c, bytes.data(), bytes.size(), &u, 1, &status);
    if (U_FAILURE(status) || n < 1 || n > 4) return 0;
    std::uint32_t value = 0;
    for (int32_t i = 0; i < n; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
    return value;
}

bool isCharacter(UChar u) {
    return u >= 0x80 && u != 0xFFFD && (u < 0xD800 || u > 0xDFFF);
}

// Every two-byte code in one buffer, decoded by ICU with offsets. A code is
// taken where exactly one character came from its lead byte and none from its
// trail byte: then ICU read the two bytes as one character, as it does
// wherever they stand. Bytes 80..FF alone the same way; then the characters
// Big5 holds exactly, and their codes, from ICU's round-trip set.
Tables::Tables() {
    UErrorCode status = U_ZERO_ERROR;
    const ConverterPtr big5(ucnv_open("Big5", &status));
    const ConverterPtr gb(ucnv_open("gb18030", &status));
    const std::unique_ptr<USet, SetCloser> exact(uset_openEmpty());
    if (U_FAILURE(status)) return;  // all zero: nothing is covered, ICU does all
    ucnv_getUnicodeSet(big5.get(), exact.get(), UCNV_ROUNDTRIP_SET, &status);
    // ASCII is copied as it is, both ways.
    if (U_FAILURE(status) || !uset_containsRange(exact.get(), 0, 0x7F)) return;

    std::vector<char> codes;
    for (unsigned lead = kLeadFirst; lead < kLeadFirst + kLeads; ++lead) {
        for (unsigned trail = kTrailFirst; trail < kTrailFirst + kTrails; ++trail) {
            codes.push_back(static_cast<char>(lead));
            codes.push_back(static_cast<char>(trail));
        }
    }
    std::vector<UChar> units(codes.size());
    std::vector<int32_t> offsets(codes.size());
    UChar* target = units.data();
    const char* source = codes.data();
    ucnv_toUnicode(big5.get(), &target, units.data() + units.size(), &source,
                   codes.data() + codes.size(), offsets.data(), true, &status);
    if (U_FAILURE(status)) return;
    std::vector<int> unitsFrom(codes.size(), 0);  // per byte of `codes`
    const auto produced = static_cast<std::size_t>(target - units.data());
    for (std::size_t i = 0; i < produced; ++i) {
        if (offsets[i] >= 0) ++unitsFrom[static_cast<std::size_t>(offsets[i])];
    }
    for (std::size_t i = 0; i < produced; ++i) {
        const auto at = static_cast<std::size_t>(offsets[i]);
        if (offsets[i] >= 0 && at % 2 == 0 && unitsFrom[at] == 1 && unitsFrom[at + 1] == 0 &&
            isCharacter(units[i]))
            toGb[at / 2] = encoded(gb.get(), units[i]);
    }
    for (unsigned b = 0x80; b <= 0xFF; ++b) {
        const char byte = static_cast<char>(b);
        std::array<UChar, 4> u{};
        UErrorCode alone = U_ZERO_ERROR;
        if (ucnv_toUChars(big5.get(), u.data(), u.size(), &byte, 1, &alone) == 1 &&
            U_SUCCESS(alone) && isCharacter(u[0]))
            singleToGb[b - 0x80] = encoded(gb.get(), u[0]);
    }
    for (unsigned lead = kLeadFirst; lead < kLeadFirst + kLeads; ++lead) {
        for (unsigned trail = kTrailFirst; trail < kTrailFirst + kTrails; ++trail) {
            const char32_t u = gb18030TwoByteCharacter(lead, trail);
            if (!u) continue;
            fromGb[(lead - kLeadFirst) * kTrails + trail - kTrailFirst] =
                uset_contains(exact.get(), static_cast<UChar32>(u))
                    ? encoded(big5.get(), static_cast<UChar>(u))
                    : kLost | u;
        }
    }
}

const Tables& tables() {
    static const Tables t;
    return t;
}

// Writes the one to four bytes of `value` (see Tables).
void put(std::uint32_t value, TableWriter& w) {
    if (value - 0x100 < 0xFF00) {  // two bytes, nearly every character
        w.byte(value >> 8);
        return w.byte(value & 0xFF);
    }
    if (value > 0xFFFFFF) w.byte(value >> 24);
    if (value > 0xFFFF) w.byte((value >> 16) & 0xFF);
    if (value > 0xFF) w.byte((value >> 8) & 0xFF);
    w.byte(value & 0xFF);
}

// The two-byte codes of `s` from `i` on whose entries in `table` are two-byte
// codes too, written through a buffer held in registers and the cache, and
// the position of the first other code (or of the end). Nearly every
// character of a text is one of them; the caller takes the others one at a
// time.
std::size_t twoByteStretch(std::string_view s, std::size_t i,
                           const std::array<std::uint32_t, kCodes>& table, TableWriter& w) {
    constexpr std::size_t kChunk = 512;
    std::array<char, kChunk> chunk;
    for (;;) {
        std::size_t k = 0;
        while (k < kChunk && i + 1 < s.size()) {
            const std::size_t code = codeAt(s, i);
            const std::uint32_t value = code < kCodes ? table[code] : 0;
            if (value - 0x8100 >= 0x7F00) break;  // 0, one byte, four bytes, or lost
            chunk[k] = static_cast<char>(value >> 8);
            chunk[k + 1] = static_cast<char>(value & 0xFF);
            k += 2;
            i += 2;
        }
        if (k > 0) {
            w.room(k);
            w.bytes(chunk.data(), k);
        }
        if (k < kChunk) return i;
    }
}

void putReference(char32_t u, TableWriter& w) {
    w.bytes("&#x", 3);
    int shift = 12;  // a BMP character: at most four digits, no leading zeros
    while (shift > 0 && (u >> shift) == 0)
        shift -= 4;
    for (; shift >= 0; shift -= 4)
        w.byte(static_cast<unsigned char>("0123456789ABCDEF"[(u >> shift) & 0xF]));
    w.byte(';');
}

}  // namespace

std::size_t decodeBig5Run(std::string_view big5, std::string& out) {
    const Tables& t = tables();
    TableWriter w(out, big5.size());
    const std::size_t n = big5.size();
    std::size_t i = 0;
    while (i < n) {
        const std::size_t end = asciiRunEnd(big5, i);
        w.room(end - i);
        w.bytes(big5.data() + i, end - i);
        i = end;
        // The two-byte codes up to the next ASCII byte, without looking for
        // ASCII after each.
        for (;; i += 2) {
            i = twoByteStretch(big5, i, t.toGb, w);
            const std::size_t code = i + 1 < n ? codeAt(big5, i) : kCodes;
            const std::uint32_t gb = code < kCodes ? t.toGb[code] : 0;
            if (!gb) break;
            w.room(4);
            put(gb, w);
        }
        if (i == n || byteAt(big5, i) < 0x80) continue;
        const std::uint32_t single = t.singleToGb[byteAt(big5, i) - 0x80];
        if (!single) break;
        w.room(4);
        put(single, w);
        ++i;
    }
    return i;
}

std::size_t encodeBig5Run(std::string_view gb, UnencodableChars chars, Unencodable& lost,
                          std::string& out) {
    const Tables& t = tables();
    TableWriter w(out, gb.size());
    const std::size_t n = gb.size();
    std::size_t i = 0;
    while (i < n) {
        const std::size_t end = asciiRunEnd(gb, i);
        w.room(end - i);
        w.bytes(gb.data() + i, end - i);
        i = end;
        for (;; i += 2) {
            i = twoByteStretch(gb, i, t.fromGb, w);
            if (i + 1 >= n) break;
            const std::size_t code = codeAt(gb, i);
            const std::uint32_t big5 = code < kCodes ? t.fromGb[code] : 0;
            if (!big5) break;
            w.room(8);  // "&#xHHHH;" at most
            if (!(big5 & kLost)) {
                put(big5, w);
                continue;
            }
            const char32_t u = big5 & ~kLost;
            if (lost.count++ == 0) lost.first = u;
            if (chars == UnencodableChars::Reference) putReference(u, w);
        }
        if (i == n || byteAt(gb, i) < 0x80) continue;
        break;
    }
    return i;
}

}  // namespace lct
