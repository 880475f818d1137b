#include "app/form_run_host.h"

#include "app/main_window_names.h"
#include "app/main_window_rules.h"
#include "app/main_window_table.h"
#include "form/pending_messages.h"
#include "platform/charset.h"

namespace lct {

using namespace main_window;

namespace {

constexpr std::string_view kPanels[] = {kInsertPanel, kReplacePanel, kShufflePanel};

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
    if (Control* c = form_.find(kKeywordList)) form_.focus(*c);
}

void FormRunHost::busy(bool running) {
    for (std::string_view name : kPanels) {
        if (Control* panel = form_.find(name)) panel->setEnabled(!running);
    }
    if (Control* c = form_.find(kProgressBar)) c->setVisible(running);
    // The status line stays after the run with its summary.
    if (Control* c = form_.find(kStatusLabel); c && running) c->setVisible(true);
    if (running) clearPreviewMarks(form_);
}

void FormRunHost::keepAlive() {
    processPendingMessages();
}

void FormRunHost::status(std::string_view text) {
    if (Control* c = form_.find(kStatusLabel)) c->setText(text);
}

void FormRunHost::progress(int range, int position) {
    if (Control* c = form_.find(kProgressBar)) c->setProgress(range, position);
}

void FormRunHost::showPreview(std::string_view title, std::string_view content,
                              const PreviewItems& items) {
    const auto marks = [](const std::vector<std::pair<std::size_t, std::size_t>>& spans) {
        std::vector<TextMark> out;
        out.reserve(spans.size());
        for (const auto& [begin, end] : spans)
            out.push_back({begin, end});
        return out;
    };
    if (Control* c = form_.find(kResultTitle)) {
        c->setText(title);
        c->setMarks(marks(items.title));
    }
    if (Control* c = form_.find(kResultContent)) {
        c->setText(content);
        c->setMarks(marks(items.content));
    }
    if (Control* c = form_.find(kResultCountLabel)) {
        std::string count;
        if (items.mode != PipelineMode::ShuffleReplace) {
            count = utf8ToGbk(items.mode == PipelineMode::Insert ? "插入 " : "替换 ") +
                    std::to_string(items.count) + utf8ToGbk(" 处");
        }
        c->setText(count);
    }
}

}  // namespace lct
