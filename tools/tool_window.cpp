#include "tools/tool_window.h"

#include <QCloseEvent>

#include "platform/charset.h"

namespace lct {

ToolWindow::ToolWindow(QWidget* owner, const ControlTable& table)
    : QWidget(owner, Qt::Window), form_(std::make_unique<QtForm>(*this, table)) {}

ToolWindow::~ToolWindow() = default;

void ToolWindow::stopForClosing() {
    closing_ = true;
    form_->silenceMessages(true);
    if (running()) requestStop();
}

void ToolWindow::run(const std::function<void()>& work) {
    if (closing_) return;
    ++runs_;
    work();
    --runs_;
    // The outermost run returns last; only then may the window go.
    if (runs_ == 0 && closePending_) {
        closePending_ = false;
        close();
    }
}

void ToolWindow::closeEvent(QCloseEvent* event) {
    if (running()) {
        closePending_ = true;
        stopForClosing();
        event->ignore();
        return;
    }
    // A copy of the program that does not hold the settings saves nothing and
    // knows it from the main window's title.
    const SaveOutcome outcome = saveSettings();
    if (outcome.held && !outcome.ok() && !closing_)
        form_->messageBox(saveReport(outcome), utf8ToGbk(windowTitle().toStdString()),
                          MessageButtons::Ok, MessageIcon::Warning);
    // Closed for good: a window shown again works as before.
    closing_ = false;
    form_->silenceMessages(false);
    event->accept();
}

}  // namespace lct
