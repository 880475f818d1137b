#include "tools/number_box.h"

#include "platform/charset.h"

namespace lct {

std::optional<std::int64_t> readNumberBox(Form& form, const NumberBox& box, std::string& error) {
    const std::string text = textOf(form, box.control);
    const NumberText number = readNumberText(text);
    if (!number.tooLarge && number.value >= box.min && number.value <= box.max) return number.value;
    error = utf8ToGbk("“" + std::string(box.label) + "”的值 ") + text +
            utf8ToGbk(" 超出了可以处理的范围，请填写 " + std::to_string(box.min) + " 到 " +
                      std::to_string(box.max) + " 之间的整数。");
    return std::nullopt;
}

std::optional<std::int64_t> readNumberBoxOrWarn(Form& form, const NumberBox& box,
                                                std::string_view titleUtf8) {
    std::string error;
    const std::optional<std::int64_t> value = readNumberBox(form, box, error);
    if (!value)
        form.messageBox(error, utf8ToGbk(titleUtf8), MessageButtons::Ok, MessageIcon::Warning);
    return value;
}

}  // namespace lct
