#pragma once
// The text dialog: one modal dialog that shows a long text (help texts) or
// serves as an input box with buttons to clear, paste, restore the starting
// text and import files. This file holds what the dialog does, over the
// toolkit interface; form/qt_text_dialog.h shows it.

#include <string>
#include <string_view>
#include <vector>

#include "form/control_table.h"
#include "form/form.h"

namespace lct {

/// What a caller asks of the dialog. Texts are GBK.
struct TextDialogRequest {
    std::string text;          ///< starting text; "恢复" brings it back
    bool promptGiven = false;  ///< show a prompt line at the top
    std::string prompt;  ///< empty: "请输入数据：" (input) or "以下为信息详情：" (information)
    std::string title;       ///< empty: "输入：" (input) or "信息：" (information)
    Form* owner = nullptr;   ///< the window the dialog is modal to, if any
    bool inputForm = false;  ///< false: the text is shown read-only
    int inputType = 0;
    bool maximised = false;
    int textWidth = 0;  ///< wanted size of the text area in pixels; 0 keeps the designed one
    int textHeight = 0;
    bool scrollBars = false;
    int margin = 0;         ///< below 1 means 5
    int importButtons = 0;  ///< 0 none, 1 "内容", 2 "文件名", 3 both
};

/// The dialog's controls.
const ControlTable& textDialogTable();

/// The prompt and title the dialog shows for a request (GBK).
std::string promptOf(const TextDialogRequest& request);
std::string titleOf(const TextDialogRequest& request);
/// The margin in pixels: below 1 means 5.
int marginOf(const TextDialogRequest& request);

/// Height in pixels of a prompt in a box `width` pixels wide: characters are 6
/// pixels wide, lines 12 high, and each CR LF line wraps at width / 6 bytes.
int promptHeight(std::string_view prompt, int width);

/// Puts a request into the dialog's controls: the import buttons asked for,
/// the prompt, the text; the information form hides 按钮确定 and 外形框 and
/// turns 按钮取消 into "关闭(&G)".
void applyRequest(Form& dialog, const TextDialogRequest& request);

/// "恢复": the starting text back, or the message "启动值为空！" when it is empty.
void restoreStartingText(Form& dialog, const TextDialogRequest& request);

/// "文件名" / "内容": appends, for each file in order, a CR LF (left out for the
/// first one when the text area is empty) and the file's path, or its bytes as
/// they are up to the first NUL byte when `contents`. `readFile` gives a
/// file's bytes ("" when unreadable).
void importFiles(Form& dialog, const std::vector<std::string>& paths, bool contents,
                 std::string (*readFile)(std::string_view path));

/// True when closing must first ask "内容已被改动，是否要放弃？": an input form
/// whose text differs from the starting text.
[[nodiscard]] bool mustAskBeforeClosing(Form& dialog, const TextDialogRequest& request);

}  // namespace lct
