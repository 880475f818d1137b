#include "tools/keyword_combiner_window.h"

#include <QBoxLayout>
#include <QPushButton>
#include <string>

#include "form/qt_text_dialog.h"
#include "platform/charset.h"
#include "platform/random.h"
#include "tools/keyword_combiner.h"
#include "tools/keyword_combiner_names.h"

namespace lct {

using namespace keyword_combiner;

KeywordCombinerWindow::KeywordCombinerWindow(SettingsStore& store, QWidget* owner)
    : ToolWindow(owner, keywordCombinerTable()), store_(store) {
    setWindowTitle(fromUtf8(kKeywordCombinerTitle));
    layOut();

    auto button = [&](std::string_view name) { return form_->widgetAs<QPushButton>(name); };
    for (std::size_t group = 0; group < kGroupBoxes.size(); ++group) {
        const std::string_view box = kGroupBoxes[group];
        connect(button(kPasteGroups[group]), &QPushButton::clicked, this,
                [this, box] { form_->find(box)->setText(form_->clipboardText()); });
        connect(button(kClearGroups[group]), &QPushButton::clicked, this,
                [this, box] { form_->find(box)->setText(""); });
    }
    connect(button(kStart), &QPushButton::clicked, this, [this] { pressStart(); });
    connect(button(kCopyResult), &QPushButton::clicked, this,
            [this] { form_->setClipboardText(textOf(*form_, kResult)); });
    connect(button(kHelp), &QPushButton::clicked, this, [this] { showHelp(); });

    restoreKeywordCombiner(store_, *form_);
}

KeywordCombinerWindow::~KeywordCombinerWindow() = default;

void KeywordCombinerWindow::layOut() {
    auto* groups = new QHBoxLayout;
    for (std::size_t group = 0; group < kGroupBoxes.size(); ++group) {
        auto* column = new QVBoxLayout;
        column->addWidget(form_->widget(kGroupLabels[group]));
        column->addWidget(form_->widget(kGroupBoxes[group]), 1);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(form_->widget(kPasteGroups[group]));
        buttons->addWidget(form_->widget(kClearGroups[group]));
        column->addLayout(buttons);
        groups->addLayout(column);
    }
    auto* options = new QHBoxLayout;
    for (std::string_view name : {kVerticalModeLabel, kVerticalMode, kHorizontalModeLabel,
                                  kHorizontalMode, kSymbolsLabel, kSymbols, kStart, kHelp})
        options->addWidget(form_->widget(name));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(form_->widget(kLineCount));
    bottom->addStretch(1);
    bottom->addWidget(form_->widget(kCopyResult));

    auto* page = new QVBoxLayout(this);
    page->addLayout(groups, 2);
    page->addLayout(options);
    page->addWidget(form_->widget(kResult), 3);
    page->addLayout(bottom);
    resize(880, 640);
}

void KeywordCombinerWindow::pressStart() {
    Random random;
    auto press = [this, &random] { static_cast<void>(pressCombinerButton(*form_, stop_, random)); };
    // A press during the run is its stop press.
    if (running())
        press();
    else
        run(press);
}

void KeywordCombinerWindow::showHelp() {
    TextDialogRequest request;
    request.text = keywordCombinerHelp();
    request.title = utf8ToGbk("帮助");
    showTextInformation(request);
}

void KeywordCombinerWindow::requestStop() {
    requestCombinerStop(*form_, stop_);
}

SaveOutcome KeywordCombinerWindow::saveSettings() {
    return saveKeywordCombiner(store_, *form_);
}

}  // namespace lct
