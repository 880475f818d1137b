#include "app/main_window_settings.h"

#include "app/main_window_names.h"

namespace lct {
namespace {

using namespace main_window;
using S = StoredAs;

// kMainRows live in section 主界面, kShuffleRows in 文章打乱替换器, each in
// this order. The rows from kReplaceAvoidMarkup on (the replace panel's
// options, the insert panel's 选择框插入避开链接, the link map's options, the
// batch's options) came later and follow the older keys of their section: a
// file without them leaves those controls at their defaults, and a new
// option is a row at the end. The last three shuffle rows are main options,
// but stored files keep them in the second section.
constexpr SettingsRow kMainRows[] = {
    {.control = kAvoidWords, .as = S::Tick},
    {.control = kAvoidTags, .as = S::Tick},
    {.control = kKeywordList, .key = "关键词列表", .as = S::Bytes},
    {.control = kCallMode, .key = "调用方式", .as = S::Index},
    {.control = kTemplates, .key = "再组合关键词", .as = S::Text},
    {.control = kInsertRadio, .key = "操作类型", .as = S::RadioPair, .partner = kReplaceRadio},
    {.control = kCountRange, .as = S::Tick},
    {.control = kCountFrom, .key = "次数1", .as = S::Text},
    {.control = kCountTo, .key = "次数2", .as = S::Text},
    {.control = kDifferentEachTime, .as = S::Tick},
    {.control = kTitleOnce, .as = S::Tick},
    {.control = kInsertTitle, .as = S::Tick},
    {.control = kTitleType, .key = "标题插入类型", .as = S::Index},
    {.control = kTitleSeparators, .key = "标题间隔符", .as = S::SpacedText},
    {.control = kEveryMin, .key = "每隔最少", .as = S::Text},
    {.control = kEveryMax, .key = "每隔最多", .as = S::Text},
    {.control = kInsertContent, .as = S::Tick},
    {.control = kContentType, .key = "正文插入类型", .as = S::Index},
    {.control = kSymbolGroups, .key = "句子结尾符", .as = S::SpacedText},
    {.control = kSymbolMode, .key = "符号插入模式", .as = S::Index},
    {.control = kNewSet, .key = "更新关键词", .as = S::Tick},
    {.control = kPreviewTitle, .key = "测试标题", .as = S::Text},
    {.control = kPreviewContent, .key = "测试内容", .as = S::Text},
    {.control = kNewExtension, .key = "新文件扩展名", .as = S::Text},
    {.control = kBatchFiles, .key = "批量处理", .as = S::Tag},
    {.control = kBatchFolder, .key = "批量处理文件夹", .as = S::Tag},
    {.control = kFileFilter, .key = "文件过滤", .as = S::Text},
    {.control = kReplaceAvoidMarkup, .as = S::Tick},
    {.control = kReplaceAvoidHeadings, .as = S::Tick},
    {.control = kReplacePerKeywordLimit, .key = "替换次数上限", .as = S::Text},
    {.control = kReplaceTotalLimit, .key = "替换总数上限", .as = S::Text},
    {.control = kReplaceWholeWords, .as = S::Tick},
    {.control = kAvoidLinks, .as = S::Tick},
    {.control = kPerAddressLimit, .key = "每个网址最多链接", .as = S::Text},
    {.control = kSiteAddress, .key = "本站网址", .as = S::Text},
    {.control = kIncludeSubfolders, .as = S::Tick},
    {.control = kBatchReport, .as = S::Tick},
};

constexpr SettingsRow kShuffleRows[] = {
    {.control = kShuffleTitle, .as = S::Tick},
    {.control = kTitleShuffleSymbols, .key = "标题打乱符号", .as = S::Text},
    {.control = kShuffleContent, .as = S::Tick},
    {.control = kContentShuffleSymbols, .key = "内容打乱符号", .as = S::Text},
    {.control = kSentenceIntoTitle, .as = S::Tick},
    {.control = kSentencePlacement, .key = "插入类型", .as = S::Index},
    {.control = kSentenceMinimum, .key = "最少字数", .as = S::Text},
    {.control = kSentenceMustContain, .key = "包含的词", .as = S::Text},
    {.control = kTitleIntoContent, .as = S::Tick},
    {.control = kTitleInsertMin, .key = "插入最少", .as = S::Text},
    {.control = kTitleInsertMax, .key = "插入最多", .as = S::Text},
    {.control = kUseSourceTitle, .as = S::Tick},
    {.control = kReplaceTitle, .as = S::Tick},
    {.control = kReplaceContent, .as = S::Tick},
    {.control = kTitleRegex, .key = "标题启用正则", .as = S::Tick},
    {.control = kTitleIgnoreCase, .key = "标题忽视大小写", .as = S::Tick},
    {.control = kTitleReplaceCount, .key = "标题替换次数", .as = S::Text},
    {.control = kContentRegex, .key = "内容启用正则", .as = S::Tick},
    {.control = kContentIgnoreCase, .key = "内容忽视大小写", .as = S::Tick},
    {.control = kContentReplaceCount, .key = "内容替换次数", .as = S::Text},
    {.control = kTitleFirstLine, .as = S::Tick},
    {.control = kInputEncoding, .key = "输入编码", .as = S::Index},
    {.control = kOutputEncoding, .key = "输出编码", .as = S::Index},
};

constexpr SettingsSection kSections[] = {
    {"主界面", kMainRows},
    {"文章打乱替换器", kShuffleRows},
};

}  // namespace

SettingsTable mainWindowSettings() {
    return kSections;
}

void loadMainWindowSettings(SettingsStore& store, Form& form) {
    restoreWindowSettings(store, form, kSections);
}

SaveOutcome saveMainWindowSettings(SettingsStore& store, Form& form) {
    return saveWindowSettings(store, form, kSections);
}

}  // namespace lct
