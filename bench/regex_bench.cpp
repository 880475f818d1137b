// User regular expressions over page-sized subjects. Ordinary patterns must
// stay linear in the subject, whether they match often, rarely or never; a
// pattern whose search is quadratic over a page without whitespace must stop
// at the time budget of one replacement instead of running for minutes.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "gbk.h"
#include "regex/regex_object.h"

namespace lct {
namespace {

// About `bytes` of HTML: paragraphs of Chinese text and English words.
std::string page(std::size_t bytes) {
    const std::string paragraph =
        test::G(
            "<p class=\"c\">今天的天气很好，我们一起去公园散步。The quick brown fox jumps over "
            "the lazy dog! 中文与English混排，<a href=\"https://example.com/\">链接</a>。</p>") +
        "\r\n";
    std::string out;
    while (out.size() < bytes)
        out += paragraph;
    return out;
}

// Chinese text without any whitespace, about `bytes` of GBK.
std::string solidChinese(std::size_t bytes) {
    const std::string sentence = test::G("今天的天气很好我们一起去公园散步");
    std::string out;
    while (out.size() < bytes)
        out += sentence;
    return out;
}

const std::vector<const char*>& ordinaryPatterns() {
    static const std::vector<const char*> patterns = {
        R"(<[\s\S]+?>)",       // a match in every few characters
        R"((\S+)\s|<[^>]*>)",  // words and tags
        "English",             // a match per paragraph
        "zq[0-9]+",            // no match at all
    };
    return patterns;
}

// Arguments: the pattern's index in ordinaryPatterns(), bytes of page.
void BM_RegexReplaceOrdinary(benchmark::State& state) {
    const char* pattern = ordinaryPatterns()[static_cast<std::size_t>(state.range(0))];
    const std::string text = page(static_cast<std::size_t>(state.range(1)));
    RegexObject re;
    if (!re.create(pattern)) state.SkipWithError("the pattern does not compile");
    for (auto _ : state)
        benchmark::DoNotOptimize(re.replace(text, "[$&]"));
    if (re.runFailed()) state.SkipWithError("the replacement failed");
    state.SetLabel(pattern);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_RegexReplaceOrdinary)
    ->ArgsProduct({{0, 1, 2, 3}, {1 << 20, 4 << 20}})
    ->Unit(benchmark::kMillisecond);

// A search that is quadratic over a page without whitespace: every start
// position scans to the end of the page. With the default budget (2 s plus
// 1 s per MiB of UTF-8) it must stop soon after the budget, with the failure
// result, instead of running for minutes (400 KB) or about half an hour (2 MB).
void BM_RegexReplaceQuadratic(benchmark::State& state) {
    const std::string text = solidChinese(static_cast<std::size_t>(state.range(0)));
    RegexObject re;
    if (!re.create(R"((?:\S\S)+\s|<[^>]*>)")) state.SkipWithError("the pattern does not compile");
    for (auto _ : state)
        benchmark::DoNotOptimize(re.replace(text, "x"));
    state.SetLabel(re.runFailed() ? re.error() : "finished");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_RegexReplaceQuadratic)
    ->Arg(400 << 10)
    ->Arg(2200 << 10)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lct
