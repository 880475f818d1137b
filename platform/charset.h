#pragma once
// Charset conversion over ICU converters. The engine's texts are GBK byte
// strings (GB18030 four-byte sequences for characters outside GBK); these
// functions are the only way between them and Unicode.

#include <optional>
#include <string>
#include <string_view>

#include "platform/bytes.h"

namespace lct {

/// What becomes of bytes that are not a valid GB18030 sequence when decoding.
enum class InvalidBytes {
    Substitute,  ///< U+FFFD, for showing text to people
    Preserve,    ///< U+10FF00 + byte, so that utf8ToGbk restores the byte
};

/// GBK text to UTF-8. Never fails; invalid bytes are handled as `invalid` says.
/// With Preserve the round trip utf8ToGbk(gbkToUtf8(t, Preserve)) == t holds for any bytes
/// (NUL bytes, lone lead bytes, the 0xFF placeholders of the tag guard included); a
/// character of U+10FF00..U+10FFFF, whose code point stands for a raw byte there,
/// becomes the raw points of its four bytes.
std::string gbkToUtf8(std::string_view gbk, InvalidBytes invalid = InvalidBytes::Substitute);
/// gbkToUtf8 appending to `out`.
void appendGbkAsUtf8(std::string_view gbk, InvalidBytes invalid, std::string& out);

/// UTF-8 to GBK text. Characters without a GBK code become GB18030 four-byte
/// sequences; the private-use code points U+10FF00..U+10FFFF become the single
/// byte they stand for (the inverse of InvalidBytes::Preserve); invalid UTF-8
/// becomes the GB18030 form of U+FFFD.
std::string utf8ToGbk(std::string_view utf8);
/// utf8ToGbk appending to `out`.
void appendUtf8AsGbk(std::string_view utf8, std::string& out);

/// Decodes `bytes` in charset `from` and encodes the characters in charset `to`
/// (ICU converter names such as "gb18030", "UTF-8", "UTF-16LE", "UTF-16BE",
/// "Big5", "ibm-1375"; "BIG5-HKSCS" is taken for "ibm-1375"). No byte-order
/// mark is added or removed. Invalid input and characters that `to` lacks
/// become substitution characters. nullopt when a converter cannot be opened.
[[nodiscard]] std::optional<std::string> convertCharset(std::string_view bytes,
                                                        std::string_view from, std::string_view to);

/// convertCharset appending to `out`, which the caller may have reserved room
/// in. False, with `out` unchanged, when a converter cannot be opened.
[[nodiscard]] bool appendConverted(std::string_view bytes, std::string_view from,
                                   std::string_view to, std::string& out);

/// The characters of a text that a charset cannot hold.
struct Unencodable {
    std::size_t count = 0;  ///< how many there are
    char32_t first = 0;     ///< the first of them (a code point); 0 when none
};

/// What encoding does with a character that the target charset cannot hold.
enum class UnencodableChars {
    Count,      ///< only counted: the result is empty whenever there is one
    Reference,  ///< written as the numeric character reference "&#xHHHH;"
};

/// GBK `gbk` in charset `to` (a name as convertCharset takes), exactly: each
/// character that `to` has no round-trip mapping for (one it lacks, one it
/// would skip, one it would write as a look-alike that reads back as another
/// character) is counted in `lost` and handled as `chars` says; everything
/// else reads back as itself. Invalid GBK bytes are U+FFFD first. No
/// byte-order mark. nullopt when a converter cannot be opened.
[[nodiscard]] std::optional<std::string> encodeGbkExactly(std::string_view gbk, std::string_view to,
                                                          UnencodableChars chars,
                                                          Unencodable& lost);

/// encodeGbkExactly appending to `out`, for a text encoded in pieces: what
/// `gbk` loses is added to `lost` (its first character kept when there was
/// one). With Count, whatever was appended is to be dropped once `lost` holds
/// a character. False when a converter cannot be opened.
[[nodiscard]] bool appendGbkExactly(std::string_view gbk, std::string_view to,
                                    UnencodableChars chars, Unencodable& lost, std::string& out);

/// For this thread: true sends every conversion through ICU alone, false
/// (the default) lets GB18030's two-byte characters go through tables read
/// out of ICU. Both give the same bytes; tests and benchmarks compare them.
void useIcuOnly(bool on);

/// Bytes of the GBK character that starts at byte `offset` of `text`: 4 for a
/// GB18030 four-byte sequence (81..FE, 30..39, 81..FE, 30..39), 2 for any
/// other byte of 0x80 or more with the byte after it (whatever that byte is),
/// 1 for an ASCII byte or a lead byte at the very end, 0 at the end.
inline std::size_t gbkCharSize(std::string_view text, std::size_t offset) {
    const std::size_t n = text.size();
    if (offset >= n) return 0;
    if (byteAt(text, offset) < 0x80) return 1;
    if (offset + 1 >= n) return 1;
    if (offset + 3 < n && isGbLeadByte(byteAt(text, offset)) &&
        isGbDigitByte(byteAt(text, offset + 1)) && isGbLeadByte(byteAt(text, offset + 2)) &&
        isGbDigitByte(byteAt(text, offset + 3)))
        return 4;
    return 2;
}

/// Appends the UTF-8 form of the code point `cp` (at most U+10FFFF) to `out`.
void appendUtf8(char32_t cp, std::string& out);

/// Number of Unicode code points in a valid UTF-8 text (continuation bytes are
/// not counted).
std::size_t utf8Length(std::string_view utf8);

}  // namespace lct
