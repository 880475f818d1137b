#pragma once
// The main window's controls, declared once: names (their constants are in
// app/main_window_names.h), kinds, panels, captions, default texts, items and
// ticks. The headless form and the Qt window are both built from this table,
// so every default of the window lives here.

#include <string>

#include "form/control_table.h"
#include "platform/version.h"

namespace lct {

/// Program name; the settings file is this name with ".ini".
inline constexpr std::string_view kProgramName = "青禾·澜词通";
/// Window title, with the program's version.
inline const std::string kMainWindowTitle =
    "青禾·澜词通 v" + std::string(kVersion) +
    " - 插入关键词到标题和内容，关键词加链接，句子或段落打乱、关键词组合等等";

/// Every control of the main window, in the window's own order.
const ControlTable& mainWindowTable();

}  // namespace lct
