#pragma once
// The number boxes of the tool windows, read as a user means them. Texts are
// GBK.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "form/form.h"
#include "form/number_text.h"

namespace lct {

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
