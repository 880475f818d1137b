// Shuffle, list replacement and replace-existing mode on article-sized and
// page-sized inputs. Shuffling and replacing must stay linear in the text;
// replace-existing must not grow with the number of keywords beyond building
// the run's search once, and a link map must cost little more than its
// keywords alone.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/article_run.h"
#include "engine/keyword_supply.h"
#include "engine/replace.h"
#include "engine/replace_existing.h"
#include "engine/script.h"
#include "engine/shuffle.h"
#include "gbk.h"
#include "platform/random.h"

namespace lct {
namespace {

const std::string& paragraph() {
    static const std::string p =
        test::G(
            "今天的天气很好，我们一起去公园散步。The quick brown fox jumps over the lazy dog! "
            "中文与English混排，标点符号也要处理？最后一句话。") +
        "\r\n";
    return p;
}

std::string page(std::size_t bytes) {
    std::string out;
    while (out.size() < bytes)
        out += paragraph();
    return out;
}

// Words of two to four level-one hanzi (GBK B0A1..D7F9).
std::vector<std::string> randomWords(std::size_t count, std::uint64_t seed) {
    Random random(seed);
    std::vector<std::string> words;
    words.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::string w;
        const std::int64_t length = random.between(2, 4);
        for (std::int64_t c = 0; c < length; ++c) {
            w += static_cast<char>(random.between(0xB0, 0xD7));
            w += static_cast<char>(random.between(0xA1, 0xF9));
        }
        words.push_back(w);
    }
    return words;
}

// A 100 KB article in which the first 100 keywords occur, one per paragraph in
// turn; the same article serves every keyword count.
std::string articleWith(const std::vector<std::string>& keywords) {
    std::string out;
    for (std::size_t i = 0; out.size() < 100 * 1024; ++i)
        out += keywords[i % 100] + paragraph();
    return out;
}

void BM_ReplaceExisting(benchmark::State& state) {
    const std::vector<std::string> keywords =
        randomWords(static_cast<std::size_t>(state.range(0)), 1);
    const std::string article = articleWith(keywords);
    Random random(2);
    KeywordSupply supply(random);
    supply.parseTemplates("<a href=\"https://example.com/\">*</a>|<strong>*</strong>");
    const ExistingKeywordReplacer replacer(keywords);  // once per run
    for (auto _ : state)
        benchmark::DoNotOptimize(replacer.replace(article, keywords, supply, "T"));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * article.size()));
}
BENCHMARK(BM_ReplaceExisting)->Arg(100)->Arg(10'000)->Unit(benchmark::kMillisecond);

// A 1 MB article against up to 100,000 keywords: the search's cost must not
// grow with the keyword count (the replacer is built once per run).
void BM_ReplaceExistingMegabyte(benchmark::State& state) {
    const std::vector<std::string> keywords =
        randomWords(static_cast<std::size_t>(state.range(0)), 1);
    std::string article;
    while (article.size() < 1024 * 1024)
        article += articleWith(keywords);
    Random random(2);
    KeywordSupply supply(random);
    supply.parseTemplates("<a href=\"https://example.com/\">*</a>|<strong>*</strong>");
    const ExistingKeywordReplacer replacer(keywords);
    for (auto _ : state)
        benchmark::DoNotOptimize(replacer.replace(article, keywords, supply, "T"));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * article.size()));
}
BENCHMARK(BM_ReplaceExistingMegabyte)
    ->Arg(100)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond);

// Building the search of a run: with 100,000 keywords it must stay a small
// part of a batch (at most 20 ms).
void BM_ReplaceExistingBuild(benchmark::State& state) {
    const std::vector<std::string> keywords =
        randomWords(static_cast<std::size_t>(state.range(0)), 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(ExistingKeywordReplacer(keywords));
}
BENCHMARK(BM_ReplaceExistingBuild)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

// A 1 MB text written in the keywords' own characters, a sentence end every
// twenty: most characters start some keyword and many pairs continue one, as
// in a batch whose keyword list was drawn from its articles.
void BM_ReplaceExistingOwnCharacters(benchmark::State& state) {
    const std::vector<std::string> keywords =
        randomWords(static_cast<std::size_t>(state.range(0)), 1);
    Random random(3);
    std::string text;
    while (text.size() < 1024 * 1024) {
        for (int c = 0; c < 20; ++c) {
            text += static_cast<char>(random.between(0xB0, 0xD7));
            text += static_cast<char>(random.between(0xA1, 0xF9));
        }
        text += test::G("。");
    }
    Random pick(2);
    KeywordSupply supply(pick);
    supply.parseTemplates("<a href=\"https://example.com/\">*</a>|<strong>*</strong>");
    const ExistingKeywordReplacer replacer(keywords);
    const ReplaceRules rules = ReplaceRules::windowDefaults();
    for (auto _ : state)
        benchmark::DoNotOptimize(replacer.replace(text, keywords, supply, "T", rules));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReplaceExistingOwnCharacters)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond);

// A 4 MB HTML page against 10,000 keywords, the replace panel's rules off
// (0), at the window's defaults (1: markup avoided, whole words) and all on
// (2: headings too, and both limits): the rules must keep the search one pass.
void BM_ReplaceExistingRules(benchmark::State& state) {
    const std::vector<std::string> keywords = randomWords(10'000, 1);
    std::string page;
    for (std::size_t i = 0; page.size() < 4 * 1024 * 1024; ++i) {
        const std::string& k = keywords[i % 100];
        page += "<p class=\"x\" title=\"" + k + "\">" + k + paragraph() + "<a href=\"/" +
                std::to_string(i) + "\">" + k + "</a>";
        if (i % 10 == 0) page += "<h2>" + k + "</h2><script>var k = '" + k + "';</script>";
        page += "</p>\r\n";
    }
    ReplaceRules rules;
    if (state.range(0) >= 1) rules = ReplaceRules::windowDefaults();
    if (state.range(0) >= 2) {
        rules.avoidHeadings = true;
        rules.perKeywordLimit = 3;
        rules.totalLimit = 50;
    }
    Random random(2);
    KeywordSupply supply(random);
    supply.parseTemplates("<a href=\"https://example.com/\">*</a>|<strong>*</strong>");
    const ExistingKeywordReplacer replacer(keywords);
    for (auto _ : state)
        benchmark::DoNotOptimize(replacer.replace(page, keywords, supply, "T", rules));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_ReplaceExistingRules)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The same with the search built for every article.
void BM_ReplaceExistingOneShot(benchmark::State& state) {
    const std::vector<std::string> keywords =
        randomWords(static_cast<std::size_t>(state.range(0)), 1);
    const std::string article = articleWith(keywords);
    Random random(2);
    KeywordSupply supply(random);
    supply.parseTemplates("<strong>*</strong>");
    for (auto _ : state)
        benchmark::DoNotOptimize(replaceExistingKeywords(article, keywords, keywords, supply, "T"));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * article.size()));
}
BENCHMARK(BM_ReplaceExistingOneShot)->Arg(100)->Arg(10'000)->Unit(benchmark::kMillisecond);

// Replace mode through the pipeline over a 1 MB article with 100,000
// keywords, alone (map 0) or as a link map (map 1: each keyword with its own
// address, filled in by #网址#, the article a page of the site whose own
// keyword occurs in it); limit: 编辑框每个网址最多链接. The run is prepared
// once; `whole` 1 times preparing it as well, as a batch of one article does.
void linkMapRun(benchmark::State& state, bool whole) {
    const bool map = state.range(0) != 0;
    const std::vector<std::string> words = randomWords(100'000, 1);
    std::string list;
    for (std::size_t i = 0; i < words.size(); ++i) {
        list += words[i];
        if (map) list += "\thttps://example.com/p/" + std::to_string(i) + ".html";
        list += "\r\n";
    }
    std::string article;
    while (article.size() < 1024 * 1024)
        article += articleWith(words);
    ArticleOptions options;
    options.mode = PipelineMode::ReplaceExisting;
    options.templates =
        map ? test::G("<a href=\"#网址#\">*</a>") : "<a href=\"https://example.com/\">*</a>";
    options.replace.perAddressLimit = static_cast<int>(state.range(1));
    options.siteAddress = "https://example.com/";
    const auto prepared = [&] {
        auto run = std::make_unique<ArticleRun>(2);
        run->prepare(options, loadKeywords(list));
        return run;
    };
    std::unique_ptr<ArticleRun> run = prepared();
    const auto once = [&](ArticleRun& r) {
        std::string title = "T";
        std::string content = article;
        ArticleReport report;
        processArticle(options, r, title, content, &report, "p/7.html");
        benchmark::DoNotOptimize(content);
    };
    once(*run);  // the first article of a run indexes the addresses
    for (auto _ : state) {
        if (whole) run = prepared();
        once(*run);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * article.size()));
}

void BM_LinkMapArticle(benchmark::State& state) {
    linkMapRun(state, false);
}
BENCHMARK(BM_LinkMapArticle)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

void BM_LinkMapRun(benchmark::State& state) {
    linkMapRun(state, true);
}
BENCHMARK(BM_LinkMapRun)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

void BM_ShuffleText(benchmark::State& state) {
    const std::string text = page(static_cast<std::size_t>(state.range(0)));
    const std::string symbols = test::G("。|！|!|，|,|？|?|\\n");
    Random random(3);
    for (auto _ : state)
        benchmark::DoNotOptimize(shuffleText(text, symbols, random));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ShuffleText)->Arg(1 << 20)->Arg(4 << 20)->Unit(benchmark::kMillisecond);

void BM_ReplaceByLists(benchmark::State& state) {
    const std::string text = page(static_cast<std::size_t>(state.range(0)));
    const std::string matches = test::G("原内容1|天气|公园|fox|标点符号");
    const std::string replacements = test::G("新内容1|气候|花园|cat|符号");
    for (auto _ : state)
        benchmark::DoNotOptimize(replaceByLists(text, matches, replacements, false, 0));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReplaceByLists)->Arg(1 << 20)->Arg(4 << 20)->Unit(benchmark::kMillisecond);

void BM_ConvertScript(benchmark::State& state) {
    const std::string text = page(static_cast<std::size_t>(state.range(0)));
    convertScript("", ScriptConversion::ToTraditional);  // the converter is built once per process
    for (auto _ : state)
        benchmark::DoNotOptimize(convertScript(text, ScriptConversion::ToTraditional));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ConvertScript)->Arg(100 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lct
