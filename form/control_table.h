#pragma once
// A window's controls declared once, as data. Both the headless form and the
// Qt form are built from such a table, so every default lives in one place.

#include <string_view>
#include <vector>

#include "form/form.h"

namespace lct {

/// One row of a window's control table. Texts are UTF-8 here; the forms
/// convert them to GBK when they are built.
struct ControlRow {
    std::string_view name;
    ControlKind kind = ControlKind::Unknown;
    std::string_view parent = {};  ///< name of the containing panel; empty for the window
    std::string_view text = {};    ///< caption or default content
    std::vector<std::string_view> items = {};
    bool ticked = false;
    bool visible = true;
    bool enabled = true;
    bool multiLine = false;
    /// A multi-line box that holds an article, where Tab types a tab; in the
    /// other multi-line boxes (one item per line) Tab moves the focus on.
    bool typesTabs = false;
    int comboStyle = kComboDropDownList;
    std::string_view tag = {};
    /// A multi-line result box that may hold any text within the tools'
    /// limits: the Qt form shows lines longer than a few thousand characters
    /// broken into pieces (for display only; its text stays as set), and a text
    /// of very many lines in a read-only view that lays out only the lines on
    /// screen, so that showing it cannot take long.
    bool breaksLongLines = false;
};

using ControlTable = std::vector<ControlRow>;

}  // namespace lct
