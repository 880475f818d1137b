#pragma once
// A tool's result box. A text of up to kLargeLines lines and kLargeCharacters
// characters is shown in a LongLineView, where it can be edited; a larger one
// in a LargeTextView, which shows any text at once but cannot edit it, with a
// note under it that says so. fullText() gives the text of whichever shows it.

#include <QString>
#include <QWidget>

class QLabel;
class QStackedWidget;

namespace lct {

class LargeTextView;
class LongLineView;

class ResultBox final : public QWidget {
    Q_OBJECT
  public:
    /// A text with this many line breaks or more counts as large.
    static constexpr qsizetype kLargeLines = 10'000;
    /// A text of more characters (UTF-16 units) than this counts as large.
    static constexpr qsizetype kLargeCharacters = qsizetype{4} * 1024 * 1024;

    explicit ResultBox(QWidget* parent = nullptr);

    /// Shows `text` (LF line breaks) in the view that suits its size.
    void setFullText(const QString& text);
    /// The text as set, or as edited since in the editable view.
    QString fullText() const;
    /// True while the read-only view for large texts shows the text.
    bool showsLargeText() const;

    LongLineView* editor() const { return editor_; }
    LargeTextView* largeView() const { return large_; }

  private:
    void showPage(QWidget* page);

    QStackedWidget* pages_;
    LongLineView* editor_;
    LargeTextView* large_;
    QLabel* note_;
};

/// True for a text that a result box shows in its read-only view.
bool isLargeText(const QString& text);

}  // namespace lct
