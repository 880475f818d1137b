#include "cli/form_setup.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "app/main_window_names.h"
#include "app/main_window_rules.h"
#include "engine/line_breaks.h"
#include "platform/bytes.h"
#include "platform/charset.h"

namespace lct::cli {
namespace {

constexpr std::array<std::string_view, 2> kModeRadios = {main_window::kInsertRadio,
                                                         main_window::kReplaceRadio};

// Ticking one of the mode radio boxes unticks the other, as a click does.
void tickRadio(Form& form, Control& radio, bool ticked) {
    if (ticked &&
        std::find(kModeRadios.begin(), kModeRadios.end(), radio.name()) != kModeRadios.end()) {
        selectModeRadio(form, radio.name());
        return;
    }
    radio.setTicked(ticked);
}

std::optional<bool> parseBool(std::string_view value) {
    std::string lower(value);
    std::transform(lower.begin(), lower.end(), lower.begin(), toLowerAscii);
    if (lower == "真" || lower == "1" || lower == "true") return true;
    if (lower == "假" || lower == "0" || lower == "false") return false;
    return std::nullopt;
}

std::optional<int> parseIndex(std::string_view value) {
    int index = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), index);
    if (ec != std::errc() || end != value.data() + value.size() || value.empty())
        return std::nullopt;
    return index;
}

}  // namespace

std::string editBoxText(std::string_view utf8) {
    return utf8ToGbk(lfToCrLf(utf8));
}

std::string applyMode(Form& form, std::string_view mode) {
    if (mode == "shuffle") {
        showShufflePanel(form, true);
        return {};
    }
    if (mode != "insert" && mode != "replace") return "未知的模式：" + std::string(mode);
    showShufflePanel(form, false);
    selectModeRadio(form, mode == "insert" ? kModeRadios[0] : kModeRadios[1]);
    return {};
}

std::string applySet(Form& form, std::string_view name, std::string_view value,
                     const FileReader& readFile) {
    // The name is typed by the user: an unknown one is a usage error, not a
    // programming error.
    Control* control = form.tryFind(name);
    if (!control) return "主界面没有名为“" + std::string(name) + "”的控件";
    switch (control->kind()) {
        case ControlKind::EditBox: {
            if (value.starts_with('@')) {
                const std::string_view path = value.substr(1);
                const std::optional<std::string> text = readFile(path);
                if (!text) return "无法读取文件：" + std::string(path);
                control->setText(*text);
            } else {
                control->setText(editBoxText(value));
            }
            return {};
        }
        case ControlKind::CheckBox:
        case ControlKind::RadioBox: {
            const std::optional<bool> ticked = parseBool(value);
            if (!ticked)
                return std::string(name) + " 的值应为 真/假、1/0 或 true/false：" +
                       std::string(value);
            if (control->kind() == ControlKind::RadioBox) {
                tickRadio(form, *control, *ticked);
            } else {
                control->setTicked(*ticked);
            }
            return {};
        }
        case ControlKind::ComboBox: {
            const std::optional<int> index = parseIndex(value);
            const auto count = static_cast<int>(control->items().size());
            if (!index || *index < 0 || *index >= count) {
                return std::string(name) + " 的值应为 0 到 " + std::to_string(count - 1) +
                       " 之间的项目序号：" + std::string(value);
            }
            control->setSelectedIndex(*index);
            return {};
        }
        default:
            return "控件“" + std::string(name) + "”不能用 --set 设置";
    }
}

}  // namespace lct::cli
