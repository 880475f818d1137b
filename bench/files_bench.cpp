// The codec on article-sized and large files: detection and conversion must
// stay linear passes, and the LF handling must not copy more than once.
#include <benchmark/benchmark.h>

#include <string>

#include "files/meta_charset.h"
#include "files/text_encoding.h"
#include "files/text_file.h"

namespace lct {
namespace {

// About `bytes` of a UTF-8 web page with LF line breaks and no meta charset.
std::string utf8Page(std::size_t bytes) {
    const std::string paragraph =
        "<p>今天的天气很好，我们一起去公园散步。The quick brown fox jumps over the lazy dog!</p>\n";
    std::string out = "<html><head><title>标题</title><meta name=x></head><body>\n";
    while (out.size() < bytes)
        out += paragraph;
    return out;
}

void BM_LooksLikeUtf8(benchmark::State& state) {
    const std::string bytes = utf8Page(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(looksLikeUtf8(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_LooksLikeUtf8)->Arg(256 << 10)->Arg(4 << 20);

void BM_DetectMetaCharsetWithoutHead(benchmark::State& state) {
    std::string bytes = utf8Page(static_cast<std::size_t>(state.range(0)));
    bytes.erase(0, bytes.find("<body>"));
    for (auto _ : state)
        benchmark::DoNotOptimize(detectMetaCharset(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_DetectMetaCharsetWithoutHead)->Arg(256 << 10)->Arg(4 << 20);

void BM_DecodeAndEncodeUtf8(benchmark::State& state) {
    const std::string bytes = utf8Page(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        const TextFile file = decodeText(bytes, TextEncoding::Detect);
        benchmark::DoNotOptimize(encodeText(file.text, file.detected, file.lineBreaks));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_DecodeAndEncodeUtf8)->Arg(256 << 10)->Arg(4 << 20);

// A simplified-Chinese page as a Big5 result: most characters become
// references, each found by a set lookup.
void BM_Big5ResultOfASimplifiedPage(benchmark::State& state) {
    const TextFile page =
        decodeText(utf8Page(static_cast<std::size_t>(state.range(0))), TextEncoding::Detect);
    const ResultFormat big5{TextEncoding::Big5, page.lineBreaks, page.detected, false};
    std::string error;
    for (auto _ : state)
        benchmark::DoNotOptimize(resultBytes("a.htm", page.text, big5, error));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.text.size()));
}
BENCHMARK(BM_Big5ResultOfASimplifiedPage)->Arg(256 << 10)->Arg(4 << 20);

}  // namespace
}  // namespace lct
