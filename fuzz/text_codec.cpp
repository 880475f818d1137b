// The text codec: detection (byte-order marks, meta charset, the UTF-8 test),
// every forced input encoding and every output encoding, with NUL and 1A
// bytes anywhere.
//
// Checks: both decodeText overloads agree; a text that is valid GB18030 comes
// back unchanged through UTF-8 and UTF-16 (forced, and detected by its mark),
// with either line-break style; Big5 output of such a text is refused or reads
// back as Big5 to the very text, and with references it is never refused.
// Declarations are rewritten in the bytes taken as a page.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/meta_charset.h"
#include "files/text_encoding.h"
#include "files/text_file.h"
#include "fuzz/fuzz_check.h"
#include "platform/charset.h"

namespace {

using lct::LineBreaks;
using lct::TextEncoding;

// True when `text` survives GB18030 → Unicode → GB18030 without a
// substitution: every byte belongs to a valid character.
bool isValidGb18030(std::string_view text) {
    return lct::utf8ToGbk(lct::gbkToUtf8(text)) == text;
}

// True when reading `text` back gives it unchanged as far as line breaks go:
// with CrLf it holds CR LF or no LF at all; with Lf it holds no lone CR or LF.
bool lineBreaksSurvive(std::string_view text, LineBreaks style) {
    bool crLf = false;
    bool lone = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool pair = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if (pair) {
            crLf = true;
            ++i;
        } else if (text[i] == '\r' || text[i] == '\n') {
            lone = true;
        }
    }
    if (style == LineBreaks::Lf) return !lone;
    return crLf || text.find('\n') == std::string_view::npos;
}

void checkDecodeOverloadsAgree(std::string_view bytes, TextEncoding requested) {
    const lct::TextFile viewed = lct::decodeText(bytes, requested);
    const lct::TextFile moved = lct::decodeText(std::string(bytes), requested);
    LCT_FUZZ_CHECK(viewed.text == moved.text);
    LCT_FUZZ_CHECK(viewed.detected == moved.detected);
    LCT_FUZZ_CHECK(viewed.lineBreaks == moved.lineBreaks);
}

void checkUnicodeRoundTrip(std::string_view text, TextEncoding encoding, LineBreaks style) {
    const std::string bytes = lct::encodeText(text, encoding, style).value_or("<refused>");
    const lct::TextFile forced = lct::decodeText(bytes, encoding);
    LCT_FUZZ_CHECK(forced.text == text);
    if (text.empty()) return;
    const lct::TextFile detected = lct::decodeText(bytes, TextEncoding::Detect);
    LCT_FUZZ_CHECK(detected.detected == encoding);
    LCT_FUZZ_CHECK(detected.text == text);
    LCT_FUZZ_CHECK(detected.lineBreaks == style || text.find('\n') == std::string_view::npos);
}

void checkBig5Exact(std::string_view text, LineBreaks style) {
    LCT_FUZZ_CHECK(
        lct::encodeText(text, TextEncoding::Big5, style, lct::Unwritable::Reference).has_value());
    if (!isValidGb18030(text) || !lineBreaksSurvive(text, style)) return;
    const auto bytes = lct::encodeText(text, TextEncoding::Big5, style);
    if (!bytes) return;
    LCT_FUZZ_CHECK(lct::decodeText(*bytes, TextEncoding::Big5).text == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const unsigned selector = data[0];
    const std::string_view bytes = lct::fuzz::bytesOf(data + 1, size - 1);
    const auto requested = lct::encodingFromIndex(static_cast<int>(selector % 7));
    const auto output = lct::encodingFromIndex(static_cast<int>((selector / 7) % 6));
    const LineBreaks style = (selector & 0x80) ? LineBreaks::Lf : LineBreaks::CrLf;

    (void)lct::detectMetaCharset(bytes);
    (void)lct::declareCharset(bytes, "Big5");
    checkDecodeOverloadsAgree(bytes, requested);
    const lct::TextFile file = lct::decodeText(bytes, requested);
    (void)lct::encodeText(file.text, output, file.lineBreaks, lct::Unwritable::Reference);

    // The bytes themselves as a text: when valid, no Unicode form may change it.
    if (isValidGb18030(bytes) && lineBreaksSurvive(bytes, style)) {
        checkUnicodeRoundTrip(bytes, TextEncoding::Utf8, style);
        checkUnicodeRoundTrip(bytes, TextEncoding::Utf16Le, style);
        checkUnicodeRoundTrip(bytes, TextEncoding::Utf16Be, style);
    }
    checkBig5Exact(bytes, style);
    return 0;
}
