// The settings engine on a 10 MB settings file: 1,000 reads or writes per
// iteration, within one section (the common pattern: a window restores or saves
// all its keys in one section), across sections, and at both ends of the file.
#include <benchmark/benchmark.h>

#include <string>

#include "settings/ini_document.h"
#include "settings/settings_support.h"

namespace lct {
namespace {

constexpr int kKeysPerSection = 20;
constexpr int kOperations = 1000;

struct BigSettings {
    BigSettings() {
        std::string text;
        while (text.size() < (10u << 20)) {
            text += (sections ? "\r\n[S" : "[S") + std::to_string(sections) + "]";
            for (int k = 0; k < kKeysPerSection; ++k)
                text += "\r\nkey" + std::to_string(k) + "=value " + std::to_string(k);
            ++sections;
        }
        path = folder / "big.ini";
        test::writeFile(path, text);
    }
    std::string section(int i) const { return "S" + std::to_string(i); }

    test::TempFolder folder;
    std::string path;
    int sections = 0;
};

const BigSettings& bigSettings() {
    static const BigSettings settings;
    return settings;
}

// Opens the big settings file for `doc`; false, with the benchmark marked as
// skipped, when it cannot.
bool openBig(IniDocument& doc, benchmark::State& state) {
    if (doc.open(bigSettings().path)) return true;
    state.SkipWithError("the settings file cannot be opened");
    return false;
}

// Marks the benchmark as failed when a write did not reach the document and file.
void check(bool written, benchmark::State& state) {
    if (!written) state.SkipWithError("a write failed");
}

void BM_ReadsInOneSection(benchmark::State& state) {
    const BigSettings& big = bigSettings();
    IniDocument doc;
    if (!openBig(doc, state)) return;
    const std::string section = big.section(big.sections / 2);
    for (auto _ : state) {
        for (int i = 0; i < kOperations; ++i)
            benchmark::DoNotOptimize(
                doc.readKey(section, "key" + std::to_string(i % kKeysPerSection), ""));
    }
}
BENCHMARK(BM_ReadsInOneSection)->Unit(benchmark::kMillisecond);

void BM_ReadsAcrossSections(benchmark::State& state) {
    const BigSettings& big = bigSettings();
    IniDocument doc;
    if (!openBig(doc, state)) return;
    for (auto _ : state) {
        for (int i = 0; i < kOperations; ++i) {
            const int s = (i * 7919) % big.sections;
            benchmark::DoNotOptimize(doc.readKey(big.section(s), "key3", ""));
        }
    }
}
BENCHMARK(BM_ReadsAcrossSections)->Unit(benchmark::kMillisecond);

void BM_SameLengthWritesInOneSection(benchmark::State& state) {
    const BigSettings& big = bigSettings();
    IniDocument doc;
    if (!openBig(doc, state)) return;
    const std::string section = big.section(big.sections / 2);
    int round = 0;
    for (auto _ : state) {
        // One save, as a window saves: every write changes its value (one
        // digit), and the file is replaced once at the end.
        doc.beginSave();
        for (int i = 0; i < kOperations; ++i)
            check(doc.writeKey(section, "key" + std::to_string(i % kKeysPerSection),
                               "value " + std::to_string((i / kKeysPerSection + round) % 10)) ==
                      KeyWrite::Written,
                  state);
        check(doc.finishSave(), state);
        ++round;
    }
}
BENCHMARK(BM_SameLengthWritesInOneSection)->Unit(benchmark::kMillisecond);

// A single write outside a save: the whole file is written, flushed and renamed.
void BM_OneWriteReplacesTheFile(benchmark::State& state) {
    const BigSettings& big = bigSettings();
    IniDocument doc;
    if (!openBig(doc, state)) return;
    const std::string section = big.section(big.sections / 2);
    int round = 0;
    for (auto _ : state)
        check(doc.writeKey(section, "key1", "value " + std::to_string(round++ % 10)) ==
                  KeyWrite::Written,
              state);
}
BENCHMARK(BM_OneWriteReplacesTheFile)->Unit(benchmark::kMillisecond);

// Values that change length move everything after them in memory; the file is
// replaced once per save.
void BM_ChangingLengthWrites(benchmark::State& state) {
    const BigSettings& big = bigSettings();
    IniDocument doc;
    if (!openBig(doc, state)) return;
    const std::string section =
        big.section(static_cast<int>(state.range(0)) == 0 ? 0 : big.sections - 1);
    for (auto _ : state) {
        doc.beginSave();
        for (int i = 0; i < kOperations; ++i)
            check(doc.writeKey(section, "key" + std::to_string(i % kKeysPerSection),
                               std::string(static_cast<std::size_t>(i % 13), 'v')) ==
                      KeyWrite::Written,
                  state);
        check(doc.finishSave(), state);
    }
    state.SetLabel(state.range(0) == 0 ? "first section" : "last section");
}
BENCHMARK(BM_ChangingLengthWrites)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace lct
