#include "tools/result_limit.h"

#include "platform/charset.h"

namespace lct {

namespace {

// 67108864 bytes as "64 MB", 1536 as "1.5 KB": what people read in a message.
std::string sizeText(std::size_t bytes) {
    constexpr std::size_t kKiB = 1024;
    constexpr std::size_t kMiB = kKiB * kKiB;
    if (bytes < kKiB) return std::to_string(bytes) + " 字节";
    const bool mega = bytes >= kMiB;
    const std::size_t unit = mega ? kMiB : kKiB;
    const std::size_t tenths = (bytes * 10 + unit / 2) / unit;
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10 != 0) {
        text += '.';
        text += std::to_string(tenths % 10);
    }
    return text + (mega ? " MB" : " KB");
}

}  // namespace

bool ResultBuilder::fits(std::size_t bytes) {
    if (items_ >= limits_.maxItems || text_.size() > limits_.maxBytes ||
        bytes > limits_.maxBytes - text_.size()) {
        limitReached_ = true;
        return false;
    }
    return true;
}

bool ResultBuilder::admit(std::size_t bytes) {
    if (!fits(bytes)) return false;
    ++items_;
    return true;
}

std::string resultLimitMessage(const ResultCount& count, std::string_view unit,
                               const ResultLimits& limits) {
    const std::string u(unit);
    return utf8ToGbk("结果已达到上限（最多 " + std::to_string(limits.maxItems) + " " + u + "、" +
                     sizeText(limits.maxBytes) + "），已停止生成：共生成 " +
                     std::to_string(count.items) + " " + u + "（" + sizeText(count.bytes) + "）。");
}

void announceResultLimit(Form& form, const ResultCount& count, std::string_view unit,
                         std::string_view titleUtf8, const ResultLimits& limits) {
    if (!count.limitReached) return;
    form.messageBox(resultLimitMessage(count, unit, limits), utf8ToGbk(titleUtf8),
                    MessageButtons::Ok, MessageIcon::Warning);
}

}  // namespace lct
