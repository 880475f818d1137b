#include "app/form_run_host.h"

#include "app/main_window_table.h"
#include "platform/charset.h"

namespace lct {
namespace {

constexpr std::string_view kPanels[] = {"分组框1", "分组框2", "分组框文章打乱替换器"};

std::string caption() {
    return utf8ToGbk(kProgramName);
}

}  // namespace

void FormRunHost::tell(std::string_view text) {
    form_.messageBox(text, caption(), MessageButtons::Ok, MessageIcon::Information);
}

bool FormRunHost::ask(std::string_view question) {
    return form_.messageBox(question, caption(), MessageButtons::YesNo, MessageIcon::Information) ==
           MessageAnswer::Yes;
}

void FormRunHost::focusKeywordList() {
    if (Control* c = form_.find("编辑框关键词列表")) form_.focus(*c);
}

void FormRunHost::busy(bool running) {
    for (std::string_view name : kPanels) {
        if (Control* panel = form_.find(name)) panel->setEnabled(!running);
    }
    for (std::string_view name : {"进度条", "透明标签"}) {
        if (Control* c = form_.find(name)) c->setVisible(running);
    }
}

void FormRunHost::status(std::string_view text) {
    if (Control* c = form_.find("透明标签")) c->setText(text);
}

void FormRunHost::progress(int range, int position) {
    if (Control* c = form_.find("进度条")) c->setProgress(range, position);
}

void FormRunHost::showPreview(std::string_view title, std::string_view content) {
    if (Control* c = form_.find("编辑框结果标题")) c->setText(title);
    if (Control* c = form_.find("编辑框结果内容")) c->setText(content);
}

}  // namespace lct
