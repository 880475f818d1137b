#pragma once
// The names of the random text generator's controls, each written once: its control table
// (randomTextTable, tools/random_text.h), its logic and its Qt window name controls
// only through these constants.

#include <string_view>

namespace lct::random_text {

// Group length and count.
inline constexpr std::string_view kLengthLabel = "标签每组字数";
inline constexpr std::string_view kLengthMin = "编辑框字数1";
inline constexpr std::string_view kLengthToLabel = "标签到";
inline constexpr std::string_view kLengthMax = "编辑框字数2";
inline constexpr std::string_view kLengthUnitLabel = "标签个";
inline constexpr std::string_view kGroupCountLabel = "标签生成组数";
inline constexpr std::string_view kGroupCount = "编辑框组数";

// Chinese characters: the table and the script.
inline constexpr std::string_view kTableLabel = "标签汉字类型";
inline constexpr std::string_view kMostCommon = "单选框最常用";
inline constexpr std::string_view kCommon = "单选框一般常用";
inline constexpr std::string_view kSecondary = "单选框次要常用";
inline constexpr std::string_view kTraditional = "选择框转为繁体";

// Digits and letters.
inline constexpr std::string_view kAlnumLabel = "标签数母成分";
inline constexpr std::string_view kDigits = "选择框有数字";
inline constexpr std::string_view kLowerCase = "选择框有小字母";
inline constexpr std::string_view kUpperCase = "选择框有大字母";
inline constexpr std::string_view kFullWidth = "选择框转为全角";

// The runs and their result.
inline constexpr std::string_view kGenerateChinese = "按钮生成汉字";
inline constexpr std::string_view kGenerateAlnum = "按钮生成数母";
inline constexpr std::string_view kResult = "编辑框结果";
inline constexpr std::string_view kCopyResult = "按钮复制结果";

}  // namespace lct::random_text
