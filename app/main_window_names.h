#pragma once
// The names of the main window's controls, each written once. The control
// table (app/main_window_table.cpp), the settings table
// (app/main_window_settings.cpp), the window's logic, the Qt window and the
// command line name controls only through these constants.
//
// A name's prefix gives the control's kind (kindFromName, form/form.h).

#include <string_view>

namespace lct::main_window {

// Keyword source, outside the panels.
inline constexpr std::string_view kKeywordListLabel = "标签1";
inline constexpr std::string_view kKeywordList = "编辑框关键词列表";
inline constexpr std::string_view kPasteKeywords = "按钮粘贴";
inline constexpr std::string_view kDropTarget = "拖放对象1";
inline constexpr std::string_view kCallModeLabel = "标签2";
inline constexpr std::string_view kCallMode = "组合框调用方式";
inline constexpr std::string_view kTemplatesLabel = "标签12";
inline constexpr std::string_view kTemplates = "编辑框再组合关键词";
inline constexpr std::string_view kPasteTemplates = "按钮粘贴1";
inline constexpr std::string_view kSiteAddressLabel = "标签34";
inline constexpr std::string_view kSiteAddress = "编辑框本站网址";

// Insert panel.
inline constexpr std::string_view kInsertPanel = "分组框1";
inline constexpr std::string_view kInsertRadio = "单选框插入";
inline constexpr std::string_view kInsertTitle = "选择框插入标题";
inline constexpr std::string_view kTitleType = "组合框标题插入类型";
inline constexpr std::string_view kTitleOnce = "选择框标题插一次";
inline constexpr std::string_view kTitleSeparatorsLabel = "标签7";
inline constexpr std::string_view kTitleSeparators = "编辑框标题间隔符";
inline constexpr std::string_view kInsertContent = "选择框插入内容";
inline constexpr std::string_view kContentType = "组合框内容插入类型";
inline constexpr std::string_view kEveryLabel = "标签18";
inline constexpr std::string_view kEveryMin = "编辑框每隔最少";
inline constexpr std::string_view kEveryToLabel = "标签19";
inline constexpr std::string_view kEveryMax = "编辑框每隔最多";
inline constexpr std::string_view kEveryUnitLabel = "标签每隔单位";
inline constexpr std::string_view kSymbolGroupsLabel = "标签15";
inline constexpr std::string_view kSymbolGroups = "编辑框句子结尾符";
inline constexpr std::string_view kSymbolMode = "组合框符号插入模式";
inline constexpr std::string_view kCountRange = "选择框插入次数";
inline constexpr std::string_view kCountFrom = "编辑框次数1";
inline constexpr std::string_view kCountToLabel = "标签11";
inline constexpr std::string_view kCountTo = "编辑框次数2";
inline constexpr std::string_view kDifferentEachTime = "选择框每次不同";
inline constexpr std::string_view kNewSet = "选择框更新关键词";
inline constexpr std::string_view kAvoidTags = "选择框避免标签";
inline constexpr std::string_view kAvoidWords = "选择框避免单词";
inline constexpr std::string_view kTitleFirstLine = "选择框标题插入首行";
inline constexpr std::string_view kAvoidLinks = "选择框插入避开链接";

// Replace panel.
inline constexpr std::string_view kReplacePanel = "分组框2";
inline constexpr std::string_view kReplaceRadio = "单选框替换";
inline constexpr std::string_view kReplaceAvoidMarkup = "选择框替换避开标签";
inline constexpr std::string_view kReplaceAvoidHeadings = "选择框替换避开小标题";
inline constexpr std::string_view kReplacePerKeywordLabel = "标签30";
inline constexpr std::string_view kReplacePerKeywordLimit = "编辑框替换次数上限";
inline constexpr std::string_view kReplaceTotalLabel = "标签31";
inline constexpr std::string_view kReplaceTotalLimit = "编辑框链接总数上限";
inline constexpr std::string_view kReplaceWholeWords = "选择框替换整词";
inline constexpr std::string_view kPerAddressLabel = "标签33";
inline constexpr std::string_view kPerAddressLimit = "编辑框每个网址最多链接";
inline constexpr std::string_view kLinkMapButton = "按钮从文件夹生成链接表";

// Shuffle panel.
inline constexpr std::string_view kShufflePanel = "分组框文章打乱替换器";
inline constexpr std::string_view kShuffleTitle = "选择框打乱标题";
inline constexpr std::string_view kTitleShuffleSymbolsLabel = "标签22";
inline constexpr std::string_view kTitleShuffleSymbols = "编辑框标题打乱符号";
inline constexpr std::string_view kShuffleContent = "选择框打乱内容";
inline constexpr std::string_view kContentShuffleSymbolsLabel = "标签23";
inline constexpr std::string_view kContentShuffleSymbols = "编辑框内容打乱符号";
inline constexpr std::string_view kSentenceIntoTitle = "选择框文章一句";
inline constexpr std::string_view kSentencePlacement = "组合框插入类型";
inline constexpr std::string_view kSentenceMinimumLabel = "标签24";
inline constexpr std::string_view kSentenceMinimum = "编辑框最少字数";
inline constexpr std::string_view kSentenceMustContainLabel = "标签25";
inline constexpr std::string_view kSentenceMustContain = "编辑框包含的词";
inline constexpr std::string_view kTitleIntoContent = "选择框标题插入";
inline constexpr std::string_view kTitleInsertMin = "编辑框插入最少";
inline constexpr std::string_view kTitleInsertToLabel = "标签26";
inline constexpr std::string_view kTitleInsertMax = "编辑框插入最多";
inline constexpr std::string_view kTitleInsertTimesLabel = "标签27";
inline constexpr std::string_view kUseSourceTitle = "选择框原标题";
inline constexpr std::string_view kReplaceTitle = "选择框替换标题";
inline constexpr std::string_view kTitleMatches = "编辑框标题匹配式";
inline constexpr std::string_view kTitleReplacements = "编辑框标题替换式";
inline constexpr std::string_view kTitleRegex = "选择框标题启用正则";
inline constexpr std::string_view kTitleIgnoreCase = "选择框标题忽视大小写";
inline constexpr std::string_view kTitleReplaceCountLabel = "标签28";
inline constexpr std::string_view kTitleReplaceCount = "编辑框标题替换次数";
inline constexpr std::string_view kReplaceContent = "选择框替换内容";
inline constexpr std::string_view kContentMatches = "编辑框内容匹配式";
inline constexpr std::string_view kContentReplacements = "编辑框内容替换式";
inline constexpr std::string_view kContentRegex = "选择框内容启用正则";
inline constexpr std::string_view kContentIgnoreCase = "选择框内容忽视大小写";
inline constexpr std::string_view kContentReplaceCountLabel = "标签29";
inline constexpr std::string_view kContentReplaceCount = "编辑框内容替换次数";

// Preview area, progress and status.
inline constexpr std::string_view kPreviewPanel = "分组框3";
inline constexpr std::string_view kPreviewTitle = "编辑框预览标题";
inline constexpr std::string_view kPreviewContent = "编辑框预览内容";
inline constexpr std::string_view kResultTitle = "编辑框结果标题";
inline constexpr std::string_view kResultContent = "编辑框结果内容";
inline constexpr std::string_view kPastePreviewTitle = "按钮1";
inline constexpr std::string_view kPastePreviewContent = "按钮2";
inline constexpr std::string_view kCopyResultTitle = "按钮4";
inline constexpr std::string_view kCopyResultContent = "按钮3";
inline constexpr std::string_view kResultCountLabel = "标签32";
inline constexpr std::string_view kProgressBar = "进度条";
inline constexpr std::string_view kStatusLabel = "透明标签";

// Bottom row: conversion, encodings, extension, filter and the run buttons.
inline constexpr std::string_view kScriptConversionLabel = "标签17";
inline constexpr std::string_view kScriptConversion = "组合框转换繁简体";
inline constexpr std::string_view kInputEncodingLabel = "标签20";
inline constexpr std::string_view kInputEncoding = "组合框输入编码";
inline constexpr std::string_view kOutputEncodingLabel = "标签21";
inline constexpr std::string_view kOutputEncoding = "组合框输出编码";
inline constexpr std::string_view kNewExtensionLabel = "标签4";
inline constexpr std::string_view kNewExtension = "编辑框新文件扩展名";
inline constexpr std::string_view kFileFilterLabel = "标签文件过滤";
inline constexpr std::string_view kFileFilter = "编辑框过滤";
inline constexpr std::string_view kBatchFiles = "按钮批量处理";
inline constexpr std::string_view kBatchFolder = "按钮批量处理文件夹";
inline constexpr std::string_view kIncludeSubfolders = "选择框包含子文件夹";
inline constexpr std::string_view kBatchPathList = "按钮批量处理路径列表";
inline constexpr std::string_view kBatchReport = "选择框生成报告";
inline constexpr std::string_view kPreviewButton = "按钮预览";

// Links, and the pictures beside them.
inline constexpr std::string_view kSaveSettingsLink = "链接保存配置";
inline constexpr std::string_view kSaveSettingsPicture = "图片保存配置";
inline constexpr std::string_view kHelpLink = "链接疑点说明";
inline constexpr std::string_view kHelpPicture = "图片疑点说明";
inline constexpr std::string_view kShufflePanelLink = "链接文章打乱替换器";
inline constexpr std::string_view kShufflePanelPicture = "图片框文章打乱替换器";
inline constexpr std::string_view kRandomTextLink = "链接随机文本生成器";
inline constexpr std::string_view kRandomTextPicture = "图片框随机文本生成器";
inline constexpr std::string_view kSequenceTextLink = "链序列文本生成器";
inline constexpr std::string_view kKeywordCombinerLink = "链接关键词遍历组合";
inline constexpr std::string_view kKeywordCombinerPicture = "图片框关键词遍历组合";
inline constexpr std::string_view kKeywordMergerLink = "链接关键词合并";
inline constexpr std::string_view kAnchorComposerLink = "链接锚文本合成器";
inline constexpr std::string_view kAnchorComposerPicture = "图片框锚文本合成器";

}  // namespace lct::main_window
