#include "engine/keyword_supply.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "gbk.h"
#include "platform/random.h"

namespace lct {
namespace {

using test::G;
using Texts = std::vector<std::string>;

struct BuildCase {
    std::string tmpl;
    std::string title;
    std::string keyword;
    std::string expected;
    std::string address = {};
};

TEST(BuildItem, SubstitutesTitleAndKeywordInOrder) {
    const std::vector<BuildCase> cases = {
        {"*", "T", "K", "K"},
        {"**-*", "T", "K", "T-K"},
        {G("#标题#/#关键词#"), "T", "K", "T/K"},
        {"<a href='x'>*</a>", "T", "K", "<a href='x'>K</a>"},
        {"***", "T", "K", "TK"},
        {"", "T", "K", ""},
        // The title is filled in first, so a title holding #关键词# receives
        // the keyword; a keyword holding #标题# keeps it.
        {"**", G("题#关键词#"), "K", G("题K")},
        {"*", "T", G("#标题#"), G("#标题#")},
        {"*", "T", "", ""},
        // The address goes where the template says, and is never filled itself.
        {G("<a href=\"#网址#\">*</a>"), "T", "K", "<a href=\"/k**\">K</a>", "/k**"},
        {G("#网址#"), "T", "K", "", ""},
        {G("**#网址#*"), G("#网址#"), "K", G("#网址#u#关键词#K"), G("u#关键词#")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(buildItem(c.tmpl, c.title, c.keyword, c.address), c.expected) << test::U(c.tmpl);
        EXPECT_EQ(TitledTemplate(c.tmpl, c.title).fill(c.keyword, c.address), c.expected);
    }
}

// Marks, their halves and neighbours, pieced together at random: a template
// filled with its title once fills every keyword as buildItem does.
TEST(BuildItem, TitledTemplatesFillAsBuildItemDoes) {
    const Texts parts = {"*",       "**",        "#",           G("标题"),   G("关键词"),
                         G("网址"), G("#标题#"), G("#关键词#"), G("#网址#"), "a",
                         G("中"),   "\r\n",      "\xB1"};
    Random random(7);
    const auto text = [&](int most) {
        std::string out;
        for (std::int64_t n = random.between(0, most); n > 0; --n)
            out += parts[static_cast<std::size_t>(random.between(0, 12))];
        return out;
    };
    for (int round = 0; round < 3000; ++round) {
        const std::string tmpl = text(8);
        const std::string title = text(3);
        const TitledTemplate titled(tmpl, title);
        for (int k = 0; k < 3; ++k) {
            const std::string keyword = text(3);
            const std::string address = text(2);
            ASSERT_EQ(titled.fill(keyword, address), buildItem(tmpl, title, keyword, address))
                << test::U(tmpl) << " / " << test::U(title) << " / " << test::U(keyword);
        }
    }
}

TEST(SplitTemplates, DropsOneTrailingEmptyTemplateAndNeverGivesNone) {
    EXPECT_EQ(splitTemplates(G("|#标题#")), (Texts{"", G("#标题#")}));
    EXPECT_EQ(splitTemplates(G("#标题#|")), (Texts{G("#标题#")}));
    EXPECT_EQ(splitTemplates(""), (Texts{""}));
    EXPECT_EQ(splitTemplates("a|b|c"), (Texts{"a", "b", "c"}));
}

TEST(LoadKeywords, SplitsLinesAndKeepsInnerEmptyOnes) {
    EXPECT_EQ(loadKeywords("A\r\n\r\nB\r\n"), (Texts{"A", "", "B"}));
    EXPECT_EQ(loadKeywords(""), (Texts{}));
    EXPECT_EQ(loadKeywords("\r\n"), (Texts{""}));
}

class KeywordSupplyTest : public ::testing::Test {
  protected:
    Random random{2024};
    KeywordSupply supply{random};
    ItemSetOptions options;

    void SetUp() override {
        supply.setKeywords({"A", "B", "C"});
        supply.parseTemplates("*");
    }
};

TEST_F(KeywordSupplyTest, NonRepeatingModeGivesEveryKeywordOncePerRound) {
    std::vector<std::string> round;
    for (int i = 0; i < 3; ++i)
        round.push_back(supply.pickKeyword(0));
    std::sort(round.begin(), round.end());
    EXPECT_EQ(round, (Texts{"A", "B", "C"}));
    const std::string fourth = supply.pickKeyword(0);
    EXPECT_TRUE(fourth == "A" || fourth == "B" || fourth == "C");
}

TEST_F(KeywordSupplyTest, PlainRandomModeStaysInTheList) {
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i)
        seen.insert(supply.pickKeyword(1));
    EXPECT_EQ(seen, (std::set<std::string>{"A", "B", "C"}));
}

TEST_F(KeywordSupplyTest, SequentialModeWrapsAndUnknownModesActAsNonRepeating) {
    Texts picks;
    for (int i = 0; i < 5; ++i)
        picks.push_back(supply.pickKeyword(2));
    EXPECT_EQ(picks, (Texts{"A", "B", "C", "A", "B"}));
    supply.resetSequence();
    EXPECT_EQ(supply.pickKeyword(2), "A");
    std::set<std::string> round;
    for (int i = 0; i < 3; ++i)
        round.insert(supply.pickKeyword(7));
    EXPECT_EQ(round.size(), 3u);
}

// A TAB ends the keyword; its address fills #网址#. Left-out keywords are
// never picked, in any call mode, and all left out give no item.
TEST_F(KeywordSupplyTest, LinesWithAddressesAndLeftOutKeywords) {
    supply.setKeywords({"A\t /a \tx", "B", "C\t/c"});
    supply.parseTemplates(G("*=#网址#"));
    EXPECT_EQ(supply.keywordLines(), (Texts{"A", "B", "C"}));
    EXPECT_EQ(supply.addresses(), (Texts{"/a", "", "/c"}));
    supply.excludeKeywords({2, 0, 9});
    for (int mode : {0, 1, 2}) {
        for (int i = 0; i < 20; ++i)
            EXPECT_EQ(supply.pickKeyword(mode), "B") << mode;
    }
    supply.excludeKeywords({0});
    const Texts set = supply.makeItemSet(options, true, 6, true, "T");
    EXPECT_EQ(std::set<std::string>(set.begin(), set.end()), (std::set<std::string>{"B=", "C=/c"}));
    EXPECT_EQ(supply.keywordOfItem("C=/c"), 2);
    EXPECT_EQ(supply.keywordOfItem("A=/a"), -1);
    supply.excludeKeywords({0, 1, 2});
    EXPECT_FALSE(supply.canPick());
    EXPECT_TRUE(supply.makeItemSet(options, true, 3, true, "T").empty());
    EXPECT_EQ(supply.makeSingleItem(options, "T"), "");
}

TEST_F(KeywordSupplyTest, SequentialSetsRepeatOneKeywordUnlessEachItemDiffers) {
    options.callMode = 2;
    options.useCountRange = true;
    options.countFrom = 2;
    options.countTo = 2;
    options.differentEachTime = false;
    EXPECT_EQ(supply.makeItemSet(options, false, 0, false, "T"), (Texts{"A", "A"}));
    EXPECT_EQ(supply.makeItemSet(options, false, 0, false, "T"), (Texts{"B", "B"}));

    supply.resetSequence();
    options.differentEachTime = true;
    EXPECT_EQ(supply.makeItemSet(options, false, 0, false, "T"), (Texts{"A", "B"}));
    EXPECT_EQ(supply.makeItemSet(options, false, 0, false, "T"), (Texts{"C", "A"}));
}

TEST_F(KeywordSupplyTest, CountFormIgnoresEachTimeButHonoursNewSet) {
    options.callMode = 2;
    options.differentEachTime = true;
    EXPECT_EQ(supply.makeItemSet(options, true, 3, false, "T"), (Texts{"A", "A", "A"}));
    EXPECT_EQ(supply.makeItemSet(options, true, 3, true, "T"), (Texts{"B", "C", "A"}));
    EXPECT_EQ(supply.makeItemSet(options, true, 0, false, "T").size(), 1u);
    EXPECT_EQ(supply.makeItemSet(options, true, -4, false, "T").size(), 1u);
}

TEST_F(KeywordSupplyTest, SizeComesFromTheCountRange) {
    options.countFrom = 5;
    options.countTo = 2;
    for (int i = 0; i < 50; ++i) {
        const auto size = supply.makeItemSet(options, false, 0, false, "T").size();
        ASSERT_GE(size, 2u);
        ASSERT_LE(size, 5u);
    }
    options.countFrom = 0;
    options.countTo = 0;
    EXPECT_EQ(supply.makeItemSet(options, false, 0, false, "T").size(), 1u);
    options.useCountRange = false;
    options.countFrom = options.countTo = 9;
    EXPECT_EQ(supply.makeItemSet(options, false, 0, false, "T").size(), 1u);
}

TEST_F(KeywordSupplyTest, EveryItemTakesATemplateInNonRepeatingOrder) {
    supply.parseTemplates("[*]|(*)|**:*");
    options.callMode = 2;
    options.differentEachTime = false;
    const Texts items = supply.makeItemSet(options, true, 3, false, "T");
    EXPECT_EQ(std::set<std::string>(items.begin(), items.end()),
              (std::set<std::string>{"[A]", "(A)", "T:A"}));
}

TEST_F(KeywordSupplyTest, EmptyTemplatesGiveBareKeywords) {
    supply.parseTemplates(G("|#标题#"));
    options.callMode = 2;
    std::set<std::string> items;
    for (int i = 0; i < 4; ++i)
        items.insert(supply.makeSingleItem(options, "T"));
    EXPECT_TRUE(items.count("T") == 1);
    EXPECT_TRUE(items.count("A") + items.count("B") + items.count("C") >= 1);
    EXPECT_TRUE(items.count("") == 0);
}

TEST_F(KeywordSupplyTest, AnEmptyKeywordLineIsAKeyword) {
    supply.setKeywords({"", "B"});
    supply.parseTemplates("<*>");
    options.callMode = 2;
    EXPECT_EQ(supply.makeSingleItem(options, "T"), "<>");
    EXPECT_EQ(supply.makeSingleItem(options, "T"), "<B>");
}

TEST_F(KeywordSupplyTest, NoKeywordsGiveEmptyItems) {
    supply.setKeywords({});
    EXPECT_EQ(supply.pickKeyword(0), "");
    EXPECT_EQ(supply.pickKeyword(1), "");
    EXPECT_EQ(supply.pickKeyword(2), "");
}

TEST_F(KeywordSupplyTest, PlainKeywordsLoseTheirTagsAndKeepTheCount) {
    supply.setKeywords({"<b>A</b>", "<a", "b>x", "y"});
    supply.buildPlainKeywords();
    // A tag across a line break joins two lines; the list is padded back.
    EXPECT_EQ(supply.plainKeywords(), (Texts{"A", "x", "y", ""}));
    supply.setKeywords({"<i>x</i>", "y"});
    supply.buildPlainKeywords();
    EXPECT_EQ(supply.plainKeywords(), (Texts{"x", "y"}));
    // Lines are joined by CR LF and split again: a lone lead byte takes the
    // CR, a CR LF inside a line splits it; lines without either stay.
    const std::vector<std::pair<Texts, Texts>> rejoined = {
        {{"a\x81", "b"}, {"a\x81\r\nb", ""}},
        {{"x\r\ny", "z"}, {"x", "y"}},
        {{"", G("中文"), "a\rb", ""}, {"", G("中文"), "a\rb", ""}},
        {{G("中文"), "b\n"}, {G("中文"), "b\n"}},
    };
    for (const auto& [lines, plain] : rejoined) {
        supply.setKeywords(lines);
        supply.buildPlainKeywords();
        EXPECT_EQ(supply.plainKeywords(), plain) << test::U(lines.front());
    }
}

TEST_F(KeywordSupplyTest, LargeSetsAreFine) {
    options.callMode = 0;
    const Texts items = supply.makeItemSet(options, true, 100'000, true, "T");
    ASSERT_EQ(items.size(), 100'000u);
    // Non-repeating: every window of three consecutive items aligned to a
    // round holds the three keywords.
    for (std::size_t i = 0; i + 3 <= 300; i += 3) {
        std::set<std::string> round(items.begin() + static_cast<long>(i),
                                    items.begin() + static_cast<long>(i + 3));
        ASSERT_EQ(round.size(), 3u);
    }
}

// A set stops at a million items or at the bytes a caller allows (each item
// costing one byte more than its text), and says so.
TEST_F(KeywordSupplyTest, LimitCutsTheSetAndSaysSo) {
    options.callMode = 2;
    for (const int huge : {std::numeric_limits<int>::max(), 100'000'000}) {
        supply.resetSequence();
        options.countFrom = options.countTo = huge;
        bool capped = false;
        EXPECT_EQ(supply.makeItemSet(options, false, 0, false, "T", 8, &capped),
                  (Texts{"A", "B", "C", "A"}));
        EXPECT_TRUE(capped);
    }
    supply.parseTemplates("");  // bare keywords: the quickest items
    bool capped = false;
    EXPECT_EQ(supply.makeItemSet(options, true, 1 << 30, false, "T", kMaxSetBytes, &capped).size(),
              static_cast<std::size_t>(kMaxSetItems));
    EXPECT_TRUE(capped);
}

TEST(KeywordSupplyLimit, SizesWithinTheLimitKeepEveryDraw) {
    auto run = [](std::size_t limit, bool* capped) {
        Random random(5);
        KeywordSupply supply(random);
        supply.setKeywords({"A", "B", "C", "D"});
        supply.parseTemplates("*|[*]");
        ItemSetOptions options;
        options.countFrom = 1;
        options.countTo = 6;
        Texts all;
        for (int i = 0; i < 20; ++i) {
            auto set = supply.makeItemSet(options, false, 0, false, "T", limit, capped);
            all.insert(all.end(), set.begin(), set.end());
        }
        return all;
    };
    bool capped = false;
    EXPECT_EQ(run(6 * 4, &capped), run(kMaxSetBytes, nullptr));  // six items of "[A]" fit
    EXPECT_FALSE(capped);
}

TEST(KeywordSupplySeed, SameSeedSameItems) {
    auto run = [] {
        Random random(77);
        KeywordSupply supply(random);
        supply.setKeywords({"A", "B", "C", "D"});
        supply.parseTemplates("*|[*]");
        ItemSetOptions options;
        options.countFrom = 1;
        options.countTo = 6;
        Texts all;
        for (int i = 0; i < 10; ++i) {
            auto set = supply.makeItemSet(options, false, 0, false, "T");
            all.insert(all.end(), set.begin(), set.end());
        }
        return all;
    };
    EXPECT_EQ(run(), run());
}

}  // namespace
}  // namespace lct
