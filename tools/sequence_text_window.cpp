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

namespace lct {

SequenceTextWindow::SequenceTextWindow(SettingsStore& store, QWidget* owner)
    : ToolWindow(owner, sequenceTextTable()), store_(store) {
    setWindowTitle(fromUtf8("序列文本生成器"));
    layOut();

    auto button = [this](std::string_view name) { return form_->widgetAs<QAbstractButton>(name); };
    for (std::string_view radio : {"单选框数字", "单选框字母"}) {
        connect(button(radio), &QAbstractButton::clicked, this,
                [this, radio] { selectSequenceKind(*form_, radio); });
    }
    for (std::string_view box : {"选择框转为大写", "选择框扩展组合"}) {
        connect(button(box), &QAbstractButton::clicked, this,
                [this] { applySequenceCoupling(*form_); });
    }
    connect(button("按钮问号"), &QAbstractButton::clicked, this,
            [this] { showTemplateHint(*form_); });
    connect(button("按钮生成"), &QAbstractButton::clicked, this,
            [this] { generateSequenceInto(*form_); });
    connect(button("按钮复制"), &QAbstractButton::clicked, this,
            [this] { copySequenceResult(*form_); });

    restoreSequenceSettings(store_, *form_);
}

SequenceTextWindow::~SequenceTextWindow() = default;

void SequenceTextWindow::layOut() {
    auto w = [this](std::string_view name) { return form_->widget(name); };
    for (std::string_view name : {"编辑框起始值", "编辑框间隔值", "编辑框终止值", "编辑框零位数"})
        form_->widgetAs<QLineEdit>(name)->setMaximumWidth(80);
    auto* separator = form_->widgetAs<QPlainTextEdit>("编辑框分隔符");
    separator->setFixedHeight(separator->fontMetrics().lineSpacing() * 2 + 12);
    separator->setMaximumWidth(160);
    form_->widget("按钮问号")->setMaximumWidth(32);

    auto* grid = new QGridLayout;
    int column = 0;
    for (std::string_view name :
         {"标签起始值", "编辑框起始值", "标签间隔值", "编辑框间隔值", "标签终止值", "编辑框终止值"})
        grid->addWidget(w(name), 0, column++);
    grid->setColumnStretch(column, 1);

    auto line = [&](std::initializer_list<std::string_view> names) {
        auto* row = new QHBoxLayout;
        for (std::string_view name : names)
            row->addWidget(w(name));
        return row;
    };
    auto* numbers = line({"单选框数字", "标签零位数", "编辑框零位数", "选择框数位相同",
                          "选择框转为大写", "选择框到金额", "选择框到繁体"});
    numbers->addStretch(1);
    auto* letters = line({"单选框字母"});
    letters->addStretch(1);
    auto* extended = line({"选择框扩展组合", "编辑框扩展组合", "按钮问号"});
    auto* generate = line({"标签分隔符", "编辑框分隔符"});
    generate->addStretch(1);
    generate->addWidget(w("按钮生成"));
    auto* copy = new QHBoxLayout;
    copy->addStretch(1);
    copy->addWidget(w("按钮复制"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(numbers);
    layout->addLayout(letters);
    layout->addLayout(extended);
    layout->addLayout(generate);
    layout->addWidget(w("编辑框结果"), 1);
    layout->addLayout(copy);
    resize(620, 520);
}

SaveOutcome SequenceTextWindow::saveSettings() {
    return saveSequenceSettings(store_, *form_);
}

}  // namespace lct
