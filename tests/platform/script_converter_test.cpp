#include "platform/script_converter.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/charset.h"

namespace lct {
namespace {

// A stand-in for OpenCC with a phrase that changes the length: "ab" becomes
// "x"; single letters become upper case; "w" becomes two characters.
std::optional<std::string> fakeConvert(std::string_view piece) {
    std::string out;
    for (std::size_t i = 0; i < piece.size(); ++i) {
        if (piece.substr(i, 2) == "ab") {
            out += 'x';
            ++i;
        } else if (piece[i] == 'w') {
            out += "ww";
        } else if (piece[i] >= 'a' && piece[i] <= 'z') {
            out += static_cast<char>(piece[i] - 'a' + 'A');
        } else {
            out += piece[i];
        }
    }
    return out;
}

struct KeepCase {
    std::string in;
    std::string expected;
};

TEST(ConvertKeepingLength, FallsBackToSingleCharactersOnlyForTheLineThatChanged) {
    const std::vector<KeepCase> cases = {
        {"cd", "CD"},
        {"abc", "ABC"},        // "x" + "C" would be shorter: one character at a time
        {"ab\ncd", "AB\nCD"},  // the second line keeps its whole conversion
        {"cd\nab", "CD\nAB"},
        {"w", "w"},  // a character that would become two stays
        {"abz\r\nw", "ABZ\r\nw"},
        {"", ""},
    };
    for (const auto& c : cases) {
        const auto out = convertKeepingLength(c.in, fakeConvert);
        ASSERT_TRUE(out.has_value()) << c.in;
        EXPECT_EQ(*out, c.expected) << c.in;
        EXPECT_EQ(utf8Length(*out), utf8Length(c.in)) << c.in;
    }
}

TEST(ConvertKeepingLength, NulAndRawBytePointsNeverReachTheConverter) {
    const std::string rawFF = "\xF4\x8F\xBF\xBF";  // U+10FFFF: the byte 0xFF
    const std::string raw81 = "\xF4\x8F\xBE\x81";  // U+10FF81
    const std::string in = "a" + rawFF + rawFF + "b" + std::string(1, '\0') + "c" + raw81;
    std::vector<std::string> seen;
    const PieceConverter recorder = [&](std::string_view piece) {
        seen.emplace_back(piece);
        return fakeConvert(piece);
    };
    const auto out = convertKeepingLength(in, recorder);
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(*out, "A" + rawFF + rawFF + "B" + std::string(1, '\0') + "C" + raw81);
    for (const std::string& piece : seen) {
        EXPECT_EQ(piece.find('\0'), std::string::npos);
        EXPECT_EQ(piece.find("\xF4\x8F"), std::string::npos);
    }
}

TEST(ConvertKeepingLength, AFailingConverterFailsTheWhole) {
    const PieceConverter failing = [](std::string_view) { return std::optional<std::string>(); };
    EXPECT_FALSE(convertKeepingLength("abc", failing).has_value());
    EXPECT_TRUE(convertKeepingLength(std::string(1, '\0'), failing).has_value());
}

TEST(ScriptConverter, ConvertsBothWaysWithItsTables) {
    const ScriptConverter& t2s = scriptConverter(ScriptDirection::TraditionalToSimplified);
    const ScriptConverter& s2t = scriptConverter(ScriptDirection::SimplifiedToTraditional);
    ASSERT_TRUE(t2s.ok()) << t2s.error();
    ASSERT_TRUE(s2t.ok()) << s2t.error();
    EXPECT_EQ(t2s.matching(), ScriptMatching::Tables);
    EXPECT_EQ(s2t.matching(), ScriptMatching::Tables);
    EXPECT_EQ(t2s.convert("這是測試"), "这是测试");
    EXPECT_EQ(s2t.convert("这是测试"), "這是測試");
    EXPECT_EQ(s2t.convert("头发和发展"), "頭髮和發展");  // one character, two phrases
    EXPECT_EQ(&t2s, &scriptConverter(ScriptDirection::TraditionalToSimplified));
}

TEST(ScriptConverter, OpenccCallsAreKeptAsTheReference) {
    const ScriptConverter reference(ScriptDirection::SimplifiedToTraditional,
                                    ScriptMatching::OpenccCalls);
    ASSERT_TRUE(reference.ok()) << reference.error();
    EXPECT_EQ(reference.matching(), ScriptMatching::OpenccCalls);
    EXPECT_EQ(reference.convert("头发和发展"), "頭髮和發展");
}

TEST(ScriptConverter, MissingConfigurationIsReportedNotThrown) {
    for (ScriptMatching matching : {ScriptMatching::Tables, ScriptMatching::OpenccCalls}) {
        const ScriptConverter missing(std::string("no-such-config.json"), matching);
        EXPECT_FALSE(missing.ok());
        EXPECT_FALSE(missing.error().empty());
        std::string error;
        EXPECT_FALSE(missing.convert("這", &error).has_value());
        EXPECT_FALSE(error.empty());
    }
}

TEST(ScriptConverter, InvalidUtf8IsReportedNotThrown) {
    const ScriptConverter reference(ScriptDirection::TraditionalToSimplified,
                                    ScriptMatching::OpenccCalls);
    for (const ScriptConverter* converter :
         {&scriptConverter(ScriptDirection::TraditionalToSimplified), &reference}) {
        std::string error;
        EXPECT_FALSE(converter->convert("\xFF\xFE", &error).has_value());
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(converter->convert("ok", &error).has_value());
        EXPECT_TRUE(error.empty());
    }
    // The tables check every sequence, also cut ones, surrogates and
    // overlong forms.
    const ScriptConverter& t2s = scriptConverter(ScriptDirection::TraditionalToSimplified);
    for (const char* bad : {"\xE9\x80", "a\xE9", "\xED\xA0\x80", "\xC0\xAF", "\xF4\x90\x80\x80",
                            "\xF0\x9F\x98", "\x80", "這\xBF"})
        EXPECT_FALSE(t2s.convert(bad).has_value()) << bad;
}

TEST(ScriptConverter, DictionaryEntriesHoldPhrasesAndCharacters) {
    const auto entries = scriptDictionaryEntries(ScriptDirection::SimplifiedToTraditional);
    ASSERT_GT(entries.size(), 10000u);
    bool phrase = false;
    bool character = false;
    for (const auto& [key, value] : entries) {
        phrase = phrase || (key == "头发" && value == "頭髮");
        character = character || (key == "发" && value == "發");
    }
    EXPECT_TRUE(phrase);
    EXPECT_TRUE(character);
}

// Configurations written for a test: text dictionaries with phrases that
// change the length, keys of ASCII letters, a key of S of one character,
// several values, characters outside the BMP.
class ScriptConfigTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("lct-script-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
        write("phrases.txt",
              "ab\tx\n"           // one character shorter
              "ef\tEFG\n"         // one longer
              "cd\tCD\n"          // the same length
              "abc\tABC\n"        // longer than ab: the longest key wins
              "bcd\tBXD\n"        // overlaps the end of abc
              "中文\t中国文字\n"  // two longer
              "長短\t长\n"
              "q\tQ\n"       // a key of S of one character
              "qq\tQ1 Q2\n"  // several values: the first one counts
              "\U00020000z\t\U00020001Z\n");
        write("characters.txt",
              "a\tA\n"
              "b\tB\n"
              "w\tww\n"  // a character that would become two
              "文\t紋\n"
              "q\tnever\n"  // also a key of S, which wins
              "z\tZ Y\n"
              "\U00020000\t\U00020002\n");
        write("other.txt",
              "a\ta2\n"
              "e\tE\n");
        write("multi.txt",
              "a\tA\n"
              "wz\tWZ\n");  // a key of several characters that S lacks
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    void write(const std::string& name, const std::string& text) const {
        std::ofstream(folder_ / name, std::ios::binary) << text;
    }

    // A configuration: maximum match over `segmentation`, then one group of
    // `group` for each element of `chain`.
    std::string config(const std::string& segmentation,
                       const std::vector<std::vector<std::string>>& chain) const {
        auto dict = [](const std::string& file) {
            return R"({"type": "text", "file": ")" + file + R"("})";
        };
        std::string json = R"({"name": "test", "segmentation": {"type": "mmseg", "dict": )" +
                           dict(segmentation) + R"(}, "conversion_chain": [)";
        for (std::size_t i = 0; i < chain.size(); ++i) {
            if (i > 0) json += ", ";
            json += R"({"dict": {"type": "group", "dicts": [)";
            for (std::size_t j = 0; j < chain[i].size(); ++j)
                json += (j > 0 ? ", " : "") + dict(chain[i][j]);
            json += "]}}";
        }
        json += "]}";
        const std::string name = "config" + std::to_string(configs_++) + ".json";
        write(name, json);
        return (folder_ / name).string();
    }

    std::filesystem::path folder_;
    mutable int configs_ = 0;
};

// Random texts over the test dictionaries' characters, with line breaks, NUL
// and raw-byte points.
std::vector<std::string> randomTexts(std::size_t count, std::uint32_t seed) {
    const std::vector<std::string> alphabet = {"a",
                                               "b",
                                               "c",
                                               "d",
                                               "e",
                                               "f",
                                               "q",
                                               "w",
                                               "z",
                                               "中",
                                               "文",
                                               "長",
                                               "短",
                                               " ",
                                               "\r\n",
                                               "\n",
                                               std::string(1, '\0'),
                                               "\xF4\x8F\xBF\xBF",
                                               "\U00020000",
                                               "\U00020001"};
    std::mt19937 random(seed);
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < count; ++i) {
        std::string text;
        const std::size_t length = random() % 24;
        for (std::size_t j = 0; j < length; ++j)
            text += alphabet[random() % alphabet.size()];
        texts.push_back(text);
    }
    return texts;
}

void expectSameAsOpencc(const std::string& config, ScriptMatching expected) {
    const ScriptConverter tables(config);
    const ScriptConverter reference(config, ScriptMatching::OpenccCalls);
    ASSERT_TRUE(tables.ok()) << tables.error();
    ASSERT_TRUE(reference.ok()) << reference.error();
    EXPECT_EQ(tables.matching(), expected);
    for (const std::string& text : randomTexts(5000, 7)) {
        const auto got = tables.convert(text);
        ASSERT_TRUE(got.has_value()) << text;
        EXPECT_EQ(got, reference.convert(text)) << text;
        EXPECT_EQ(utf8Length(*got), utf8Length(text)) << text;
    }
}

TEST_F(ScriptConfigTest, TablesKeepTheLengthAsOpenccCallsDo) {
    const std::string shaped = config("phrases.txt", {{"phrases.txt", "characters.txt"}});
    const ScriptConverter tables(shaped);
    ASSERT_EQ(tables.matching(), ScriptMatching::Tables) << tables.error();
    const std::vector<KeepCase> cases = {
        {"cd", "CD"},
        {"abcd", "ABCd"},      // abc, then d
        {"abef", "xEFG"},      // shorter and longer: the line keeps its length
        {"ab\ncd", "AB\nCD"},  // the first line one character at a time
        {"ef cd", "ef cd"},    // EFG lengthens the line; alone, none of these converts
        {"qq", "Q1"},
        {"qqw", "QQw"},
        {"w\n中文", "w\n中紋"},
        {"abwab", "ABwAB"},
        {"ab" + std::string(1, '\0') + "ef", "AB" + std::string(1, '\0') + "ef"},
        {"\U00020000z", "\U00020001Z"},
        {"\U00020000", "\U00020002"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tables.convert(c.in), c.expected) << c.in;
}

TEST_F(ScriptConfigTest, TablesGiveWhatOpenccGivesForTheShapeOfS2t) {
    expectSameAsOpencc(config("phrases.txt", {{"phrases.txt", "characters.txt"}}),
                       ScriptMatching::Tables);
}

TEST_F(ScriptConfigTest, TablesFollowAGroupThatDoesNotStartWithTheSegments) {
    expectSameAsOpencc(config("phrases.txt", {{"characters.txt", "other.txt", "phrases.txt"}}),
                       ScriptMatching::Tables);
    expectSameAsOpencc(config("phrases.txt", {{"other.txt", "characters.txt"}}),
                       ScriptMatching::Tables);
}

TEST_F(ScriptConfigTest, OtherShapesAreLeftToOpencc) {
    // A conversion key of two characters that the segmentation lacks, and a
    // chain of two conversions.
    expectSameAsOpencc(config("phrases.txt", {{"phrases.txt", "multi.txt"}}),
                       ScriptMatching::OpenccCalls);
    expectSameAsOpencc(config("phrases.txt", {{"phrases.txt"}, {"characters.txt"}}),
                       ScriptMatching::OpenccCalls);
}

TEST(ScriptConverter, ConvertsFromTwoThreadsAtOnce) {
    const ScriptConverter& s2t = scriptConverter(ScriptDirection::SimplifiedToTraditional);
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "头发和发展，干燥以后，皇后在里面。<p>plain ASCII</p>\n";
    const auto expected = s2t.convert(text);
    ASSERT_TRUE(expected.has_value());
    std::vector<std::optional<std::string>> results(2);
    {
        std::vector<std::thread> threads;
        for (auto& result : results)
            threads.emplace_back([&] { result = s2t.convert(text); });
        for (auto& thread : threads)
            thread.join();
    }
    for (const auto& result : results)
        EXPECT_EQ(result, expected);
}

}  // namespace
}  // namespace lct
