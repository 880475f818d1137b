#pragma once
// Table-driven conversion between Big5 and the program's GB18030 text for
// what nearly every text consists of: ASCII and Big5's codes of one
// character of the Basic Multilingual Plane. The tables are read out of ICU's
// own Big5 and gb18030 converters once per process, so that these functions
// write byte for byte what a conversion through ICU writes. What they do not
// cover (invalid bytes, unassigned codes, four-byte GB18030 sequences) they
// leave to the caller, which hands it to ICU. Big5-HKSCS is ICU's alone.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/charset.h"

namespace lct {

/// Appends to `out` the GB18030 form of the longest prefix of the Big5 text
/// `big5` that the tables cover and returns its length in bytes (it ends on a
/// character boundary).
std::size_t decodeBig5Run(std::string_view big5, std::string& out);

/// Appends to `out` the Big5 form of the longest prefix of the GB18030 text
/// `gb` that the tables cover and returns its length in bytes, as
/// encodeGbkExactly does: a character without a round-trip mapping in Big5 is
/// counted in `lost` (which is added to, not reset) and, with `chars`
/// Reference, written as "&#xHHHH;"; with Count it is left out.
std::size_t encodeBig5Run(std::string_view gb, UnencodableChars chars, Unencodable& lost,
                          std::string& out);

}  // namespace lct
