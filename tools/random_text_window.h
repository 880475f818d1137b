#pragma once
// The random text generator as a Qt window (what it does is in
// tools/random_text.h). A top-level window owned by the main window: it
// restores its settings when created and saves them when it closes.

#include <QWidget>
#include <memory>

#include "app/qt_form.h"
#include "settings/settings_store.h"
#include "tools/random_text.h"

namespace lct {

class RandomTextWindow final : public QWidget {
    Q_OBJECT
  public:
    /// `store` must outlive the window; `owner` is the main window (or nullptr).
    RandomTextWindow(SettingsStore& store, QWidget* owner);
    ~RandomTextWindow() override;

    QtForm& form() { return *form_; }

  protected:
    /// Saves the settings; during a run, stops it first and closes when it ends.
    void closeEvent(QCloseEvent* event) override;

  private:
    void layOut();
    void generate(RandomTextKind kind);

    SettingsStore& store_;
    std::unique_ptr<QtForm> form_;
    RandomTextRun run_;
    bool closeWhenStopped_ = false;
};

}  // namespace lct
