#pragma once
// The keyword traversal combiner as a Qt window; what it does is in
// tools/keyword_combiner.h.

#include <QWidget>
#include <memory>

#include "app/qt_form.h"
#include "settings/settings_store.h"

class QCloseEvent;

namespace lct {

class KeywordCombinerWindow final : public QWidget {
    Q_OBJECT
  public:
    /// A top-level window owned by `owner` (nullptr for none). Restores its
    /// settings from `store` now and saves them when it closes; `store` must
    /// outlive the window.
    KeywordCombinerWindow(SettingsStore& store, QWidget* owner);
    ~KeywordCombinerWindow() override;

    QtForm& form() { return *form_; }

  protected:
    /// Saves the settings. While a run is in progress the window stays open,
    /// asks the run to stop and closes when it has ended: the run's loop is
    /// still on the stack and needs the window.
    void closeEvent(QCloseEvent* event) override;

  private:
    void layOut();
    void pressStart();
    void showHelp();

    SettingsStore& store_;
    std::unique_ptr<QtForm> form_;
    bool stop_ = false;
    bool running_ = false;
    bool closePending_ = false;
};

}  // namespace lct
