#pragma once
// What the main window tells the user when a run ends with failed files or
// problems: one prompt line and a list, shown in one scrollable dialog.

#include <string>
#include <vector>

#include "engine/run_driver.h"

namespace lct {

/// The report of a run. Texts are UTF-8; an empty prompt means there is
/// nothing to report.
struct RunReport {
    /// One row of the list: a failed file and why, or a problem of the run
    /// (no file).
    struct Row {
        std::string file;
        std::string reason;
    };
    std::string prompt;     ///< one line above the list
    std::vector<Row> rows;  ///< the failed files in order, then the problems
    std::string
        text;  ///< the list as text: one line per failed file ("path：reason"), then the problems
};

/// The report of the failed files and the problems (de-duplicated by the
/// driver) of a run.
RunReport makeRunReport(const std::vector<RunFailure>& failures,
                        const std::vector<std::string>& problems);

}  // namespace lct
