#include "form/qt_result_box.h"

#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "form/qt_large_text.h"
#include "form/qt_long_lines.h"

namespace lct {

bool isLargeText(const QString& text) {
    return text.size() > ResultBox::kLargeCharacters || text.count(u'\n') >= ResultBox::kLargeLines;
}

ResultBox::ResultBox(QWidget* parent)
    : QWidget(parent),
      pages_(new QStackedWidget(this)),
      editor_(new LongLineView(pages_)),
      large_(new LargeTextView(pages_)),
      note_(new QLabel(QString::fromUtf8("结果很大，只读显示：可以选择、复制，不能在此修改。"),
                       this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(pages_, 1);
    layout->addWidget(note_);
    pages_->addWidget(editor_);
    pages_->addWidget(large_);
    note_->setObjectName(QStringLiteral("lctLargeTextNote"));
    showPage(editor_);
}

void ResultBox::setFullText(const QString& text) {
    // The view that does not show the text lets go of the one it had.
    if (isLargeText(text)) {
        editor_->setFullText(QString());
        large_->setText(text);
        showPage(large_);
    } else {
        large_->setText(QString());
        editor_->setFullText(text);
        showPage(editor_);
    }
}

QString ResultBox::fullText() const {
    return showsLargeText() ? large_->text() : editor_->fullText();
}

bool ResultBox::showsLargeText() const {
    return pages_->currentWidget() == large_;
}

void ResultBox::showPage(QWidget* page) {
    const bool hadFocus = pages_->currentWidget()->hasFocus();
    pages_->setCurrentWidget(page);
    note_->setVisible(page == large_);
    setFocusProxy(page);
    if (hadFocus) page->setFocus();
}

}  // namespace lct
