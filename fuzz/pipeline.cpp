// processArticle with options drawn from the input: all three modes, script
// conversion on and off, every content and title type.
//
// Checks: the same seed gives the same article; in insert mode without
// conversion the old content survives in order inside the new one (items
// are only ever added); shuffle-replace with every stage off leaves the
// content as it was; a conversion keeps the number of characters of valid
// text.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/article_options.h"
#include "engine/article_run.h"
#include "engine/chars.h"
#include "engine/keyword_supply.h"
#include "engine/script.h"
#include "fuzz/fuzz_check.h"
#include "platform/charset.h"

namespace {

using lct::ArticleOptions;
using lct::PipelineMode;

std::string text(FuzzedDataProvider& input, std::size_t most) {
    return input.ConsumeRandomLengthString(most);
}

template <typename Enum>
Enum pick(FuzzedDataProvider& input, int last) {
    return static_cast<Enum>(input.ConsumeIntegralInRange(0, last));
}

void drawInsert(FuzzedDataProvider& input, lct::InsertOptions& in) {
    in.insertTitle = input.ConsumeBool();
    in.titleType = pick<lct::TitleType>(input, 4);
    in.titleOnce = input.ConsumeBool();
    in.titleSeparators = text(input, 16);
    in.insertContent = input.ConsumeBool();
    in.contentType = pick<lct::ContentType>(input, 15);
    in.everyMin = input.ConsumeIntegralInRange(-3, 200);
    in.everyMax = input.ConsumeIntegralInRange(-3, 200);
    in.symbolGroups = text(input, 16);
    in.symbolMode = pick<lct::SymbolMode>(input, 2);
    in.items.callMode = input.ConsumeIntegralInRange(0, 3);
    in.items.useCountRange = input.ConsumeBool();
    in.items.countFrom = input.ConsumeIntegralInRange(-3, 50);
    in.items.countTo = input.ConsumeIntegralInRange(-3, 50);
    in.items.differentEachTime = input.ConsumeBool();
    in.newSet = input.ConsumeBool();
    in.avoidTags = input.ConsumeBool();
    in.avoidWords = input.ConsumeBool();
    in.titleFirstLine = input.ConsumeBool();
}

void drawShuffle(FuzzedDataProvider& input, lct::ShuffleOptions& s) {
    s.shuffleTitle = input.ConsumeBool();
    s.titleSymbols = text(input, 12);
    s.shuffleContent = input.ConsumeBool();
    s.contentSymbols = text(input, 12);
    s.sentenceIntoTitle = input.ConsumeBool();
    s.sentencePlacement = pick<lct::TitleType>(input, 4);
    s.sentenceMinimum = input.ConsumeIntegralInRange(-3, 40);
    s.sentenceMustContain = text(input, 8);
    s.titleIntoContent = input.ConsumeBool();
    s.useSourceTitle = input.ConsumeBool();
    s.titleInsertMin = input.ConsumeIntegralInRange(-3, 20);
    s.titleInsertMax = input.ConsumeIntegralInRange(-3, 20);
    s.replaceTitle = input.ConsumeBool();
    s.titleMatches = text(input, 24);
    s.titleReplacements = text(input, 24);
    s.titleRegex = input.ConsumeBool();
    s.titleIgnoreCase = input.ConsumeBool();
    s.titleReplaceCount = input.ConsumeIntegralInRange(-2, 10);
    s.replaceContent = input.ConsumeBool();
    s.contentMatches = text(input, 24);
    s.contentReplacements = text(input, 24);
    s.contentRegex = input.ConsumeBool();
    s.contentIgnoreCase = input.ConsumeBool();
    s.contentReplaceCount = input.ConsumeIntegralInRange(-2, 10);
}

ArticleOptions drawOptions(FuzzedDataProvider& input) {
    ArticleOptions options;
    options.mode = pick<PipelineMode>(input, 2);
    options.scriptConversion =
        pick<lct::ScriptConversion>(input, static_cast<int>(lct::ScriptConversion::Last));
    options.keywordList = text(input, 64);
    options.templates = text(input, 48);
    options.siteAddress = text(input, 24);
    options.replace.perAddressLimit = input.ConsumeIntegralInRange(-1, 3);
    drawInsert(input, options.insert);
    drawShuffle(input, options.shuffle);
    return options;
}

struct Article {
    std::string title;
    std::string content;
    std::string page;  // its path on its site, for the links to itself
};

Article run(const ArticleOptions& options, std::uint64_t seed, Article article) {
    lct::ArticleRun articleRun(seed);
    articleRun.prepare(options, lct::loadKeywords(options.keywordList));
    lct::ArticleReport report;
    lct::processArticle(options, articleRun, article.title, article.content, &report, article.page);
    return article;
}

// True when the bytes of `part` appear in `whole` in their order.
bool isSubsequence(std::string_view part, std::string_view whole) {
    std::size_t at = 0;
    for (const char c : part) {
        at = whole.find(c, at);
        if (at == std::string_view::npos) return false;
        ++at;
    }
    return true;
}

bool holdsAny(std::string_view text, std::string_view bytes) {
    return text.find_first_of(bytes) != std::string_view::npos;
}

// True when nothing that insert mode adds can hold a byte that matters to
// the subsequence test: no angle bracket (a new tag) and no 0xFF (the tag
// guard's placeholder).
bool addsOnlyPlainText(const ArticleOptions& options, std::string_view title) {
    const std::string_view special = "<>\xFF";
    return !holdsAny(options.keywordList, special) && !holdsAny(options.templates, special) &&
           !holdsAny(options.insert.titleSeparators, special) &&
           !holdsAny(options.insert.symbolGroups, special) && !holdsAny(title, special);
}

bool everyShuffleStageOff(const lct::ShuffleOptions& s) {
    return !s.shuffleTitle && !s.shuffleContent && !s.sentenceIntoTitle && !s.titleIntoContent &&
           !s.replaceTitle && !s.replaceContent;
}

void checkProperties(const ArticleOptions& options, const Article& in, const Article& out) {
    const bool converted = options.scriptConversion != lct::ScriptConversion::None;
    if (options.mode == PipelineMode::Insert && !converted && addsOnlyPlainText(options, in.title))
        LCT_FUZZ_CHECK(isSubsequence(in.content, out.content));
    if (options.mode == PipelineMode::ShuffleReplace && !converted &&
        everyShuffleStageOff(options.shuffle))
        LCT_FUZZ_CHECK(out.content == in.content);
    // On damaged bytes the engine's character model (a high byte takes the byte
    // after it) and the converter's decoding part ways; the count holds for
    // valid text.
    const bool keepsLength = options.scriptConversion == lct::ScriptConversion::ToSimplified ||
                             options.scriptConversion == lct::ScriptConversion::ToTraditional;
    if (keepsLength && lct::utf8ToGbk(lct::gbkToUtf8(in.content)) == in.content) {
        const std::string once = lct::convertScript(in.content, options.scriptConversion);
        LCT_FUZZ_CHECK(lct::charCount(once) == lct::charCount(in.content));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const ArticleOptions options = drawOptions(input);
    const std::uint64_t seed = input.ConsumeIntegral<std::uint64_t>();
    Article article;
    article.title = text(input, 64);
    article.page = text(input, 24);
    article.content = input.ConsumeRemainingBytesAsString();

    const Article first = run(options, seed, article);
    const Article second = run(options, seed, article);
    LCT_FUZZ_CHECK(first.title == second.title);
    LCT_FUZZ_CHECK(first.content == second.content);
    checkProperties(options, article, first);
    return 0;
}
