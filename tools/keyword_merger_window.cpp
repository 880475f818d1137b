#include "tools/keyword_merger_window.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QPushButton>
#include <QRadioButton>
#include <array>

#include "platform/random.h"
#include "tools/keyword_merger.h"
#include "tools/keyword_merger_names.h"

namespace lct {

using namespace keyword_merger;

KeywordMergerWindow::KeywordMergerWindow(SettingsStore& store, QWidget* owner)
    : ToolWindow(owner, keywordMergerTable()), store_(store) {
    setWindowTitle(fromUtf8(kKeywordMergerTitle));
    layOut();

    // The form leaves radio boxes independent; each row of choices is one
    // exclusive group here.
    auto* targets = new QButtonGroup(this);
    for (std::string_view name : {kTarget1, kTarget2, kTargetBoth})
        targets->addButton(form_->widgetAs<QRadioButton>(name));
    auto* order = new QButtonGroup(this);
    for (std::string_view name : {kRandomOrder, kListOrder})
        order->addButton(form_->widgetAs<QRadioButton>(name));

    auto button = [&](std::string_view name) { return form_->widgetAs<QPushButton>(name); };
    connect(button(kPaste1), &QPushButton::clicked, this,
            [this] { form_->find(kList1)->setText(form_->clipboardText()); });
    connect(button(kPaste2), &QPushButton::clicked, this,
            [this] { form_->find(kList2)->setText(form_->clipboardText()); });
    connect(targets, &QButtonGroup::buttonClicked, this, [this] { applyMergerEnableRule(*form_); });
    connect(button(kMerge), &QPushButton::clicked, this, [this] { merge(); });
    connect(button(kCopyResult), &QPushButton::clicked, this,
            [this] { form_->setClipboardText(textOf(*form_, kResult)); });

    restoreKeywordMerger(store_, *form_);
}

KeywordMergerWindow::~KeywordMergerWindow() = default;

void KeywordMergerWindow::layOut() {
    auto* lists = new QHBoxLayout;
    for (auto [label, paste, list] :
         {std::array{kListLabel1, kPaste1, kList1}, std::array{kListLabel2, kPaste2, kList2}}) {
        auto* column = new QVBoxLayout;
        auto* head = new QHBoxLayout;
        head->addWidget(form_->widget(label));
        head->addStretch(1);
        head->addWidget(form_->widget(paste));
        column->addLayout(head);
        column->addWidget(form_->widget(list), 1);
        lists->addLayout(column);
    }
    auto* targets = new QHBoxLayout;
    for (std::string_view name :
         {kTargetLabel, kTarget1, kTarget2, kTargetBoth, kWordCountLabel, kWordCount})
        targets->addWidget(form_->widget(name));
    targets->addStretch(1);
    auto* options = new QHBoxLayout;
    for (std::string_view name : {kRandomOrder, kListOrder, kSymbolLabel, kSymbol, kMerge})
        options->addWidget(form_->widget(name));
    options->addStretch(1);
    auto* resultHead = new QHBoxLayout;
    resultHead->addWidget(form_->widget(kResultLabel));
    resultHead->addStretch(1);
    resultHead->addWidget(form_->widget(kCopyResult));

    auto* page = new QVBoxLayout(this);
    page->addLayout(lists, 2);
    page->addLayout(targets);
    page->addLayout(options);
    page->addLayout(resultHead);
    page->addWidget(form_->widget(kResult), 2);
    resize(720, 640);
}

void KeywordMergerWindow::merge() {
    Random random;
    auto press = [this, &random] { static_cast<void>(pressMergerButton(*form_, random, stop_)); };
    // Pending messages are processed while merging: a click during the merge
    // is its stop click, never a merge inside this one.
    if (running())
        press();
    else
        run(press);
}

SaveOutcome KeywordMergerWindow::saveSettings() {
    return saveKeywordMerger(store_, *form_);
}

}  // namespace lct
