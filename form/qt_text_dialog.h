#pragma once
// The text dialog as a Qt window (what it does is in form/text_dialog.h).

#include <QDialog>
#include <memory>

#include "form/qt_form.h"
#include "form/text_dialog.h"

namespace lct {

/// Shows the dialog modally. Returns true when the user confirmed with "确定";
/// `result` then holds the final text. A request while the dialog is open
/// returns false at once.
[[nodiscard]] bool showTextDialog(const TextDialogRequest& request, std::string* result);

/// Shows a text read-only (the information form, e.g. a help text). There is
/// nothing to confirm; while the dialog is open already, nothing shows.
void showTextInformation(TextDialogRequest request);

class TextDialog final : public QDialog {
    Q_OBJECT
  public:
    TextDialog(const TextDialogRequest& request, QWidget* owner);
    ~TextDialog() override;

    QtForm& form() { return *form_; }
    [[nodiscard]] bool confirmed() const { return confirmed_; }
    const std::string& result() const { return result_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void layOut();
    void importFiles(bool contents);

    TextDialogRequest request_;
    std::unique_ptr<QtForm> form_;
    bool confirmed_ = false;
    bool closingByButton_ = false;
    std::string result_;
};

}  // namespace lct
