#pragma once
// ArticleOptions: every option of the main window that the pipeline reads,
// with the control it comes from and its default. app/form_options.h reads it
// from the window; the window is locked while a batch runs, so one snapshot at
// the start of a run serves the whole run.

#include <string>

#include "engine/insert_options.h"
#include "engine/replace_existing.h"
#include "engine/script.h"

namespace lct {

/// Which of the three pipelines a run uses.
enum class PipelineMode {
    Insert,           ///< the shuffle panel is hidden and 单选框插入 is selected
    ReplaceExisting,  ///< the shuffle panel is hidden and 单选框插入 is not selected
    ShuffleReplace,   ///< the panel 分组框文章打乱替换器 is shown
};

/// The shuffle panel's options (shuffle-replace mode). Texts are GBK as typed.
struct ShuffleOptions {
    bool shuffleTitle = true;                         ///< 选择框打乱标题
    std::string titleSymbols;                         ///< 编辑框标题打乱符号
    bool shuffleContent = true;                       ///< 选择框打乱内容
    std::string contentSymbols;                       ///< 编辑框内容打乱符号
    bool sentenceIntoTitle = false;                   ///< 选择框文章一句
    TitleType sentencePlacement = TitleType::Random;  ///< 组合框插入类型
    int sentenceMinimum = 0;                          ///< 编辑框最少字数
    std::string sentenceMustContain;                  ///< 编辑框包含的词
    bool titleIntoContent = false;                    ///< 选择框标题插入
    bool useSourceTitle = true;                       ///< 选择框原标题
    int titleInsertMin = 0;                           ///< 编辑框插入最少
    int titleInsertMax = 0;                           ///< 编辑框插入最多
    bool replaceTitle = false;                        ///< 选择框替换标题
    std::string titleMatches;                         ///< 编辑框标题匹配式
    std::string titleReplacements;                    ///< 编辑框标题替换式
    bool titleRegex = false;                          ///< 选择框标题启用正则
    bool titleIgnoreCase = true;                      ///< 选择框标题忽视大小写
    int titleReplaceCount = 0;                        ///< 编辑框标题替换次数
    bool replaceContent = false;                      ///< 选择框替换内容
    std::string contentMatches;                       ///< 编辑框内容匹配式
    std::string contentReplacements;                  ///< 编辑框内容替换式
    bool contentRegex = false;                        ///< 选择框内容启用正则
    bool contentIgnoreCase = true;                    ///< 选择框内容忽视大小写
    int contentReplaceCount = 0;                      ///< 编辑框内容替换次数
};

struct ArticleOptions {
    PipelineMode mode = PipelineMode::Insert;
    std::string keywordList;  ///< 编辑框关键词列表
    std::string templates;    ///< 编辑框再组合关键词
    InsertOptions insert;
    /// 选择框替换避开标签, 选择框替换避开小标题, 编辑框替换次数上限,
    /// 编辑框链接总数上限, 选择框替换整词, 编辑框每个网址最多链接
    /// (replace-existing mode)
    ReplaceRules replace = ReplaceRules::windowDefaults();
    /// 编辑框本站网址 (GBK, as typed): with a batch article's path it gives the
    /// article's own address, which no keyword links it to (link_map.h).
    std::string siteAddress;
    ShuffleOptions shuffle;
    ScriptConversion scriptConversion = ScriptConversion::None;  ///< 组合框转换繁简体
};

}  // namespace lct
