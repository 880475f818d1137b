#include "tools/anchor_composer_window.h"

#include <QBoxLayout>
#include <QPushButton>
#include <array>

#include "tools/anchor_composer.h"
#include "tools/anchor_composer_names.h"

namespace lct {

using namespace anchor_composer;

AnchorComposerWindow::AnchorComposerWindow(QWidget* owner)
    : ToolWindow(owner, anchorComposerTable()) {
    setWindowTitle(fromUtf8(kAnchorComposerTitle));
    layOut();

    auto button = [&](std::string_view name) { return form_->widgetAs<QPushButton>(name); };
    connect(button(kPasteKeywords), &QPushButton::clicked, this,
            [this] { form_->find(kKeywordList)->setText(form_->clipboardText()); });
    connect(button(kPasteAddresses), &QPushButton::clicked, this,
            [this] { form_->find(kAddressList)->setText(form_->clipboardText()); });
    connect(button(kCompose), &QPushButton::clicked, this, [this] { compose(); });
    connect(button(kCopyResult), &QPushButton::clicked, this,
            [this] { form_->setClipboardText(textOf(*form_, kResult)); });
}

AnchorComposerWindow::~AnchorComposerWindow() = default;

void AnchorComposerWindow::layOut() {
    auto* lists = new QHBoxLayout;
    for (auto [label, box, paste] :
         {std::array<std::string_view, 3>{kKeywordListLabel, kKeywordList, kPasteKeywords},
          std::array<std::string_view, 3>{kAddressListLabel, kAddressList, kPasteAddresses}}) {
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
    templateRow->addWidget(form_->widget(kTemplateLabel));
    templateRow->addWidget(form_->widget(kTemplate), 1);
    templateRow->addWidget(form_->widget(kCompose));
    auto* resultHead = new QHBoxLayout;
    resultHead->addWidget(form_->widget(kResultLabel));
    resultHead->addStretch(1);
    resultHead->addWidget(form_->widget(kCopyResult));

    auto* page = new QVBoxLayout(this);
    page->addLayout(lists, 2);
    page->addLayout(templateRow);
    page->addLayout(resultHead);
    page->addWidget(form_->widget(kResult), 2);
    resize(760, 560);
}

void AnchorComposerWindow::compose() {
    auto press = [this] { pressAnchorComposer(*form_, stop_); };
    // Pending messages are processed while composing: a click during the
    // composition is its stop click, never a composition inside this one.
    if (running())
        press();
    else
        run(press);
}

}  // namespace lct
