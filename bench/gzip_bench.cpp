// gzip both ways, zlib against libdeflate, on generated web pages of 8 KB,
// 100 KB and 4 MB: what gunzip and gzipCompress use must be the faster, and
// a result's size must stay within a few percent of zlib's default level
// (the counter "size" is the size over zlib's at its default level).
#include <benchmark/benchmark.h>
#include <libdeflate.h>

#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/gzip.h"
#include "platform/gzip_zlib.h"

namespace lct {
namespace {

// A GBK news page of about `bytes`: words of one to four common characters
// drawn with falling frequencies (as a language's are), sentences with
// punctuation, now and then a number, an English word or a link, in
// paragraphs, headings and a menu, so that it compresses as real pages do.
std::string page(std::size_t bytes) {
    std::mt19937 rng(static_cast<unsigned>(bytes));
    const auto below = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    };
    std::vector<std::string> words(3000);
    for (std::string& w : words) {
        for (std::size_t n = 1 + below(4); n > 0; --n) {
            w += static_cast<char>(0xB0 + below(40));
            w += static_cast<char>(0xA1 + below(94));
        }
    }
    // Word k comes with a weight of 1/(k + 1).
    std::vector<double> weights(words.size());
    for (std::size_t k = 0; k < weights.size(); ++k)
        weights[k] = 1.0 / static_cast<double>(k + 1);
    std::discrete_distribution<std::size_t> word(weights.begin(), weights.end());
    const char* const latin[] = {"GDP", "CEO", "App", "5G", "AI", "NBA", "iPhone", "WiFi"};
    const char* const stops[] = {"\xA3\xAC", "\xA1\xA3", "\xA3\xBF", "\xA3\xA1", "\xA1\xA2"};

    std::string out =
        "<!DOCTYPE html>\r\n<html><head><meta charset=\"gbk\"><title>\xD0\xC2\xCE\xC5</title>"
        "<link rel=\"stylesheet\" href=\"/static/css/main.css\"></head>\r\n<body>\r\n"
        "<div class=\"nav\"><a href=\"/\">\xCA\xD7\xD2\xB3</a> | <a href=\"/news/\">\xD0\xC2"
        "\xCE\xC5</a> | <a href=\"/sports/\">\xCC\xE5\xD3\xFD</a></div>\r\n";
    while (out.size() < bytes) {
        out += below(8) == 0 ? "<h2>" : "<p class=\"content\">";
        for (std::size_t sentence = 1 + below(5); sentence > 0; --sentence) {
            for (std::size_t n = 5 + below(20); n > 0; --n) {
                const std::size_t pick = below(40);
                if (pick == 0)
                    out += std::to_string(below(100000));
                else if (pick == 1)
                    out += latin[below(std::size(latin))];
                else if (pick == 2)
                    out += "<a href=\"https://news.example.com/a/" +
                           std::to_string(below(1000000)) + ".html\" target=\"_blank\">" +
                           words[word(rng)] + "</a>";
                else
                    out += words[word(rng)];
            }
            out += stops[below(std::size(stops))];
        }
        out += out.back() == '>' ? "</h2>\r\n" : "</p>\r\n";
    }
    return out + "<div class=\"footer\">Copyright 2024</div></body></html>\r\n";
}

const std::string& pageOf(const benchmark::State& state) {
    static std::map<std::int64_t, std::string> pages;
    auto [it, made] = pages.try_emplace(state.range(0));
    if (made) it->second = page(static_cast<std::size_t>(state.range(0)));
    return it->second;
}

void report(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

// Inflating: the input is what zlib's default level makes of the page.

void BM_GunzipLibdeflate(benchmark::State& state) {
    const std::string packed = gzipCompressWithZlib(pageOf(state)).value();
    for (auto _ : state)
        benchmark::DoNotOptimize(gunzip(packed));
    report(state, pageOf(state).size());
}

void BM_GunzipZlibOnce(benchmark::State& state) {
    const std::string packed = gzipCompressWithZlib(pageOf(state)).value();
    for (auto _ : state)
        benchmark::DoNotOptimize(gunzipWithZlib(packed));
    report(state, pageOf(state).size());
}

// zlib measuring first, then inflating into a string of the exact size.
void BM_GunzipZlibTwice(benchmark::State& state) {
    const std::string packed = gzipCompressWithZlib(pageOf(state)).value();
    for (auto _ : state) {
        std::size_t size = 0;
        (void)inflateGzipWithZlib(packed, kMaxGunzipBytes,
                                  [&](std::string_view block) { size += block.size(); });
        std::string out;
        out.reserve(size);
        (void)inflateGzipWithZlib(packed, kMaxGunzipBytes,
                                  [&](std::string_view block) { out += block; });
        benchmark::DoNotOptimize(out);
    }
    report(state, pageOf(state).size());
}

// Deflating: zlib and libdeflate at the level given as the second argument.

void BM_GzipZlib(benchmark::State& state) {
    const std::string& plain = pageOf(state);
    const auto level = static_cast<int>(state.range(1));
    const std::size_t reference = gzipCompressWithZlib(plain, 6)->size();
    std::size_t size = 0;
    for (auto _ : state)
        size = gzipCompressWithZlib(plain, level).value().size();
    state.counters["size"] = static_cast<double>(size) / static_cast<double>(reference);
    state.counters["ratio"] = static_cast<double>(size) / static_cast<double>(plain.size());
    report(state, plain.size());
}

struct CompressorFreer {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

void BM_GzipLibdeflate(benchmark::State& state) {
    const std::string& plain = pageOf(state);
    const auto level = static_cast<int>(state.range(1));
    const std::size_t reference = gzipCompressWithZlib(plain, 6)->size();
    std::size_t size = 0;
    for (auto _ : state) {
        // A compressor per text (gzipCompress keeps one per thread).
        const std::unique_ptr<libdeflate_compressor, CompressorFreer> c(
            libdeflate_alloc_compressor(level));
        std::string out(libdeflate_gzip_compress_bound(c.get(), plain.size()), '\0');
        size =
            libdeflate_gzip_compress(c.get(), plain.data(), plain.size(), out.data(), out.size());
        benchmark::DoNotOptimize(out);
    }
    state.counters["size"] = static_cast<double>(size) / static_cast<double>(reference);
    report(state, plain.size());
}

void BM_GzipCompress(benchmark::State& state) {
    const std::string& plain = pageOf(state);
    const std::size_t reference = gzipCompressWithZlib(plain, 6)->size();
    std::size_t size = 0;
    for (auto _ : state)
        size = gzipCompress(plain).value().size();
    state.counters["size"] = static_cast<double>(size) / static_cast<double>(reference);
    report(state, plain.size());
}

constexpr std::int64_t kSizes[] = {8 << 10, 100 << 10, 4 << 20};

void sizes(benchmark::internal::Benchmark* b) {
    for (const std::int64_t size : kSizes)
        b->Arg(size);
}

void sizesAndLevels(benchmark::internal::Benchmark* b, std::initializer_list<std::int64_t> levels) {
    for (const std::int64_t size : kSizes) {
        for (const std::int64_t level : levels)
            b->Args({size, level});
    }
}

BENCHMARK(BM_GunzipLibdeflate)->Apply(sizes);
BENCHMARK(BM_GunzipZlibOnce)->Apply(sizes);
BENCHMARK(BM_GunzipZlibTwice)->Apply(sizes);
BENCHMARK(BM_GzipZlib)->Apply([](auto* b) { sizesAndLevels(b, {1, 6}); });
BENCHMARK(BM_GzipLibdeflate)->Apply([](auto* b) { sizesAndLevels(b, {1, 2, 3, 4, 5, 6, 7, 9}); });
BENCHMARK(BM_GzipCompress)->Apply(sizes);

}  // namespace
}  // namespace lct
