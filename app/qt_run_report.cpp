#include "app/qt_run_report.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "app/main_window_table.h"
#include "form/qt_form.h"

namespace lct {

QDialog* makeRunReportDialog(const RunReport& report, QWidget* owner) {
    auto* dialog = new QDialog(owner);
    dialog->setModal(true);
    dialog->setWindowTitle(fromUtf8(kProgramName));
    auto* prompt = new QLabel(fromUtf8(report.prompt), dialog);
    prompt->setWordWrap(true);
    auto* list = new QPlainTextEdit(dialog);
    list->setObjectName(QStringLiteral("列表"));
    list->setReadOnly(true);
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    list->setPlainText(fromUtf8(report.text));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);

    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(prompt);
    layout->addWidget(list, 1);
    layout->addWidget(buttons);

    // The list scrolls; the dialog keeps to a size that fits any screen.
    QSize size(720, 420);
    const QScreen* screen = owner ? owner->screen() : dialog->screen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        size = size.boundedTo(QSize(area.width() * 9 / 10, area.height() * 8 / 10));
        dialog->setMaximumSize(area.size());
    }
    dialog->resize(size);
    return dialog;
}

}  // namespace lct
