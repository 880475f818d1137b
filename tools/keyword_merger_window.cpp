#include "tools/keyword_merger_window.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QPushButton>
#include <QRadioButton>

#include "platform/random.h"
#include "tools/keyword_merger.h"

namespace lct {

KeywordMergerWindow::KeywordMergerWindow(SettingsStore& store, QWidget* owner)
    : ToolWindow(owner, keywordMergerTable()), store_(store) {
    setWindowTitle(fromUtf8(kKeywordMergerTitle));
    layOut();

    // The form leaves radio boxes independent; each row of choices is one
    // exclusive group here.
    auto* targets = new QButtonGroup(this);
    for (std::string_view name : {"单选框词组1", "单选框词组2", "单选框词组1和词组2"})
        targets->addButton(form_->widgetAs<QRadioButton>(name));
    auto* order = new QButtonGroup(this);
    for (std::string_view name : {"单选框随机", "单选框顺序"})
        order->addButton(form_->widgetAs<QRadioButton>(name));

    auto button = [&](std::string_view name) { return form_->widgetAs<QPushButton>(name); };
    connect(button("按钮粘贴1"), &QPushButton::clicked, this,
            [this] { form_->find("编辑框列表1")->setText(form_->clipboardText()); });
    connect(button("按钮粘贴2"), &QPushButton::clicked, this,
            [this] { form_->find("编辑框列表2")->setText(form_->clipboardText()); });
    connect(targets, &QButtonGroup::buttonClicked, this, [this] { applyMergerEnableRule(*form_); });
    connect(button("按钮合并"), &QPushButton::clicked, this, [this] { merge(); });
    connect(button("按钮复制"), &QPushButton::clicked, this,
            [this] { form_->setClipboardText(textOf(*form_, "编辑框结果")); });

    restoreKeywordMerger(store_, *form_);
}

KeywordMergerWindow::~KeywordMergerWindow() = default;

void KeywordMergerWindow::layOut() {
    auto* lists = new QHBoxLayout;
    for (const char* n : {"1", "2"}) {
        const std::string suffix(n);
        auto* column = new QVBoxLayout;
        auto* head = new QHBoxLayout;
        head->addWidget(form_->widget("标签列表" + suffix));
        head->addStretch(1);
        head->addWidget(form_->widget("按钮粘贴" + suffix));
        column->addLayout(head);
        column->addWidget(form_->widget("编辑框列表" + suffix), 1);
        lists->addLayout(column);
    }
    auto* targets = new QHBoxLayout;
    for (std::string_view name : {"标签合并对象", "单选框词组1", "单选框词组2",
                                  "单选框词组1和词组2", "标签词数", "编辑框词数"})
        targets->addWidget(form_->widget(name));
    targets->addStretch(1);
    auto* options = new QHBoxLayout;
    for (std::string_view name : {"单选框随机", "单选框顺序", "标签符号", "编辑框符号", "按钮合并"})
        options->addWidget(form_->widget(name));
    options->addStretch(1);
    auto* resultHead = new QHBoxLayout;
    resultHead->addWidget(form_->widget("标签结果"));
    resultHead->addStretch(1);
    resultHead->addWidget(form_->widget("按钮复制"));

    auto* page = new QVBoxLayout(this);
    page->addLayout(lists, 2);
    page->addLayout(targets);
    page->addLayout(options);
    page->addLayout(resultHead);
    page->addWidget(form_->widget("编辑框结果"), 2);
    resize(720, 640);
}

void KeywordMergerWindow::merge() {
    // Pending messages are processed while merging: a second click must not
    // start a merge inside this one.
    if (running()) return;
    run([this] {
        Random random;
        runKeywordMerger(*form_, random, stop_);
    });
}

SaveOutcome KeywordMergerWindow::saveSettings() {
    return saveKeywordMerger(store_, *form_);
}

}  // namespace lct
