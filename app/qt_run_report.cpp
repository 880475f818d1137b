#include "app/qt_run_report.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/main_window_table.h"
#include "form/qt_form.h"

namespace lct {
namespace {

// The list: a row per failed file (file, reason), then the problems (no
// file). Reasons wrap within the dialog's width; the full texts are also
// tool tips.
QTableWidget* makeTable(const RunReport& report, QWidget* parent) {
    auto* table = new QTableWidget(static_cast<int>(report.rows.size()), 2, parent);
    table->setObjectName(QStringLiteral("列表"));
    table->setHorizontalHeaderLabels({QStringLiteral("文件"), QStringLiteral("原因")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setWordWrap(true);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->verticalHeader()->hide();
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    QHeaderView* header = table->horizontalHeader();
    header->setSectionResizeMode(0, QHeaderView::Interactive);
    header->setSectionResizeMode(1, QHeaderView::Stretch);
    int row = 0;
    for (const RunReport::Row& r : report.rows) {
        auto* file = new QTableWidgetItem(fromUtf8(r.file));
        auto* reason = new QTableWidgetItem(fromUtf8(r.reason));
        file->setToolTip(file->text());
        reason->setToolTip(reason->text());
        table->setItem(row, 0, file);
        table->setItem(row, 1, reason);
        ++row;
    }
    return table;
}

}  // namespace

QDialog* makeRunReportDialog(const RunReport& report, QWidget* owner) {
    auto* dialog = new QDialog(owner);
    dialog->setModal(true);
    dialog->setWindowTitle(fromUtf8(kProgramName));
    auto* prompt = new QLabel(fromUtf8(report.prompt), dialog);
    prompt->setWordWrap(true);
    QTableWidget* table = makeTable(report, dialog);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, dialog);
    QPushButton* copy =
        buttons->addButton(QStringLiteral("复制列表"), QDialogButtonBox::ActionRole);
    copy->setObjectName(QStringLiteral("复制列表"));
    const QString text = fromUtf8(report.text);
    QObject::connect(copy, &QPushButton::clicked, dialog,
                     [text] { QApplication::clipboard()->setText(text); });
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);

    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(prompt);
    layout->addWidget(table, 1);
    layout->addWidget(buttons);

    // The table scrolls; the dialog keeps to a size that fits any screen.
    QSize size(860, 460);
    const QScreen* screen = owner ? owner->screen() : dialog->screen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        size = size.boundedTo(QSize(area.width() * 9 / 10, area.height() * 8 / 10));
        dialog->setMaximumSize(area.size());
    }
    dialog->resize(size);
    // Paths take at most two fifths of the width; the reasons the rest.
    table->resizeColumnToContents(0);
    table->setColumnWidth(0, std::min(table->columnWidth(0) + 12, size.width() * 2 / 5));
    return dialog;
}

}  // namespace lct
