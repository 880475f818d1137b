#pragma once
// The encodings of article files, and the charset tests and conversions that
// reading and writing them need. Texts handed to and from the engine are GBK
// (GB18030 four-byte sequences for characters outside GBK); byte strings here
// are file contents in the encoding their name says.

#include <string>
#include <string_view>

#include "engine/article_file.h"

namespace lct {

/// The encoding with that value (a combo box index 0..5, or 6); Detect for
/// any other value.
TextEncoding encodingFromIndex(int index);

/// The ICU converter name of an encoding; empty for Detect and Gbk, whose
/// bytes are the internal text as it is.
std::string_view charsetNameOf(TextEncoding encoding);

/// The name a page declares for a file in that encoding (meta charset, XML
/// encoding), also used in messages: "GB18030" for Detect and Gbk, whose
/// bytes may hold GB18030's four-byte sequences; "UTF-16" for both UTF-16
/// forms, which are written with a byte-order mark that tells the order.
std::string_view declaredCharsetOf(TextEncoding encoding);

/// The byte-order mark written in front of a file in that encoding; empty for
/// encodings without one.
std::string_view byteOrderMarkOf(TextEncoding encoding);

/// True when `bytes` read as UTF-8 holds at least one multi-byte sequence
/// and nothing but ASCII and sequences of two, three or four bytes: a lead
/// byte of the sequence's length (C0..DF, E0..EF, F0..F4) followed by
/// continuation bytes (80..BF). Only these bit patterns are looked at, so
/// overlong forms such as C0 80 pass. Empty data and pure ASCII give false.
bool looksLikeUtf8(std::string_view bytes);

/// Both tests of `bytes` in one pass: looksLikeUtf8 and isValidUtf8.
struct Utf8Shape {
    bool looksLike = false;
    bool valid = false;
};
Utf8Shape utf8Shape(std::string_view bytes);

/// True when `bytes` is well-formed UTF-8 in the strict sense (no overlong
/// forms, no surrogates, nothing above U+10FFFF). Empty data is valid.
bool isValidUtf8(std::string_view bytes);

}  // namespace lct
