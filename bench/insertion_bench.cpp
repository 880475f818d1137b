// Content insertion by every content type on 256 KB and 1 MB articles, with
// tags hidden as the pipeline hides them and words avoided. The time for 1 MB
// must stay within 5 times the time for 256 KB for every type.
//
// Avoiding words in a text with no space at all (minified data in a page):
// every position falls inside one long run of letters and moves before it.
// This too must stay linear: 1 MB within about 10 times 100 KB.
//
// Title types before and after with many items (titleOnce off): linear in
// the items, 100,000 within about 10 times 10,000.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "article.h"
#include "engine/chars.h"
#include "engine/content_insertion.h"
#include "engine/random_insert.h"
#include "engine/tag_guard.h"
#include "engine/title_insertion.h"

namespace lct {
namespace {

void BM_ContentType(benchmark::State& state) {
    const auto type = static_cast<ContentType>(state.range(0));
    const std::string page = bench::article(static_cast<std::size_t>(state.range(1)));

    Random random(1);
    KeywordSupply keywords(random);
    keywords.setKeywords({utf8ToGbk("关键词一"), utf8ToGbk("关键词二"), "keyword"});
    keywords.parseTemplates("<a href=\"https://example.com/\">*</a>|<strong>*</strong>");
    InsertOptions options;
    options.contentType = type;
    options.titleSeparators = utf8ToGbk(" |，");
    options.symbolGroups = utf8ToGbk("。|\\n|，|,|!|?|！|？");
    options.items.countFrom = 3;
    options.items.countTo = 3;
    options.newSet = true;
    InsertRunState run = prepareInsertRun(options);

    for (auto _ : state) {
        TagGuard guard;
        const std::string hidden = guard.protect(page, TagGuard::shortPlaceholder());
        std::vector<std::string> items;
        long long step = 100;
        if (type == ContentType::EveryN) {
            items = keywords.makeItemSet(options.items, true,
                                         static_cast<int>(charCount(hidden) / step), true, "T");
        } else if (type != ContentType::EveryNChunks) {
            items = keywords.makeItemSet(options.items, false, 0, false, "T");
        }
        const ContentArticle article{"T", &items, step};
        benchmark::DoNotOptimize(
            guard.restore(insertIntoContent(hidden, article, options, run, keywords)));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}

void contentTypes(benchmark::internal::Benchmark* b) {
    for (int type = 0; type <= 14; ++type) {
        b->Args({type, 256 << 10});
        b->Args({type, 1 << 20});
    }
}
BENCHMARK(BM_ContentType)->Apply(contentTypes)->Unit(benchmark::kMillisecond);

// Arguments: bytes of letters, number of items.
void BM_AvoidWordsWithoutSpaces(benchmark::State& state) {
    std::string text;
    text.reserve(static_cast<std::size_t>(state.range(0)));
    for (std::int64_t i = 0; i < state.range(0); ++i)
        text.push_back(static_cast<char>('a' + i % 26));
    const std::vector<std::string> items(static_cast<std::size_t>(state.range(1)), "KW");
    Random random(1);
    RandomInsertion how;
    how.avoidWords = true;
    for (auto _ : state)
        benchmark::DoNotOptimize(insertRandom(text, items, how, random));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_AvoidWordsWithoutSpaces)
    ->Args({100 << 10, 10'000})
    ->Args({1 << 20, 10'000})
    ->Args({1 << 20, 100'000})
    ->Unit(benchmark::kMillisecond);

// Arguments: title type, number of items.
void BM_TitleManyItems(benchmark::State& state) {
    std::vector<std::string> items;
    for (std::int64_t i = 0; i < state.range(1); ++i)
        items.push_back(utf8ToGbk("关键词") + std::to_string(i));
    InsertOptions options;
    options.titleType = static_cast<TitleType>(state.range(0));
    options.titleOnce = false;
    options.titleSeparators = utf8ToGbk(" |，");
    InsertRunState run = prepareInsertRun(options);
    Random random(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(insertIntoTitle(utf8ToGbk("标题"), items, options, run, random));
}
BENCHMARK(BM_TitleManyItems)
    ->ArgsProduct({{static_cast<long>(TitleType::Before),
                    static_cast<long>(TitleType::BeforeOrAfter)},
                   {10'000, 100'000}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lct
