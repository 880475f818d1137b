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
    SaveOutcome saveSettings();
    void showProblems();
    /// Opens a tool window once; raises it when it is open already.
    void openTool(QPointer<QWidget>& open, const std::function<QWidget*()>& make);

    std::unique_ptr<QtForm> form_;
    SettingsStore store_;
    bool stopFlag_ = false;
    bool activated_ = false;
    std::unique_ptr<Host> host_;
    std::unique_ptr<Dialogs> dialogs_;
    // The tool windows, each opened once and raised when asked for again.
    QPointer<QWidget> randomText_;
    QPointer<QWidget> sequenceText_;
    QPointer<QWidget> combiner_;
    QPointer<QWidget> merger_;
    QPointer<QWidget> anchors_;
};

}  // namespace lct
