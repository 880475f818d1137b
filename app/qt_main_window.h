#pragma once
// The main window.
//
//   mainWindowTable() ──► QtForm (widgets) ──► layOutMainWindow arranges them
//                                              (app/qt_main_window_layout.h);
//                                              MainWindow connects every signal
//   signals ──► main_window_rules (rules, mode, shuffle panel, preview)
//           ──► batch_buttons (file and folder batches)
//           ──► runPreview / runBatch (engine/run_driver.h) through a
//               FormRunHost (app/form_run_host.h) and
//               FileRunServices
//   first activation: settings loaded (app/main_window_settings.h),
//   rules applied.
//
// Geometry: the window opens where it was, or at its preferred size, always
// inside the available screen (app/window_geometry.h); the option panels sit
// in a scroll area and the preview boxes give up height first, so the window
// fits a 1366×768 screen and never grows when controls show or hide. Tool
// windows open centred over it.
//
// Closing the window ends the program. Runs (preview, batches, the tool
// windows' runs) live on the stack inside a click handler and let pending
// messages through, so the close may arrive inside one of them. The window
// then asks every run to stop, refuses the close and asks again shortly,
// until no handler of its own and no tool run is left on the stack; then it
// saves its settings, closes the tool windows (they save theirs), releases
// the settings file and quits the application. A run stopped that way shows
// no message box and no report.
//
// Everything the window decides lives in those toolkit-independent modules;
// this class only builds, arranges and wires.

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "app/batch_buttons.h"
#include "settings/settings_store.h"
#include "tools/tool_window.h"

namespace lct {

class QtForm;

class MainWindow final : public QWidget {
    Q_OBJECT
  public:
    /// `settingsPath`: the settings file; empty means 青禾·澜词通.ini where
    /// platform/settings_location.h finds it. `dialogs`: what the batch buttons ask for files and
    /// folders with; nullptr means Qt's file dialogs.
    explicit MainWindow(std::string settingsPath = {},
                        std::unique_ptr<BatchDialogs> dialogs = nullptr);
    ~MainWindow() override;

    QtForm& form() { return *form_; }
    bool stopRequested() const { return stopFlag_; }

  protected:
    void showEvent(QShowEvent* event) override;
    /// Ends the program; see the top of this file.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    class Host;
    class FileDialogs;

    // A tool window, opened once and raised when asked for again.
    struct ToolSlot {
        QPointer<ToolWindow> window;
        bool opening = false;  // its constructor is on the stack
    };

    /// The size the window opens at when no place is stored, cut to the screen.
    static constexpr int kPreferredWidth = 1100;
    static constexpr int kPreferredHeight = 860;

    /// Opens the window where it was (settings section "主界面窗口"), or
    /// centred at its preferred size, always inside the available screen.
    void placeOnScreen();
    /// Moves and shrinks the window so that its frame, known once it shows,
    /// stays inside the available screen; notes the frame's offset.
    void keepFrameOnScreen();
    /// True once the window manager has put its frame around the window.
    bool frameKnown() const;
    /// After the first show, once the frame is known (or after two seconds):
    /// puts the frame's corner where placeOnScreen meant it, keeps the frame
    /// on the screen, then maximizes the window when it was closed maximized.
    void placeFrame();
    void connectSignals();
    void connectRunButtons();        // preview and the batch buttons
    void connectClipboardButtons();  // paste and copy
    void connectOptionRules();       // mode radios, switches and types: the rules
    void connectLinks();             // shuffle panel, settings, tools, help
    /// Runs a preview or batch from one of the window's buttons (see handle),
    /// over the real files, then shows what it reported.
    void runFromWindow(const std::function<void(RunServices&)>& run);
    /// 按钮批量处理文件夹: clicked, or released with the right mouse button.
    void runBatchFolder(bool rightRelease);
    [[nodiscard]] SaveOutcome saveSettings();
    void showProblems();
    /// Runs a handler that may let pending messages through (a run, a
    /// settings save, a tool window's constructor), counting it as on the
    /// stack; runs nothing once the window is closing.
    void handle(const std::function<void()>& handler);
    /// Opens a tool window once; raises it when it is open already, and does
    /// nothing while it is being built (its constructor restores settings,
    /// which lets a second press of its link through).
    void openTool(ToolSlot& tool, const std::function<ToolWindow*()>& make);
    /// True when the window may close: it holds the settings, nothing changed
    /// since they were loaded, or the user says to close all the same.
    bool mayCloseUnsaved();
    /// Asks the main run and every tool run to stop.
    void stopEverything();
    /// True while a handler of this window or a tool run is on the stack.
    bool busy() const;

    std::unique_ptr<QtForm> form_;
    SettingsStore store_;
    std::string loadedState_;  // settingsState when the settings were loaded
    bool stopFlag_ = false;
    MainWindowRun run_ = MainWindowRun::Idle;  // what the run buttons started
    bool activated_ = false;
    bool closing_ = false;  // the close has begun: no new run, no message box
    int onStack_ = 0;       // handlers of this window on the stack (see handle)
    QTimer closeRetry_;
    int frameChecks_ = 0;    // of placeFrame
    QPoint frameOffset_;     // the client area's corner within the frame
    QPoint intendedCorner_;  // where the frame's corner goes once it is known
    bool maximizeWhenPlaced_ = false;
    std::unique_ptr<Host> host_;
    std::unique_ptr<BatchDialogs> dialogs_;
    ToolSlot randomText_;
    ToolSlot sequenceText_;
    ToolSlot combiner_;
    ToolSlot merger_;
    ToolSlot anchors_;
    const std::array<ToolSlot*, 5> tools_{&randomText_, &sequenceText_, &combiner_, &merger_,
                                          &anchors_};
};

}  // namespace lct
