#pragma once
// The two working batch buttons of the main window: one runs the engine over
// files chosen in a dialog, the other over the files of a chosen folder; while
// its run goes on, each serves as its own stop button. Written over the
// toolkit interface; the dialogs come from the caller.

#include <string>
#include <string_view>
#include <vector>

#include "app/main_window_run.h"
#include "engine/run_driver.h"
#include "form/form.h"

namespace lct {

/// The dialogs a batch button needs. Paths are UTF-8; titles GBK.
class BatchDialogs {
  public:
    virtual ~BatchDialogs() = default;
    /// A multi-select open-file dialog; the chosen paths in dialog order, none
    /// when cancelled. `filter` is the dialog's filter text as the window gives it.
    virtual std::vector<std::string> chooseFiles(std::string_view title, std::string_view filter,
                                                 std::string_view initialFolder) = 0;
    /// A folder browser; empty when cancelled.
    virtual std::string chooseFolder(std::string_view title, std::string_view initialFolder) = 0;
    /// An input box that starts with `text` (GBK) and puts what was entered
    /// there; false when cancelled. Dialogs without one cancel.
    virtual bool enterText(std::string_view /*prompt*/, std::string_view /*title*/,
                           std::string& /*text*/) {
        return false;
    }
};

/// What a batch button works with: the main window, the run's host and file
/// services, the dialogs, the process-wide stop flag and the window's run.
struct BatchContext {
    Form& form;
    RunHost& host;
    RunServices& services;
    BatchDialogs& dialogs;
    bool& stopFlag;
    MainWindowRun& run;
};

/// The filter of the file dialog of 按钮批量处理 (GBK).
std::string batchFileFilter();

/// Lists the files of `folder` (UTF-8) by 编辑框过滤 into `request`: paths,
/// their paths relative to `folder` and what could not be listed; at every
/// depth when 选择框包含子文件夹 is ticked, with the result folder in `folder`
/// (never entered) and each result at its relative path. Lets the window
/// breathe while it lists. False when there is nothing to run: the stop flag
/// was set meanwhile, or nothing matched (the user is told so).
bool listBatchFolder(BatchContext& context, const std::string& folder, BatchRequest& request);

/// Enables or disables the window's run buttons other than `button`: while
/// one runs, a run started from a nested click would share its stop flag.
void enableOtherRunButtons(Form& form, std::string_view button, bool enabled);

/// 按钮批量处理 clicked: with the window idle, it asks for files, remembers
/// their folder in its tag, runs the batch (the window's run FileBatch) with
/// the other batch buttons and 按钮预览 disabled, then enables them and
/// returns to idle; during its batch, it shows "正在停止中.." and sets the stop
/// flag. A disabled button, or one clicked during another run, does nothing.
void onBatchFilesClicked(BatchContext& context);

/// 按钮批量处理文件夹 clicked (`rightRelease` false) or right mouse button
/// released over it (true: the dialog title has no leading "+"): with the
/// window idle, it asks for a folder, lists its files by 编辑框过滤 (at every
/// depth when 选择框包含子文件夹 is ticked: then each result keeps its
/// relative path in the result folder, which lies in the chosen folder) and
/// runs the batch over them (the window's run FolderBatch from the listing to
/// the end), with the other batch buttons and 按钮预览 disabled; listing or
/// running, it shows "正在停止中.." and sets the stop flag (a stop while
/// listing runs nothing). A disabled button, or one clicked during another
/// run, does nothing.
void onBatchFolderClicked(BatchContext& context, bool rightRelease);

}  // namespace lct
