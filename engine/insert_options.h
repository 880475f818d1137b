#pragma once
// The options of insert mode (the insert panel of the main window) and the
// state that an insert-mode run prepares once from them.

#include <string>
#include <vector>

#include "engine/keyword_supply.h"
#include "engine/unique_picker.h"

namespace lct {

/// Content insertion types; the values are the item indexes of the insert
/// panel's content type list.
enum class ContentType {
    WholeTextRandom = 0,     ///< 全文随机位置
    ParagraphRandom = 1,     ///< 每个段落内随机
    SentenceRandom = 2,      ///< 每个句子内随机
    LineBefore = 3,          ///< 段落行前
    LineAfter = 4,           ///< 段落行后
    LineBeforeOrAfter = 5,   ///< 段落行前或行后
    LineBeforeAndAfter = 6,  ///< 段落行前后
    LineBothDifferent = 7,   ///< 段落行前后(不同)
    EveryN = 8,              ///< 每隔指定字数
    EveryNChunks = 9,        ///< 每隔指定字数2
    FirstLine = 10,          ///< 文章首行
    Head = 11,               ///< 文章头部
    Tail = 12,               ///< 文章尾部
    LastLine = 13,           ///< 文章尾行
    NextToSymbols = 14,      ///< 符号处全文随机
};

/// Title insertion types (also the sentence placement of shuffle-replace
/// mode); the values are the item indexes of their lists.
enum class TitleType {
    Random = 0,         ///< 随机位置
    Before = 1,         ///< 标题前
    After = 2,          ///< 标题后
    BeforeOrAfter = 3,  ///< 标题前或后
    Replace = 4,        ///< 替换原标题
};

/// Where items go next to a symbol.
enum class SymbolMode { Before = 0, After = 1, EitherSide = 2 };

/// The insert panel's options. Texts are GBK, as typed (escapes not expanded).
struct InsertOptions {
    bool insertTitle = true;                                 ///< 选择框插入标题
    TitleType titleType = TitleType::Random;                 ///< 组合框标题插入类型
    bool titleOnce = true;                                   ///< 选择框标题插一次
    std::string titleSeparators;                             ///< 编辑框标题间隔符
    bool insertContent = true;                               ///< 选择框插入内容
    ContentType contentType = ContentType::WholeTextRandom;  ///< 组合框内容插入类型
    int everyMin = 100;                                      ///< 编辑框每隔最少
    int everyMax = 100;                                      ///< 编辑框每隔最多
    std::string symbolGroups;                                ///< 编辑框句子结尾符
    SymbolMode symbolMode = SymbolMode::Before;              ///< 组合框符号插入模式
    ItemSetOptions items;  ///< 组合框调用方式, 选择框插入次数, 编辑框次数1/2, 选择框每次不同
    bool newSet = false;          ///< 选择框更新关键词
    bool avoidTags = true;        ///< 选择框避免标签
    bool avoidWords = true;       ///< 选择框避免单词
    bool titleFirstLine = false;  ///< 选择框标题插入首行
    /// 选择框插入避开链接: no item inside links, comments, scripts, styles,
    /// text areas, titles or the document head (engine/markup_regions.h).
    bool avoidLinks = true;
};

/// What an insert-mode run parses once from its options, and the run-level
/// separator state shared by the title and the head and tail blocks.
struct InsertRunState {
    std::vector<std::string> titleSeparators;  ///< the separator list, escapes expanded
    std::vector<std::string> sentenceEnds;     ///< the symbol groups, plus CR LF when auto
    bool autoLineBreak = false;  ///< CR LF was added because the groups hold no \n escape
    UniquePicker separatorPicker;
    std::string currentSeparator;  ///< the separator drawn last; "" until one is drawn
};

/// Parses the separators and sentence ends of `options` into a fresh state.
InsertRunState prepareInsertRun(const InsertOptions& options);

}  // namespace lct
