#include "app/form_options.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "app/main_window_names.h"
#include "app/main_window_table.h"
#include "form/number_text.h"
#include "platform/charset.h"

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

// The replace panel's caps: how many replacements at most, 0 (or nothing)
// for no cap. Typed as in the tools' boxes: leading blanks, full-width digits.
struct CapBox {
    std::string_view control;
    std::string_view label;  // UTF-8, as the window calls it
};

constexpr CapBox kCapBoxes[] = {
    {kReplacePerKeywordLimit, "每个关键词最多替换"},
    {kReplaceTotalLimit, "每篇最多替换"},
    {kPerAddressLimit, "每个网址最多链接"},
};

// The cap a box holds: nullopt when its text is no count (a word, a
// negative number); a number beyond what a count reaches means no real cap.
std::optional<int> capOf(Form& form, std::string_view control) {
    const NumberText number = readNumberText(textOf(form, control));
    if (number.blank) return 0;
    if (!number.whole || number.value < 0) return std::nullopt;
    if (number.tooLarge) return std::numeric_limits<int>::max();
    return static_cast<int>(std::min<std::int64_t>(number.value, std::numeric_limits<int>::max()));
}

}  // namespace

std::string unusableOptionMessage(Form& form) {
    if (pipelineModeOf(form) != PipelineMode::ReplaceExisting) return {};
    for (const CapBox& box : kCapBoxes) {
        if (capOf(form, box.control)) continue;
        return utf8ToGbk("“" + std::string(box.label) + "”的值 ") + textOf(form, box.control) +
               utf8ToGbk(" 不是一个次数，请填写 0 或正整数（0 或不填表示不限）。");
    }
    return {};
}

bool optionsUsableOrWarn(Form& form) {
    const std::string message = unusableOptionMessage(form);
    if (message.empty()) return true;
    form.messageBox(message, utf8ToGbk(kProgramName), MessageButtons::Ok, MessageIcon::Warning);
    return false;
}

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
    // A cap that is no count never reaches a run (unusableOptionMessage).
    re.perKeywordLimit = capOf(form, kReplacePerKeywordLimit).value_or(0);
    re.totalLimit = capOf(form, kReplaceTotalLimit).value_or(0);
    re.wholeWords = tickedOf(form, kReplaceWholeWords);
    re.perAddressLimit = capOf(form, kPerAddressLimit).value_or(0);
    o.siteAddress = textOf(form, kSiteAddress);

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

    o.scriptConversion = selectedOf(form, kScriptConversion, ScriptConversion::Last);
    return o;
}

RunOptions readRunOptions(Form& form) {
    RunOptions options;
    options.article = readArticleOptions(form);
    // The lists hold 自动识别 and the five encodings; Big5-HKSCS is detected only.
    options.inputEncoding = selectedOf(form, kInputEncoding, TextEncoding::Big5);
    options.outputEncoding = selectedOf(form, kOutputEncoding, TextEncoding::Big5);
    options.newExtension = textOf(form, kNewExtension);
    options.reportInResultFolder = tickedOf(form, kBatchReport);
    return options;
}

}  // namespace lct
