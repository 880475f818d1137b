#include "tools/random_text_window.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>
#include <initializer_list>
#include <string_view>

namespace lct {

RandomTextWindow::RandomTextWindow(SettingsStore& store, QWidget* owner)
    : ToolWindow(owner, randomTextTable()), store_(store) {
    setWindowTitle(fromUtf8("随机文本生成器"));
    layOut();

    auto button = [this](std::string_view name) { return form_->widgetAs<QAbstractButton>(name); };
    connect(button("按钮生成汉字"), &QAbstractButton::clicked, this,
            [this] { generate(RandomTextKind::Chinese); });
    connect(button("按钮生成数母"), &QAbstractButton::clicked, this,
            [this] { generate(RandomTextKind::Alnum); });
    connect(button("按钮复制结果"), &QAbstractButton::clicked, this,
            [this] { copyRandomTextResult(*form_); });
    for (std::string_view radio : {"单选框最常用", "单选框一般常用", "单选框次要常用"}) {
        connect(button(radio), &QAbstractButton::clicked, this,
                [this, radio] { selectCharacterTable(*form_, radio); });
    }

    restoreRandomTextSettings(store_, *form_);
}

RandomTextWindow::~RandomTextWindow() = default;

void RandomTextWindow::layOut() {
    auto w = [this](std::string_view name) { return form_->widget(name); };
    for (std::string_view name : {"编辑框字数1", "编辑框字数2", "编辑框组数"})
        form_->widgetAs<QLineEdit>(name)->setMaximumWidth(70);

    auto row = [&](std::initializer_list<std::string_view> names, std::string_view last) {
        auto* line = new QHBoxLayout;
        for (std::string_view name : names)
            line->addWidget(w(name));
        line->addStretch(1);
        if (!last.empty()) line->addWidget(w(last));
        return line;
    };

    auto* layout = new QVBoxLayout(this);
    auto* counts = row({"标签每组字数", "编辑框字数1", "标签到", "编辑框字数2", "标签个"}, {});
    counts->addSpacing(24);
    counts->addWidget(w("标签生成组数"));
    counts->addWidget(w("编辑框组数"));
    layout->addLayout(counts);
    layout->addLayout(
        row({"标签汉字类型", "单选框最常用", "单选框一般常用", "单选框次要常用", "选择框转为繁体"},
            "按钮生成汉字"));
    layout->addLayout(
        row({"标签数母成分", "选择框有数字", "选择框有小字母", "选择框有大字母", "选择框转为全角"},
            "按钮生成数母"));
    layout->addWidget(w("编辑框结果"), 1);
    layout->addLayout(row({}, "按钮复制结果"));
    resize(620, 460);
}

void RandomTextWindow::generate(RandomTextKind kind) {
    auto click = [this, kind] { clickRandomTextButton(*form_, kind, run_); };
    // A click during the run is its stop click.
    if (running())
        click();
    else
        run(click);
}

SaveOutcome RandomTextWindow::saveSettings() {
    return saveRandomTextSettings(store_, *form_);
}

}  // namespace lct
