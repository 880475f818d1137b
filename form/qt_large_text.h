#pragma once
// A read-only view for texts of very many lines. A text edit makes a text
// block for every line, which for a million lines takes seconds; this view
// keeps the text as one string with an index of where its rows start, and lays
// out only the rows that are on screen, each time it paints them. Lines longer
// than LongLineView::kPieceLength characters are shown broken into pieces as
// in LongLineView, one piece per row; rows never wrap, a horizontal scroll bar
// reaches their ends.
//
// The mouse selects characters (double click: a whole line, shift click:
// extends), Ctrl+A selects everything and Ctrl+C copies the selection as it
// stands in the text, without the display's breaks. The text cannot be edited.

#include <QAbstractScrollArea>
#include <QString>
#include <QTextLayout>
#include <vector>

namespace lct {

class LargeTextView final : public QAbstractScrollArea {
    Q_OBJECT
  public:
    explicit LargeTextView(QWidget* parent = nullptr);

    /// Shows `text` (LF line breaks) from its first row, nothing selected.
    void setText(const QString& text);
    const QString& text() const { return text_; }

    /// Rows on display: one per line, more for lines broken into pieces.
    qsizetype rowCount() const { return static_cast<qsizetype>(rows_.size()); }
    /// The text of a row (without the line break after it).
    QStringView rowText(qsizetype row) const;
    /// Pixels from the top of one row to the next.
    int rowHeight() const { return rowHeight_; }
    /// The first row on screen.
    qsizetype firstVisibleRow() const;
    /// Scrolls so that `row` is on screen.
    void scrollToRow(qsizetype row);

    /// The selected part of the text, from and to text positions.
    qsizetype selectionStart() const { return std::min(anchor_, position_); }
    qsizetype selectionEnd() const { return std::max(anchor_, position_); }
    void select(qsizetype from, qsizetype to);
    QString selectedText() const;
    /// The text position under a point of the viewport.
    qsizetype positionAt(QPoint point) const;

  public slots:
    void selectAll();
    /// Puts the selection on the clipboard; does nothing without one.
    void copy() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    qsizetype rowStart(qsizetype row) const { return rows_[static_cast<std::size_t>(row)]; }
    qsizetype rowEnd(qsizetype row) const;
    qsizetype rowOf(qsizetype position) const;
    qsizetype rowAtY(int y) const;
    int measureRowHeight() const;
    int visibleRows() const;
    void layOutRow(QTextLayout& layout, qsizetype row) const;
    void paintRow(QPainter& painter, qsizetype row, int y);
    void updateScrollBars();
    void dragTo(QPoint point);
    void offerSelection() const;

    QString text_;
    std::vector<qsizetype> rows_;  // where each row starts in text_
    qsizetype widestRow_ = 0;      // the row with the most characters
    int contentWidth_ = 0;         // pixels: the widest row measured so far
    int rowHeight_ = 1;            // pixels
    qsizetype anchor_ = 0;
    qsizetype position_ = 0;
    bool dragging_ = false;
};

}  // namespace lct
