#include "app/form_options.h"

namespace lct {
namespace {

// The selected item of a list as one of its enum's values; a selection out of
// range (none, or a damaged setting) gives the first value.
template <typename Enum>
Enum selectedOf(Form& form, std::string_view name, Enum last) {
    const int index = indexOf(form, name);
    if (index < 0 || index > static_cast<int>(last)) return Enum{};
    return static_cast<Enum>(index);
}

}  // namespace

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
    in.titleType = selectedOf(form, "组合框标题插入类型", TitleType::Replace);
    in.titleOnce = tickedOf(form, "选择框标题插一次");
    in.titleSeparators = textOf(form, "编辑框标题间隔符");
    in.insertContent = tickedOf(form, "选择框插入内容");
    in.contentType = selectedOf(form, "组合框内容插入类型", ContentType::NextToSymbols);
    in.everyMin = integerOf(form, "编辑框每隔最少");
    in.everyMax = integerOf(form, "编辑框每隔最多");
    in.symbolGroups = textOf(form, "编辑框句子结尾符");
    in.symbolMode = selectedOf(form, "组合框符号插入模式", SymbolMode::EitherSide);
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
    sh.sentencePlacement = selectedOf(form, "组合框插入类型", TitleType::Replace);
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

    o.scriptConversion = selectedOf(form, "组合框转换繁简体", ScriptConversion::ToTraditional);
    return o;
}

RunOptions readRunOptions(Form& form) {
    RunOptions options;
    options.article = readArticleOptions(form);
    // The lists hold 自动识别 and the five encodings; Big5-HKSCS is detected only.
    options.inputEncoding = selectedOf(form, "组合框输入编码", TextEncoding::Big5);
    options.outputEncoding = selectedOf(form, "组合框输出编码", TextEncoding::Big5);
    options.newExtension = textOf(form, "编辑框新文件扩展名");
    return options;
}

}  // namespace lct
