#pragma once
// Numbers typed into edit boxes, read as a user means them. Texts are GBK.

#include <cstdint>
#include <string_view>

namespace lct {

/// What a number box's text holds.
struct NumberText {
    std::int64_t value = 0;
    bool tooLarge = false;  ///< the digits name a number beyond the 64-bit range
    bool whole = false;     ///< the text is one number and nothing else (blanks aside)
    bool blank = false;     ///< the text holds nothing but blanks
};

/// Reads a number as typed: leading blanks (space, tab, the full-width space)
/// are skipped, then an optional sign ("+", "-" or their full-width forms) and
/// the decimal digits after it, ASCII or full-width ("０" … "９"), up to the
/// first other character. No digit reads as 0. A magnitude beyond the 64-bit
/// range sets `tooLarge` (the value is then 0). `whole` tells that at least
/// one digit was read and only blanks follow it.
NumberText readNumberText(std::string_view text);

}  // namespace lct
