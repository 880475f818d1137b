#pragma once
// The keyword traversal combiner as a Qt window; what it does is in
// tools/keyword_combiner.h. A tool window (tools/tool_window.h).

#include "settings/settings_store.h"
#include "tools/tool_window.h"

namespace lct {

class KeywordCombinerWindow final : public ToolWindow {
    Q_OBJECT
  public:
    /// A top-level window owned by `owner` (nullptr for none). Restores its
    /// settings from `store` now and saves them when it closes; `store` must
    /// outlive the window.
    KeywordCombinerWindow(SettingsStore& store, QWidget* owner);
    ~KeywordCombinerWindow() override;

  protected:
    void requestStop() override;
    [[nodiscard]] SaveOutcome saveSettings() override;

  private:
    void layOut();
    void pressStart();
    void showHelp();

    SettingsStore& store_;
    bool stop_ = false;
};

}  // namespace lct
