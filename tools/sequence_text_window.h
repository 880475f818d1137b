#pragma once
// The sequence text generator as a Qt window (what it does is in
// tools/sequence_text.h). A tool window (tools/tool_window.h) whose stored
// controls are restored when it opens and saved when it closes; it generates
// in one go, without runs that could be stopped.

#include "settings/settings_store.h"
#include "tools/sequence_text.h"
#include "tools/tool_window.h"

namespace lct {

class SequenceTextWindow final : public ToolWindow {
    Q_OBJECT
  public:
    /// `store` must outlive the window; `owner` is the main window (or nullptr).
    SequenceTextWindow(SettingsStore& store, QWidget* owner);
    ~SequenceTextWindow() override;

  protected:
    void requestStop() override {}
    [[nodiscard]] SaveOutcome saveSettings() override;

  private:
    void layOut();

    SettingsStore& store_;
};

}  // namespace lct
