#include "form/text_dialog.h"

#include "form/pending_messages.h"
#include "form/text_dialog_names.h"
#include "platform/charset.h"

namespace lct {

using namespace text_dialog;

namespace {

std::string_view upToFirstNul(std::string_view bytes) {
    const std::size_t nul = bytes.find('\0');
    return nul == std::string_view::npos ? bytes : bytes.substr(0, nul);
}

}  // namespace

const ControlTable& textDialogTable() {
    using K = ControlKind;
    static const ControlTable table = {
        {.name = kPrompt, .kind = K::EditBox, .multiLine = true},
        {.name = kText, .kind = K::EditBox, .multiLine = true},
        {.name = kClear, .kind = K::Button, .text = "清空"},
        {.name = kImportPaths, .kind = K::Button, .text = "文件名", .visible = false},
        {.name = kImportContents, .kind = K::Button, .text = "内容", .visible = false},
        {.name = kRestore, .kind = K::Button, .text = "恢复"},
        {.name = kPaste, .kind = K::Button, .text = "粘贴"},
        {.name = kButtonFrame, .kind = K::Unknown},
        {.name = kCancel, .kind = K::Button, .text = "取消"},
        {.name = kConfirm, .kind = K::Button, .text = "确定"},
    };
    return table;
}

std::string promptOf(const TextDialogRequest& request) {
    if (!request.promptGiven) return {};
    if (!request.prompt.empty()) return request.prompt;
    return utf8ToGbk(request.inputForm ? "请输入数据：" : "以下为信息详情：");
}

std::string titleOf(const TextDialogRequest& request) {
    if (!request.title.empty()) return request.title;
    return utf8ToGbk(request.inputForm ? "输入：" : "信息：");
}

int marginOf(const TextDialogRequest& request) {
    return request.margin < 1 ? 5 : request.margin;
}

int promptHeight(std::string_view prompt, int width) {
    const int perLine = width / 6;
    int lines = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = prompt.find("\r\n", start);
        const std::size_t length = (end == std::string_view::npos ? prompt.size() : end) - start;
        if (perLine <= 0) {
            ++lines;
        } else {
            const auto bytes = static_cast<int>(length);
            const int whole = bytes / perLine;
            lines += bytes % perLine == 0 ? std::max(whole, 1) : whole + 1;
        }
        if (end == std::string_view::npos) break;
        start = end + 2;
    }
    return lines * 12;
}

void applyRequest(Form& dialog, const TextDialogRequest& request) {
    auto set = [&](std::string_view name, auto&& action) {
        if (Control* c = dialog.find(name)) action(*c);
    };
    set(kImportContents, [&](Control& c) {
        c.setVisible(request.importButtons == 1 || request.importButtons == 3);
    });
    set(kImportPaths, [&](Control& c) {
        c.setVisible(request.importButtons == 2 || request.importButtons == 3);
    });
    set(kPrompt, [&](Control& c) {
        c.setText(promptOf(request));
        c.setVisible(request.promptGiven);
    });
    set(kText, [&](Control& c) { c.setText(request.text); });
    if (!request.inputForm) {
        set(kConfirm, [](Control& c) { c.setVisible(false); });
        set(kButtonFrame, [](Control& c) { c.setVisible(false); });
        set(kCancel, [](Control& c) { c.setText(utf8ToGbk("关闭(&G)")); });
    }
}

void restoreStartingText(Form& dialog, const TextDialogRequest& request) {
    if (request.text.empty()) {
        dialog.messageBox(utf8ToGbk("启动值为空！"), utf8ToGbk("青禾："), MessageButtons::Ok,
                          MessageIcon::Information);
        return;
    }
    if (Control* c = dialog.find(kText)) c->setText(request.text);
}

void importFiles(Form& dialog, const std::vector<std::string>& paths, bool contents,
                 std::string (*readFile)(std::string_view path)) {
    Control* text = dialog.find(kText);
    if (!text) return;
    std::string value = text->text();
    const bool wasEmpty = value.empty();
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string& path = paths[i];
        if (i > 0 || !wasEmpty) value += "\r\n";
        value += contents ? std::string(upToFirstNul(readFile(path))) : utf8ToGbk(path);
        text->setText(value);
        processPendingMessages();
    }
}

bool mustAskBeforeClosing(Form& dialog, const TextDialogRequest& request) {
    return request.inputForm && textOf(dialog, kText) != request.text;
}

}  // namespace lct
