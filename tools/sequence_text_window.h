#pragma once
// The sequence text generator as a Qt window (what it does is in
// tools/sequence_text.h). A top-level window owned by the main window: every
// stored control is restored when it opens and saved when it closes.

#include <QWidget>
#include <memory>

#include "app/qt_form.h"
#include "settings/settings_store.h"
#include "tools/sequence_text.h"

namespace lct {

class SequenceTextWindow final : public QWidget {
    Q_OBJECT
  public:
    /// `store` must outlive the window; `owner` is the main window (or nullptr).
    SequenceTextWindow(SettingsStore& store, QWidget* owner);
    ~SequenceTextWindow() override;

    QtForm& form() { return *form_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void layOut();

    SettingsStore& store_;
    std::unique_ptr<QtForm> form_;
};

}  // namespace lct
