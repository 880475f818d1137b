#pragma once
// The names of the anchor text composer's controls, each written once: its control table
// (anchorComposerTable, tools/anchor_composer.h), its logic and its Qt window name controls
// only through these constants.

#include <string_view>

namespace lct::anchor_composer {

inline constexpr std::string_view kKeywordListLabel = "标签关键词列表";
inline constexpr std::string_view kKeywordList = "编辑框关键词列表";
inline constexpr std::string_view kPasteKeywords = "按钮粘贴关键词";
inline constexpr std::string_view kAddressListLabel = "标签网址列表";
inline constexpr std::string_view kAddressList = "编辑框网址列表";
inline constexpr std::string_view kPasteAddresses = "按钮粘贴网址";
inline constexpr std::string_view kTemplateLabel = "标签合成模板";
inline constexpr std::string_view kTemplate = "编辑框合成模板";
inline constexpr std::string_view kCompose = "按钮合成";
inline constexpr std::string_view kResultLabel = "标签合成列表";
inline constexpr std::string_view kResult = "编辑框合成列表";
inline constexpr std::string_view kCopyResult = "按钮复制合成";

}  // namespace lct::anchor_composer
