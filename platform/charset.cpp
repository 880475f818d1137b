#include "platform/charset.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <array>
#include <memory>

#include "platform/ascii.h"

namespace lct {
namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// Raw bytes travel through Unicode as U+10FF00 + byte (UTF-8: F4 8F BC..BF 80..BF).
constexpr char32_t kRawByteBase = 0x10FF00;

ConverterPtr openConverter(const char* name) {
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr c(ucnv_open(name, &status));
    if (U_FAILURE(status)) return nullptr;
    return c;
}

// To-Unicode callback that turns every byte of an invalid sequence into its
// private-use code point.
void preserveInvalidBytes(const void*, UConverterToUnicodeArgs* args, const char* codeUnits,
                          int32_t length, UConverterCallbackReason reason, UErrorCode* err) {
    if (reason > UCNV_IRREGULAR) return;  // reset, close, clone: nothing to write
    *err = U_ZERO_ERROR;                  // the write calls below do nothing while an error is set
    for (int32_t i = 0; i < length; ++i) {
        const char32_t cp = kRawByteBase + static_cast<unsigned char>(codeUnits[i]);
        const std::array<UChar, 2> pair = {
            static_cast<UChar>(0xD800 + ((cp - 0x10000) >> 10)),
            static_cast<UChar>(0xDC00 + ((cp - 0x10000) & 0x3FF)),
        };
        ucnv_cbToUWriteUChars(args, pair.data(), 2, 0, err);
    }
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

// Appends the conversion of `in` from `source` to `target` to `out`.
bool convertInto(UConverter* target, UConverter* source, std::string_view in, std::string& out) {
    ucnv_reset(target);
    ucnv_reset(source);
    std::array<UChar, 1024> pivot{};
    UChar* pivotSource = pivot.data();
    UChar* pivotTarget = pivot.data();
    const char* src = in.data();
    const char* srcEnd = in.data() + in.size();
    std::array<char, 16384> buffer{};
    bool first = true;
    for (;;) {
        UErrorCode status = U_ZERO_ERROR;
        char* dst = buffer.data();
        ucnv_convertEx(target, source, &dst, buffer.data() + buffer.size(), &src, srcEnd,
                       pivot.data(), &pivotSource, &pivotTarget, pivot.data() + pivot.size(), first,
                       true, &status);
        first = false;
        out.append(buffer.data(), static_cast<std::size_t>(dst - buffer.data()));
        if (status == U_BUFFER_OVERFLOW_ERROR) continue;
        return U_SUCCESS(status);
    }
}

bool isRawBytePoint(std::string_view s, std::size_t i) {
    return i + 3 < s.size() && static_cast<unsigned char>(s[i]) == 0xF4 &&
           static_cast<unsigned char>(s[i + 1]) == 0x8F &&
           (static_cast<unsigned char>(s[i + 2]) & 0xFC) == 0xBC &&
           (static_cast<unsigned char>(s[i + 3]) & 0xC0) == 0x80;
}

}  // namespace

std::string gbkToUtf8(std::string_view gbk, InvalidBytes invalid) {
    std::string out;
    out.reserve(gbk.size() + gbk.size() / 2);
    Converters& c = converters();
    UConverter* source = invalid == InvalidBytes::Preserve ? c.gbkPreserving.get() : c.gbk.get();
    if (!source || !c.utf8) return out;
    convertInto(c.utf8.get(), source, gbk, out);
    return out;
}

std::string utf8ToGbk(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    Converters& c = converters();
    if (!c.gbk || !c.utf8) return out;
    std::size_t runStart = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        if (!isRawBytePoint(utf8, i)) {
            ++i;
            continue;
        }
        if (i > runStart)
            convertInto(c.gbk.get(), c.utf8.get(), utf8.substr(runStart, i - runStart), out);
        const auto b2 = static_cast<unsigned char>(utf8[i + 2]);
        const auto b3 = static_cast<unsigned char>(utf8[i + 3]);
        out.push_back(static_cast<char>(((b2 & 0x03u) << 6) | (b3 & 0x3Fu)));
        i += 4;
        runStart = i;
    }
    if (runStart < utf8.size()) convertInto(c.gbk.get(), c.utf8.get(), utf8.substr(runStart), out);
    return out;
}

namespace {

// The ICU alias "Big5-HKSCS" is ambiguous; the converter meant by it is
// ibm-1375.
std::string icuName(std::string_view name) {
    return equalsIgnoringAsciiCase(name, "BIG5-HKSCS") ? std::string("ibm-1375")
                                                       : std::string(name);
}

}  // namespace

std::optional<std::string> convertCharset(std::string_view bytes, std::string_view from,
                                          std::string_view to) {
    ConverterPtr source = openConverter(icuName(from).c_str());
    ConverterPtr target = openConverter(icuName(to).c_str());
    if (!source || !target) return std::nullopt;
    std::string out;
    out.reserve(bytes.size() * 2);
    convertInto(target.get(), source.get(), bytes, out);
    return out;
}

std::size_t utf8Length(std::string_view utf8) {
    std::size_t n = 0;
    for (char ch : utf8) {
        if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80) ++n;
    }
    return n;
}

}  // namespace lct
