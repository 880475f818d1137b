// The tool windows' generators at the sizes a user asks for and at their
// limits: how long the window is busy before the result shows.
#include <benchmark/benchmark.h>

#include <climits>
#include <string>

#include "gbk.h"
#include "tools/random_text.h"
#include "tools/sequence_text.h"

namespace lct {
namespace {

// One group per iteration, from the 2,500-character table.
void BM_RandomChineseGroup(benchmark::State& state) {
    Random random(1);
    const std::string& table = characterTable(CharacterTable::Common);
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(randomChinese(random, n, table, false));
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_RandomChineseGroup)->Arg(5)->Arg(1000);

// Traditional conversion is the costly step of a Chinese group.
void BM_RandomChineseTraditional(benchmark::State& state) {
    Random random(1);
    const std::string& table = characterTable(CharacterTable::Common);
    for (auto _ : state)
        benchmark::DoNotOptimize(randomChinese(random, 5, table, true));
}
BENCHMARK(BM_RandomChineseTraditional);

SequenceOptions sequence(std::int64_t stop) {
    SequenceOptions o;
    o.stop = stop;
    o.itemTemplate = test::G("<序列>");
    o.separator = "\r\n";
    return o;
}

// Zero-padded numbers: the window's defaults up to `stop` (1,000,000 is the
// item limit, reached by any larger stop value).
void BM_SequenceNumbers(benchmark::State& state) {
    const SequenceOptions o = sequence(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(generateSequence(o));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SequenceNumbers)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// Capital Chinese money readings, the slowest item kind.
void BM_SequenceChineseMoney(benchmark::State& state) {
    SequenceOptions o = sequence(state.range(0));
    o.start = INT_MAX - state.range(0) + 1;
    o.stop = INT_MAX;
    o.upper = o.money = o.capital = true;
    for (auto _ : state)
        benchmark::DoNotOptimize(generateSequence(o));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SequenceChineseMoney)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lct
