#include "engine/chars.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gbk.h"

namespace lct {
namespace {

using test::G;

// A GBK character whose trail byte is 0x5C '\': 癨 is not needed; any lead
// byte followed by 0x5C forms one character in the model.
const std::string kTrailBackslash = "\x81\x5C";
const std::string kTrailPipe = "\x81\x7C";
const std::string kTrailGreater = "\x81\x3E";  // not valid GBK, still one character
const std::string kTrailLetterA = "\x81\x41";

struct CountCase {
    std::string text;
    CountMode mode;
    int expected;
};

TEST(CharCount, CountsByTheCharacterModel) {
    const std::vector<CountCase> cases = {
        {"", CountMode::Characters, 0},
        {"\r\n", CountMode::Characters, 1},
        {"\r", CountMode::Characters, 1},
        {"\n\n", CountMode::Characters, 2},
        {"\n\r", CountMode::Characters, 2},
        {G("ab中") + "\r\n" + G("文"), CountMode::Characters, 5},
        {kTrailLetterA, CountMode::Characters, 1},
        {"a\x81", CountMode::Characters, 2},                 // lone lead byte at the end
        {std::string("a\0b", 3), CountMode::Characters, 3},  // NUL is a character
        {"\x81\x30\x81\x30z", CountMode::Characters, 2},     // four-byte sequence
        {"\x81\x30z", CountMode::Characters, 2},             // lead + digit, no four-byte form
        {"\xFF\xFF", CountMode::Characters, 1},
        {"a\r\nb\rc\n", CountMode::NoLineBreaks, 3},
        {"a\r\nb\rc\n", CountMode::Bytes, 7},
        {G("中") + "\r\n", CountMode::Bytes, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(charCount(c.text, c.mode), c.expected) << test::U(c.text);
}

struct FindCase {
    std::string text;
    std::string pattern;
    int start;
    bool caseSensitive;
    int expected;
};

TEST(FindChars, FindsAtCharacterBoundariesOnly) {
    const std::vector<FindCase> cases = {
        {"abcabc", "bc", 1, false, 2},
        {"abcabc", "bc", 3, false, 5},
        {"abcabc", "bc", 0, false, 2},  // start 0 means 1
        {"abcabc", "bc", -5, false, 2},
        {"abcabc", "bc", 6, false, -1},
        {"abcabc", "bc", 99, false, -1},
        {"abc", "", 1, false, -1},
        {"", "a", 1, false, -1},
        {"aBc", "Bc", 1, true, 2},
        {"abc", "BC", 1, false, 2},
        {"abc", "BC", 1, true, -1},
        {G("中文") + "\r\n" + G("文"), G("文"), 1, false, 2},
        {G("中文") + "\r\n" + G("文"), G("文"), 3, false, 4},
        {G("中文") + "\r\n" + G("文"), "\n", 1, false, -1},  // inside the CR LF character
        {G("中文") + "\r\n" + G("文"), "\r\n", 1, false, 3},
        {"a\r\nb\r", "\r", 1, true, 4},  // a CR never matches half a CR LF
        {"a\r\nb\r", "\r", 1, false, 4},
        {G("中文"), "\xD6", 1, true, -1},            // nor a lead byte half a character
        {kTrailBackslash + "\\", "\\", 1, true, 2},  // trail byte 0x5C is no match
        {kTrailPipe + "|", "|", 1, false, 2},
        {kTrailLetterA + "a", "a", 1, false, 2},  // trail 'A' never folds
        {kTrailLetterA + "A", "A", 1, true, 2},
        {"x" + kTrailGreater + ">", ">", 1, true, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(findChars(c.text, c.pattern, c.start, c.caseSensitive), c.expected)
            << test::U(c.text) << " / " << test::U(c.pattern) << " from " << c.start;
    }
}

TEST(FindChars, PositionsCountInTheRequestedMode) {
    const std::string text = "a\r\nb";
    EXPECT_EQ(findChars(text, "b", 1, false, CountMode::Characters), 3);
    EXPECT_EQ(findChars(text, "b", 1, false, CountMode::NoLineBreaks), 2);
    EXPECT_EQ(findChars(text, "b", 1, false, CountMode::Bytes), 4);
}

TEST(FindCharsBackward, FindsTheLastOccurrenceAtOrBeforeStart) {
    const std::string text = "a b c";
    EXPECT_EQ(findCharsBackward(text, " ", 5), 4);
    EXPECT_EQ(findCharsBackward(text, " ", 4), 4);
    EXPECT_EQ(findCharsBackward(text, " ", 3), 2);
    EXPECT_EQ(findCharsBackward(text, " ", 1), -1);
    EXPECT_EQ(findCharsBackward(text, " ", 0), -1);
    EXPECT_EQ(findCharsBackward(text, "", 5), -1);
    EXPECT_EQ(findCharsBackward(G("甲 乙 丙"), " ", 99), 4);
}

TEST(FindAllChars, EachSearchStartsOneCharacterAfterTheLastHit) {
    EXPECT_EQ(findAllChars("aaa", "aa"), (std::vector<int>{1, 2}));
    EXPECT_EQ(findAllChars(G("甲，乙，") + "\r\n", G("，")), (std::vector<int>{2, 4}));
    EXPECT_EQ(findAllChars("AbAB", "ab"), (std::vector<int>{1, 3}));
    EXPECT_EQ(findAllChars("AbAB", "ab", true), (std::vector<int>{}));
    EXPECT_TRUE(findAllChars("abc", "").empty());
}

struct MidCase {
    std::string text;
    int start;
    int count;
    std::string expected;
};

TEST(MidChars, CutsByCharacters) {
    const std::string text = G("ab中") + "\r\n" + G("文");
    const std::vector<MidCase> cases = {
        {text, 1, 2, "ab"},
        {text, 3, 1, G("中")},
        {text, 4, 1, "\r\n"},  // CR LF never split
        {text, 3, 3, G("中") + "\r\n" + G("文")},
        {text, 5, 10, G("文")},
        {text, 6, 1, ""},
        {text, 0, 1, "a"},
        {text, 2, 0, ""},
        {text, 2, -1, ""},
        {"", 1, 1, ""},
        {"a\x81", 2, 1, "\x81"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(midChars(c.text, c.start, c.count), c.expected) << c.start << "," << c.count;
    }
}

TEST(CharIndex, AgreesWithMidChars) {
    const std::string text = G("ab中") + "\r\n" + G("文") + "\x81\x30\x81\x30" + "z\x81";
    const CharIndex index(text);
    ASSERT_EQ(index.count(), charCount(text));
    for (int start = -1; start <= index.count() + 2; ++start) {
        for (int count = -1; count <= index.count() + 2; ++count) {
            ASSERT_EQ(std::string(index.mid(start, count)), midChars(text, start, count))
                << start << "," << count;
        }
    }
    EXPECT_EQ(index.offset(index.count() + 1), text.size());
    EXPECT_EQ(std::string(index.mid(1, 2147483647)), text);
}

struct ReplaceCase {
    std::string text;
    std::string from;
    std::string to;
    bool caseSensitive;
    int limit;
    std::string expected;
};

TEST(ReplaceText, ReplacesAtBoundariesWithCaseAndLimit) {
    const std::vector<ReplaceCase> cases = {
        {"a*b*c", "*", "#", true, 0, "a#b#c"},
        {"aAa", "a", "x", true, 0, "xAx"},
        {"aAa", "a", "x", false, 0, "xxx"},
        {"aAa", "a", "x", false, 2, "xxa"},
        {"aaaa", "aa", "a", true, 0, "aa"},  // continues after each replacement
        {"abc", "", "x", true, 0, "abc"},
        {"a\r\nb\r", "\r", "", true, 0, "a\r\nb"},  // CR LF never split
        {"", "a", "x", true, 0, ""},
        {kTrailBackslash + "\\", "\\", "/", true, 0, kTrailBackslash + "/"},
        {kTrailLetterA + "a", "a", "b", false, 0, kTrailLetterA + "b"},
        {G("关键词") + "*", "*", G("中"), true, 0, G("关键词中")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(replaceText(c.text, c.from, c.to, c.caseSensitive, c.limit), c.expected)
            << test::U(c.text);
    }
}

}  // namespace
}  // namespace lct

namespace lct {
namespace {

// Random texts of the bytes that matter to the character model: ASCII, CR
// and LF, lead and trail bytes, digits of four-byte sequences.
std::string randomText(std::uint64_t& state, std::size_t size) {
    static const std::string bytes =
        std::string("ab <>\r\n09?@") + "\x7F\x81\x30\xA1\xB0\xFE\xFF\x80\x81\x81\xA1\xA1";
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        // Long runs of plain ASCII and of double-byte characters now and then, for
        // the steps over many bytes at a time.
        if (state % 17 == 0) {
            text.append(state % 40, 'x');
            continue;
        }
        for (std::size_t k = state % 19 == 0 ? state % 20 : 0; k > 0; --k)
            text.append(k % 3 != 0 ? "\xB0\xA1" : "\x81\x7E");
        text.push_back(bytes[(state >> 8) % bytes.size()]);
    }
    return text;
}

// The character starts by the plain definition, one character at a time.
std::vector<std::size_t> naiveStarts(std::string_view text) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); i += charSize(text, i))
        starts.push_back(i);
    starts.push_back(text.size());
    return starts;
}

TEST(CharModelFastPaths, CountAndIndexAgreeWithTheCharacterWalk) {
    std::uint64_t state = 0x2545F4914F6CDD1Du;
    for (int round = 0; round < 3000; ++round) {
        const std::string text = randomText(state, state % 300);
        const std::vector<std::size_t> starts = naiveStarts(text);
        const int count = static_cast<int>(starts.size()) - 1;
        ASSERT_EQ(charCount(text), count) << ::testing::PrintToString(text);
        const CharIndex index(text);
        ASSERT_EQ(index.count(), count);
        for (int p = 1; p <= count + 1; ++p)
            ASSERT_EQ(index.offset(p), starts[static_cast<std::size_t>(p - 1)])
                << p << " " << ::testing::PrintToString(text);
        int visited = 0;
        index.forEach([&](int p, std::string_view ch) {
            ++visited;
            ASSERT_EQ(ch, index.at(p));
        });
        ASSERT_EQ(visited, count);
        // The next "<" or "?" from every start: the first start holding one.
        std::size_t expected = text.size();
        for (std::size_t k = starts.size() - 1; k-- > 0;) {
            if (text[starts[k]] == '<' || text[starts[k]] == '?') expected = starts[k];
            ASSERT_EQ(nextOfAscii(text, starts[k], '<', '?'), expected)
                << starts[k] << " " << ::testing::PrintToString(text);
        }
    }
}

TEST(CharModelFastPaths, SkippingStopsAtEverySpecialByte) {
    EXPECT_EQ(skipPlainAscii("abcdefghijk<", 0, '<', '>'), 11u);
    EXPECT_EQ(skipPlainAscii("abcdefgh\xB0\xA1", 0, '<', '>'), 8u);
    EXPECT_EQ(skipPlainAscii("abc", 0, '<', '>'), 3u);
    EXPECT_EQ(skipPlainAscii("0123456789abcdef\r\n", 2, '\r', '\r'), 16u);
    EXPECT_EQ(skipPlainAscii(">", 0, '<', '>'), 0u);
}

}  // namespace
}  // namespace lct
