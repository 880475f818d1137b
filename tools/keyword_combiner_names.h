#pragma once
// The names of the keyword traversal combiner's controls, each written once: its control table
// (keywordCombinerTable, tools/keyword_combiner.h), its logic and its Qt window name controls
// only through these constants.

#include <array>
#include <string_view>

namespace lct::keyword_combiner {

// The four word groups: a label, the words, a paste and a clear button each.
inline constexpr std::string_view kGroupLabel1 = "标签词1";
inline constexpr std::string_view kGroupBox1 = "编辑框词1";
inline constexpr std::string_view kPasteGroup1 = "按钮粘贴1";
inline constexpr std::string_view kClearGroup1 = "按钮清空1";
inline constexpr std::string_view kGroupLabel2 = "标签词2";
inline constexpr std::string_view kGroupBox2 = "编辑框词2";
inline constexpr std::string_view kPasteGroup2 = "按钮粘贴2";
inline constexpr std::string_view kClearGroup2 = "按钮清空2";
inline constexpr std::string_view kGroupLabel3 = "标签词3";
inline constexpr std::string_view kGroupBox3 = "编辑框词3";
inline constexpr std::string_view kPasteGroup3 = "按钮粘贴3";
inline constexpr std::string_view kClearGroup3 = "按钮清空3";
inline constexpr std::string_view kGroupLabel4 = "标签词4";
inline constexpr std::string_view kGroupBox4 = "编辑框词4";
inline constexpr std::string_view kPasteGroup4 = "按钮粘贴4";
inline constexpr std::string_view kClearGroup4 = "按钮清空4";

// Options, the run and its result.
inline constexpr std::string_view kVerticalModeLabel = "标签调用方式";
inline constexpr std::string_view kVerticalMode = "组合框调用方式";
inline constexpr std::string_view kHorizontalModeLabel = "标签组合方式";
inline constexpr std::string_view kHorizontalMode = "组合框组合方式";
inline constexpr std::string_view kSymbolsLabel = "标签符号";
inline constexpr std::string_view kSymbols = "编辑框符号";
inline constexpr std::string_view kStart = "按钮开始组合";
inline constexpr std::string_view kResult = "编辑框结果";
inline constexpr std::string_view kLineCount = "标签结果行数";
inline constexpr std::string_view kCopyResult = "按钮复制";
inline constexpr std::string_view kHelp = "按钮帮助";

/// The group controls in group order.
inline constexpr std::array kGroupLabels = {kGroupLabel1, kGroupLabel2, kGroupLabel3, kGroupLabel4};
inline constexpr std::array kGroupBoxes = {kGroupBox1, kGroupBox2, kGroupBox3, kGroupBox4};
inline constexpr std::array kPasteGroups = {kPasteGroup1, kPasteGroup2, kPasteGroup3, kPasteGroup4};
inline constexpr std::array kClearGroups = {kClearGroup1, kClearGroup2, kClearGroup3, kClearGroup4};

}  // namespace lct::keyword_combiner
