#pragma once
// The number boxes of the tool windows, read as a user means them. Texts are
// GBK.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "form/form.h"

namespace lct {

/// What a number box's text holds.
struct NumberText {
    std::int64_t value = 0;
    bool tooLarge = false;  ///< the digits name a number beyond the 64-bit range
};

/// Reads a number as typed: leading blanks (space, tab, the full-width space)
/// are skipped, then an optional sign ("+", "-" or their full-width forms) and
/// the decimal digits after it, ASCII or full-width ("０" … "９"), up to the
/// first other character. No digit reads as 0. A magnitude beyond the 64-bit
/// range sets `tooLarge` (the value is then 0).
NumberText readNumberText(std::string_view text);

/// One number box of a tool and the values the tool can handle.
struct NumberBox {
    std::string_view control;  ///< its name
    std::string_view label;    ///< what the window calls it (UTF-8), for messages
    std::int64_t min = 0;
    std::int64_t max = 0;
};

/// The value of `box` on `form`; nullopt, with the message (GBK) in `error`,
/// when the text reads as a number outside [min, max].
std::optional<std::int64_t> readNumberBox(Form& form, const NumberBox& box, std::string& error);

/// Reads `box` and, when it is out of range, shows the message in a warning
/// box captioned `titleUtf8`.
std::optional<std::int64_t> readNumberBoxOrWarn(Form& form, const NumberBox& box,
                                                std::string_view titleUtf8);

}  // namespace lct
