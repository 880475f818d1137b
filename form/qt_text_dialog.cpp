#include "form/qt_text_dialog.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <fstream>
#include <iterator>

#include "form/text_dialog_names.h"
#include "platform/charset.h"

namespace lct {

using namespace text_dialog;

namespace {

bool dialogOpen = false;

std::string readBytes(std::string_view path) {
    std::ifstream in(std::string(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

QWidget* ownerWidget(Form* owner) {
    auto* qtOwner = dynamic_cast<QtForm*>(owner);
    return qtOwner ? &qtOwner->window() : nullptr;
}

}  // namespace

TextDialog::TextDialog(const TextDialogRequest& request, QWidget* owner)
    : QDialog(owner), request_(request), form_(std::make_unique<QtForm>(*this, textDialogTable())) {
    setModal(true);
    setWindowTitle(toQString(titleOf(request_)));
    applyRequest(*form_, request_);

    auto* text = form_->widgetAs<QPlainTextEdit>(kText);
    auto* prompt = form_->widgetAs<QPlainTextEdit>(kPrompt);
    prompt->setReadOnly(true);
    prompt->setFrameShape(QFrame::NoFrame);
    if (!request_.inputForm) {
        text->setReadOnly(true);
        QPalette palette = text->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        text->setPalette(palette);
        QFont bold = prompt->font();
        bold.setBold(true);
        prompt->setFont(bold);
        form_->widgetAs<QPushButton>(kCancel)->setDefault(true);
    }
    text->setLineWrapMode(request_.scrollBars ? QPlainTextEdit::NoWrap
                                              : QPlainTextEdit::WidgetWidth);

    auto button = [&](std::string_view name) { return form_->widgetAs<QPushButton>(name); };
    connect(button(kClear), &QPushButton::clicked, this,
            [this] { form_->find(kText)->setText(""); });
    connect(button(kPaste), &QPushButton::clicked, this,
            [this] { form_->find(kText)->setText(form_->clipboardText()); });
    connect(button(kRestore), &QPushButton::clicked, this,
            [this] { restoreStartingText(*form_, request_); });
    connect(button(kImportPaths), &QPushButton::clicked, this, [this] { importFiles(false); });
    connect(button(kImportContents), &QPushButton::clicked, this, [this] { importFiles(true); });
    connect(button(kConfirm), &QPushButton::clicked, this, [this] {
        result_ = form_->find(kText)->text();
        confirmed_ = true;
        closingByButton_ = true;
        accept();
    });
    connect(button(kCancel), &QPushButton::clicked, this, [this] {
        closingByButton_ = true;
        reject();
    });

    const int margin = marginOf(request_);
    const int buttonHeight = button(kConfirm)->sizeHint().height();
    resize(request_.textWidth > 0 ? request_.textWidth + 2 * margin : 640,
           request_.textHeight > 0 ? request_.textHeight + 5 * margin + buttonHeight +
                                         promptHeight(promptOf(request_), 600)
                                   : 480);
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.width() / 2 - width() / 2, (area.height() - 30) / 2 - height() / 2);
    }
    if (request_.maximised) setWindowState(windowState() | Qt::WindowMaximized);
    layOut();
    text->setFocus();
}

TextDialog::~TextDialog() = default;

void TextDialog::layOut() {
    const int m = marginOf(request_);
    QWidget* prompt = form_->widget(kPrompt);
    QWidget* text = form_->widget(kText);
    const int width = this->width() - 2 * m;
    const int promptH = request_.promptGiven ? promptHeight(promptOf(request_), width) + 6 : 0;
    prompt->setGeometry(m, m, width, promptH);
    const int textTop = m + promptH + (promptH > 0 ? m : 0);
    const int band = form_->widget(kConfirm)->sizeHint().height() + 2 * m;
    text->setGeometry(m, textTop, width, height() - textTop - band);
    const int bandTop = height() - band;
    int left = m;
    for (std::string_view name : {kClear, kImportPaths, kImportContents, kRestore, kPaste}) {
        QWidget* b = form_->widget(name);
        if (b->isHidden()) continue;
        const QSize size = b->sizeHint();
        b->setGeometry(left, bandTop + (band - size.height()) / 2, size.width(), size.height());
        left += size.width() + m;
    }
    int right = this->width() - m;
    for (std::string_view name : {kCancel, kConfirm}) {
        QWidget* b = form_->widget(name);
        if (b->isHidden()) continue;
        const QSize size = b->sizeHint();
        right -= size.width();
        b->setGeometry(right, bandTop + (band - size.height()) / 2, size.width(), size.height());
        right -= m;
    }
}

void TextDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    layOut();
}

void TextDialog::closeEvent(QCloseEvent* event) {
    if (!closingByButton_ && mustAskBeforeClosing(*form_, request_) &&
        form_->messageBox(utf8ToGbk("内容已被改动，是否要放弃？"), utf8ToGbk("青禾："),
                          MessageButtons::YesNo, MessageIcon::Information) == MessageAnswer::No) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TextDialog::importFiles(bool contents) {
    const QStringList chosen = QFileDialog::getOpenFileNames(
        this,
        fromUtf8(contents ? "选择多个文件，将导入其文件内容" : "选择多个文件，将导入其文件路径"),
        QString(), fromUtf8("文本文本 (*.txt *.text *.ini *.htn *.html);;全部文件 (*)"));
    std::vector<std::string> paths;
    for (const QString& path : chosen)
        paths.push_back(path.toStdString());
    lct::importFiles(*form_, paths, contents, &readBytes);
}

bool showTextDialog(const TextDialogRequest& request, std::string* result) {
    if (dialogOpen) return false;
    dialogOpen = true;
    TextDialog dialog(request, ownerWidget(request.owner));
    dialog.exec();
    dialogOpen = false;
    if (dialog.confirmed() && result) *result = dialog.result();
    return dialog.confirmed();
}

void showTextInformation(TextDialogRequest request) {
    request.inputForm = false;
    // Only an input form can be confirmed; a refused request has nothing to undo.
    static_cast<void>(showTextDialog(request, nullptr));
}

}  // namespace lct
