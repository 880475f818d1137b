#include "tools/keyword_combiner_window.h"

#include <QBoxLayout>
#include <QPushButton>
#include <string>

#include "form/qt_text_dialog.h"
#include "platform/charset.h"
#include "platform/random.h"
#include "tools/keyword_combiner.h"

namespace lct {
namespace {

std::string numbered(std::string_view prefix, int group) {
    return std::string(prefix) + static_cast<char>('0' + group);
}

}  // namespace

KeywordCombinerWindow::KeywordCombinerWindow(SettingsStore& store, QWidget* owner)
    : ToolWindow(owner, keywordCombinerTable()), store_(store) {
    setWindowTitle(fromUtf8(kKeywordCombinerTitle));
    layOut();

    auto button = [&](std::string_view name) { return form_->widgetAs<QPushButton>(name); };
    for (int group = 1; group <= 4; ++group) {
        const std::string box = numbered("编辑框词", group);
        connect(button(numbered("按钮粘贴", group)), &QPushButton::clicked, this,
                [this, box] { form_->find(box)->setText(form_->clipboardText()); });
        connect(button(numbered("按钮清空", group)), &QPushButton::clicked, this,
                [this, box] { form_->find(box)->setText(""); });
    }
    connect(button("按钮开始组合"), &QPushButton::clicked, this, [this] { pressStart(); });
    connect(button("按钮复制"), &QPushButton::clicked, this,
            [this] { form_->setClipboardText(textOf(*form_, "编辑框结果")); });
    connect(button("按钮帮助"), &QPushButton::clicked, this, [this] { showHelp(); });

    restoreKeywordCombiner(store_, *form_);
}

KeywordCombinerWindow::~KeywordCombinerWindow() = default;

void KeywordCombinerWindow::layOut() {
    auto* groups = new QHBoxLayout;
    for (int group = 1; group <= 4; ++group) {
        auto* column = new QVBoxLayout;
        column->addWidget(form_->widget(numbered("标签词", group)));
        column->addWidget(form_->widget(numbered("编辑框词", group)), 1);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(form_->widget(numbered("按钮粘贴", group)));
        buttons->addWidget(form_->widget(numbered("按钮清空", group)));
        column->addLayout(buttons);
        groups->addLayout(column);
    }
    auto* options = new QHBoxLayout;
    for (std::string_view name :
         {"标签调用方式", "组合框调用方式", "标签组合方式", "组合框组合方式", "标签符号",
          "编辑框符号", "按钮开始组合", "按钮帮助"})
        options->addWidget(form_->widget(name));
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(form_->widget("按钮复制"));

    auto* page = new QVBoxLayout(this);
    page->addLayout(groups, 2);
    page->addLayout(options);
    page->addWidget(form_->widget("编辑框结果"), 3);
    page->addLayout(bottom);
    resize(880, 640);
}

void KeywordCombinerWindow::pressStart() {
    Random random;
    auto press = [this, &random] { pressCombinerButton(*form_, stop_, random); };
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
    showTextDialog(request, nullptr);
}

void KeywordCombinerWindow::requestStop() {
    requestCombinerStop(*form_, stop_);
}

SaveOutcome KeywordCombinerWindow::saveSettings() {
    return saveKeywordCombiner(store_, *form_);
}

}  // namespace lct
