#pragma once
// The five tool windows as a program drives them without a display: each one's
// control table, settings, exclusive radio boxes, enable rules and run buttons,
// under the name the command line knows it by. A press here does what a click
// on the window's button does, to the end of its run.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "form/control_table.h"
#include "form/form.h"
#include "settings/settings_store.h"
#include "tools/result_limit.h"

namespace lct {

struct HeadlessTool {
    std::string_view name;   ///< random, sequence, combine, merge or anchor
    std::string_view title;  ///< the window's title (UTF-8), for messages
    const ControlTable& (*table)();
    /// Restores the window's own settings section; nullptr for a window
    /// without settings.
    void (*restore)(SettingsStore& store, Form& form);
    std::string_view mainButton;  ///< pressed when no other is named
    std::string_view resultBox;
    /// Radio boxes that the window keeps exclusive, group by group.
    std::vector<std::vector<std::string_view>> radioGroups;
};

/// The tool of that name, or nullptr.
const HeadlessTool* findTool(std::string_view name);

/// The names of all tools, in the order of their windows in the main window.
std::vector<std::string_view> toolNames();

/// Ticks or unticks the radio box `radio` of `tool`'s form as a click does:
/// ticking it unticks the others of its group.
void setToolRadio(const HeadlessTool& tool, Form& form, Control& radio, bool ticked);

/// Applies the window's enable rules, as it does after its radio and check
/// boxes change.
void applyToolRules(const HeadlessTool& tool, Form& form);

enum class ToolPress {
    Done,          ///< the run went to its end (a cut result is announced)
    Refused,       ///< refused with a message box: a number out of range, or a No
    NotRunButton,  ///< `button` starts no run of this tool
};

/// Presses `button` of `tool` once, on an idle form, as a click does; its
/// message boxes go to `form`. `seed` makes the random tools reproducible.
ToolPress pressToolButton(const HeadlessTool& tool, Form& form, std::string_view button,
                          std::optional<std::uint64_t> seed, const ResultLimits& limits = {});

}  // namespace lct
