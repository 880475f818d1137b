#pragma once
// The Qt form: a window's controls as real widgets, built from its control
// table, behind the toolkit interface (form/form.h). Window logic keeps working
// on Form and Control; only the window classes see the widgets, to lay them
// out and connect their signals.
//
// Texts cross the boundary here: widgets hold QString with LF line breaks,
// Controls give GBK with CR LF.

#include <QString>
#include <QWidget>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "form/control_table.h"
#include "form/form.h"

namespace lct {

/// GBK text (CR LF) as a QString (LF).
QString toQString(std::string_view gbk);
/// A QString (LF) as GBK text (CR LF).
std::string fromQString(const QString& text);
/// UTF-8 text as a QString.
inline QString fromUtf8(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

class QtForm final : public Form {
  public:
    /// Creates one widget per row of `table` inside `window`: a row whose
    /// parent names a panel gets that panel as its widget parent. Each widget's
    /// objectName is its control name and its tag is a dynamic property. The
    /// window arranges the widgets afterwards (see widget()).
    QtForm(QWidget& window, const ControlTable& table);
    ~QtForm() override;
    QtForm(const QtForm&) = delete;
    QtForm& operator=(const QtForm&) = delete;

    /// The widget of a control. The name must be the form's own, as for
    /// Form::find: a debug build aborts on any other (reportMissingControl).
    [[nodiscard]] QWidget* widget(std::string_view name) const;
    /// The widget of a control cast to its class; nullptr when it is another.
    template <typename W>
    [[nodiscard]] W* widgetAs(std::string_view name) const {
        return qobject_cast<W*>(widget(name));
    }
    QWidget& window() const { return window_; }

    std::vector<Control*> controls() override;
    Control* tryFind(std::string_view name) override;
    /// A modal message box on the window; while messages are silenced, none
    /// shows and the answer is Ok for an Ok box and No for a Yes/No box.
    MessageAnswer messageBox(std::string_view text, std::string_view caption,
                             MessageButtons buttons, MessageIcon icon) override;
    /// Silences the window's message boxes (see messageBox), or lets them show
    /// again. For a window that is closing while a run of it still ends: a box
    /// would pop up on a window that is gone.
    void silenceMessages(bool silenced) { silenced_ = silenced; }
    std::string clipboardText() override;
    void setClipboardText(std::string_view text) override;
    void focus(Control& control) override;

  private:
    class QtControl;
    QWidget& window_;
    std::vector<std::unique_ptr<QtControl>> controls_;
    bool silenced_ = false;
};

/// Lets long loops keep the window alive: processPendingMessages() handles the
/// waiting events, at most every 20 ms so that tight loops stay fast.
void installQtPendingMessagesHandler();

}  // namespace lct
