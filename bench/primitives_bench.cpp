// The text primitives on page-sized inputs: each must stay a linear scan.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/chars.h"
#include "engine/patterns.h"
#include "engine/tag_guard.h"
#include "gbk.h"
#include "regex/regex_object.h"

namespace lct {
namespace {

// About `bytes` of HTML: paragraphs of Chinese text and English words, two
// tags per paragraph.
std::string page(std::size_t bytes) {
    const std::string paragraph =
        test::G(
            "<p class=\"c\">今天的天气很好，我们一起去公园散步。The quick brown fox jumps over "
            "the lazy dog! 中文与English混排，，标点符号也要处理。</p>") +
        "\r\n";
    std::string out;
    while (out.size() < bytes)
        out += paragraph;
    return out;
}

void BM_TagGuardProtectRestore(benchmark::State& state) {
    const std::string text = page(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        TagGuard guard;
        const std::string prot = guard.protect(text, TagGuard::shortPlaceholder());
        benchmark::DoNotOptimize(guard.restore(prot));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_TagGuardProtectRestore)->Arg(256 << 10)->Arg(1 << 20)->Arg(4 << 20);

void BM_CharCountAndFindAll(benchmark::State& state) {
    const std::string text = page(static_cast<std::size_t>(state.range(0)));
    const std::string comma = test::G("，");
    for (auto _ : state) {
        benchmark::DoNotOptimize(charCount(text));
        benchmark::DoNotOptimize(findAllChars(text, comma));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_CharCountAndFindAll)->Arg(256 << 10)->Arg(1 << 20)->Arg(4 << 20);

// The character walks one article of a batch takes, on 8 KB.
void BM_CharWalks(benchmark::State& state) {
    const std::string text = page(8 << 10);
    for (auto _ : state) {
        switch (state.range(0)) {
            case 0:
                benchmark::DoNotOptimize(charCount(text));
                break;
            case 1:
                benchmark::DoNotOptimize(CharIndex(text).count());
                break;
            default: {
                TagGuard guard;
                benchmark::DoNotOptimize(guard.protect(text, TagGuard::shortPlaceholder()));
            }
        }
    }
    state.SetLabel(state.range(0) == 0   ? "charCount"
                   : state.range(0) == 1 ? "CharIndex"
                                         : "protect");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_CharWalks)->Arg(0)->Arg(1)->Arg(2);

void BM_BlankLinePatternReplace(benchmark::State& state) {
    const std::string text = page(static_cast<std::size_t>(state.range(0)));
    RegexObject blank;
    if (!blank.create(blankLinePattern())) state.SkipWithError("the pattern does not compile");
    for (auto _ : state)
        benchmark::DoNotOptimize(blank.replace(text, ""));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_BlankLinePatternReplace)->Arg(256 << 10)->Arg(1 << 20)->Arg(4 << 20);

}  // namespace
}  // namespace lct
