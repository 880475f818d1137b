#include "tools/random_text_window.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>
#include <initializer_list>
#include <string_view>

#include "tools/random_text_names.h"

namespace lct {

using namespace random_text;

RandomTextWindow::RandomTextWindow(SettingsStore& store, QWidget* owner)
    : ToolWindow(owner, randomTextTable()), store_(store) {
    setWindowTitle(fromUtf8("随机文本生成器"));
    layOut();

    auto button = [this](std::string_view name) { return form_->widgetAs<QAbstractButton>(name); };
    connect(button(kGenerateChinese), &QAbstractButton::clicked, this,
            [this] { generate(RandomTextKind::Chinese); });
    connect(button(kGenerateAlnum), &QAbstractButton::clicked, this,
            [this] { generate(RandomTextKind::Alnum); });
    connect(button(kCopyResult), &QAbstractButton::clicked, this,
            [this] { copyRandomTextResult(*form_); });
    for (std::string_view radio : {kMostCommon, kCommon, kSecondary}) {
        connect(button(radio), &QAbstractButton::clicked, this,
                [this, radio] { selectCharacterTable(*form_, radio); });
    }

    restoreRandomTextSettings(store_, *form_);
}

RandomTextWindow::~RandomTextWindow() = default;

void RandomTextWindow::layOut() {
    auto w = [this](std::string_view name) { return form_->widget(name); };
    for (std::string_view name : {kLengthMin, kLengthMax, kGroupCount})
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
    auto* counts =
        row({kLengthLabel, kLengthMin, kLengthToLabel, kLengthMax, kLengthUnitLabel}, {});
    counts->addSpacing(24);
    counts->addWidget(w(kGroupCountLabel));
    counts->addWidget(w(kGroupCount));
    layout->addLayout(counts);
    layout->addLayout(
        row({kTableLabel, kMostCommon, kCommon, kSecondary, kTraditional}, kGenerateChinese));
    layout->addLayout(
        row({kAlnumLabel, kDigits, kLowerCase, kUpperCase, kFullWidth}, kGenerateAlnum));
    layout->addWidget(w(kResult), 1);
    layout->addLayout(row({}, kCopyResult));
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
