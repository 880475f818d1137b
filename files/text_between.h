#pragma once
// Cutting the text that lies between two markers, walking forward through a
// text one pair of markers at a time.

#include <string>
#include <string_view>

namespace lct {

/// Position value that marks a walk as exhausted.
constexpr int kTextBetweenExhausted = -2;

/// The GBK text between the first `left` marker found at or after character
/// `position` (1-based; below 1 means 1) and the next `right` marker after it.
/// Markers match at character boundaries, ASCII letters without case. Unless
/// `literalQuotes`, two apostrophes '' in a marker stand for a double quote;
/// when a marker is missing, the search is tried once more with every double
/// quote removed from both markers. An empty left marker starts the result
/// at `position`, an empty right marker ends it at the end of the text. The
/// result is shortened by `trimStart` characters at its start and `trimEnd`
/// at its end. On success `position` moves just past the right marker; on
/// failure the result is empty and `position` becomes kTextBetweenExhausted,
/// with which every later call returns empty text at once.
std::string textBetween(std::string_view text, std::string_view left, std::string_view right,
                        int& position, int trimStart = 0, int trimEnd = 0,
                        bool literalQuotes = false);

}  // namespace lct
