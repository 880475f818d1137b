#pragma once
// The random text generator as a Qt window (what it does is in
// tools/random_text.h). A tool window (tools/tool_window.h): it restores its
// settings when created and saves them when it closes.

#include "settings/settings_store.h"
#include "tools/random_text.h"
#include "tools/tool_window.h"

namespace lct {

class RandomTextWindow final : public ToolWindow {
    Q_OBJECT
  public:
    /// `store` must outlive the window; `owner` is the main window (or nullptr).
    RandomTextWindow(SettingsStore& store, QWidget* owner);
    ~RandomTextWindow() override;

  protected:
    void requestStop() override { run_.stop = true; }
    [[nodiscard]] SaveOutcome saveSettings() override;

  private:
    void layOut();
    void generate(RandomTextKind kind);

    SettingsStore& store_;
    RandomTextRun run_;
};

}  // namespace lct
