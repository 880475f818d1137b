#include "form/qt_long_lines.h"

#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <vector>

namespace lct {

namespace {

// A block whose text continues the line of the block before it.
constexpr int kContinuation = 1;

// `text` with a line break after every kPieceLength characters of a longer
// line (never inside a surrogate pair); `continued` gets the numbers of the
// blocks that such a break starts.
QString breakLongLines(const QString& text, std::vector<int>& continued) {
    QString shown;
    shown.reserve(text.size() + text.size() / LongLineView::kPieceLength + 1);
    int block = 0;
    qsizetype start = 0;
    while (true) {
        qsizetype end = text.indexOf(u'\n', start);
        const bool last = end < 0;
        if (last) end = text.size();
        qsizetype at = start;
        for (qsizetype cut = pieceEnd(text, at, end); cut < end; cut = pieceEnd(text, at, end)) {
            shown += QStringView(text).mid(at, cut - at);
            shown += u'\n';
            continued.push_back(++block);
            at = cut;
        }
        shown += QStringView(text).mid(at, end - at);
        if (last) break;
        shown += u'\n';
        ++block;
        start = end + 1;
    }
    return shown;
}

// The text of `from` to `to` (document positions), each block break written
// as a line break unless the next block continues the line.
QString joinedText(const QTextDocument& document, int from, int to) {
    QString text;
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        const int begin = std::max(from, block.position()) - block.position();
        const int end = std::min(to, block.position() + block.length() - 1) - block.position();
        if (end > begin) text += QStringView(block.text()).mid(begin, end - begin);
        const QTextBlock next = block.next();
        if (next.isValid() && next.position() <= to && next.userState() != kContinuation)
            text += u'\n';
    }
    return text;
}

}  // namespace

qsizetype pieceEnd(QStringView text, qsizetype at, qsizetype end) {
    if (end - at <= LongLineView::kPieceLength) return end;
    const qsizetype cut = at + LongLineView::kPieceLength;
    return text.at(cut - 1).isHighSurrogate() ? cut - 1 : cut;
}

LongLineView::LongLineView(QWidget* parent) : QPlainTextEdit(parent) {}

void LongLineView::setFullText(const QString& text) {
    std::vector<int> continued;
    const QString shown = breakLongLines(text, continued);
    broken_ = !continued.empty();
    original_ = broken_ ? text : QString();
    setPlainText(broken_ ? shown : text);
    QTextDocument* doc = document();
    for (int number : continued)
        doc->findBlockByNumber(number).setUserState(kContinuation);
    doc->setModified(false);
}

QString LongLineView::fullText() const {
    if (!broken_) return toPlainText();
    if (!document()->isModified()) return original_;
    return joinedText(*document(), 0, document()->characterCount() - 1);
}

QMimeData* LongLineView::createMimeDataFromSelection() const {
    if (!broken_) return QPlainTextEdit::createMimeDataFromSelection();
    const QTextCursor cursor = textCursor();
    auto* mime = new QMimeData;
    mime->setText(joinedText(*document(), cursor.selectionStart(), cursor.selectionEnd()));
    return mime;
}

}  // namespace lct
