#pragma once
// Putting the command line's --mode and --set into the main window's form.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "form/form.h"

namespace lct::cli {

/// Reads the file named after "@" in a --set value: its GBK text with CR LF
/// line breaks, or nullopt when it cannot be read.
using FileReader = std::function<std::optional<std::string>(std::string_view path)>;

/// UTF-8 text as an edit box holds it: GBK, every line break (LF or CR LF)
/// as CR LF.
std::string editBoxText(std::string_view utf8);

/// Applies --mode: insert or replace select their radio box and hide the
/// shuffle panel; shuffle shows the panel (hiding what it covers). Returns an
/// error (UTF-8) for any other mode, else "".
std::string applyMode(Form& form, std::string_view mode);

/// Sets one control by name as typed into the window. Returns an error (UTF-8)
/// for an unknown name, a control that cannot be set, or a malformed value;
/// "" when set.
std::string applySet(Form& form, std::string_view name, std::string_view value,
                     const FileReader& readFile);

}  // namespace lct::cli
