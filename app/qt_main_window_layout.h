#pragma once
// How the main window arranges its controls, one step per panel: the keyword
// source beside the insert and replace panels, with the shuffle panel below
// them, in a scroll area that gives up height before the preview does; then
// the progress row, the preview panel, the bottom row and the links. Tool
// windows and dialogs are placed by the window itself (app/qt_main_window.h).

#include <QWidget>

#include "form/qt_form.h"

namespace lct {

/// Arranges every control of `form` (built from mainWindowTable() over
/// `window`) in `window`, and hides the pictures and the drop target.
void layOutMainWindow(QtForm& form, QWidget& window);

}  // namespace lct
