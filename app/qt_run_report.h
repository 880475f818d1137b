#pragma once
// The dialog that lists a run's failed files and problems (app/run_report.h).

#include <QDialog>

#include "app/run_report.h"

namespace lct {

/// A modal dialog showing `report`: its prompt over a read-only, scrolling
/// table of two columns (file, reason; reasons wrap, never past the right
/// edge), a button that copies the list as text, never taller or wider than
/// the screen it opens on, however long the list is. The caller shows it
/// (exec()) and deletes it.
QDialog* makeRunReportDialog(const RunReport& report, QWidget* owner);

}  // namespace lct
