#include "tools/sequence_text_window.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <initializer_list>
#include <string_view>

#include "tools/sequence_text_names.h"

namespace lct {

using namespace sequence_text;

SequenceTextWindow::SequenceTextWindow(SettingsStore& store, QWidget* owner)
    : ToolWindow(owner, sequenceTextTable()), store_(store) {
    setWindowTitle(fromUtf8("序列文本生成器"));
    layOut();

    auto button = [this](std::string_view name) { return form_->widgetAs<QAbstractButton>(name); };
    for (std::string_view radio : {kNumbers, kLetters}) {
        connect(button(radio), &QAbstractButton::clicked, this,
                [this, radio] { selectSequenceKind(*form_, radio); });
    }
    for (std::string_view box : {kUpper, kExtended}) {
        connect(button(box), &QAbstractButton::clicked, this,
                [this] { applySequenceCoupling(*form_); });
    }
    connect(button(kTemplateHint), &QAbstractButton::clicked, this,
            [this] { showTemplateHint(*form_); });
    connect(button(kGenerate), &QAbstractButton::clicked, this,
            [this] { static_cast<void>(generateSequenceInto(*form_)); });
    connect(button(kCopyResult), &QAbstractButton::clicked, this,
            [this] { copySequenceResult(*form_); });

    restoreSequenceSettings(store_, *form_);
}

SequenceTextWindow::~SequenceTextWindow() = default;

void SequenceTextWindow::layOut() {
    auto w = [this](std::string_view name) { return form_->widget(name); };
    for (std::string_view name : {kStart, kStep, kStop, kZeros})
        form_->widgetAs<QLineEdit>(name)->setMaximumWidth(80);
    auto* separator = form_->widgetAs<QPlainTextEdit>(kSeparator);
    separator->setFixedHeight(separator->fontMetrics().lineSpacing() * 2 + 12);
    separator->setMaximumWidth(160);
    form_->widget(kTemplateHint)->setMaximumWidth(32);

    auto* grid = new QGridLayout;
    int column = 0;
    for (std::string_view name : {kStartLabel, kStart, kStepLabel, kStep, kStopLabel, kStop})
        grid->addWidget(w(name), 0, column++);
    grid->setColumnStretch(column, 1);

    auto line = [&](std::initializer_list<std::string_view> names) {
        auto* row = new QHBoxLayout;
        for (std::string_view name : names)
            row->addWidget(w(name));
        return row;
    };
    auto* numbers = line({kNumbers, kZerosLabel, kZeros, kSameWidth, kUpper, kMoney, kCapital});
    numbers->addStretch(1);
    auto* letters = line({kLetters});
    letters->addStretch(1);
    auto* extended = line({kExtended, kTemplate, kTemplateHint});
    auto* generate = line({kSeparatorLabel, kSeparator});
    generate->addStretch(1);
    generate->addWidget(w(kGenerate));
    auto* copy = new QHBoxLayout;
    copy->addStretch(1);
    copy->addWidget(w(kCopyResult));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(numbers);
    layout->addLayout(letters);
    layout->addLayout(extended);
    layout->addLayout(generate);
    layout->addWidget(w(kResult), 1);
    layout->addLayout(copy);
    resize(620, 520);
}

SaveOutcome SequenceTextWindow::saveSettings() {
    return saveSequenceSettings(store_, *form_);
}

}  // namespace lct
