#include "files/elapsed.h"

#include <array>
#include <cmath>
#include <string_view>

#include "platform/charset.h"

namespace lct {
namespace {

constexpr double kTolerance = 1e-7;

struct Step {
    std::string_view unit;  // UTF-8; the text is GBK
    double limit;           // the value must stay below it to use this unit
    double factor;          // divides the value before the next step
};

constexpr std::array kSteps = {
    Step{" 毫秒", 1000, 1000}, Step{" 秒", 60, 60}, Step{" 分", 60, 60}, Step{" 时", 24, 24},
    Step{" 天", 30, 30},       Step{" 月", 12, 12}, Step{" 年", 0, 0},
};

// Rounds to hundredths and leaves out trailing zeros: 1.50 → "1.5", 2.00 → "2".
std::string formatNumber(double value) {
    const long long hundredths = std::llround(value * 100);
    std::string text = std::to_string(hundredths / 100);
    const long long fraction = hundredths % 100;
    if (fraction != 0) {
        text.push_back('.');
        text.push_back(static_cast<char>('0' + fraction / 10));
        if (fraction % 10 != 0) text.push_back(static_cast<char>('0' + fraction % 10));
    }
    return text;
}

}  // namespace

std::string elapsedText(std::int64_t milliseconds) {
    double value = milliseconds < 0 ? 0.0 : static_cast<double>(milliseconds);
    for (const Step& step : kSteps) {
        const bool last = step.limit == 0;
        if (last || value < step.limit - kTolerance)
            return formatNumber(value) + utf8ToGbk(step.unit);
        value /= step.factor;
    }
    return {};  // unreachable: the last step always answers
}

}  // namespace lct
