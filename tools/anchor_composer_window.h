#pragma once
// The anchor text composer as a Qt window; what it does is in
// tools/anchor_composer.h. A tool window (tools/tool_window.h) that keeps no
// settings.

#include "tools/tool_window.h"

namespace lct {

class AnchorComposerWindow final : public ToolWindow {
    Q_OBJECT
  public:
    /// A top-level window owned by `owner` (nullptr for none).
    explicit AnchorComposerWindow(QWidget* owner);
    ~AnchorComposerWindow() override;

  protected:
    void requestStop() override { stop_ = true; }

  private:
    void layOut();
    void compose();

    bool stop_ = false;
};

}  // namespace lct
