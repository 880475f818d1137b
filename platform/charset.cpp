#include "platform/charset.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/uset.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "platform/big5_tables.h"
#include "platform/bytes.h"
#include "platform/gb18030_tables.h"
#include "platform/icu_converter.h"
#include "platform/utf8.h"

namespace lct {
namespace {

ConverterPtr openConverter(const char* name) {
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr c(ucnv_open(name, &status));
    if (U_FAILURE(status)) return nullptr;
    return c;
}

// To-Unicode callback that turns every byte of an invalid sequence into its
// private-use code point. All of them go out in one write: ICU keeps what does
// not fit in the output for later, but only within one write, since a write
// after one that overflowed does nothing.
void preserveInvalidBytes(const void*, UConverterToUnicodeArgs* args, const char* codeUnits,
                          int32_t length, UConverterCallbackReason reason, UErrorCode* err) {
    if (reason > UCNV_IRREGULAR) return;  // reset, close, clone: nothing to write
    *err = U_ZERO_ERROR;                  // the write call below does nothing while an error is set
    std::vector<UChar> units;
    units.reserve(2 * static_cast<std::size_t>(length));
    for (int32_t i = 0; i < length; ++i) {
        const char32_t cp = kRawByteBase + static_cast<unsigned char>(codeUnits[i]);
        units.push_back(static_cast<UChar>(0xD800 + ((cp - 0x10000) >> 10)));
        units.push_back(static_cast<UChar>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    }
    ucnv_cbToUWriteUChars(args, units.data(), static_cast<int32_t>(units.size()), 0, err);
}

// Converters are cached per thread; every use starts with a reset.
struct Converters {
    ConverterPtr gbkPreserving = openConverter("gb18030");
    ConverterPtr gbk = openConverter("gb18030");
    ConverterPtr utf8 = openConverter("UTF-8");

    Converters() {
        if (gbkPreserving) {
            UErrorCode status = U_ZERO_ERROR;
            ucnv_setToUCallBack(gbkPreserving.get(), preserveInvalidBytes, nullptr, nullptr,
                                nullptr, &status);
        }
    }
};

Converters& converters() {
    thread_local Converters c;
    return c;
}

constexpr std::size_t kMostRoom = std::size_t{1} << 20;

// Appends the conversion of `in` from `source` to `target` to `out`, writing
// straight into the string's room.
bool convertInto(UConverter* target, UConverter* source, std::string_view in, std::string& out) {
    ucnv_reset(target);
    ucnv_reset(source);
    std::array<UChar, 1024> pivot;  // NOLINT: ICU writes before it reads
    UChar* pivotSource = pivot.data();
    UChar* pivotTarget = pivot.data();
    const char* src = in.data();
    const char* srcEnd = in.data() + in.size();
    std::size_t written = out.size();
    bool first = true;
    for (;;) {
        // Room for what is left, at most a few blocks at a time: resize fills
        // it, and a big text would otherwise have twice its size touched.
        const auto left = static_cast<std::size_t>(srcEnd - src);
        out.resize(written + std::clamp<std::size_t>(left * 2, 64, kMostRoom));
        char* dst = out.data() + written;
        char* const dstEnd = out.data() + out.size();
        UErrorCode status = U_ZERO_ERROR;
        ucnv_convertEx(target, source, &dst, dstEnd, &src, srcEnd, pivot.data(), &pivotSource,
                       &pivotTarget, pivot.data() + pivot.size(), first, true, &status);
        first = false;
        written = static_cast<std::size_t>(dst - out.data());
        out.resize(written);
        if (status == U_BUFFER_OVERFLOW_ERROR) continue;
        return U_SUCCESS(status);
    }
}

thread_local bool icuOnly = false;

// The code point of U+10FF00..U+10FFFF that the GB18030 four-byte sequence at
// the start of `bytes` stands for (E3 32 81 30 is U+10FF00), or 0. Such a
// character would read back as the raw byte its code point also stands for.
char32_t rawRangeCharacterAt(std::string_view bytes) {
    if (bytes.size() < 4) return 0;
    const auto b = [&](std::size_t i) { return byteAt(bytes, i); };
    if (b(0) != 0xE3 || b(1) != 0x32 || b(2) < 0x81 || b(2) > 0x9A || b(3) < 0x30 || b(3) > 0x39)
        return 0;
    const char32_t cp = kRawByteBase + static_cast<char32_t>((b(2) - 0x81) * 10 + (b(3) - 0x30));
    return cp <= 0x10FFFF ? cp : 0;
}

}  // namespace

void appendUtf8(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

namespace {

// Appends the UTF-8 of `units`, which `chunk` decoded to with `offsets`,
// giving a real character of the raw byte range the raw points of its bytes.
void appendPreservedUnits(const UChar* units, const int32_t* offsets, std::size_t count,
                          std::string_view chunk, std::string& out) {
    for (std::size_t i = 0; i < count; ++i) {
        char32_t cp = units[i];
        const int32_t offset = offsets[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < count && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (units[i + 1] - 0xDC00u);
            ++i;
        } else if (cp >= 0xD800 && cp < 0xE000) {
            cp = 0xFFFD;
        }
        if (cp >= kRawByteBase && offset >= 0 &&
            rawRangeCharacterAt(chunk.substr(static_cast<std::size_t>(offset))) == cp) {
            for (const char byte : chunk.substr(static_cast<std::size_t>(offset), 4))
                appendUtf8(kRawByteBase + static_cast<unsigned char>(byte), out);
        } else {
            appendUtf8(cp, out);
        }
    }
}

// Decodes GB18030 `in` to UTF-8 with the preserving converter, exactly: ICU
// reports where each unit came from, so that a real character of
// U+10FF00..U+10FFFF is told apart from a preserved byte. Chunks end where
// ICU holds no part of a character; one byte gives at most two units.
bool decodePreserving(UConverter* source, std::string_view in, std::string& out) {
    constexpr std::size_t kChunk = std::size_t{1} << 16;
    // Kept per thread: a text of many four-byte characters comes here for
    // each of them.
    thread_local std::vector<UChar> units;
    thread_local std::vector<int32_t> offsets;
    const std::size_t room = 2 * std::min(kChunk, in.size()) + 8;
    if (units.size() < room) {
        units.resize(room);
        offsets.resize(room);
    }
    std::size_t pos = 0;
    do {
        ucnv_reset(source);
        const std::string_view chunk = in.substr(pos, kChunk);
        const bool last = pos + chunk.size() == in.size();
        const char* src = chunk.data();
        UChar* dst = units.data();
        UErrorCode status = U_ZERO_ERROR;
        ucnv_toUnicode(source, &dst, units.data() + units.size(), &src, chunk.data() + chunk.size(),
                       offsets.data(), last, &status);
        const int32_t pending = last ? 0 : ucnv_toUCountPending(source, &status);
        if (U_FAILURE(status) || pending < 0) return false;
        appendPreservedUnits(units.data(), offsets.data(),
                             static_cast<std::size_t>(dst - units.data()), chunk, out);
        pos += chunk.size() - static_cast<std::size_t>(pending);
    } while (pos < in.size());
    return true;
}

// Converts `in` between GB18030 and `form` (decoding GB18030 when `decode`)
// through the tables as far as they reach and through ICU for the rest. A
// whole character converts alone as it does within its text, since both
// charsets are stateless; from bytes that are not one on, ICU takes all that
// follows, so that it sees invalid input as it would have. `preserving`
// decodes ICU's part with decodePreserving.
void convertAlongTables(std::string_view in, bool decode, UnicodeForm form, UConverter* target,
                        UConverter* source, std::string& out, bool preserving = false) {
    std::size_t pos = 0;
    while (pos < in.size()) {
        const std::string_view rest = in.substr(pos);
        pos += decode ? decodeGb18030Run(rest, form, out) : encodeGb18030Run(rest, form, out);
        if (pos == in.size()) break;
        const std::string_view next = in.substr(pos);
        const std::size_t size = decode ? gb18030CharSize(next) : unicodeCharSize(next, form);
        const std::size_t take = size ? size : next.size();
        if (preserving)
            decodePreserving(source, next.substr(0, take), out);
        else
            convertInto(target, source, next.substr(0, take), out);
        pos += take;
    }
}

void encodeUtf8(std::string_view utf8, Converters& c, std::string& out) {
    if (icuOnly)
        convertInto(c.gbk.get(), c.utf8.get(), utf8, out);
    else
        convertAlongTables(utf8, false, UnicodeForm::Utf8, c.gbk.get(), c.utf8.get(), out);
}

}  // namespace

std::string gbkToUtf8(std::string_view gbk, InvalidBytes invalid) {
    std::string out;
    out.reserve(gbk.size() + gbk.size() / 2);
    appendGbkAsUtf8(gbk, invalid, out);
    return out;
}

void appendGbkAsUtf8(std::string_view gbk, InvalidBytes invalid, std::string& out) {
    Converters& c = converters();
    const bool preserving = invalid == InvalidBytes::Preserve;
    UConverter* source = preserving ? c.gbkPreserving.get() : c.gbk.get();
    if (!source || !c.utf8) return;
    if (icuOnly && preserving)
        decodePreserving(source, gbk, out);
    else if (icuOnly)
        convertInto(c.utf8.get(), source, gbk, out);
    else
        convertAlongTables(gbk, true, UnicodeForm::Utf8, c.utf8.get(), source, out, preserving);
}

std::string utf8ToGbk(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    appendUtf8AsGbk(utf8, out);
    return out;
}

void appendUtf8AsGbk(std::string_view utf8, std::string& out) {
    Converters& c = converters();
    if (!c.gbk || !c.utf8) return;
    std::size_t runStart = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        // A raw-byte point starts with F4, which texts seldom hold.
        const void* const lead = std::memchr(utf8.data() + i, 0xF4, utf8.size() - i);
        if (!lead) break;
        i = static_cast<std::size_t>(static_cast<const char*>(lead) - utf8.data());
        if (!isRawBytePoint(utf8, i)) {
            ++i;
            continue;
        }
        if (i > runStart) encodeUtf8(utf8.substr(runStart, i - runStart), c, out);
        out.push_back(static_cast<char>(readUtf8(utf8, i).cp - kRawByteBase));
        i += 4;
        runStart = i;
    }
    if (runStart < utf8.size()) encodeUtf8(utf8.substr(runStart), c, out);
}

namespace {

// The ICU alias "Big5-HKSCS" is ambiguous; the converter meant by it is
// ibm-1375.
std::string icuName(std::string_view name) {
    return equalsIgnoringAsciiCase(name, "BIG5-HKSCS") ? std::string("ibm-1375")
                                                       : std::string(name);
}

bool isGb18030(std::string_view name) {
    return equalsIgnoringAsciiCase(name, "gb18030");
}

bool isBig5(std::string_view name) {
    return equalsIgnoringAsciiCase(name, "Big5");
}

// Decodes Big5 `big5` to GB18030 through the tables as far as they reach.
// What they lack goes to ICU up to the next byte below 40, which no two-byte
// code holds: Big5 is stateless, so ICU sees each character there as it would
// within the whole text.
void decodeBig5AlongTables(std::string_view big5, UConverter* target, UConverter* source,
                           std::string& out) {
    std::size_t pos = 0;
    while (pos < big5.size()) {
        pos += decodeBig5Run(big5.substr(pos), out);
        if (pos == big5.size()) break;
        std::size_t end = pos + 1;
        while (end < big5.size() && byteAt(big5, end) >= 0x40)
            ++end;
        convertInto(target, source, big5.substr(pos, end - pos), out);
        pos = end;
    }
}

std::optional<UnicodeForm> unicodeFormOf(std::string_view name) {
    if (equalsIgnoringAsciiCase(name, "UTF-8")) return UnicodeForm::Utf8;
    if (equalsIgnoringAsciiCase(name, "UTF-16LE")) return UnicodeForm::Utf16Le;
    if (equalsIgnoringAsciiCase(name, "UTF-16BE")) return UnicodeForm::Utf16Be;
    return std::nullopt;
}

// The converter of charset `name` kept by this thread for one side of
// convertCharset (the two sides never share one, even for the same name);
// null when it cannot be opened. Opening two for every article cost a batch
// of small files a few percent of its time. Every use resets it first.
UConverter* keptConverter(const std::string& name, bool source) {
    thread_local std::map<std::string, ConverterPtr, std::less<>> kept[2];
    auto& side = kept[source ? 1 : 0];
    if (const auto it = side.find(name); it != side.end()) return it->second.get();
    ConverterPtr converter = openConverter(name.c_str());
    if (!converter) return nullptr;
    return side.emplace(name, std::move(converter)).first->second.get();
}

}  // namespace

std::optional<std::string> convertCharset(std::string_view bytes, std::string_view from,
                                          std::string_view to) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    if (!appendConverted(bytes, from, to, out)) return std::nullopt;
    return out;
}

bool appendConverted(std::string_view bytes, std::string_view from, std::string_view to,
                     std::string& out) {
    const std::string source = icuName(from);
    const std::string target = icuName(to);
    UConverter* const sourceConverter = keptConverter(source, true);
    UConverter* const targetConverter = keptConverter(target, false);
    if (!sourceConverter || !targetConverter) return false;
    const std::optional<UnicodeForm> fromForm = unicodeFormOf(source);
    const std::optional<UnicodeForm> toForm = unicodeFormOf(target);
    if (!icuOnly && isGb18030(source) && toForm)
        convertAlongTables(bytes, true, *toForm, targetConverter, sourceConverter, out);
    else if (!icuOnly && fromForm && isGb18030(target))
        convertAlongTables(bytes, false, *fromForm, targetConverter, sourceConverter, out);
    else if (!icuOnly && isBig5(source) && isGb18030(target))
        decodeBig5AlongTables(bytes, targetConverter, sourceConverter, out);
    else
        convertInto(targetConverter, sourceConverter, bytes, out);
    return true;
}

namespace {

struct SetCloser {
    void operator()(USet* s) const { uset_close(s); }
};
using SetPtr = std::unique_ptr<USet, SetCloser>;

// The characters that the charset `name` maps both ways, frozen for quick
// lookups; null when its converter cannot be opened. Kept per thread.
const USet* roundTripSet(const std::string& name) {
    thread_local std::map<std::string, SetPtr> sets;
    if (const auto it = sets.find(name); it != sets.end()) return it->second.get();
    const ConverterPtr converter = openConverter(name.c_str());
    SetPtr set(uset_openEmpty());
    if (!converter || !set) return nullptr;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_getUnicodeSet(converter.get(), set.get(), UCNV_ROUNDTRIP_SET, &status);
    if (U_FAILURE(status)) return nullptr;
    uset_freeze(set.get());
    return sets.emplace(name, std::move(set)).first->second.get();
}

bool holdsEveryCharacter(const USet* set) {
    return uset_containsRange(set, 0, 0xD7FF) && uset_containsRange(set, 0xE000, 0x10FFFF);
}

// The character at `i` of UTF-8 from ICU; U+FFFD for a byte that starts no
// well-formed sequence, which ICU never gives.
Utf8Char characterAt(std::string_view utf8, std::size_t i) {
    const Utf8Char c = readUtf8(utf8, i);
    return c.size ? c : Utf8Char{0xFFFD, 1};
}

void appendReference(char32_t cp, std::string& out) {
    std::array<char, 16> buffer{};
    const int n = std::snprintf(buffer.data(), buffer.size(), "&#x%X;", static_cast<unsigned>(cp));
    out.append(buffer.data(), static_cast<std::size_t>(n));
}

}  // namespace

namespace {

// Appends GBK `gbk` in charset `target`, whose round-trip set is `set`, as
// encodeGbkExactly says, through ICU; adds the characters it cannot hold to
// `lost`. False when a converter cannot be opened.
bool encodeExactlyThroughIcu(std::string_view gbk, const std::string& target, const USet* set,
                             UnencodableChars chars, Unencodable& lost, std::string& out) {
    const std::string utf8 = gbkToUtf8(gbk);
    std::string referenced;  // utf8 with its references, made only when one is needed
    std::size_t kept = 0;    // utf8 up to here is in `referenced`
    const std::size_t lostBefore = lost.count;
    Utf8Char c;
    for (std::size_t i = 0; i < utf8.size(); i += c.size) {
        c = characterAt(utf8, i);
        if (uset_contains(set, static_cast<UChar32>(c.cp))) continue;
        if (lost.count++ == 0) lost.first = c.cp;
        if (chars == UnencodableChars::Reference) {
            referenced.append(utf8, kept, i - kept);
            appendReference(c.cp, referenced);
            kept = i + c.size;
        }
    }
    if (lost.count > 0 && chars == UnencodableChars::Count) return true;  // nothing is written
    if (lost.count > lostBefore) referenced.append(utf8, kept);
    const std::optional<std::string> converted =
        convertCharset(lost.count > lostBefore ? referenced : utf8, "UTF-8", target);
    if (converted) out += *converted;
    return converted.has_value();
}

// encodeExactlyThroughIcu for Big5, through the tables as far as they reach:
// a whole character they lack goes to ICU alone, bytes that are no character
// go to ICU with all that follows them.
void encodeBig5AlongTables(std::string_view gbk, const USet* set, UnencodableChars chars,
                           Unencodable& lost, std::string& out) {
    std::size_t pos = 0;
    while (pos < gbk.size()) {
        pos += encodeBig5Run(gbk.substr(pos), chars, lost, out);
        if (pos == gbk.size()) break;
        const std::string_view next = gbk.substr(pos);
        const std::size_t size = gb18030CharSize(next);
        const std::size_t take = size ? size : next.size();
        encodeExactlyThroughIcu(next.substr(0, take), "Big5", set, chars, lost, out);
        pos += take;
    }
}

}  // namespace

std::optional<std::string> encodeGbkExactly(std::string_view gbk, std::string_view to,
                                            UnencodableChars chars, Unencodable& lost) {
    lost = {};
    std::string out;
    out.reserve(gbk.size() + gbk.size() / 2);
    if (!appendGbkExactly(gbk, to, chars, lost, out)) return std::nullopt;
    if (lost.count > 0 && chars == UnencodableChars::Count) return std::string();
    return out;
}

bool appendGbkExactly(std::string_view gbk, std::string_view to, UnencodableChars chars,
                      Unencodable& lost, std::string& out) {
    const std::string target = icuName(to);
    const USet* set = roundTripSet(target);
    if (!set) return false;
    // UTF-8 and UTF-16 hold everything: the quick way.
    if (holdsEveryCharacter(set)) return appendConverted(gbk, "gb18030", target, out);
    // The rest goes in pieces that end after a line break, so that a big
    // text's UTF-8 form and its converted copy are never whole: LF is never
    // part of a character nor of a byte sequence that is none.
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    while (!gbk.empty()) {
        const std::size_t lf =
            gbk.size() > kPiece ? gbk.find('\n', kPiece) : std::string_view::npos;
        const std::string_view piece = gbk.substr(0, lf == std::string_view::npos ? lf : lf + 1);
        gbk.remove_prefix(piece.size());
        if (!icuOnly && isBig5(target))
            encodeBig5AlongTables(piece, set, chars, lost, out);
        else if (!encodeExactlyThroughIcu(piece, target, set, chars, lost, out))
            return false;
    }
    return true;
}

void useIcuOnly(bool on) {
    icuOnly = on;
}

std::size_t utf8Length(std::string_view utf8) {
    std::size_t n = 0;
    for (char ch : utf8) {
        if (!isContinuation(static_cast<unsigned char>(ch))) ++n;
    }
    return n;
}

}  // namespace lct
