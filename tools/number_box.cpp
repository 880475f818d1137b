#include "tools/number_box.h"

#include <limits>
#include <tuple>
#include <utility>

#include "platform/charset.h"

namespace lct {

namespace {

// GBK row A3 holds the full-width forms of ASCII "!" to "~" at 0x80 above.
constexpr unsigned char kFullWidthRow = 0xA3;

unsigned char byteAt(std::string_view text, std::size_t i) {
    return static_cast<unsigned char>(text[i]);
}

// The ASCII character that the character at `i` stands for, and its size in
// bytes: a full-width form counts as its ASCII original, the full-width space
// as a space. Anything else gives 0.
std::pair<char, std::size_t> asciiAt(std::string_view text, std::size_t i) {
    const unsigned char b = byteAt(text, i);
    if (b < 0x80) return {static_cast<char>(b), 1};
    if (i + 1 >= text.size()) return {0, 1};
    const unsigned char trail = byteAt(text, i + 1);
    if (b == 0xA1 && trail == 0xA1) return {' ', 2};
    if (b == kFullWidthRow && trail >= 0xA1 && trail <= 0xFE)
        return {static_cast<char>(trail - 0x80), 2};
    return {0, 2};
}

}  // namespace

NumberText readNumberText(std::string_view text) {
    std::size_t i = 0;
    auto [c, size] = i < text.size() ? asciiAt(text, i) : std::pair<char, std::size_t>{0, 0};
    auto next = [&] {
        i += size;
        std::tie(c, size) = i < text.size() ? asciiAt(text, i) : std::pair<char, std::size_t>{0, 0};
    };
    while (c == ' ' || c == '\t')
        next();
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        next();
    }
    // The magnitude as unsigned, so that the smallest int64 reads too.
    constexpr std::uint64_t kMax = std::uint64_t{std::numeric_limits<std::int64_t>::max()} + 1;
    std::uint64_t magnitude = 0;
    for (; c >= '0' && c <= '9'; next()) {
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (magnitude > (kMax - digit) / 10) return {0, true};
        magnitude = magnitude * 10 + digit;
    }
    if (!negative && magnitude == kMax) return {0, true};
    const std::int64_t value =
        negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
    return {value, false};
}

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
