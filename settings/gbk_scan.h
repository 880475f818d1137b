#pragma once
// Byte-level helpers for the settings module's GBK texts. They follow the
// engine's character model (a GB18030 four-byte sequence is one character; any
// other byte of 0x80 or more takes the byte after it), so that a separator is
// never found inside a double-byte character whose trail byte happens to equal
// '{', ']' or '*'.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/charset.h"

namespace lct::settings_detail {

using lct::gbkCharSize;

/// Byte offset of the first occurrence of `needle` that starts at a character
/// boundary at or after the boundary `from`, or npos. An empty needle is never found.
std::size_t findAtBoundary(std::string_view text, std::string_view needle, std::size_t from = 0);

/// `text` with every occurrence of `from` (at character boundaries, left to
/// right, not overlapping) replaced by `to`. An empty `from` changes nothing.
std::string replaceAtBoundaries(std::string_view text, std::string_view from, std::string_view to);

/// Pieces of `text` between occurrences of `separator` (at character
/// boundaries). Empty pieces stay; an empty text gives no pieces.
std::vector<std::string> splitAtBoundaries(std::string_view text, std::string_view separator);

/// Byte offset of the first occurrence of `needle` at or after `from`, by a
/// plain byte search (two-way, linear), or npos. An empty needle is never found.
std::size_t findBytes(std::string_view text, std::string_view needle, std::size_t from = 0);

}  // namespace lct::settings_detail
