#pragma once
// The main window.
//
//   mainWindowTable() ──► QtForm (widgets) ──► MainWindow lays them out and
//                                              connects every signal here
//   signals ──► main_window_rules (rules, mode, shuffle panel, preview)
//           ──► batch_buttons (file and folder batches)
//           ──► runArticles (engine/run_driver.h) through QtRunHost and
//               FileRunServices
//   first activation: settings loaded (settings/main_window_settings.h),
//   rules applied; closing: settings saved.
//
// Everything the window decides lives in those toolkit-independent modules;
// this class only builds, arranges and wires.

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "settings/settings_store.h"

namespace lct {

class QtForm;

class MainWindow final : public QWidget {
    Q_OBJECT
  public:
    /// `settingsPath`: the settings file; empty means 青禾·澜词通.ini in the
    /// program's folder.
    explicit MainWindow(std::string settingsPath = {});
    ~MainWindow() override;

    QtForm& form() { return *form_; }
    bool stopRequested() const { return stopFlag_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    class Host;
    class Dialogs;

    void layOut();
    void connectSignals();
    void saveSettings();
    void showProblems();
    // A tool window, opened once and raised when asked for again.
    struct ToolSlot {
        QPointer<QWidget> window;
        bool opening = false;  // its constructor is on the stack
    };

    /// Opens a tool window once; raises it when it is open already, and does
    /// nothing while it is being built (its constructor restores settings,
    /// which lets a second press of its link through).
    void openTool(ToolSlot& tool, const std::function<QWidget*()>& make);

    std::unique_ptr<QtForm> form_;
    SettingsStore store_;
    bool stopFlag_ = false;
    bool activated_ = false;
    std::unique_ptr<Host> host_;
    std::unique_ptr<Dialogs> dialogs_;
    ToolSlot randomText_;
    ToolSlot sequenceText_;
    ToolSlot combiner_;
    ToolSlot merger_;
    ToolSlot anchors_;
};

}  // namespace lct
