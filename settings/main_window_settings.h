#pragma once
// The main window's settings: which keys it keeps, in which sections and
// order, and how each value maps to a control. Loading runs when the window is
// first shown, saving when it closes or the user saves; both work on any form
// built from the main window's control table.

#include "form/form.h"
#include "settings/settings_store.h"

namespace lct {

/// Restores the fifty main-window values from the store into the form's
/// controls; a missing or empty value leaves its control as it is.
void loadMainWindowSettings(SettingsStore& store, Form& form);

/// Writes the fifty main-window values from the form's controls, as one save
/// (see SettingsStore::finishSave), and tells what it achieved.
[[nodiscard]] SaveOutcome saveMainWindowSettings(SettingsStore& store, Form& form);

}  // namespace lct
