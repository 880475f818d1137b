#include "tools/anchor_composer_window.h"

#include <QBoxLayout>
#include <QPushButton>
#include <array>

#include "tools/anchor_composer.h"

namespace lct {

AnchorComposerWindow::AnchorComposerWindow(QWidget* owner)
    : ToolWindow(owner, anchorComposerTable()) {
    setWindowTitle(fromUtf8(kAnchorComposerTitle));
    layOut();

    auto button = [&](std::string_view name) { return form_->widgetAs<QPushButton>(name); };
    connect(button("按钮粘贴关键词"), &QPushButton::clicked, this,
            [this] { form_->find("编辑框关键词列表")->setText(form_->clipboardText()); });
    connect(button("按钮粘贴网址"), &QPushButton::clicked, this,
            [this] { form_->find("编辑框网址列表")->setText(form_->clipboardText()); });
    connect(button("按钮合成"), &QPushButton::clicked, this, [this] { compose(); });
    connect(button("按钮复制合成"), &QPushButton::clicked, this,
            [this] { form_->setClipboardText(textOf(*form_, "编辑框合成列表")); });
}

AnchorComposerWindow::~AnchorComposerWindow() = default;

void AnchorComposerWindow::layOut() {
    auto* lists = new QHBoxLayout;
    for (auto [label, box, paste] :
         {std::array<std::string_view, 3>{"标签关键词列表", "编辑框关键词列表", "按钮粘贴关键词"},
          std::array<std::string_view, 3>{"标签网址列表", "编辑框网址列表", "按钮粘贴网址"}}) {
        auto* column = new QVBoxLayout;
        auto* head = new QHBoxLayout;
        head->addWidget(form_->widget(label));
        head->addStretch(1);
        head->addWidget(form_->widget(paste));
        column->addLayout(head);
        column->addWidget(form_->widget(box), 1);
        lists->addLayout(column);
    }
    auto* templateRow = new QHBoxLayout;
    templateRow->addWidget(form_->widget("标签合成模板"));
    templateRow->addWidget(form_->widget("编辑框合成模板"), 1);
    templateRow->addWidget(form_->widget("按钮合成"));
    auto* resultHead = new QHBoxLayout;
    resultHead->addWidget(form_->widget("标签合成列表"));
    resultHead->addStretch(1);
    resultHead->addWidget(form_->widget("按钮复制合成"));

    auto* page = new QVBoxLayout(this);
    page->addLayout(lists, 2);
    page->addLayout(templateRow);
    page->addLayout(resultHead);
    page->addWidget(form_->widget("编辑框合成列表"), 2);
    resize(760, 560);
}

void AnchorComposerWindow::compose() {
    // Pending messages are processed while composing: a second click must
    // not start a composition inside this one.
    if (running()) return;
    run([this] { runAnchorComposer(*form_, stop_); });
}

}  // namespace lct
