#pragma once
// Removing blanks (spaces, ideographic spaces U+3000, tabs) from a text with a
// regex pattern.

#include <string>
#include <string_view>

namespace lct {

class RegexObject;

enum class WhitespaceMode {
    LineStarts = 0,  ///< blanks at the start of every line
    LineEnds = 1,    ///< blanks at the end of every line
    LineBothEnds = 2,
    Everywhere = 3,  ///< every run of blanks
    BlankLines = 4,  ///< every blank line together with its CR LF
};

/// The pattern text (GBK) of a mode.
std::string whitespacePattern(WhitespaceMode mode);

/// `text` with the blanks of `mode` removed. Unless `prepared`, `regex` is
/// first created with the mode's pattern (all three options on); a prepared
/// object is used as it is, so a loop can compile once. Returns the text
/// unchanged when the object cannot run (never an emptied text).
std::string stripWhitespace(std::string_view text, WhitespaceMode mode, RegexObject& regex,
                            bool prepared = false);

}  // namespace lct
