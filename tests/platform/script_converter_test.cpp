#include "platform/script_converter.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "opencc_reference.h"
#include "platform/charset.h"
#include "platform/script_data.h"
#include "platform/script_tables.h"

namespace lct {
namespace {

struct DirectionCase {
    ScriptDirection direction;
    std::string in;
    std::string expected;
};

TEST(ScriptConverter, ConvertsEveryDirection) {
    using D = ScriptDirection;
    const std::vector<DirectionCase> cases = {
        {D::TraditionalToSimplified, "這是測試", "这是测试"},
        {D::SimplifiedToTraditional, "头发和发展", "頭髮和發展"},  // one character, two phrases
        {D::SimplifiedToTaiwan, "着想里面", "著想裡面"},
        {D::SimplifiedToTaiwanPhrases, "鼠标和软件，U盘，出租车", "滑鼠和軟體，隨身碟，計程車"},
        {D::SimplifiedToHongKong, "着想里面", "着想裏面"},
        {D::TaiwanToSimplified, "裡面的軟體", "里面的软体"},
        {D::TaiwanPhrasesToSimplified, "滑鼠和軟體，隨身碟", "鼠标和软件，U盘"},
        {D::HongKongToSimplified, "裏面", "里面"},
        // Compatibility ideographs are read as the characters they stand for.
        {D::SimplifiedToTraditional, "\uF9B5发", "例發"},
        // A description sequence stays whole, here up to its line end.
        {D::SimplifiedToTraditional, "⿰发发\n发⿱\n发", "⿰发发\n發⿱\n發"},
    };
    for (const auto& c : cases) {
        const ScriptConverter& converter = scriptConverter(c.direction);
        ASSERT_TRUE(converter.ok()) << converter.error();
        EXPECT_EQ(converter.convert(c.in), c.expected) << scriptChainName(c.direction);
        EXPECT_EQ(&converter, &scriptConverter(c.direction));
    }
}

TEST(ScriptConverter, OffsetsTellWhereEachPieceWent) {
    ScriptOffsets offsets;
    const ScriptConverter& s2twp = scriptConverter(ScriptDirection::SimplifiedToTaiwanPhrases);
    EXPECT_EQ(s2twp.convert("买U盘\n和软件", nullptr, &offsets), "買隨身碟\n和軟體");
    EXPECT_EQ(offsets, (ScriptOffsets{{0, 0}, {1, 1}, {3, 4}, {4, 5}, {5, 6}, {7, 8}}));
    const ScriptConverter& s2t = scriptConverter(ScriptDirection::SimplifiedToTraditional);
    EXPECT_EQ(s2t.convert("头发", nullptr, &offsets), "頭髮");
    EXPECT_EQ(offsets, (ScriptOffsets{{0, 0}, {1, 1}, {2, 2}}));
}

TEST(ScriptConverter, ChainsThatCannotBeReadAreReportedNotThrown) {
    const ScriptConverter missing = ScriptConverter::fromFile("/no/such.json", ScriptLength::Kept);
    EXPECT_FALSE(missing.ok());
    std::string error;
    EXPECT_FALSE(missing.convert("這", &error).has_value());
    EXPECT_FALSE(error.empty());
    const ScriptFileSource files = [](const std::string& name) -> std::optional<std::string> {
        if (name == "a.txt") return "a\tb\n";
        if (name == "bad.txt") return "no tab here\n";
        return std::nullopt;
    };
    for (const char* config : {
             R"({"conversion_chain": [{"dict": {"type": "text", "file": "a.txt"}}]})",
             R"({"conversion_chain": [{"dict": {"type": "ocd2", "file": "a.ocd2"}}],})",
         }) {
        EXPECT_TRUE(readScriptChain(config, files, error).has_value()) << config << error;
    }
    for (const char* config : {
             "not json",
             R"({"segmentation": {"type": "mmseg"}, "conversion_chain": []})",
             R"({"conversion_chain": [{"dict": {"type": "text", "file": "none.txt"}}]})",
             R"({"conversion_chain": [{"dict": {"type": "text", "file": "bad.txt"}}]})",
             R"({"conversion_chain": [{"dict": {"type": "marisa", "file": "a.txt"}}]})",
             R"({"segmentation": {"type": "plugin", "dict": {"type": "text", "file": "a.txt"}},
                 "conversion_chain": []})",
         }) {
        error.clear();
        EXPECT_FALSE(readScriptChain(config, files, error).has_value()) << config;
        EXPECT_FALSE(error.empty()) << config;
    }
}

TEST(ScriptConverter, InvalidUtf8IsReportedNotThrown) {
    const ScriptConverter& t2s = scriptConverter(ScriptDirection::TraditionalToSimplified);
    std::string error;
    EXPECT_FALSE(t2s.convert("\xFF\xFE", &error).has_value());
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(t2s.convert("ok", &error).has_value());
    EXPECT_TRUE(error.empty());
    // Every sequence is checked, also cut ones, surrogates and overlong forms.
    for (const char* bad : {"\xE9\x80", "a\xE9", "\xED\xA0\x80", "\xC0\xAF", "\xF4\x90\x80\x80",
                            "\xF0\x9F\x98", "\x80", "這\xBF", "\xEF\xA6"})
        EXPECT_FALSE(t2s.convert(bad).has_value()) << bad;
}

// The tables the build carries are those that building them now gives, and
// they read back as they were written.
TEST(ScriptTablesImage, TheBuildCarriesTheTablesOfEveryDirection) {
    for (int d = 0; d < kScriptDirections; ++d) {
        const std::string_view name = scriptChainName(static_cast<ScriptDirection>(d));
        const std::optional<std::string_view> carried = scriptTablesImage(name);
        if (!carried) GTEST_SKIP() << "this build builds its tables on first use";
        std::string why;
        const std::optional<ScriptChain> chain = carriedScriptChain(name, why);
        ASSERT_TRUE(chain) << why;
        const auto built = ScriptTables::build(*chain, why);
        ASSERT_TRUE(built) << why;
        EXPECT_TRUE(built->image() == *carried) << name;
        for (const auto origin :
             {ScriptTables::ImageOrigin::Unknown, ScriptTables::ImageOrigin::Build}) {
            const auto read = ScriptTables::fromImage(*carried, origin);  // copied, or in place
            ASSERT_TRUE(read) << name;
            EXPECT_TRUE(read->image() == *carried) << name;
        }
    }
}

TEST(ScriptTablesImage, DamagedImagesAreRefusedOrStayInBounds) {
    std::string why;
    const auto tables = ScriptTables::build(*carriedScriptChain("s2twp", why), why);
    ASSERT_TRUE(tables) << why;
    const std::string image = tables->image();
    for (std::size_t cut = 0; cut < image.size(); cut += image.size() / 13 + 1)
        EXPECT_FALSE(ScriptTables::fromImage(image.substr(0, cut))) << cut;
    EXPECT_FALSE(ScriptTables::fromImage(image + '\0'));
    for (const std::size_t at : {std::size_t{0}, std::size_t{20}}) {  // the name, the layout
        std::string changed = image;
        changed[at] ^= 0x40;
        EXPECT_FALSE(ScriptTables::fromImage(changed)) << at;
    }
    // A damaged index is refused; damaged text only changes what comes out.
    std::mt19937 random(5);
    int refused = 0;
    for (int i = 0; i < 60; ++i) {
        std::string changed = image;
        changed[random() % changed.size()] = static_cast<char>(0x80 | random());
        const auto damaged = ScriptTables::fromImage(changed);
        std::string out;
        if (damaged) damaged->convert("鼠标和软件，U盘，出租车𠀾\n头发", out, false, nullptr);
        refused += damaged == nullptr;
    }
    EXPECT_GT(refused, 0);
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
              "e\tE\n"
              "ww\tW\n"
              "BX\tbx\n");
        write("multi.txt",
              "a\tA\n"
              "q\tM\n"
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
                                               "B",
                                               "X",
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

TEST_F(ScriptConfigTest, TablesKeepTheLengthAsOpenccCallsDo) {
    const ScriptConverter tables = ScriptConverter::fromFile(
        config("phrases.txt", {{"phrases.txt", "characters.txt"}}), ScriptLength::Kept);
    ASSERT_TRUE(tables.ok()) << tables.error();
    const std::vector<DirectionCase> cases = {
        {{}, "cd", "CD"},
        {{}, "abcd", "ABCd"},      // abc, then d
        {{}, "abef", "xEFG"},      // shorter and longer: the line keeps its length
        {{}, "ab\ncd", "AB\nCD"},  // the first line one character at a time
        {{}, "ef cd", "ef cd"},    // EFG lengthens the line; alone, none of these converts
        {{}, "qq", "Q1"},
        {{}, "qqw", "QQw"},
        {{}, "w\n中文", "w\n中紋"},
        {{}, "abwab", "ABwAB"},
        {{}, "ab" + std::string(1, '\0') + "ef", "AB" + std::string(1, '\0') + "ef"},
        {{}, "\U00020000z", "\U00020001Z"},
        {{}, "\U00020000", "\U00020002"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tables.convert(c.in), c.expected) << c.in;
}

// Every shape of chain, against Debian's OpenCC on the same configuration:
// groups in any order, conversion keys that the segmentation lacks, chains of
// several conversions, both with and without the length kept.
TEST_F(ScriptConfigTest, TablesGiveWhatOpenccGives) {
    const std::vector<std::vector<std::vector<std::string>>> chains = {
        {{"phrases.txt", "characters.txt"}},
        {{"characters.txt", "other.txt", "phrases.txt"}},
        {{"other.txt", "characters.txt"}},
        {{"phrases.txt", "multi.txt"}},
        {{"phrases.txt"}, {"characters.txt"}},
        {{"phrases.txt", "characters.txt"}, {"other.txt"}, {"multi.txt", "phrases.txt"}},
        {{"multi.txt", "characters.txt"}, {"other.txt", "characters.txt"}},
    };
    const std::vector<std::string> texts = randomTexts(3000, 7);
    for (const auto& chain : chains) {
        for (ScriptLength length : {ScriptLength::Kept, ScriptLength::Free}) {
            const std::string path = config("phrases.txt", chain);
            const ScriptConverter tables = ScriptConverter::fromFile(path, length);
            const test::OpenccReference reference(path, length);
            ASSERT_TRUE(tables.ok()) << tables.error();
            ASSERT_TRUE(reference.ok()) << reference.error();
            for (const std::string& text : texts) {
                const auto got = tables.convert(text);
                ASSERT_TRUE(got.has_value()) << text;
                EXPECT_EQ(got, reference.convert(text)) << path << " " << text;
                if (length == ScriptLength::Kept) {
                    EXPECT_EQ(utf8Length(*got), utf8Length(text));
                }
            }
        }
    }
}

// What Debian's OpenCC cannot take: a chain without segmentation, union
// groups, a normalization.
TEST_F(ScriptConfigTest, NewerShapesOfChains) {
    write("norm.txt", "x\ta\n");
    write("union.json", R"({"normalization": [{"dict": {"type": "text", "file": "norm.txt"}}],
        "conversion_chain": [{"dict": {"type": "group", "dicts": [
            {"type": "group", "match_policy": "union",
             "dicts": [{"type": "text", "file": "multi.txt"}, {"type": "text", "file": "phrases.txt"}]},
            {"type": "text", "file": "characters.txt"}]}}]})");
    const ScriptConverter tables =
        ScriptConverter::fromFile((folder_ / "union.json").string(), ScriptLength::Free);
    ASSERT_TRUE(tables.ok()) << tables.error();
    // x is read as a; then the union's longest key (abc, ab, a, qq), the first
    // of its dictionaries on a tie (q), and the characters where it has none.
    EXPECT_EQ(tables.convert("xbcd ab a q qq wz z"), "ABCd x A M Q1 WZ Z");
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
