#pragma once
// A multi-line result box for texts with lines of any length. A text edit lays
// out each line as one paragraph, and a paragraph of a million characters
// takes minutes; this box shows every line longer than kPieceLength characters
// broken into pieces of that length instead. The breaks are for the display
// alone: fullText() gives the text as it was set (as long as nobody edited it;
// after an edit, the pieces joined again), and copying a selection leaves the
// breaks out.

#include <QPlainTextEdit>
#include <QString>

class QMimeData;

namespace lct {

/// Where the displayed piece of a line that starts at `at` and ends at `end`
/// (exclusive) ends: `end` for a piece of LongLineView::kPieceLength characters
/// or less, else after that many characters, one less where that would split a
/// surrogate pair.
qsizetype pieceEnd(QStringView text, qsizetype at, qsizetype end);

class LongLineView final : public QPlainTextEdit {
    Q_OBJECT
  public:
    /// Characters (UTF-16 units) of one displayed piece at most.
    static constexpr qsizetype kPieceLength = 2000;

    explicit LongLineView(QWidget* parent = nullptr);

    /// Shows `text` (LF line breaks), long lines broken into pieces.
    void setFullText(const QString& text);
    /// The text without the display's breaks.
    QString fullText() const;
    /// True while the display holds breaks that the text does not.
    bool showsBrokenLines() const { return broken_; }

  protected:
    QMimeData* createMimeDataFromSelection() const override;

  private:
    QString original_;
    bool broken_ = false;
};

}  // namespace lct
