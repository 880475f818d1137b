#pragma once
// What the tool windows share. Each is a top-level window owned by the main
// window and built from its control table, and each may be asked to close
// while one of its runs is on the stack: a run lets the window process pending
// messages, so the close arrives inside it, and the run still needs the
// window's controls when it returns. Such a close asks the run to stop, keeps
// the run's message boxes from showing and closes the window once the run has
// returned; a close without a run saves the window's settings and closes at
// once, telling what could not be saved.

#include <QWidget>
#include <functional>
#include <memory>

#include "form/control_table.h"
#include "form/qt_form.h"
#include "settings/settings_store.h"

class QCloseEvent;

namespace lct {

class ToolWindow : public QWidget {
    Q_OBJECT
  public:
    ~ToolWindow() override;

    QtForm& form() { return *form_; }

    /// True while a run of the window is on the stack.
    bool running() const { return runs_ > 0; }

    /// The program is ending: asks the run on the stack (if any) to stop at its
    /// next stop point, silences the window's message boxes and refuses new
    /// runs. The window stays open; its owner closes it once running() is
    /// false.
    void stopForClosing();

  protected:
    /// A top-level window owned by `owner` (nullptr for none), with one widget
    /// per row of `table`.
    ToolWindow(QWidget* owner, const ControlTable& table);

    /// Runs `work` as a run of the window: running() is true meanwhile. Does
    /// nothing once the window is closing. A close that arrived during the run
    /// closes the window when the run has returned.
    void run(const std::function<void()>& work);

    /// Asks the run on the stack to stop at its next stop point.
    virtual void requestStop() = 0;
    /// Saves the window's settings; a window without settings keeps this one.
    [[nodiscard]] virtual SaveOutcome saveSettings() { return {}; }

    /// Saves the settings and closes; during a run, see the top of this file.
    void closeEvent(QCloseEvent* event) final;

    std::unique_ptr<QtForm> form_;

  private:
    int runs_ = 0;
    bool closing_ = false;       // stopping for a close: no new run, no message box
    bool closePending_ = false;  // a close waits for the run to return
};

}  // namespace lct
