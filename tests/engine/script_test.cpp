#include "engine/script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/chars.h"
#include "gbk.h"
#include "opencc_reference.h"
#include "platform/file_io.h"
#include "platform/json_reader.h"

namespace lct {
namespace {

using test::G;
using test::U;

TEST(ConvertScript, ConvertsTraditionalAndSimplifiedBothWays) {
    std::string error = "stale";
    EXPECT_EQ(U(convertScript(G("這是測試"), ScriptConversion::ToSimplified, &error)), "这是测试");
    EXPECT_EQ(error, "");
    EXPECT_EQ(U(convertScript(G("这是测试"), ScriptConversion::ToTraditional)), "這是測試");
}

TEST(ConvertScript, NoneLeavesTheTextAlone) {
    EXPECT_EQ(U(convertScript(G("這是测试"), ScriptConversion::None)), "這是测试");
}

TEST(ConvertScript, KeepsTheLengthInCharacters) {
    const std::vector<std::string> texts = {
        "头发和发展，干燥以后，皇后在里面。我们一起去公园散步，后来下雨了。\r\n",
        "頭髮和發展，乾燥以後，皇后在裡面。歷史上的鐘錶與鍾情。\r\n第二行",
        "台风、台湾、一台电脑。面条和面孔。",
    };
    for (const std::string& utf8 : texts) {
        const std::string text = G(utf8);
        for (ScriptConversion direction :
             {ScriptConversion::ToSimplified, ScriptConversion::ToTraditional}) {
            const std::string out = convertScript(text, direction);
            EXPECT_EQ(charCount(out), charCount(text))
                << utf8 << " " << static_cast<int>(direction);
        }
    }
}

TEST(ConvertScript, AsciiAndMarkupStayAsTheyAre) {
    const std::string text =
        G("<a href=\"http://example.com/?q=1&x=y\">這是</a> plain ASCII 123\r\n");
    EXPECT_EQ(U(convertScript(text, ScriptConversion::ToSimplified)),
              "<a href=\"http://example.com/?q=1&x=y\">这是</a> plain ASCII 123\r\n");
}

TEST(ConvertScript, RangesFollowTheirTextThroughLengthChanges) {
    struct Row {
        std::string in;
        CharacterSpans spans;
        std::string out;
        CharacterSpans moved;
    };
    const std::vector<Row> rows = {
        {"买U盘和鼠标", {{0, 1}, {4, 6}}, "買隨身碟和滑鼠", {{0, 1}, {5, 7}}},
        {"U盘", {{0, 1}, {1, 2}}, "隨身碟", {{0, 3}}},  // both in one phrase: one range
        {"出租车\r\n去U盘", {{3, 5}, {6, 7}}, "計程車\r\n去隨身碟", {{3, 5}, {6, 9}}},
        {"好", {{0, 0}, {1, 1}}, "好", {{0, 0}, {1, 1}}},
    };
    for (const Row& row : rows) {
        CharacterSpans spans = row.spans;
        EXPECT_EQ(U(convertScript(G(row.in), ScriptConversion::ToTaiwanPhrases, nullptr, &spans)),
                  row.out);
        EXPECT_EQ(spans, row.moved) << row.in;
    }
}

TEST(ConvertScript, BytesThatAreNotGbkSurvive) {
    // The tag guard's placeholders, a NUL, a stray 0x80 and a lone lead byte
    // at the end around characters that do convert.
    const std::string text = G("這") + std::string(10, '\xFF') + G("是") + std::string(1, '\0') +
                             G("測") + "\x80" + G("試") + "\xFF\xFF" + "\x81";
    const std::string expected = G("这") + std::string(10, '\xFF') + G("是") +
                                 std::string(1, '\0') + G("测") + "\x80" + G("试") + "\xFF\xFF" +
                                 "\x81";
    EXPECT_EQ(convertScript(text, ScriptConversion::ToSimplified), expected);
    EXPECT_EQ(charCount(convertScript(text, ScriptConversion::ToTraditional)), charCount(text));
}

TEST(ConvertScript, CharacterWithoutGbkCodeBecomesItsFourByteSequence) {
    // The traditional form of 毶 is U+23BF6, which GBK lacks.
    const std::string out = convertScript(G("毶"), ScriptConversion::ToTraditional);
    EXPECT_EQ(out, utf8ToGbk("\U00023BF6"));
    EXPECT_EQ(out.size(), 4u);
    EXPECT_EQ(out.find('?'), std::string::npos);
    EXPECT_EQ(charCount(out), 1);
    // Four-byte characters of the input pass through as they are.
    EXPECT_EQ(convertScript(utf8ToGbk("\U00020000這"), ScriptConversion::ToSimplified),
              utf8ToGbk("\U00020000这"));
}

TEST(ConvertScript, AConverterThatIsNotOkLeavesTheTextAndSaysWhy) {
    const ScriptConverter missing = ScriptConverter::fromFile("/no/such.json", ScriptLength::Kept);
    std::string error;
    EXPECT_EQ(convertScript(G("這是"), missing, &error), G("這是"));
    EXPECT_FALSE(error.empty());
}

// OpenCC's own test suite, through the engine's conversion for every
// direction of the list.
TEST(ConvertScript, PassesOpenccsTestSuite) {
    const std::optional<std::string> text = readWholeFile(LCT_OPENCC_TESTCASES);
    ASSERT_TRUE(text.has_value());
    std::string error;
    const std::optional<JsonValue> suite = parseJson(*text, &error);
    ASSERT_TRUE(suite && suite->find("cases")) << error;
    std::map<std::string_view, int> passed;
    for (const JsonValue& test : suite->find("cases")->items) {
        for (int i = 1; i <= static_cast<int>(ScriptConversion::Last); ++i) {
            const std::string_view chain = scriptChainName(static_cast<ScriptDirection>(i - 1));
            const std::string* expected = test.find("expected")->findString(chain);
            if (!expected) continue;
            const std::string got =
                U(convertScript(G(*test.findString("input")), static_cast<ScriptConversion>(i)));
            EXPECT_EQ(got, *expected) << *test.findString("id") << " " << chain;
            passed[chain] += got == *expected;
        }
    }
    const std::map<std::string_view, int> all = {{"s2t", 96},   {"t2s", 55},  {"s2tw", 65},
                                                 {"s2twp", 84}, {"s2hk", 51}, {"tw2s", 32},
                                                 {"tw2sp", 53}, {"hk2s", 21}};
    EXPECT_EQ(passed, all);
}

// A few MB of GBK text of every kind the program meets: phrases and
// characters of both directions' dictionaries in both scripts, pieces and
// near misses of phrases, common and rare hanzi, punctuation, markup, ASCII,
// line breaks, characters outside GBK and outside the BMP, and bytes that are
// not valid GBK (NUL, 0x80, 0xFF runs, lone lead bytes).
std::string mixedText(std::size_t bytes, std::uint32_t seed) {
    std::vector<std::string> words;
    for (int direction = 0; direction < kScriptDirections; ++direction) {
        for (const auto& [key, value] :
             scriptDictionaryEntries(static_cast<ScriptDirection>(direction))) {
            words.push_back(key);
            words.push_back(value);
        }
    }
    const std::vector<std::string> punctuation = {
        "，", "。", "！", "？", "、", "；", "：", "“", "”", "‘", "’", "（", "）", "《", "》",
        "…",  "—",  "·",  "　", ",",  ".",  "!",  "?", ";", ":", "(", ")",  "\"", "'"};
    const std::vector<std::string> markup = {"<p class=\"text\">",
                                             "</p>",
                                             "<a href=\"https://example.com/a?b=1&c=2\">",
                                             "</a>",
                                             "<strong>",
                                             "</strong>",
                                             "<br/>",
                                             "&nbsp;",
                                             "<img src=\"/i/1.png\" alt=\"图\">",
                                             "<!-- 注释 -->",
                                             "<h1 id=\"t\">"};
    const std::vector<std::string> ascii = {"The quick brown fox ",
                                            "jumps over the lazy dog",
                                            "2024",
                                            " ",
                                            "  ",
                                            "\t",
                                            "x86_64",
                                            "A-B",
                                            "100%"};
    const std::vector<std::string> raw = {
        std::string(1, '\0'), "\x80",    "\xFF", std::string(10, '\xFF'), "\x81",
        "\xFE\x7F",           "\x81\x30"};
    std::mt19937 random(seed);
    auto below = [&](std::uint32_t n) { return static_cast<std::uint32_t>(random() % n); };
    auto pick = [&](const std::vector<std::string>& from) -> const std::string& {
        return from[below(static_cast<std::uint32_t>(from.size()))];
    };
    auto codePoint = [](std::uint32_t cp) {
        std::string s;
        if (cp < 0x10000) {
            s += static_cast<char>(0xE0 | (cp >> 12));
        } else {
            s += static_cast<char>(0xF0 | (cp >> 18));
            s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        }
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
        return s;
    };
    std::string text;
    std::string utf8;  // waiting to be encoded: raw bytes are added in GBK
    while (text.size() + utf8.size() < bytes) {
        const std::uint32_t kind = below(100);
        if (kind < 40) {
            utf8 += pick(words);
        } else if (kind < 48) {
            // A phrase cut short or with its last character changed.
            const std::string& word = pick(words);
            const std::size_t cut = word.size() > 3 ? word.size() - 3 : word.size();
            utf8 += word.substr(0, cut);
            if (below(2)) utf8 += codePoint(0x4E00 + below(0x51A6));
        } else if (kind < 62) {
            utf8 += codePoint(0x4E00 + below(0x51A6));  // any hanzi of the main block
        } else if (kind < 72) {
            utf8 += pick(punctuation);
        } else if (kind < 78) {
            utf8 += pick(markup);
        } else if (kind < 90) {
            utf8 += pick(ascii);
        } else if (kind < 92) {
            utf8 += below(3) ? "\r\n" : "\n";
        } else if (kind < 96) {
            // Outside GBK: the BMP's newer hanzi, extension A, the planes above.
            const std::uint32_t which = below(3);
            utf8 += codePoint(which == 0   ? 0x9FA6 + below(0x50)
                              : which == 1 ? 0x3400 + below(0x19B6)
                                           : 0x20000 + below(0xA6E0));
        } else {
            text += utf8ToGbk(utf8);
            utf8.clear();
            text += pick(raw);
        }
    }
    return text + utf8ToGbk(utf8);
}

// Where two results first differ, with some text around it.
std::string firstDifference(const std::string& got, const std::string& expected) {
    const auto at = std::mismatch(got.begin(), got.end(), expected.begin(), expected.end());
    const std::size_t offset = static_cast<std::size_t>(at.first - got.begin());
    const std::size_t from = offset > 60 ? offset - 60 : 0;
    return "byte " + std::to_string(offset) + ": got \"" + U(got.substr(from, 120)) +
           "\", OpenCC gives \"" + U(expected.substr(from, 120)) + "\"";
}

// The tables against Debian's OpenCC, each chain with Debian's dictionaries.
TEST(ConvertScript, TablesGiveWhatOpenccGivesOnMegabytesOfMixedText) {
    // Debian's OpenCC predates keeping ideographic description sequences
    // whole: the text holds none of their operators (U+2FF0..U+2FFF).
    std::string utf8 = gbkToUtf8(mixedText(2 << 20, 2024), InvalidBytes::Preserve);
    for (std::size_t at = utf8.find("\xE2\xBF"); at != std::string::npos;
         at = utf8.find("\xE2\xBF", at))
        utf8.replace(at, 3, "x");
    const std::string text = utf8ToGbk(utf8);
    for (int i = 0; i < kScriptDirections; ++i) {
        const auto direction = static_cast<ScriptDirection>(i);
        const std::string name(scriptChainName(direction));
        const ScriptLength length = i < 2 ? ScriptLength::Kept : ScriptLength::Free;
        const test::OpenccReference reference(name + ".json", length);
        ASSERT_TRUE(reference.ok()) << reference.error();
        const ScriptConverter tables(reference.chain(), length);
        ASSERT_TRUE(tables.ok()) << tables.error();
        std::string error;
        const std::string got = convertScript(text, tables, &error);
        EXPECT_EQ(error, "");
        const std::string expected =
            utf8ToGbk(reference.convert(gbkToUtf8(text, InvalidBytes::Preserve)).value_or(""));
        EXPECT_NE(got, text) << name;  // the text does hold something to convert
        EXPECT_TRUE(got == expected) << name << " " << firstDifference(got, expected);
    }
}

}  // namespace
}  // namespace lct
