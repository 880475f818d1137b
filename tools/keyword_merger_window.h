#pragma once
// The keyword merger as a Qt window; what it does is in tools/keyword_merger.h.

#include <QWidget>
#include <memory>

#include "app/qt_form.h"
#include "settings/settings_store.h"

class QCloseEvent;

namespace lct {

class KeywordMergerWindow final : public QWidget {
    Q_OBJECT
  public:
    /// A top-level window owned by `owner` (nullptr for none). Restores its
    /// settings from `store` now and saves them when it closes; `store` must
    /// outlive the window.
    KeywordMergerWindow(SettingsStore& store, QWidget* owner);
    ~KeywordMergerWindow() override;

    QtForm& form() { return *form_; }

  protected:
    /// Saves the settings; during a merge it stops the merge and closes once
    /// the merge has returned.
    void closeEvent(QCloseEvent* event) override;

  private:
    void layOut();
    void merge();

    SettingsStore& store_;
    std::unique_ptr<QtForm> form_;
    bool stop_ = false;
    bool merging_ = false;
    bool closePending_ = false;
};

}  // namespace lct
