#pragma once
// A window's settings declared once, as data: the sections it keeps, and in
// each the controls it stores, under which key and in which form. Restoring
// and saving walk the same rows in the same order, so adding an option to a
// window means adding one row, and the order of the rows is the order of the
// keys in a new settings file.
//
// Rows name controls and keys in UTF-8 (the names of the window's names
// header); the store receives them in GBK.

#include <span>
#include <string_view>

#include "form/form.h"
#include "settings/settings_store.h"

namespace lct {

/// How a row's value is stored, and which part of its control it is.
enum class StoredAs {
    Tick,        ///< a check or radio box's tick, as "真" or "假"
    Text,        ///< an edit box's text, its line breaks escaped
    SpacedText,  ///< Text, with every space stored as "[#kg#]"
    Bytes,       ///< an edit box's text, in a byte-set file of its own
    Index,       ///< a combo box's selected item index, as a number
    Tag,         ///< a button's tag, as a text
    /// Which of two radio boxes is ticked: 0 for the row's control, 1 for its
    /// partner. Restoring ticks the one and unticks the other.
    RadioPair,
};

/// One stored value of a window.
struct SettingsRow {
    std::string_view control;   ///< the control's name
    std::string_view key = {};  ///< empty: the control's name is the key
    StoredAs as = StoredAs::Text;
    std::string_view partner = {};  ///< RadioPair only: the other radio box
};

/// The rows kept under one section, in the order they are written.
struct SettingsSection {
    std::string_view name;
    std::span<const SettingsRow> rows;
};

/// A window's stored settings: its sections in order.
using SettingsTable = std::span<const SettingsSection>;

/// Restores every row of `table` into the form's controls. A missing or empty
/// value leaves its control as it is, and so does a stored index outside its
/// combo box's items.
void restoreWindowSettings(SettingsStore& store, Form& form, SettingsTable table);

/// Writes every row of `table` from the form's controls, as one save (see
/// SettingsStore::finishSave), and tells what it achieved.
[[nodiscard]] SaveOutcome saveWindowSettings(SettingsStore& store, Form& form, SettingsTable table);

}  // namespace lct
