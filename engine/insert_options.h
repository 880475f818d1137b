#pragma once
// The options of insert mode (the insert panel of the main window) and the
// state that an insert-mode run prepares once from them.

#include <string>
#include <vector>

#include "engine/draws.h"
#include "engine/keywords.h"

namespace lct {

/// Content insertion types of 组合框内容插入类型.
enum ContentType : int {
    kWholeTextRandom = 0,     ///< 全文随机位置
    kParagraphRandom = 1,     ///< 每个段落内随机
    kSentenceRandom = 2,      ///< 每个句子内随机
    kLineBefore = 3,          ///< 段落行前
    kLineAfter = 4,           ///< 段落行后
    kLineBeforeOrAfter = 5,   ///< 段落行前或行后
    kLineBeforeAndAfter = 6,  ///< 段落行前后
    kLineBothDifferent = 7,   ///< 段落行前后(不同)
    kEveryN = 8,              ///< 每隔指定字数
    kEveryNChunks = 9,        ///< 每隔指定字数2
    kFirstLine = 10,          ///< 文章首行
    kHead = 11,               ///< 文章头部
    kTail = 12,               ///< 文章尾部
    kLastLine = 13,           ///< 文章尾行
    kNextToSymbols = 14,      ///< 符号处全文随机
};

/// Title insertion types of 组合框标题插入类型 (also the sentence placement of
/// shuffle-replace mode).
enum TitleType : int {
    kTitleRandom = 0,         ///< 随机位置
    kTitleBefore = 1,         ///< 标题前
    kTitleAfter = 2,          ///< 标题后
    kTitleBeforeOrAfter = 3,  ///< 标题前或后
    kTitleReplace = 4,        ///< 替换原标题
};

/// Where items go next to a symbol (组合框符号插入模式).
enum SymbolMode : int { kBeforeSymbol = 0, kAfterSymbol = 1, kEitherSide = 2 };

/// The insert panel's options. Texts are GBK, as typed (escapes not expanded).
struct InsertOptions {
    bool insertTitle = true;             ///< 选择框插入标题
    int titleType = kTitleRandom;        ///< 组合框标题插入类型
    bool titleOnce = true;               ///< 选择框标题插一次
    std::string titleSeparators;         ///< 编辑框标题间隔符
    bool insertContent = true;           ///< 选择框插入内容
    int contentType = kWholeTextRandom;  ///< 组合框内容插入类型
    int everyMin = 100;                  ///< 编辑框每隔最少
    int everyMax = 100;                  ///< 编辑框每隔最多
    std::string symbolGroups;            ///< 编辑框句子结尾符
    int symbolMode = kBeforeSymbol;      ///< 组合框符号插入模式
    ItemSetOptions items;  ///< 组合框调用方式, 选择框插入次数, 编辑框次数1/2, 选择框每次不同
    bool newSet = false;          ///< 选择框更新关键词
    bool avoidTags = true;        ///< 选择框避免标签
    bool avoidWords = true;       ///< 选择框避免单词
    bool titleFirstLine = false;  ///< 选择框标题插入首行
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
