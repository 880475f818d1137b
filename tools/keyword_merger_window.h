#pragma once
// The keyword merger as a Qt window; what it does is in tools/keyword_merger.h.
// A tool window (tools/tool_window.h).

#include "settings/settings_store.h"
#include "tools/tool_window.h"

namespace lct {

class KeywordMergerWindow final : public ToolWindow {
    Q_OBJECT
  public:
    /// A top-level window owned by `owner` (nullptr for none). Restores its
    /// settings from `store` now and saves them when it closes; `store` must
    /// outlive the window.
    KeywordMergerWindow(SettingsStore& store, QWidget* owner);
    ~KeywordMergerWindow() override;

  protected:
    void requestStop() override { stop_ = true; }
    [[nodiscard]] SaveOutcome saveSettings() override;

  private:
    void layOut();
    void merge();

    SettingsStore& store_;
    bool stop_ = false;
};

}  // namespace lct
