#include "form/form.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <utility>

#include "platform/bytes.h"

namespace lct {
namespace {

struct Prefix {
    std::string_view text;
    ControlKind kind;
};

// Longer prefixes that share a start with shorter ones come first.
constexpr std::array kPrefixes = {
    Prefix{"按钮", ControlKind::Button},
    Prefix{"编辑框", ControlKind::EditBox},
    Prefix{"选择框", ControlKind::CheckBox},
    Prefix{"单选框", ControlKind::RadioBox},
    Prefix{"组合框", ControlKind::ComboBox},
    Prefix{"列表框", ControlKind::ListBox},
    Prefix{"选择列表框", ControlKind::CheckListBox},
    Prefix{"颜色选择器", ControlKind::ColourPicker},
    Prefix{"通用对话框", ControlKind::FileDialog},
    Prefix{"树型框", ControlKind::TreeBox},
    Prefix{"透明标签", ControlKind::Label},
    Prefix{"标签", ControlKind::Label},
    Prefix{"分组框", ControlKind::GroupBox},
    Prefix{"链", ControlKind::Link},
    Prefix{"图片", ControlKind::Picture},
    Prefix{"进度条", ControlKind::ProgressBar},
    Prefix{"拖放对象", ControlKind::DropTarget},
};

}  // namespace

ControlKind kindFromName(std::string_view name) {
    for (const Prefix& p : kPrefixes) {
        if (name.starts_with(p.text)) return p.kind;
    }
    return ControlKind::Unknown;
}

Control* Form::find(std::string_view name) {
    Control* control = tryFind(name);
    if (!control) reportMissingControl(name);
    return control;
}

void reportMissingControl([[maybe_unused]] std::string_view name) {
#ifndef NDEBUG
    std::fprintf(stderr, "lct: the form has no control named \"%.*s\"\n",
                 static_cast<int>(name.size()), name.data());
    std::abort();
#endif
}

int leadingInteger(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    constexpr long long kLimit = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
    for (; i < text.size() && isAsciiDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kLimit) value = kLimit;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int>::max()) value = std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

std::string textOf(Form& form, std::string_view name) {
    Control* c = form.find(name);
    return c ? c->text() : std::string();
}

bool tickedOf(Form& form, std::string_view name) {
    Control* c = form.find(name);
    return c && c->ticked();
}

int indexOf(Form& form, std::string_view name) {
    Control* c = form.find(name);
    return c ? c->selectedIndex() : 0;
}

int integerOf(Form& form, std::string_view name) {
    return leadingInteger(textOf(form, name));
}

}  // namespace lct
