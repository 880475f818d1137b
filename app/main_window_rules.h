#pragma once
// What the main window does, over the toolkit interface: its enable and
// visibility rules, the mode radio boxes, the shuffle panel toggle, the help
// text, and the preview button. The Qt window connects its signals to these;
// the command line and the tests call them on a headless form.

#include <string>
#include <string_view>

#include "form/form.h"

namespace lct {

class RunHost;
class RunServices;

/// The insert panel's enabled and visible states, and the caption of
/// 选择框更新关键词, from the mode, the title and content switches and the
/// content insertion type.
void applyInsertOptionsRule(Form& form);

/// Each control of the shuffle panel is enabled exactly when its check box is
/// ticked.
void applyShufflePanelRule(Form& form);

/// Shows or hides the shuffle panel (`shown`), giving the keyword list, the
/// call-mode combo and the insert and replace panels the opposite visibility.
void showShufflePanel(Form& form, bool shown);

/// Flips the shuffle panel.
void toggleShufflePanel(Form& form);

/// A click on 单选框插入 or 单选框替换: the clicked one is selected, the other
/// deselected, and the insert-options rule applied.
void selectModeRadio(Form& form, std::string_view clicked);

/// The help text "疑点说明" (GBK, CR LF).
std::string helpText();

/// The preview button: with its caption "预览" it clears `stopFlag`, shows
/// "停止", disables the three batch buttons, runs the preview article through
/// the run driver and shows the result boxes, then enables them and shows
/// "预览" again; with any other caption (a preview is running) it shows
/// "停止中" and sets `stopFlag`. A disabled button does nothing.
void onPreviewClicked(Form& form, RunHost& host, RunServices& services, bool& stopFlag);

}  // namespace lct
