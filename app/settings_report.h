#pragma once
// What the main window says about its settings: the answer to 保存配置 and
// the title of a copy that cannot save.

#include <string>
#include <string_view>

#include "settings/settings_store.h"

namespace lct {

/// The message box text after a save (GBK): "保存完毕！" when everything was
/// saved; that another running copy holds the settings and nothing was saved;
/// or the list of what could not be saved.
std::string saveReport(const SaveOutcome& outcome);

/// The main window's title (UTF-8); a copy that does not hold the settings
/// file says so from the start.
std::string mainWindowTitle(bool holdsSettings);

}  // namespace lct
