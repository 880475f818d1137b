#pragma once
// The names of the keyword merger's controls, each written once: its control table
// (keywordMergerTable, tools/keyword_merger.h), its logic and its Qt window name controls
// only through these constants.

#include <string_view>

namespace lct::keyword_merger {

// The two lists.
inline constexpr std::string_view kListLabel1 = "标签列表1";
inline constexpr std::string_view kList1 = "编辑框列表1";
inline constexpr std::string_view kPaste1 = "按钮粘贴1";
inline constexpr std::string_view kListLabel2 = "标签列表2";
inline constexpr std::string_view kList2 = "编辑框列表2";
inline constexpr std::string_view kPaste2 = "按钮粘贴2";

// What is merged, and how.
inline constexpr std::string_view kTargetLabel = "标签合并对象";
inline constexpr std::string_view kTarget1 = "单选框词组1";
inline constexpr std::string_view kTarget2 = "单选框词组2";
inline constexpr std::string_view kTargetBoth = "单选框词组1和词组2";
inline constexpr std::string_view kWordCountLabel = "标签词数";
inline constexpr std::string_view kWordCount = "编辑框词数";
inline constexpr std::string_view kRandomOrder = "单选框随机";
inline constexpr std::string_view kListOrder = "单选框顺序";
inline constexpr std::string_view kSymbolLabel = "标签符号";
inline constexpr std::string_view kSymbol = "编辑框符号";

// The run and its result.
inline constexpr std::string_view kMerge = "按钮合并";
inline constexpr std::string_view kResultLabel = "标签结果";
inline constexpr std::string_view kResult = "编辑框结果";
inline constexpr std::string_view kCopyResult = "按钮复制";

}  // namespace lct::keyword_merger
