// Script conversion of a 5 MB article by every direction of the conversion
// list, against Debian's `opencc` command with the chain of the same name, in
// one run: each round times both on the same text, taking turns at going
// first; the figures are the medians of the rounds and their spread. The
// article is HTML in simplified Chinese (dictionary phrases, common
// characters, punctuation, English words, tags); the directions from
// traditional take its form by the chain the other way (t2s the text s2t
// gives, tw2sp the one s2twp gives, and so on).
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "engine/script.h"
#include "platform/charset.h"
#include "platform/file_io.h"
#include "platform/script_converter.h"
#include "platform/script_data.h"
#include "platform/script_tables.h"

extern char** environ;

namespace lct {
namespace {
// UTF-8 HTML of about `bytes` once encoded in GBK, about a third of them
// ASCII.
std::string simplifiedArticle(std::size_t bytes) {
    std::vector<std::string> phrases;
    for (const auto& [key, value] :
         scriptDictionaryEntries(ScriptDirection::SimplifiedToTraditional))
        if (utf8Length(key) > 1) phrases.push_back(key);
    const std::string common =
        "的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工也能下"
        "过子说产种面而方后多定行学法所民得经十三之进着等部度家电力里如水化高自二理起小物现实加量都"
        "两"
        "体制机当使点从业本去把性好应开它合还因由其些然前外天政四日那社义事平形相全表间样与关各重新"
        "线"
        "内数正心反你明看原又么利比或但质气第向道命此变条只没结解问意建月公无系军很情者最立代想已通"
        "并"
        "提直题党程展五果料象员革位入常文总次品式活设及管特件长求老头基资边流路级少图山统接知较将组"
        "见"
        "计别她手角期根论运农指几九区强放决西被干做必战先回则任取据处队南给色光门即保治北造百规热领"
        "七"
        "海口东导器压志世金增争济阶油思术极交受联什认六共权收证改清己美再采转更单风切打白教速花带安"
        "场"
        "身车例真务具万每目至达走积示议声报斗完类八离华名确才科张信马节话米整空元况今集温传土许步群"
        "广"
        "石记需段研界拉林律叫且究观越织装影算低持音众书布复容儿须际商非验连断深难近矿千周委素技备半"
        "办"
        "青省列习响约支般史感劳便团往酸历市克何除消构府称太准精值号率族维划选标写存候毛亲快效斯院查"
        "江";
    std::vector<std::string> characters;
    for (std::size_t i = 0; i < common.size(); i += 3)
        characters.push_back(common.substr(i, 3));
    const std::vector<std::string> punctuation = {"，", "。", "、", "；", "：",
                                                  "“",  "”",  "！", "？"};
    const std::vector<std::string> words = {"the ",  "quick ", "brown ", "fox ", "HTML5 ",
                                            "2024 ", "Qt ",    "API ",   "OK "};
    std::mt19937 random(1);
    auto pick = [&](const std::vector<std::string>& from) -> const std::string& {
        return from[random() % from.size()];
    };
    std::string out = "<html><head><title>文章</title></head><body>\r\n";
    std::size_t gbkBytes = out.size();
    while (gbkBytes < bytes) {
        std::string paragraph = "<p class=\"text\">";
        const std::size_t tokens = 20 + random() % 60;
        for (std::size_t i = 0; i < tokens; ++i) {
            const std::size_t kind = random() % 100;
            if (kind < 40) {
                paragraph += pick(phrases);
            } else if (kind < 80) {
                paragraph += pick(characters);
            } else if (kind < 90) {
                paragraph += pick(punctuation);
            } else if (kind < 97) {
                paragraph += pick(words);
            } else {
                paragraph +=
                    "<a href=\"https://example.com/page?id=" + std::to_string(random() % 1000) +
                    "\">" + pick(phrases) + "</a>";
            }
        }
        paragraph += "</p>\r\n";
        // GBK takes two bytes where UTF-8 takes three, as many as UTF-8 for
        // the rest.
        gbkBytes +=
            paragraph.size() -
            static_cast<std::size_t>(std::count_if(paragraph.begin(), paragraph.end(), [](char c) {
                return (static_cast<unsigned char>(c) & 0xF0) == 0xE0;
            }));
        out += paragraph;
    }
    return out + "</body></html>\r\n";
}

struct Article {
    std::string gbk;
    std::string utf8;
};

Article articleOf(std::string gbk) {
    Article a;
    a.gbk = std::move(gbk);
    a.utf8 = gbkToUtf8(a.gbk, InvalidBytes::Preserve);
    return a;
}

const Article& simplified() {
    static const Article a = articleOf(utf8ToGbk(simplifiedArticle(5'000'000)));
    return a;
}

// The conversion list's directions, by their index in it (1 to 8).
ScriptConversion conversionOf(std::int64_t index) {
    return static_cast<ScriptConversion>(index);
}

std::string chainOf(ScriptConversion conversion) {
    return std::string(
        scriptChainName(static_cast<ScriptDirection>(static_cast<int>(conversion) - 1)));
}

// The text a direction converts: the simplified article, or for a direction
// from traditional the article by the chain the other way.
const Article& article(ScriptConversion conversion) {
    static std::array<Article, 9> articles;
    static const std::array<ScriptConversion, 9> source = {
        ScriptConversion::None,      ScriptConversion::ToTraditional,
        ScriptConversion::None,      ScriptConversion::None,
        ScriptConversion::None,      ScriptConversion::None,
        ScriptConversion::ToTaiwan,  ScriptConversion::ToTaiwanPhrases,
        ScriptConversion::ToHongKong};
    const auto index = static_cast<std::size_t>(conversion);
    if (source[index] == ScriptConversion::None) return simplified();
    if (articles[index].gbk.empty())
        articles[index] = articleOf(convertScript(simplified().gbk, source[index]));
    return articles[index];
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A folder of its own for the command's files, removed at the end.
class Scratch {
  public:
    Scratch() {
        std::string name = (std::filesystem::temp_directory_path() / "lct-opencc-XXXXXX").string();
        if (mkdtemp(name.data())) path_ = name;
    }
    ~Scratch() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

double cpuSeconds(const rusage& usage) {
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs `opencc -c CONFIG -i IN -o OUT` and gives the processor time it took;
// a negative value when it cannot run or fails.
double runOpencc(const std::string& config, const std::string& in, const std::string& out) {
    std::vector<std::string> words = {"opencc", "-c", config, "-i", in, "-o", out};
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "opencc", nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return -1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? cpuSeconds(usage) : -1;
}

// The processor time of this process so far.
double ownCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return cpuSeconds(usage);
}

// Argument: the direction's index in the conversion list. The reported time
// is the program's. The counters give both throughputs in MB/s of the GBK
// article (the same text for both) by the clock, and the median, lowest and
// highest ratio of the command's time to the program's, by the clock and by
// processor time (which other work on the machine disturbs less). The program
// converts as a preview or batch does, a GBK text through convertScript, its
// tables built before; the command reads the UTF-8 text from a file and
// writes its result to one, loading its dictionaries each time.
void BM_ScriptConversionAgainstOpenccCommand(benchmark::State& state) {
    const ScriptConversion conversion = conversionOf(state.range(0));
    const std::string chain = chainOf(conversion);
    const Article& text = article(conversion);
    state.SetLabel(chain);
    std::string error;
    convertScript("", conversion, &error);  // the tables are built once per process
    if (!error.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    const std::string config = "/usr/share/opencc/" + chain + ".json";
    const Scratch scratch;
    const std::string in = (scratch.path() / "in.txt").string();
    const std::string out = (scratch.path() / "out.txt").string();
    if (scratch.path().empty() || !writeFileAtomically(in, text.utf8) ||
        runOpencc(config, in, out) < 0) {
        state.SkipWithError(("the opencc command cannot convert with " + config).c_str());
        return;
    }
    struct Times {
        double clock;
        double cpu;
    };
    const auto ours = [&] {
        const double cpu = ownCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(convertScript(text.gbk, conversion));
        const std::chrono::duration<double> clock = std::chrono::steady_clock::now() - start;
        return Times{clock.count(), ownCpuSeconds() - cpu};
    };
    const auto theirs = [&] {
        const auto start = std::chrono::steady_clock::now();
        const double cpu = runOpencc(config, in, out);
        const std::chrono::duration<double> clock = std::chrono::steady_clock::now() - start;
        return Times{clock.count(), cpu};
    };
    std::vector<double> oursSeconds;
    std::vector<double> theirSeconds;
    std::vector<double> ratios;
    std::vector<double> cpuRatios;
    for (auto _ : state) {
        const bool oursFirst = oursSeconds.size() % 2 == 0;
        Times mine{};
        Times other{};
        if (oursFirst) {
            mine = ours();
            other = theirs();
        } else {
            other = theirs();
            mine = ours();
        }
        oursSeconds.push_back(mine.clock);
        theirSeconds.push_back(other.clock);
        ratios.push_back(other.clock / mine.clock);
        cpuRatios.push_back(other.cpu / std::max(mine.cpu, 1e-6));
        state.SetIterationTime(mine.clock);
    }
    const double megabytes = static_cast<double>(text.gbk.size()) / 1e6;
    state.counters["ours_MBps"] = megabytes / median(oursSeconds);
    state.counters["opencc_MBps"] = megabytes / median(theirSeconds);
    state.counters["ratio"] = median(ratios);
    state.counters["ratio_min"] = *std::min_element(ratios.begin(), ratios.end());
    state.counters["ratio_max"] = *std::max_element(ratios.begin(), ratios.end());
    state.counters["cpu_ratio"] = median(cpuRatios);
    state.counters["cpu_ratio_min"] = *std::min_element(cpuRatios.begin(), cpuRatios.end());
    state.counters["cpu_ratio_max"] = *std::max_element(cpuRatios.begin(), cpuRatios.end());
}
BENCHMARK(BM_ScriptConversionAgainstOpenccCommand)
    ->DenseRange(1, 8)
    ->UseManualTime()
    ->Iterations(9)
    ->Unit(benchmark::kMillisecond);

// Building a direction's tables from the carried data: what its first use
// costs a build that carries no table images.
void BM_ScriptTablesBuild(benchmark::State& state) {
    const auto direction = static_cast<ScriptDirection>(state.range(0) - 1);
    for (auto _ : state) {
        std::string why;
        const std::optional<ScriptChain> chain = scriptChain(direction, why);
        if (!chain || !ScriptTables::build(*chain, why)) state.SkipWithError(why.c_str());
    }
    state.SetLabel(std::string(scriptChainName(direction)));
}
BENCHMARK(BM_ScriptTablesBuild)->DenseRange(1, 8)->Unit(benchmark::kMillisecond);

// Taking a direction's tables from the image the build made: what its first
// use in a process costs now.
void BM_ScriptTablesFromImage(benchmark::State& state) {
    const auto direction = static_cast<ScriptDirection>(state.range(0) - 1);
    const std::optional<std::string_view> image = scriptTablesImage(scriptChainName(direction));
    if (!image) state.SkipWithError("this build carries no table images");
    for (auto _ : state)
        if (image)
            benchmark::DoNotOptimize(
                ScriptTables::fromImage(*image, ScriptTables::ImageOrigin::Build));
    state.SetLabel(std::string(scriptChainName(direction)) + ", " +
                   std::to_string(image ? image->size() / 1000 : 0) + " KB");
}
BENCHMARK(BM_ScriptTablesFromImage)->DenseRange(1, 8)->Unit(benchmark::kMillisecond);

// The same conversions in this process alone, as they run inside a batch
// (GBK in, GBK out), for profiling the converter without the command beside.
void BM_ScriptConversion(benchmark::State& state) {
    const ScriptConversion conversion = conversionOf(state.range(0));
    const Article& text = article(conversion);
    state.SetLabel(chainOf(conversion));
    for (auto _ : state) {
        std::string out;
        out.reserve(text.gbk.size());
        appendScript(text.gbk, conversion, out);
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.utf8.size()));
}
BENCHMARK(BM_ScriptConversion)->DenseRange(1, 8)->Unit(benchmark::kMillisecond);

// Charset conversion of the same 5 MB article between GB18030 and UTF-8 or
// UTF-16LE. Arguments: the direction (0 from GB18030, 1 to it), the form (0
// UTF-8, 1 UTF-16LE) and the route (0 along the two-byte tables, 1 ICU alone).
void BM_CharsetConversion(benchmark::State& state) {
    const bool decode = state.range(0) == 0;
    const char* form = state.range(1) == 0 ? "UTF-8" : "UTF-16LE";
    const std::string& gbk = simplified().gbk;
    static const std::string utf16 = convertCharset(gbk, "gb18030", "UTF-16LE").value_or("");
    const std::string& unicode = state.range(1) == 0 ? simplified().utf8 : utf16;
    useIcuOnly(state.range(2) == 1);
    for (auto _ : state) {
        const auto out = decode ? convertCharset(gbk, "gb18030", form)
                                : convertCharset(unicode, form, "gb18030");
        benchmark::DoNotOptimize(out);
    }
    useIcuOnly(false);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(decode ? gbk.size() : unicode.size()));
    state.SetLabel(std::string(decode ? "gb18030 to " : "to gb18030 from ") + form +
                   (state.range(2) == 0 ? ", tables" : ", ICU"));
}
BENCHMARK(BM_CharsetConversion)
    ->ArgsProduct({{0, 1}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// Big5 both ways on the 4 MB article in traditional characters: read into
// GB18030, and written exactly as a result is (references for what Big5
// lacks). Arguments: the direction (0 from Big5, 1 to it) and the route (0
// along the tables, 1 ICU alone).
void BM_Big5Conversion(benchmark::State& state) {
    const bool decode = state.range(0) == 0;
    const std::string& gbk = article(ScriptConversion::ToSimplified).gbk;
    Unencodable lost;
    static const std::string big5 =
        encodeGbkExactly(gbk, "Big5", UnencodableChars::Reference, lost).value_or("");
    useIcuOnly(state.range(1) == 1);
    for (auto _ : state) {
        const auto out = decode ? convertCharset(big5, "Big5", "gb18030")
                                : encodeGbkExactly(gbk, "Big5", UnencodableChars::Reference, lost);
        benchmark::DoNotOptimize(out);
    }
    useIcuOnly(false);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(decode ? big5.size() : gbk.size()));
    state.SetLabel(std::string(decode ? "Big5 to gb18030" : "gb18030 to Big5") +
                   (state.range(1) == 0 ? ", tables" : ", ICU"));
}
BENCHMARK(BM_Big5Conversion)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

// The byte-preserving decoding that the regex object and script conversion
// use, of a 1 MB text: 0 the 5 MB article's first megabyte (the two-byte
// tables), 1 the same after one invalid byte (ICU takes the rest, with the
// offsets that tell raw bytes from characters), 2 four-byte characters alone.
void BM_PreservingDecode(benchmark::State& state) {
    std::string text = simplified().gbk.substr(0, 1 << 20);
    if (state.range(0) == 1) text.insert(0, "\xFF");
    if (state.range(0) == 2) {
        text.clear();
        for (unsigned k = 0; text.size() < (1u << 20); ++k)  // U+10000 onwards
            text += std::string{'\x90', static_cast<char>(0x30 + k / 12600 % 10),
                                static_cast<char>(0x81 + k / 10 % 126),
                                static_cast<char>(0x30 + k % 10)};
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(gbkToUtf8(text, InvalidBytes::Preserve));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_PreservingDecode)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lct
