#include "app/form_options.h"

#include "app/main_window_names.h"

namespace lct {

using namespace main_window;

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
    const Control* panel = form.find(kShufflePanel);
    if (panel && panel->visible()) return PipelineMode::ShuffleReplace;
    return tickedOf(form, kInsertRadio) ? PipelineMode::Insert : PipelineMode::ReplaceExisting;
}

ArticleOptions readArticleOptions(Form& form) {
    ArticleOptions o;
    o.mode = pipelineModeOf(form);
    o.keywordList = textOf(form, kKeywordList);
    o.templates = textOf(form, kTemplates);

    InsertOptions& in = o.insert;
    in.insertTitle = tickedOf(form, kInsertTitle);
    in.titleType = selectedOf(form, kTitleType, TitleType::Replace);
    in.titleOnce = tickedOf(form, kTitleOnce);
    in.titleSeparators = textOf(form, kTitleSeparators);
    in.insertContent = tickedOf(form, kInsertContent);
    in.contentType = selectedOf(form, kContentType, ContentType::NextToSymbols);
    in.everyMin = integerOf(form, kEveryMin);
    in.everyMax = integerOf(form, kEveryMax);
    in.symbolGroups = textOf(form, kSymbolGroups);
    in.symbolMode = selectedOf(form, kSymbolMode, SymbolMode::EitherSide);
    in.items.callMode = indexOf(form, kCallMode);
    in.items.useCountRange = tickedOf(form, kCountRange);
    in.items.countFrom = integerOf(form, kCountFrom);
    in.items.countTo = integerOf(form, kCountTo);
    in.items.differentEachTime = tickedOf(form, kDifferentEachTime);
    in.newSet = tickedOf(form, kNewSet);
    in.avoidTags = tickedOf(form, kAvoidTags);
    in.avoidWords = tickedOf(form, kAvoidWords);
    in.titleFirstLine = tickedOf(form, kTitleFirstLine);
    in.avoidLinks = tickedOf(form, kAvoidLinks);

    ReplaceRules& re = o.replace;
    re.avoidMarkup = tickedOf(form, kReplaceAvoidMarkup);
    re.avoidHeadings = tickedOf(form, kReplaceAvoidHeadings);
    re.perKeywordLimit = integerOf(form, kReplacePerKeywordLimit);
    re.totalLimit = integerOf(form, kReplaceTotalLimit);
    re.wholeWords = tickedOf(form, kReplaceWholeWords);

    ShuffleOptions& sh = o.shuffle;
    sh.shuffleTitle = tickedOf(form, kShuffleTitle);
    sh.titleSymbols = textOf(form, kTitleShuffleSymbols);
    sh.shuffleContent = tickedOf(form, kShuffleContent);
    sh.contentSymbols = textOf(form, kContentShuffleSymbols);
    sh.sentenceIntoTitle = tickedOf(form, kSentenceIntoTitle);
    sh.sentencePlacement = selectedOf(form, kSentencePlacement, TitleType::Replace);
    sh.sentenceMinimum = integerOf(form, kSentenceMinimum);
    sh.sentenceMustContain = textOf(form, kSentenceMustContain);
    sh.titleIntoContent = tickedOf(form, kTitleIntoContent);
    sh.useSourceTitle = tickedOf(form, kUseSourceTitle);
    sh.titleInsertMin = integerOf(form, kTitleInsertMin);
    sh.titleInsertMax = integerOf(form, kTitleInsertMax);
    sh.replaceTitle = tickedOf(form, kReplaceTitle);
    sh.titleMatches = textOf(form, kTitleMatches);
    sh.titleReplacements = textOf(form, kTitleReplacements);
    sh.titleRegex = tickedOf(form, kTitleRegex);
    sh.titleIgnoreCase = tickedOf(form, kTitleIgnoreCase);
    sh.titleReplaceCount = integerOf(form, kTitleReplaceCount);
    sh.replaceContent = tickedOf(form, kReplaceContent);
    sh.contentMatches = textOf(form, kContentMatches);
    sh.contentReplacements = textOf(form, kContentReplacements);
    sh.contentRegex = tickedOf(form, kContentRegex);
    sh.contentIgnoreCase = tickedOf(form, kContentIgnoreCase);
    sh.contentReplaceCount = integerOf(form, kContentReplaceCount);

    o.scriptConversion = selectedOf(form, kScriptConversion, ScriptConversion::ToTraditional);
    return o;
}

RunOptions readRunOptions(Form& form) {
    RunOptions options;
    options.article = readArticleOptions(form);
    // The lists hold 自动识别 and the five encodings; Big5-HKSCS is detected only.
    options.inputEncoding = selectedOf(form, kInputEncoding, TextEncoding::Big5);
    options.outputEncoding = selectedOf(form, kOutputEncoding, TextEncoding::Big5);
    options.newExtension = textOf(form, kNewExtension);
    return options;
}

}  // namespace lct
