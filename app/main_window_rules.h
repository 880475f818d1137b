#pragma once
// What the main window does, over the toolkit interface: its enable and
// visibility rules, the mode radio boxes, the shuffle panel toggle, the help
// text, and the preview button. The Qt window connects its signals to these;
// the command line and the tests call them on a headless form.

#include <string>
#include <string_view>

#include "app/main_window_run.h"
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

/// Shows or hides the shuffle panel (`shown`), giving the keyword list with
/// its label, paste button and call mode, and the insert and replace panels,
/// the opposite visibility; the preview's marks go (the mode changed).
void showShufflePanel(Form& form, bool shown);

/// Flips the shuffle panel.
void toggleShufflePanel(Form& form);

/// A click on 单选框插入 or 单选框替换: the clicked one is selected, the other
/// deselected, the insert-options rule applied and the preview's marks cleared.
void selectModeRadio(Form& form, std::string_view clicked);

/// The preview's result no longer shows what the options and input would
/// give (the mode, templates, keyword list or preview input changed, or a
/// batch ran): its item marks and its count ("替换 7 处") go.
void clearPreviewMarks(Form& form);

/// What closing the window would save of `form`, as one text to compare: the
/// state of every edit box, check box, radio box and combo box (the preview's
/// result boxes aside) and every button's tag.
std::string settingsState(Form& form);

/// The help text "疑点说明" (GBK, CR LF).
std::string helpText();

/// The preview button: with the window idle (`run`) it clears `stopFlag`,
/// shows "停止", disables the three batch buttons, runs the preview article
/// through the run driver and shows the result boxes, then enables them and
/// shows "预览" again, `run` being Preview meanwhile; while the preview runs
/// it shows "停止中" and sets `stopFlag`. A disabled button, or one clicked
/// while another run is on, does nothing.
void onPreviewClicked(Form& form, RunHost& host, RunServices& services, bool& stopFlag,
                      MainWindowRun& run);

}  // namespace lct
