#include "engine/random_insert.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/chars.h"
#include "gbk.h"

namespace lct {
namespace {

using test::G;
using Items = std::vector<std::string>;

// Removes the items in slot order; empty when an item is missing or out of order.
std::optional<std::string> removeInOrder(std::string text, const Items& items) {
    std::size_t from = 0;
    for (const std::string& item : items) {
        const std::size_t at = text.find(item, from);
        if (at == std::string::npos) return std::nullopt;
        text.erase(at, item.size());
        from = at;
    }
    return text;
}

class RandomInsertTest : public ::testing::Test {
  protected:
    Random random{99};
    RandomInsertion how;
};

TEST_F(RandomInsertTest, ItemsFollowTextOrderAndTheTextIsRecoverable) {
    const std::string text = G("今天天气很好，我们去公园散步吧。");
    const Items items = {"<A>", "<B>", "<C>"};
    for (int round = 0; round < 200; ++round) {
        const std::string out = insertRandom(text, items, how, random);
        const auto rest = removeInOrder(out, items);
        ASSERT_TRUE(rest.has_value()) << test::U(out);
        ASSERT_EQ(*rest, text);
        // Distinct positions while the text has room: no two items adjacent.
        ASSERT_EQ(out.find("><"), std::string::npos) << test::U(out);
    }
}

TEST_F(RandomInsertTest, OneCharacterTextLeavesNoChoice) {
    EXPECT_EQ(insertRandom("x", Items{"A", "B"}, how, random), "xAB");
    EXPECT_EQ(insertRandom(G("中"), "K", 3, how, random), G("中") + "KKK");
    EXPECT_EQ(insertRandom("\r\n", Items{"A"}, how, random), "\r\nA");  // CR LF never split
}

TEST_F(RandomInsertTest, EmptyTextAndEmptySets) {
    EXPECT_EQ(insertRandom("", Items{"A"}, how, random), "");
    EXPECT_EQ(insertRandom("", "A", 5, how, random), "");
    EXPECT_EQ(insertRandom("abc", Items{}, how, random), "abc");
    EXPECT_EQ(insertRandom("abc", Items{"", ""}, how, random), "abc");
    EXPECT_EQ(charCount(insertRandom("ab", "K", 0, how, random)), 3);  // count 0 counts as 1
    EXPECT_EQ(charCount(insertRandom("ab", "K", -3, how, random)), 3);
}

TEST_F(RandomInsertTest, StepFormPutsItemIAfterStepTimesI) {
    how.step = 4;
    EXPECT_EQ(insertRandom("abcdefghij", Items{"A", "B"}, how, random), "abcdAefghBij");
    // Steps beyond the end go to the end.
    EXPECT_EQ(insertRandom("abcdefghij", Items{"A", "B", "C"}, how, random), "abcdAefghBijC");
}

TEST_F(RandomInsertTest, ManyItemsIntoAShortText) {
    const Items items(100'000, "K");
    const std::string out = insertRandom("0123456789", items, how, random);
    EXPECT_EQ(out.size(), 100'010u);
    EXPECT_EQ(*removeInOrder(out, Items(100'000, "K")), "0123456789");
}

struct WordCase {
    std::string text;
    std::string expected;  // whatever position is drawn
};

TEST_F(RandomInsertTest, AvoidWordsKeepsItemsOutOfWords) {
    how.avoidWords = true;
    const std::vector<WordCase> cases = {
        {"ab cd", "ab X cd"},     // letters move to the one space; a space gets a space after
        {"abc", "X abc"},         // no space at all: before the word
        {G("中文"), G("中X文")},  // not forced: both cuts allowed, see below
    };
    for (int round = 0; round < 50; ++round) {
        EXPECT_EQ(insertRandom(cases[0].text, Items{"X"}, how, random), cases[0].expected);
        EXPECT_EQ(insertRandom(cases[1].text, Items{"X"}, how, random), cases[1].expected);
        const std::string chinese = insertRandom(cases[2].text, Items{"X"}, how, random);
        EXPECT_TRUE(chinese == G("中X文") || chinese == G("中文X")) << test::U(chinese);
    }
}

TEST_F(RandomInsertTest, AvoidWordsNeverPutsAnItemInsideAWord) {
    how.avoidWords = true;
    const std::string text = G("我喜欢Python编程，also C++ and Rust语言。");
    for (int round = 0; round < 300; ++round) {
        const std::string out = insertRandom(text, Items{"#"}, how, random);
        const std::size_t at = out.find('#');
        ASSERT_NE(at, std::string::npos);
        auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
        const bool inside =
            at > 0 && at + 1 < out.size() && letter(out[at - 1]) && letter(out[at + 1]);
        ASSERT_FALSE(inside) << test::U(out);
        // The item is followed by a space whenever it lands after a letter or a space.
        if (at > 0 && (letter(out[at - 1]) || out[at - 1] == ' ')) {
            ASSERT_EQ(out[at + 1], ' ');
        }
    }
}

struct StepWordCase {
    std::string text;
    long long step;
    Items items;
    std::string expected;
};

// Without any space, a position on a letter moves before its word, however
// long the word; a position on anything else stays. The step form fixes the
// positions, so the results are exact.
TEST_F(RandomInsertTest, AvoidWordsWithoutSpacesMovesBeforeTheWord) {
    how.avoidWords = true;
    const std::string longWord(5000, 'q');
    const std::vector<StepWordCase> cases = {
        {"abc,defgh.ij", 2, {"A", "B", "C", "D", "E"}, "A abc,BC D defgh.Eij"},
        {"Hello" + G("，") + "World", 4, {"A", "B"}, "A Hello" + G("，") + "B World"},
        {"ab12cd", 1, {"A", "B", "C", "D", "E", "F"}, "A B ab1C2DE F cd"},  // digits are no letters
        {longWord, 1000, {"A", "B", "C"}, "A B C " + longWord},
        {G("中") + longWord + G("文") + longWord,
         4000,
         {"A", "B", "C"},
         G("中") + "A " + longWord + G("文") + "B C " + longWord},
    };
    for (const auto& c : cases) {
        how.step = c.step;
        EXPECT_EQ(insertRandom(c.text, c.items, how, random), c.expected)
            << test::U(c.text.substr(0, 40));
    }
}

// Random positions in a text of long words and no space: every item ends up
// where a word begins (or next to a character that is no letter), never inside
// a word, and the text is recoverable.
TEST_F(RandomInsertTest, AvoidWordsWithoutSpacesNeverSplitsALongWord) {
    how.avoidWords = true;
    std::string text;
    for (int word = 0; word < 20; ++word)
        text +=
            std::string(static_cast<std::size_t>(300 + word * 37), static_cast<char>('a' + word)) +
            (word % 2 == 0 ? "." : G("。"));
    const Items items(400, "#");
    const std::string out = insertRandom(text, items, how, random);
    auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    std::string rest;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] != '#') {
            rest.push_back(out[i]);
            continue;
        }
        ASSERT_FALSE(i > 0 && letter(out[i - 1])) << i;
        if (i + 1 < out.size() && out[i + 1] == ' ') ++i;  // the space after an item
    }
    EXPECT_EQ(rest, text);
}

TEST_F(RandomInsertTest, SymbolsTakeEachOccurrenceOnceAndLimitTheCount) {
    how.symbols = G("，|。");
    const std::string text = G("甲，乙。丙");
    how.symbolMode = SymbolMode::Before;
    EXPECT_EQ(insertRandom(text, Items{"A", "B", "C"}, how, random), G("甲A，乙B。丙"));
    how.symbolMode = SymbolMode::After;
    EXPECT_EQ(insertRandom(text, Items{"A", "B"}, how, random), G("甲，A乙。B丙"));
    how.symbolMode = SymbolMode::EitherSide;
    for (int round = 0; round < 50; ++round) {
        const std::string out = insertRandom(text, Items{"A", "B"}, how, random);
        ASSERT_EQ(*removeInOrder(out, Items{"A", "B"}), text);
        ASSERT_TRUE(out.find(G("A，")) != std::string::npos ||
                    out.find(G("，A")) != std::string::npos)
            << test::U(out);
    }
}

TEST_F(RandomInsertTest, SymbolsMissingOrEmptyFallBackToRandomPositions) {
    how.symbols = "|||";
    EXPECT_EQ(charCount(insertRandom("abcdef", Items{"X"}, how, random)), 7);
    how.symbols = G("。");
    EXPECT_EQ(charCount(insertRandom("abcdef", Items{"X", "Y"}, how, random)), 8);
}

TEST_F(RandomInsertTest, SymbolsWithAvoidWordsKeepApartFromWords) {
    how.avoidWords = true;
    how.symbols = ",";
    how.symbolMode = SymbolMode::Before;
    EXPECT_EQ(insertRandom("ab,cd", Items{"X"}, how, random), "ab X,cd");
    how.symbolMode = SymbolMode::After;
    EXPECT_EQ(insertRandom("ab,cd", Items{"X"}, how, random), "ab,X cd");
    EXPECT_EQ(insertRandom(G("中,文"), Items{"X"}, how, random), G("中,X文"));
}

// A text read for the last time gives what a kept one gives: nothing given
// back behind the copy is read again.
TEST(RandomInsertLastRead, GivesWhatAKeptTextGives) {
    const std::vector<std::string> pieces = {"ab ", G("中文，"), "c", G("。")};
    std::string text;
    Random fill(3);
    while (text.size() < (std::size_t{3} << 20))
        text += pieces[static_cast<std::size_t>(fill.between(0, 3))];
    for (const bool avoidWords : {false, true}) {
        RandomInsertion how;
        how.avoidWords = avoidWords;
        Random a(9);
        Random b(9);
        const std::string kept = insertRandom(text, Items(2000, "K"), how, a);
        std::string dropped = text;
        how.lastRead = true;
        EXPECT_EQ(insertRandom(dropped, Items(2000, "K"), how, b), kept);
    }
}

TEST(RandomInsertSeed, SameSeedSameResult) {
    auto run = [] {
        Random random(5);
        RandomInsertion how;
        how.avoidWords = true;
        return insertRandom(G("The quick brown fox 跳过了 lazy dog"), Items{"1", "2", "3"}, how,
                            random);
    };
    EXPECT_EQ(run(), run());
}

}  // namespace
}  // namespace lct
