#pragma once
// Table-driven conversion between GB18030 and UTF-8 / UTF-16 for what nearly
// every text consists of: ASCII and the two-byte codes that stand for one
// character of the Basic Multilingual Plane. The tables are read out of ICU's
// own gb18030 converter once per process, so that these functions write byte
// for byte what ICU writes. What they do not cover (four-byte sequences,
// invalid bytes, characters without a two-byte code) they leave to the caller,
// which hands it to ICU.

#include <cstddef>
#include <string>
#include <string_view>

namespace lct {

enum class UnicodeForm { Utf8, Utf16Le, Utf16Be };

/// Appends to `out` the conversion of the longest prefix of the GB18030 text
/// `gb` that the tables cover and returns its length in bytes (it ends on a
/// character boundary).
std::size_t decodeGb18030Run(std::string_view gb, UnicodeForm to, std::string& out);

/// Appends to `out` the GB18030 form of the longest prefix of `text` (in form
/// `from`) that the tables cover and returns its length in bytes.
std::size_t encodeGb18030Run(std::string_view text, UnicodeForm from, std::string& out);

/// The character of the two-byte GB18030 code `lead` `trail` as the tables
/// have it (a BMP character of U+0080 or more), 0 when they lack the code.
char32_t gb18030TwoByteCharacter(unsigned lead, unsigned trail);

/// Bytes of the well-formed GB18030 character at the start of `gb` (2 or 4),
/// 1 for an ASCII byte, 0 for bytes that are not a whole character.
std::size_t gb18030CharSize(std::string_view gb);

/// Bytes of the well-formed character at the start of `text` in form `form`,
/// 0 for a malformed or cut-off sequence.
std::size_t unicodeCharSize(std::string_view text, UnicodeForm form);

}  // namespace lct
