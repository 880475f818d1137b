#include "engine/title_insertion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "engine/chars.h"
#include "gbk.h"
#include "regex/regex_object.h"

namespace lct {
namespace {

using test::G;
using Items = std::vector<std::string>;

class TitleInsertionTest : public ::testing::Test {
  protected:
    Random random{3};
    InsertOptions options;

    std::string insert(std::string_view title, const Items& items, TitleType type) {
        options.titleType = type;
        InsertRunState run = prepareInsertRun(options);
        return insertIntoTitle(title, items, options, run, random);
    }
};

TEST_F(TitleInsertionTest, BeforeAfterAndReplaceJoinWithSeparators) {
    options.titleOnce = false;
    options.titleSeparators = " ";
    EXPECT_EQ(insert("T", {"A", "B"}, TitleType::Before), "B A T");
    EXPECT_EQ(insert("T", {"A", "B"}, TitleType::After), "T A B");
    EXPECT_EQ(insert("T", {"A", "B"}, TitleType::Replace), "A B");
    EXPECT_EQ(insert("", {"A"}, TitleType::Before), "A ");
    options.titleOnce = true;
    EXPECT_EQ(insert("T", {"A", "B"}, TitleType::Replace), "A");
    EXPECT_EQ(insert("T", {"A", "B"}, TitleType::After), "T A");
}

// Items before the title go in front of everything so far, items after it at
// the end: reading outwards from the title gives the items in their order.
TEST_F(TitleInsertionTest, ManyItemsOnBothSidesKeepTheirOrder) {
    options.titleOnce = false;
    options.titleSeparators = "";
    Items items;
    for (int i = 0; i < 20'000; ++i)
        items.push_back("<" + std::to_string(i) + ">");
    const std::string out = insert("T", items, TitleType::BeforeOrAfter);
    const std::size_t title = out.find('T');
    ASSERT_NE(title, std::string::npos);
    std::vector<int> before, after;
    auto collect = [](std::string_view side, std::vector<int>& into) {
        for (std::size_t at = side.find('<'); at != std::string_view::npos;
             at = side.find('<', at + 1))
            into.push_back(std::stoi(std::string(side.substr(at + 1))));
    };
    collect(std::string_view(out).substr(0, title), before);
    collect(std::string_view(out).substr(title + 1), after);
    std::reverse(before.begin(), before.end());
    ASSERT_EQ(before.size() + after.size(), items.size());
    EXPECT_TRUE(std::is_sorted(before.begin(), before.end()));
    EXPECT_TRUE(std::is_sorted(after.begin(), after.end()));
    EXPECT_FALSE(before.empty());
    EXPECT_FALSE(after.empty());

    options.titleSeparators = "-";
    EXPECT_EQ(insert("T", {"A", "B", "C"}, TitleType::Before), "C-B-A-T");
}

TEST_F(TitleInsertionTest, BeforeOrAfterPicksASide) {
    options.titleSeparators = "";
    std::set<std::string> seen;
    for (int round = 0; round < 40; ++round)
        seen.insert(insert("T", {"A"}, TitleType::BeforeOrAfter));
    EXPECT_EQ(seen, (std::set<std::string>{"AT", "TA"}));
}

TEST_F(TitleInsertionTest, DefaultSeparatorsAlternateBeforeRepeating) {
    options.titleOnce = false;
    options.titleSeparators = G(" |，");
    InsertRunState run = prepareInsertRun(options);
    options.titleType = TitleType::After;
    const std::string out = insertIntoTitle("T", {"A", "B"}, options, run, random);
    EXPECT_TRUE(out == G("T A，B") || out == G("T，A B")) << test::U(out);
}

TEST_F(TitleInsertionTest, EmptySeparatorsJoinDirectly) {
    options.titleOnce = false;
    options.titleSeparators = "";
    EXPECT_EQ(insert("T", {"A", "B"}, TitleType::After), "TAB");
}

TEST_F(TitleInsertionTest, RandomPositionInsertsOnceForEveryNTypes) {
    options.avoidWords = false;
    options.titleOnce = false;
    options.contentType = ContentType::EveryN;
    EXPECT_EQ(insert("x", {"A", "B", "C"}, TitleType::Random), "xA");
    options.contentType = ContentType::EveryNChunks;
    EXPECT_EQ(insert("x", {"A", "B"}, TitleType::Random), "xA");
    options.contentType = ContentType::WholeTextRandom;
    EXPECT_EQ(insert("x", {"A", "B"}, TitleType::Random), "xAB");
    options.titleOnce = true;
    EXPECT_EQ(insert("x", {"A", "B"}, TitleType::Random), "xA");
    // With every-N types and title types 1 to 4 every item goes in.
    options.titleOnce = false;
    options.contentType = ContentType::EveryN;
    options.titleSeparators = "";
    EXPECT_EQ(insert("T", {"A", "B"}, TitleType::After), "TAB");
}

TEST_F(TitleInsertionTest, RandomPositionAvoidsWords) {
    options.avoidWords = true;
    EXPECT_EQ(insert("x", {"A"}, TitleType::Random), "A x");
}

TEST_F(TitleInsertionTest, EmptySetLeavesTheTitle) {
    EXPECT_EQ(insert("T", {}, TitleType::Replace), "T");
}

TEST(PickSentence, MinimumAndMustContain) {
    Random random(1);
    const std::string text = G("今天天气很好。我们走吧！");
    for (int round = 0; round < 20; ++round) {
        EXPECT_EQ(pickSentence(text, 6, "", random), G("今天天气很好"));
        EXPECT_EQ(pickSentence(text, 0, G("走"), random), G("我们走吧"));
    }
}

TEST(PickSentence, FallsBackToAnyPieceAndHandlesEmptyText) {
    Random random(2);
    const std::string text = G("甲乙。丙丁");
    const std::string picked = pickSentence(text, 100, "", random);
    EXPECT_TRUE(picked == G("甲乙") || picked == G("丙丁")) << test::U(picked);
    EXPECT_EQ(pickSentence("", 0, "", random), "");
    EXPECT_EQ(pickSentence("<p></p>", 0, "", random), "");
}

TEST(PickSentence, TagsSpacesAndLineBreaksEndSentences) {
    Random random(4);
    const std::string text = G("<p>  标题  </p>\r\n\r\n第一句. second part\r\n");
    std::set<std::string> seen;
    for (int round = 0; round < 60; ++round)
        seen.insert(pickSentence(text, 0, "", random));
    EXPECT_EQ(seen, (std::set<std::string>{G("标题"), G("第一句"), "second", "part"}));
}

TEST(SentenceSeparatorPattern, DefaultSet) {
    const std::string set = G(",，。！!？?;；<>/:：()='. {}《》（）、‘’- \"“”\r\n");
    EXPECT_EQ(test::U(sentenceSeparatorPattern(set)),
              R"([,，。！!？.?;；<>/:：\(\)\='\{\}《》（）、‘’\- \"“”]|\r\n|\r|\n|\. )");
    EXPECT_TRUE(RegexObject(sentenceSeparatorPattern(set)).ok());
    EXPECT_EQ(sentenceSeparatorPattern(","), "[,]");
}

struct FinishCase {
    std::string title;
    std::string expected;
};

TEST(FinishTitle, MakesTitlesSafeAsFileNames) {
    const std::vector<FinishCase> cases = {
        {"a/b:c", G("a／b：c")},
        {"\\*?|<>", G("＼＊？｜＜＞")},
        {"say \"hi\"", "say hi"},
        {"a\r\nb\rc\nd\te", "abcde"},
        {"", ""},
        {"  spaced  ", "  spaced  "},
        {"\x81\x5C\x81\x7C", "\x81\x5C\x81\x7C"},  // trail bytes 0x5C and 0x7C stay
    };
    for (const auto& c : cases)
        EXPECT_EQ(finishTitle(c.title), c.expected) << c.title;
}

}  // namespace
}  // namespace lct
