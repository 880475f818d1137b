#pragma once
// Conversion of GBK texts between simplified and traditional Chinese.

#include <string>
#include <string_view>

#include "platform/script_converter.h"

namespace lct {

/// Which way a text is converted; the values are the item indexes of the main
/// window's conversion list.
enum class ScriptConversion {
    None = 0,
    ToSimplified = 1,   ///< traditional to simplified
    ToTraditional = 2,  ///< simplified to traditional
};

/// `text` (GBK) converted the way `conversion` says (None returns it
/// unchanged). The result has as
/// many characters as `text`; bytes that are not valid GBK come back as they
/// were, and a converted character that GBK lacks becomes its GB18030
/// four-byte sequence. When the conversion is unavailable (OpenCC's data
/// missing) the text comes back unchanged and `error`, when given, says why;
/// otherwise `error` is emptied. Safe to call from several threads.
std::string convertScript(std::string_view text, ScriptConversion conversion,
                          std::string* error = nullptr);

/// The same with a given converter, for comparing its ways of matching
/// (see ScriptMatching).
std::string convertScript(std::string_view text, const ScriptConverter& converter,
                          std::string* error = nullptr);

}  // namespace lct
