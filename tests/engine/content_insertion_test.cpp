#include "engine/content_insertion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "engine/chars.h"
#include "engine/output_budget.h"
#include "engine/tag_guard.h"
#include "gbk.h"

namespace lct {
namespace {

using test::G;
using Items = std::vector<std::string>;

// Keywords A, B, C in list order with the bare template, so items are
// predictable; the options start as the window's defaults.
class ContentInsertionTest : public ::testing::Test {
  protected:
    Random random{7};
    KeywordSupply keywords{random};
    InsertOptions options;
    Items items{"K"};
    bool capped = false;

    void SetUp() override {
        keywords.setKeywords({"A", "B", "C"});
        keywords.parseTemplates("*");
        options.items.callMode = 2;
        options.items.differentEachTime = false;
        options.avoidWords = false;
        options.titleSeparators = G(" |，");
        options.symbolGroups = G("。|\\n|，|,|!|?|！|？");
    }

    std::string insert(std::string_view content, ContentType type, long long step = 1) {
        options.contentType = type;
        InsertRunState run = prepareInsertRun(options);
        const ContentArticle article{"T", &items, step, &capped};
        return insertIntoContent(content, article, options, run, keywords);
    }
};

TEST_F(ContentInsertionTest, WholeTextRandomKeepsTheText) {
    items = {"[1]", "[2]"};
    const std::string text = G("第一段文字。\r\n第二段文字！");
    for (int round = 0; round < 50; ++round) {
        std::string out = insert(text, ContentType::WholeTextRandom);
        const auto first = out.find("[1]");
        const auto second = out.find("[2]");
        ASSERT_LT(first, second);
        out.erase(second, 3);
        out.erase(first, 3);
        ASSERT_EQ(out, text);
    }
}

TEST_F(ContentInsertionTest, ParagraphLoopLeavesBlankLinesAndKeepsTheLastLineBreak) {
    // One-character lines leave no choice of position.
    EXPECT_EQ(insert(G("甲\r\n \r\n乙\r\n"), ContentType::ParagraphRandom),
              G("甲K\r\n \r\n乙K\r\n"));
    // An empty first line is lost: nothing is written before the first line.
    EXPECT_EQ(insert(G("\r\n甲"), ContentType::ParagraphRandom), G("甲K"));
    EXPECT_EQ(insert("", ContentType::ParagraphRandom), "");
    EXPECT_EQ(insert("\r\n", ContentType::ParagraphRandom), "\r\n");
}

TEST_F(ContentInsertionTest, LineTypesPlaceTheBlock) {
    items = {"x", "y"};
    const std::string text = G("甲\r\n\r\n乙");
    EXPECT_EQ(insert(text, ContentType::LineBefore), G("xy甲\r\n\r\nxy乙"));
    EXPECT_EQ(insert(text, ContentType::LineAfter), G("甲xy\r\n\r\n乙xy"));
    EXPECT_EQ(insert(text, ContentType::LineBeforeAndAfter), G("xy甲xy\r\n\r\nxy乙xy"));
    for (int round = 0; round < 20; ++round) {
        const std::string out = insert(G("甲"), ContentType::LineBeforeOrAfter);
        ASSERT_TRUE(out == G("xy甲") || out == G("甲xy")) << test::U(out);
    }
}

TEST_F(ContentInsertionTest, LineTypeSevenTakesASecondSet) {
    items = {"[A]"};
    EXPECT_EQ(insert(G("甲\r\n乙"), ContentType::LineBothDifferent), G("[A]甲A\r\nA乙B"));
}

// Type 7 draws a further set for each line's after-block, and that set is the
// current one from then on: the next line's before-block repeats it.
TEST_F(ContentInsertionTest, LineTypeSevenChainsItsSets) {
    keywords.setKeywords({"A", "B", "C", "D", "E", "F"});
    keywords.parseTemplates("");
    options.newSet = false;
    items = keywords.makeItemSet(options.items, false, 0, false, "T");
    ASSERT_EQ(items, Items{"A"});
    EXPECT_EQ(insert("L1\r\nL2\r\nL3", ContentType::LineBothDifferent), "AL1B\r\nBL2C\r\nCL3D");
    EXPECT_EQ(items, Items{"D"});

    // Blank lines stay untouched and take no set.
    keywords.resetSequence();
    items = keywords.makeItemSet(options.items, false, 0, false, "T");
    EXPECT_EQ(insert("L1\r\n\r\nL2\r\n  \r\nL3\r\n", ContentType::LineBothDifferent),
              "AL1B\r\n\r\nBL2C\r\n  \r\nCL3D\r\n");
}

TEST_F(ContentInsertionTest, NewSetPerParagraphAfterTheFirst) {
    options.newSet = true;
    items = {"K"};
    EXPECT_EQ(insert(G("甲\r\n乙\r\n丙"), ContentType::LineAfter), G("甲K\r\n乙A\r\n丙B"));
    // Without it every paragraph takes the article's set.
    options.newSet = false;
    items = {"K"};
    EXPECT_EQ(insert(G("甲\r\n乙"), ContentType::LineAfter), G("甲K\r\n乙K"));
}

TEST_F(ContentInsertionTest, SentenceLoopSkipsTheTail) {
    EXPECT_EQ(insert(G("甲，乙。丙"), ContentType::SentenceRandom), G("甲K，乙K。丙"));
    EXPECT_EQ(insert(G("甲，乙。"), ContentType::SentenceRandom), G("甲K，乙K。"));
    // No sentence end at all: unchanged.
    EXPECT_EQ(insert(G("没有标点的一行"), ContentType::SentenceRandom), G("没有标点的一行"));
    EXPECT_EQ(insert("", ContentType::SentenceRandom), "");
    // Blank pieces stay.
    EXPECT_EQ(insert(G("甲。 。"), ContentType::SentenceRandom), G("甲K。 。"));
}

TEST_F(ContentInsertionTest, SentenceLoopAutoLineBreaksAreNoSentenceEnds) {
    options.symbolGroups = G("。");
    EXPECT_EQ(insert(G("甲。乙\r\n丙。"), ContentType::SentenceRandom), G("甲K。乙\r\n丙K。"));
    options.symbolGroups = G("。|\\n");
    EXPECT_EQ(insert(G("甲。乙\r\n丙。"), ContentType::SentenceRandom), G("甲K。乙K\r\n丙K。"));
}

TEST_F(ContentInsertionTest, SentenceLoopNewSetPerSentence) {
    options.newSet = true;
    EXPECT_EQ(insert(G("甲。乙。丙。"), ContentType::SentenceRandom), G("甲K。乙A。丙B。"));
}

TEST_F(ContentInsertionTest, OverlappingSymbolsNeverRepeatText) {
    options.symbolGroups = "!|!!";
    const std::string out = insert(G("甲!!乙"), ContentType::SentenceRandom);
    EXPECT_EQ(out, G("甲K!!乙"));
}

TEST_F(ContentInsertionTest, EveryNCharacters) {
    items = {"A", "B"};
    EXPECT_EQ(insert("abcdefghij", ContentType::EveryN, 4), "abcdAefghBij");
    EXPECT_EQ(insert("", ContentType::EveryN, 4), "");
}

TEST_F(ContentInsertionTest, ChunkWalk) {
    options.everyMin = 0;
    options.everyMax = 0;
    EXPECT_EQ(insert("abc", ContentType::EveryNChunks), "aAbAc");
    options.newSet = true;
    EXPECT_EQ(insert("abcd", ContentType::EveryNChunks), "aBbCcAd");
    options.everyMin = options.everyMax = 2;
    options.newSet = false;
    EXPECT_EQ(insert(G("甲乙\r\n丙"), ContentType::EveryNChunks), G("甲乙C\r\n丙"));
    EXPECT_EQ(insert("", ContentType::EveryNChunks), "");
}

TEST_F(ContentInsertionTest, HeadAndTailBlocks) {
    items = {"A", "B"};
    options.titleSeparators = "-";
    EXPECT_EQ(insert(G("正文"), ContentType::FirstLine), G("A-B\r\n正文"));
    EXPECT_EQ(insert(G("正文"), ContentType::Head), G("A-B正文"));
    EXPECT_EQ(insert(G("正文"), ContentType::Tail), G("正文A-B"));
    EXPECT_EQ(insert(G("正文"), ContentType::LastLine), G("正文\r\nA-B"));
    EXPECT_EQ(insert("", ContentType::Head), "A-B");
    options.titleSeparators = "";
    EXPECT_EQ(insert("", ContentType::Tail), "AB");
}

TEST_F(ContentInsertionTest, HeadBlockSeparatorsAlternateWithoutRepeating) {
    items = {"A", "B", "C"};
    std::set<std::string> seen;
    for (int round = 0; round < 20; ++round)
        seen.insert(insert("", ContentType::Head));
    // Default separators " " and "，": each draw takes one of them; both appear.
    for (const std::string& block : seen) {
        ASSERT_TRUE(block.find('A') == 0 && block.find('C') == block.size() - 1);
    }
    EXPECT_GT(seen.size(), 1u);
}

TEST_F(ContentInsertionTest, NextToSymbols) {
    items = {"A", "B", "C"};
    options.symbolGroups = G("，|。");
    options.symbolMode = SymbolMode::Before;
    EXPECT_EQ(insert(G("甲，乙。丙"), ContentType::NextToSymbols), G("甲A，乙B。丙"));
}

// Sets past what twenty short lines may take (64 MiB plus 16 times their
// bytes) are cut, every line keeping a share, fresh sets included.
TEST_F(ContentInsertionTest, LoopsCutOnlyWhatWouldPassTheAllowance) {
    std::string text;
    for (int line = 0; line < 20; ++line)
        text += "x\r\n";
    const std::string big(65'535, 'K');  // an item of 64 KiB with its byte
    for (const ContentType type :
         {ContentType::ParagraphRandom, ContentType::SentenceRandom, ContentType::LineBefore,
          ContentType::LineBeforeOrAfter, ContentType::LineBeforeAndAfter,
          ContentType::LineBothDifferent}) {
        options.items.countFrom = options.items.countTo = 10'000;
        for (const bool fresh : {false, true}) {
            options.newSet = fresh;
            keywords.setKeywords({big});
            items = Items(100, big);
            capped = false;
            const std::string out = insert(text, type);
            EXPECT_TRUE(capped);
            EXPECT_LE(out.size(), text.size() + outputAllowance(text.size()));
            std::size_t at = 0;
            for (std::size_t end; (end = out.find("\r\n", at)) != std::string::npos; at = end + 2)
                ASSERT_GT(end - at, big.size()) << static_cast<int>(type) << fresh;
        }
        keywords.setKeywords({"A", "B", "C"});
    }
}

TEST_F(ContentInsertionTest, ProtectedTagsNeverReceiveItems) {
    items = {"@1", "@2", "@3"};
    const std::string page =
        G("<p class=\"x\">第一段</p>\r\n<p><a href=\"u\">链接</a>第二段。</p>");
    for (ContentType type :
         {ContentType::WholeTextRandom, ContentType::ParagraphRandom, ContentType::SentenceRandom,
          ContentType::EveryN, ContentType::NextToSymbols}) {
        for (int round = 0; round < 30; ++round) {
            TagGuard guard;
            const std::string prot = guard.protect(page, TagGuard::shortPlaceholder());
            const std::string out = guard.restore(insert(prot, type, 3));
            for (const std::string& tag : guard.savedTags())
                ASSERT_NE(out.find(tag), std::string::npos)
                    << static_cast<int>(type) << " " << test::U(out);
            std::string stripped = out;
            for (const char* item : {"@1", "@2", "@3"}) {
                for (auto at = stripped.find(item); at != std::string::npos;
                     at = stripped.find(item))
                    stripped.erase(at, 2);
            }
            ASSERT_EQ(stripped, page) << static_cast<int>(type);
        }
    }
}

}  // namespace
}  // namespace lct
