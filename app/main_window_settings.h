#pragma once
// The main window's settings: which keys it keeps, in which sections and
// order, and which control each value belongs to, as one table beside its
// control table (app/main_window_table.h). Loading runs when the window is
// first shown, saving when it closes or the user saves; both work on any form
// built from the main window's control table.

#include "form/form.h"
#include "settings/settings_store.h"
#include "settings/settings_table.h"

namespace lct {

/// The fifty-six values the main window keeps: sections 主界面 and
/// 文章打乱替换器, in the order of their keys.
SettingsTable mainWindowSettings();

/// Restores the main window's values from the store into the form's
/// controls; a missing or empty value leaves its control as it is.
void loadMainWindowSettings(SettingsStore& store, Form& form);

/// Writes the main window's values from the form's controls, as one save
/// (see SettingsStore::finishSave), and tells what it achieved.
[[nodiscard]] SaveOutcome saveMainWindowSettings(SettingsStore& store, Form& form);

}  // namespace lct
