#pragma once
// Conversion of GBK texts between simplified and traditional Chinese.

#include <string>
#include <string_view>

namespace lct {

/// `text` (GBK) converted: direction 1 traditional to simplified, 2 simplified
/// to traditional; any other direction returns it unchanged. The result has as
/// many characters as `text`; bytes that are not valid GBK come back as they
/// were, and a converted character that GBK lacks becomes its GB18030
/// four-byte sequence. When the conversion is unavailable (OpenCC's data
/// missing) the text comes back unchanged and `error`, when given, says why;
/// otherwise `error` is emptied.
std::string convertScript(std::string_view text, int direction, std::string* error = nullptr);

}  // namespace lct
