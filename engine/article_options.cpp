#include "engine/article_options.h"

namespace lct {

PipelineMode pipelineModeOf(Form& form) {
    const Control* panel = form.find("分组框文章打乱替换器");
    if (panel && panel->visible()) return PipelineMode::ShuffleReplace;
    return tickedOf(form, "单选框插入") ? PipelineMode::Insert : PipelineMode::ReplaceExisting;
}

ArticleOptions readArticleOptions(Form& form) {
    ArticleOptions o;
    o.mode = pipelineModeOf(form);
    o.keywordList = textOf(form, "编辑框关键词列表");
    o.templates = textOf(form, "编辑框再组合关键词");

    InsertOptions& in = o.insert;
    in.insertTitle = tickedOf(form, "选择框插入标题");
    in.titleType = indexOf(form, "组合框标题插入类型");
    in.titleOnce = tickedOf(form, "选择框标题插一次");
    in.titleSeparators = textOf(form, "编辑框标题间隔符");
    in.insertContent = tickedOf(form, "选择框插入内容");
    in.contentType = indexOf(form, "组合框内容插入类型");
    in.everyMin = integerOf(form, "编辑框每隔最少");
    in.everyMax = integerOf(form, "编辑框每隔最多");
    in.symbolGroups = textOf(form, "编辑框句子结尾符");
    in.symbolMode = indexOf(form, "组合框符号插入模式");
    in.items.callMode = indexOf(form, "组合框调用方式");
    in.items.useCountRange = tickedOf(form, "选择框插入次数");
    in.items.countFrom = integerOf(form, "编辑框次数1");
    in.items.countTo = integerOf(form, "编辑框次数2");
    in.items.differentEachTime = tickedOf(form, "选择框每次不同");
    in.newSet = tickedOf(form, "选择框更新关键词");
    in.avoidTags = tickedOf(form, "选择框避免标签");
    in.avoidWords = tickedOf(form, "选择框避免单词");
    in.titleFirstLine = tickedOf(form, "选择框标题插入首行");

    ShuffleOptions& sh = o.shuffle;
    sh.shuffleTitle = tickedOf(form, "选择框打乱标题");
    sh.titleSymbols = textOf(form, "编辑框标题打乱符号");
    sh.shuffleContent = tickedOf(form, "选择框打乱内容");
    sh.contentSymbols = textOf(form, "编辑框内容打乱符号");
    sh.sentenceIntoTitle = tickedOf(form, "选择框文章一句");
    sh.sentencePlacement = indexOf(form, "组合框插入类型");
    sh.sentenceMinimum = integerOf(form, "编辑框最少字数");
    sh.sentenceMustContain = textOf(form, "编辑框包含的词");
    sh.titleIntoContent = tickedOf(form, "选择框标题插入");
    sh.useSourceTitle = tickedOf(form, "选择框原标题");
    sh.titleInsertMin = integerOf(form, "编辑框插入最少");
    sh.titleInsertMax = integerOf(form, "编辑框插入最多");
    sh.replaceTitle = tickedOf(form, "选择框替换标题");
    sh.titleMatches = textOf(form, "编辑框标题匹配式");
    sh.titleReplacements = textOf(form, "编辑框标题替换式");
    sh.titleRegex = tickedOf(form, "选择框标题启用正则");
    sh.titleIgnoreCase = tickedOf(form, "选择框标题忽视大小写");
    sh.titleReplaceCount = integerOf(form, "编辑框标题替换次数");
    sh.replaceContent = tickedOf(form, "选择框替换内容");
    sh.contentMatches = textOf(form, "编辑框内容匹配式");
    sh.contentReplacements = textOf(form, "编辑框内容替换式");
    sh.contentRegex = tickedOf(form, "选择框内容启用正则");
    sh.contentIgnoreCase = tickedOf(form, "选择框内容忽视大小写");
    sh.contentReplaceCount = integerOf(form, "编辑框内容替换次数");

    o.scriptConversion = indexOf(form, "组合框转换繁简体");
    return o;
}

}  // namespace lct
