#include "form/number_text.h"

#include <limits>
#include <tuple>
#include <utility>

#include "platform/bytes.h"

namespace lct {
namespace {

// GBK row A3 holds the full-width forms of ASCII "!" to "~" at 0x80 above.
constexpr unsigned char kFullWidthRow = 0xA3;

// The ASCII character that the character at `i` stands for, and its size in
// bytes: a full-width form counts as its ASCII original, the full-width space
// as a space. Anything else gives 0.
std::pair<char, std::size_t> asciiAt(std::string_view text, std::size_t i) {
    const unsigned b = byteAt(text, i);
    if (b < 0x80) return {static_cast<char>(b), 1};
    if (i + 1 >= text.size()) return {0, 1};
    const unsigned trail = byteAt(text, i + 1);
    if (b == 0xA1 && trail == 0xA1) return {' ', 2};
    if (b == kFullWidthRow && trail >= 0xA1 && trail <= 0xFE)
        return {static_cast<char>(trail - 0x80), 2};
    return {0, 2};
}

}  // namespace

NumberText readNumberText(std::string_view text) {
    std::size_t i = 0;
    char c = 0;
    std::size_t size = 0;
    if (!text.empty()) std::tie(c, size) = asciiAt(text, 0);
    auto next = [&] {
        i += size;
        std::tie(c, size) = i < text.size() ? asciiAt(text, i) : std::pair<char, std::size_t>{0, 0};
    };
    while (c == ' ' || c == '\t')
        next();
    const bool signed_ = c == '+' || c == '-';
    const bool negative = c == '-';
    if (signed_) next();
    const std::size_t digitsFrom = i;
    // The magnitude as unsigned, so that the smallest int64 reads too.
    constexpr std::uint64_t kMax = std::uint64_t{std::numeric_limits<std::int64_t>::max()} + 1;
    std::uint64_t magnitude = 0;
    NumberText number;
    for (; isAsciiDigit(c); next()) {
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (magnitude > (kMax - digit) / 10) number.tooLarge = true;
        if (!number.tooLarge) magnitude = magnitude * 10 + digit;
    }
    if (!negative && magnitude == kMax) number.tooLarge = true;
    if (!number.tooLarge) {
        number.value = negative ? static_cast<std::int64_t>(0 - magnitude)
                                : static_cast<std::int64_t>(magnitude);
    }
    const bool digits = i > digitsFrom;
    while (c == ' ' || c == '\t')
        next();
    number.whole = digits && i >= text.size();
    number.blank = !digits && !signed_ && i >= text.size();
    return number;
}

}  // namespace lct
