#pragma once
// The headless form: plain in-memory controls built from a window's control
// table, with every default of the window. The command line runs the engine
// on it; tests drive window logic through it. Message boxes are recorded and
// answered with a preset answer; the clipboard is a string.

#include <memory>
#include <string>
#include <vector>

#include "form/control_table.h"
#include "form/form.h"

namespace lct {

class HeadlessForm final : public Form {
  public:
    struct Message {
        std::string text;
        std::string caption;
        MessageButtons buttons;
        MessageIcon icon;
    };

    /// Builds one control per row, in table order. A row whose parent names no
    /// earlier row is placed in the window itself.
    explicit HeadlessForm(const ControlTable& table);
    ~HeadlessForm() override;

    std::vector<Control*> controls() override;
    Control* tryFind(std::string_view name) override;
    MessageAnswer messageBox(std::string_view text, std::string_view caption,
                             MessageButtons buttons, MessageIcon icon) override;
    std::string clipboardText() override { return clipboard_; }
    void setClipboardText(std::string_view text) override { clipboard_ = text; }
    void focus(Control& control) override { focused_ = &control; }

    /// Every message box shown so far, oldest first.
    const std::vector<Message>& messages() const { return messages_; }
    /// The answer to Yes/No boxes (OK boxes always answer Ok). Default: No.
    void setAnswer(MessageAnswer answer) { answer_ = answer; }
    Control* focused() const { return focused_; }

  private:
    class HeadlessControl;
    std::vector<std::unique_ptr<HeadlessControl>> controls_;
    std::vector<Message> messages_;
    std::string clipboard_;
    MessageAnswer answer_ = MessageAnswer::No;
    Control* focused_ = nullptr;
};

}  // namespace lct
