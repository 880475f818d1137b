#pragma once
// Searching GBK byte strings at character boundaries. A character is what
// gbkCharSize steps over (platform/charset.h): a GB18030 four-byte sequence,
// a byte of 0x80 or more with the byte after it, or a single byte; so a
// needle is never found inside a double-byte character whose trail byte
// happens to equal one of its bytes ('{', ']', '*', '|', a letter).
//
// findAtBoundary also takes the step of another character model, such as the
// engine's, where CR LF is one character (engine/chars.h).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/charset.h"

namespace lct {

/// Byte offset of the first occurrence of `needle` at or after `from`, by a
/// plain byte search (two-way, linear), or npos. An empty needle is never found.
std::size_t findBytes(std::string_view text, std::string_view needle, std::size_t from = 0);

/// Byte offset of the first occurrence of `needle` that starts at a character
/// boundary at or after the boundary `from`, or npos; an empty needle is never
/// found. Whether the occurrence also ends at a boundary is left to the
/// caller. `next(offset)` gives the boundary after the one at `offset`; it is
/// called for the boundaries from `from` up to the occurrence, in order, and
/// never past the end of the text. Linear: each byte hit is checked by walking
/// on from the last boundary reached.
template <typename NextBoundary>
std::size_t findAtBoundary(std::string_view text, std::string_view needle, std::size_t from,
                           NextBoundary next) {
    std::size_t i = from;
    while (i < text.size()) {
        // Jump to the next byte match, then walk the boundaries up to it: a hit
        // that a character straddles is passed over and the search goes on from
        // the boundary after that character.
        const std::size_t hit = findBytes(text, needle, i);
        if (hit == std::string_view::npos) return hit;
        while (i < hit)
            i = next(i);
        if (i == hit) return hit;
    }
    return std::string_view::npos;
}

/// findAtBoundary with the characters of gbkCharSize (CR and LF are
/// characters of their own).
std::size_t findAtBoundary(std::string_view text, std::string_view needle, std::size_t from = 0);

/// `text` with every occurrence of `from` (at character boundaries, left to
/// right, not overlapping) replaced by `to`. An empty `from` changes nothing.
std::string replaceAtBoundaries(std::string_view text, std::string_view from, std::string_view to);

/// Pieces of `text` between occurrences of `separator` (at character
/// boundaries). Empty pieces stay; an empty text gives no pieces.
std::vector<std::string> splitAtBoundaries(std::string_view text, std::string_view separator);

}  // namespace lct
