// Script conversion of a 4 MB article: the converter's own tables against
// OpenCC called once per line (the way of reference), in the same process.
// Each round times both on the same text, in alternating order; the figures
// are the medians of the rounds. The article is HTML in simplified Chinese
// (dictionary phrases, common characters, punctuation, English words, tags),
// and for the traditional direction its traditional form.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "engine/script.h"
#include "platform/charset.h"
#include "platform/script_converter.h"

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

const Article& article(ScriptDirection direction) {
    static const Article simplified = [] {
        Article a;
        a.gbk = utf8ToGbk(simplifiedArticle(4 << 20));
        a.utf8 = gbkToUtf8(a.gbk, InvalidBytes::Preserve);
        return a;
    }();
    static const Article traditional = [] {
        const ScriptConverter reference(ScriptDirection::SimplifiedToTraditional,
                                        ScriptMatching::OpenccCalls);
        Article a;
        a.gbk = convertScript(simplified.gbk, reference);
        a.utf8 = gbkToUtf8(a.gbk, InvalidBytes::Preserve);
        return a;
    }();
    return direction == ScriptDirection::SimplifiedToTraditional ? simplified : traditional;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Arguments: the direction (0 simplified to traditional, 1 the other way) and
// the edge (0 a GBK text through convertScript, as the program converts, with
// its charset conversions; 1 the UTF-8 text through the converter alone).
// The reported time is the tables'; the counters give both throughputs in MB/s
// of the input and the median ratio of OpenCC's time to the tables'.
void BM_ScriptConversionAgainstOpencc(benchmark::State& state) {
    const ScriptDirection direction = state.range(0) == 0
                                          ? ScriptDirection::SimplifiedToTraditional
                                          : ScriptDirection::TraditionalToSimplified;
    const bool throughGbk = state.range(1) == 0;
    const std::string& text = throughGbk ? article(direction).gbk : article(direction).utf8;
    const ScriptConverter& tables = scriptConverter(direction);
    const ScriptConverter reference(direction, ScriptMatching::OpenccCalls);
    if (tables.matching() != ScriptMatching::Tables || !reference.ok()) {
        state.SkipWithError("OpenCC's dictionaries are missing");
        return;
    }
    auto convert = [&](const ScriptConverter& converter) {
        return throughGbk ? convertScript(text, converter) : converter.convert(text).value_or("");
    };
    if (convert(tables) != convert(reference)) {
        state.SkipWithError("the tables and OpenCC disagree");
        return;
    }
    auto seconds = [&](const ScriptConverter& converter) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(convert(converter));
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    std::vector<double> tablesSeconds;
    std::vector<double> openccSeconds;
    std::vector<double> ratios;
    for (auto _ : state) {
        const bool tablesFirst = tablesSeconds.size() % 2 == 0;
        const double first = seconds(tablesFirst ? tables : reference);
        const double second = seconds(tablesFirst ? reference : tables);
        tablesSeconds.push_back(tablesFirst ? first : second);
        openccSeconds.push_back(tablesFirst ? second : first);
        ratios.push_back(openccSeconds.back() / tablesSeconds.back());
        state.SetIterationTime(tablesSeconds.back());
    }
    const double megabytes = static_cast<double>(text.size()) / 1e6;
    state.counters["tables_MBps"] = megabytes / median(tablesSeconds);
    state.counters["opencc_MBps"] = megabytes / median(openccSeconds);
    state.counters["ratio"] = median(ratios);
    state.SetLabel((state.range(0) == 0 ? "s2t " : "t2s ") +
                   std::string(throughGbk ? "GBK" : "UTF-8"));
}
BENCHMARK(BM_ScriptConversionAgainstOpencc)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->UseManualTime()
    ->Iterations(9)
    ->Unit(benchmark::kMillisecond);

// Building a converter: OpenCC loads the dictionaries, then the tables are
// built from them.
void BM_ScriptTablesBuild(benchmark::State& state) {
    const ScriptDirection direction = state.range(0) == 0
                                          ? ScriptDirection::SimplifiedToTraditional
                                          : ScriptDirection::TraditionalToSimplified;
    for (auto _ : state) {
        const ScriptConverter converter(direction);
        if (converter.matching() != ScriptMatching::Tables)
            state.SkipWithError(converter.error().c_str());
    }
    state.SetLabel(state.range(0) == 0 ? "s2t" : "t2s");
}
BENCHMARK(BM_ScriptTablesBuild)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same for OpenCC's converter alone.
void BM_OpenccConverterBuild(benchmark::State& state) {
    const ScriptDirection direction = state.range(0) == 0
                                          ? ScriptDirection::SimplifiedToTraditional
                                          : ScriptDirection::TraditionalToSimplified;
    for (auto _ : state) {
        const ScriptConverter converter(direction, ScriptMatching::OpenccCalls);
        if (!converter.ok()) state.SkipWithError(converter.error().c_str());
    }
    state.SetLabel(state.range(0) == 0 ? "s2t" : "t2s");
}
BENCHMARK(BM_OpenccConverterBuild)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Charset conversion of the same 4 MB article between GB18030 and UTF-8 or
// UTF-16LE. Arguments: the direction (0 from GB18030, 1 to it), the form (0
// UTF-8, 1 UTF-16LE) and the route (0 along the two-byte tables, 1 ICU alone).
void BM_CharsetConversion(benchmark::State& state) {
    const bool decode = state.range(0) == 0;
    const char* form = state.range(1) == 0 ? "UTF-8" : "UTF-16LE";
    const std::string& gbk = article(ScriptDirection::SimplifiedToTraditional).gbk;
    static const std::string utf16 = convertCharset(gbk, "gb18030", "UTF-16LE").value_or("");
    const std::string& unicode =
        state.range(1) == 0 ? article(ScriptDirection::SimplifiedToTraditional).utf8 : utf16;
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
    const std::string& gbk = article(ScriptDirection::TraditionalToSimplified).gbk;
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
// use, of a 1 MB text: 0 the 4 MB article's first megabyte (the two-byte
// tables), 1 the same after one invalid byte (ICU takes the rest, with the
// offsets that tell raw bytes from characters), 2 four-byte characters alone.
void BM_PreservingDecode(benchmark::State& state) {
    std::string text = article(ScriptDirection::SimplifiedToTraditional).gbk.substr(0, 1 << 20);
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
