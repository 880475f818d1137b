#pragma once
// The anchor text composer as a Qt window; what it does is in
// tools/anchor_composer.h. It keeps no settings.

#include <QWidget>
#include <memory>

#include "app/qt_form.h"

class QCloseEvent;

namespace lct {

class AnchorComposerWindow final : public QWidget {
    Q_OBJECT
  public:
    /// A top-level window owned by `owner` (nullptr for none).
    explicit AnchorComposerWindow(QWidget* owner);
    ~AnchorComposerWindow() override;

    QtForm& form() { return *form_; }

  protected:
    /// During a composition it stops the composition and closes once the
    /// composition has returned.
    void closeEvent(QCloseEvent* event) override;

  private:
    void layOut();
    void compose();

    std::unique_ptr<QtForm> form_;
    bool stop_ = false;
    bool composing_ = false;
    bool closePending_ = false;
};

}  // namespace lct
