#pragma once
// The title of a main window that cannot save its settings (the answer to
// 保存配置 is saveReport, settings/settings_store.h).

#include <string>
#include <string_view>

#include "settings/settings_store.h"

namespace lct {

/// The main window's title (UTF-8); a copy that does not hold the settings
/// file says so from the start.
std::string mainWindowTitle(bool holdsSettings);

}  // namespace lct
