#pragma once
// Splitting option lists. Lists typed into option boxes are separated by "|";
// in separator and symbol lists the two characters backslash and n stand for
// a line break. Multi-line lists have one item per line.

#include <string>
#include <string_view>
#include <vector>

namespace lct {

/// Splits at every occurrence of `separator` (only at character boundaries).
/// Pieces between two adjacent separators stay as empty texts; one trailing
/// empty piece is dropped; an empty text gives no pieces. An empty separator
/// gives the whole text as one piece.
std::vector<std::string> splitList(std::string_view text, std::string_view separator);

/// Replaces every escape backslash-n of `text` by CR LF, then splits at "|".
std::vector<std::string> splitSymbolList(std::string_view text);

/// True when `text` holds the escape backslash-n (a backslash that is a
/// character of its own, followed by n).
bool hasLineBreakEscape(std::string_view text);

/// `text` with every backslash-n escape turned into CR LF.
std::string expandLineBreakEscapes(std::string_view text);

}  // namespace lct
