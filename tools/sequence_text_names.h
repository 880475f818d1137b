#pragma once
// The names of the sequence text generator's controls, each written once: its control table
// (sequenceTextTable, tools/sequence_text.h), its logic and its Qt window name controls
// only through these constants.

#include <string_view>

namespace lct::sequence_text {

// The range.
inline constexpr std::string_view kStartLabel = "标签起始值";
inline constexpr std::string_view kStart = "编辑框起始值";
inline constexpr std::string_view kStepLabel = "标签间隔值";
inline constexpr std::string_view kStep = "编辑框间隔值";
inline constexpr std::string_view kStopLabel = "标签终止值";
inline constexpr std::string_view kStop = "编辑框终止值";

// How an item is written.
inline constexpr std::string_view kNumbers = "单选框数字";
inline constexpr std::string_view kLetters = "单选框字母";
inline constexpr std::string_view kZerosLabel = "标签零位数";
inline constexpr std::string_view kZeros = "编辑框零位数";
inline constexpr std::string_view kSameWidth = "选择框数位相同";
inline constexpr std::string_view kUpper = "选择框转为大写";
inline constexpr std::string_view kMoney = "选择框到金额";
inline constexpr std::string_view kCapital = "选择框到繁体";
inline constexpr std::string_view kExtended = "选择框扩展组合";
inline constexpr std::string_view kTemplate = "编辑框扩展组合";
inline constexpr std::string_view kTemplateHint = "按钮问号";

// Separator, the run and its result.
inline constexpr std::string_view kSeparatorLabel = "标签分隔符";
inline constexpr std::string_view kSeparator = "编辑框分隔符";
inline constexpr std::string_view kGenerate = "按钮生成";
inline constexpr std::string_view kResult = "编辑框结果";
inline constexpr std::string_view kCopyResult = "按钮复制";

}  // namespace lct::sequence_text
