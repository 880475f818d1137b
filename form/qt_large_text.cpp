#include "form/qt_large_text.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLine>
#include <algorithm>
#include <cmath>
#include <limits>

#include "form/qt_long_lines.h"

namespace lct {

namespace {

// Space around the text, as a text edit's document margin.
constexpr int kMargin = 4;
// Pixels a row may take at most; far wider than any piece's width.
constexpr qreal kRowWidth = 1'000'000;

// Where each row of `text` starts: one row per line, lines longer than
// LongLineView::kPieceLength characters broken into pieces as LongLineView
// breaks them. `widest` gets the row with the most characters.
std::vector<qsizetype> rowStarts(QStringView text, qsizetype& widest) {
    std::vector<qsizetype> rows;
    rows.reserve(static_cast<std::size_t>(text.count(u'\n')) + 1);
    qsizetype longest = -1;
    qsizetype start = 0;
    while (true) {
        qsizetype end = text.indexOf(u'\n', start);
        const bool last = end < 0;
        if (last) end = text.size();
        for (qsizetype at = start;;) {
            const qsizetype cut = pieceEnd(text, at, end);
            if (cut - at > longest) {
                longest = cut - at;
                widest = static_cast<qsizetype>(rows.size());
            }
            rows.push_back(at);
            if (cut == end) break;
            at = cut;
        }
        if (last) break;
        start = end + 1;
    }
    return rows;
}

QTextCharFormat selectionFormat(const QPalette& palette) {
    QTextCharFormat format;
    format.setBackground(palette.brush(QPalette::Highlight));
    format.setForeground(palette.brush(QPalette::HighlightedText));
    return format;
}

int clampToInt(qsizetype value) {
    return static_cast<int>(std::min<qsizetype>(value, std::numeric_limits<int>::max()));
}

}  // namespace

LargeTextView::LargeTextView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setCursor(Qt::IBeamCursor);
    rowHeight_ = measureRowHeight();
    setText(QString());
}

void LargeTextView::setText(const QString& text) {
    text_ = text;
    rows_ = rowStarts(text_, widestRow_);
    anchor_ = position_ = 0;
    dragging_ = false;
    contentWidth_ = fontMetrics().horizontalAdvance(rowText(widestRow_).toString());
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

QStringView LargeTextView::rowText(qsizetype row) const {
    const qsizetype start = rowStart(row);
    return QStringView(text_).mid(start, rowEnd(row) - start);
}

qsizetype LargeTextView::rowEnd(qsizetype row) const {
    if (row + 1 >= rowCount()) return text_.size();
    // A row ends at the line break before the next row, or right before the
    // next row where that continues the same line.
    const qsizetype next = rowStart(row + 1);
    return text_.at(next - 1) == u'\n' ? next - 1 : next;
}

qsizetype LargeTextView::rowOf(qsizetype position) const {
    const auto after = std::upper_bound(rows_.begin(), rows_.end(), position);
    return std::max<qsizetype>(after - rows_.begin() - 1, 0);
}

qsizetype LargeTextView::firstVisibleRow() const {
    return verticalScrollBar()->value();
}

qsizetype LargeTextView::rowAtY(int y) const {
    const auto offset = static_cast<qsizetype>(std::floor(double(y - kMargin) / rowHeight()));
    return std::clamp<qsizetype>(firstVisibleRow() + offset, 0, rowCount() - 1);
}

// The height of a row: a line of Latin and Chinese characters, as the latter
// may come from a taller fallback font.
int LargeTextView::measureRowHeight() const {
    QTextLayout sample(QStringLiteral(u"Ag\u5B57"), font());
    sample.beginLayout();
    const QTextLine line = sample.createLine();
    sample.endLayout();
    const int height = static_cast<int>(std::ceil(line.isValid() ? line.height() : 0));
    return std::max({height, fontMetrics().lineSpacing(), 1});
}

int LargeTextView::visibleRows() const {
    return std::max((viewport()->height() - kMargin) / rowHeight(), 1);
}

void LargeTextView::scrollToRow(qsizetype row) {
    const qsizetype first = firstVisibleRow();
    if (row < first)
        verticalScrollBar()->setValue(clampToInt(row));
    else if (row >= first + visibleRows())
        verticalScrollBar()->setValue(clampToInt(row - visibleRows() + 1));
}

void LargeTextView::select(qsizetype from, qsizetype to) {
    anchor_ = std::clamp<qsizetype>(from, 0, text_.size());
    position_ = std::clamp<qsizetype>(to, 0, text_.size());
    viewport()->update();
}

QString LargeTextView::selectedText() const {
    return text_.mid(selectionStart(), selectionEnd() - selectionStart());
}

void LargeTextView::selectAll() {
    select(0, text_.size());
    offerSelection();
}

void LargeTextView::copy() const {
    if (selectionEnd() > selectionStart()) QApplication::clipboard()->setText(selectedText());
}

// The mouse selection, for the X11 middle-click paste, as a text edit does.
void LargeTextView::offerSelection() const {
    QClipboard* clipboard = QApplication::clipboard();
    if (clipboard->supportsSelection() && selectionEnd() > selectionStart())
        clipboard->setText(selectedText(), QClipboard::Selection);
}

void LargeTextView::layOutRow(QTextLayout& layout, qsizetype row) const {
    layout.setText(rowText(row).toString());
    layout.setFont(font());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid()) line.setLineWidth(kRowWidth);
    layout.endLayout();
}

qsizetype LargeTextView::positionAt(QPoint point) const {
    const qsizetype row = rowAtY(point.y());
    QTextLayout layout;
    layOutRow(layout, row);
    const QTextLine line = layout.lineAt(0);
    const qreal x = point.x() - kMargin + horizontalScrollBar()->value();
    return rowStart(row) + (line.isValid() ? line.xToCursor(x) : 0);
}

void LargeTextView::paintRow(QPainter& painter, qsizetype row, int y) {
    QTextLayout layout;
    layOutRow(layout, row);
    const qsizetype start = rowStart(row);
    const qsizetype end = rowEnd(row);
    QList<QTextLayout::FormatRange> selections;
    const qsizetype from = std::max(selectionStart(), start);
    const qsizetype to = std::min(selectionEnd(), end);
    if (to > from)
        selections.append({static_cast<int>(from - start), static_cast<int>(to - from),
                           selectionFormat(palette())});
    const QPointF origin(kMargin - horizontalScrollBar()->value(), y);
    painter.setClipRect(QRect(0, y, viewport()->width(), rowHeight()));
    layout.draw(&painter, origin, selections);

    const QTextLine line = layout.lineAt(0);
    const qreal width = line.isValid() ? line.naturalTextWidth() : 0;
    const int space = fontMetrics().horizontalAdvance(u' ');
    // A selected line break shows as a space-wide mark, as in a text edit.
    const bool breakSelected = end < text_.size() && text_.at(end) == u'\n' &&
                               selectionStart() <= end && selectionEnd() > end;
    if (breakSelected)
        painter.fillRect(QRectF(origin.x() + width, y, space, rowHeight()),
                         palette().brush(QPalette::Highlight));
    contentWidth_ = std::max(contentWidth_, static_cast<int>(std::ceil(width)) + space);
}

void LargeTextView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    const int widthBefore = contentWidth_;
    qsizetype row = firstVisibleRow();
    for (int y = kMargin; y < viewport()->height() && row < rowCount(); y += rowHeight(), ++row)
        paintRow(painter, row, y);
    // A row wider than the widest one measured so far widens the scroll range.
    if (contentWidth_ > widthBefore) updateScrollBars();
}

void LargeTextView::updateScrollBars() {
    const int rows = visibleRows();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, clampToInt(std::max<qsizetype>(rowCount() - rows, 0)));
    vertical->setSingleStep(1);
    vertical->setPageStep(rows);
    QScrollBar* horizontal = horizontalScrollBar();
    const int width = viewport()->width();
    horizontal->setRange(0, std::max(contentWidth_ + 2 * kMargin - width, 0));
    horizontal->setSingleStep(std::max(fontMetrics().averageCharWidth() * 2, 1));
    horizontal->setPageStep(width);
}

void LargeTextView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void LargeTextView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        rowHeight_ = measureRowHeight();
        contentWidth_ = fontMetrics().horizontalAdvance(rowText(widestRow_).toString());
        updateScrollBars();
    }
}

void LargeTextView::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Copy) {
        copy();
    } else if (event == QKeySequence::SelectAll) {
        selectAll();
    } else if (event == QKeySequence::MoveToStartOfDocument) {
        verticalScrollBar()->setValue(0);
    } else if (event == QKeySequence::MoveToEndOfDocument) {
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    } else {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void LargeTextView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const qsizetype at = positionAt(event->position().toPoint());
    if (!(event->modifiers() & Qt::ShiftModifier)) anchor_ = at;
    position_ = at;
    dragging_ = true;
    viewport()->update();
}

// Extends the selection to `point`, scrolling on when it is above or below
// the rows on screen.
void LargeTextView::dragTo(QPoint point) {
    if (point.y() < 0)
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (point.y() > viewport()->height())
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    position_ = positionAt(point);
    viewport()->update();
}

void LargeTextView::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton)) dragTo(event->position().toPoint());
}

void LargeTextView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_) return;
    dragging_ = false;
    offerSelection();
}

// Selects the whole line under the mouse: in a list of results, one item.
void LargeTextView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const qsizetype at = positionAt(event->position().toPoint());
    const qsizetype start = at == 0 ? 0 : text_.lastIndexOf(u'\n', at - 1) + 1;
    const qsizetype end = text_.indexOf(u'\n', at);
    select(start, end < 0 ? text_.size() : end);
    offerSelection();
}

void LargeTextView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    // The text edit's own captions, translated as Qt translates them there.
    QAction* copying = menu.addAction(QCoreApplication::translate("QWidgetTextControl", "&Copy"),
                                      this, [this] { copy(); });
    copying->setShortcut(QKeySequence::Copy);
    copying->setEnabled(selectionEnd() > selectionStart());
    menu.addSeparator();
    QAction* all = menu.addAction(QCoreApplication::translate("QWidgetTextControl", "Select All"),
                                  this, [this] { selectAll(); });
    all->setShortcut(QKeySequence::SelectAll);
    all->setEnabled(!text_.isEmpty());
    menu.exec(event->globalPos());
}

}  // namespace lct
