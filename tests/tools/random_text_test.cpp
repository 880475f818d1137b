// The random text generator over a headless form: the two group builders, the
// run with its buttons and stop click, and the window's settings.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "form/headless_form.h"
#include "form/pending_messages.h"
#include "gbk.h"
#include "settings/settings_support.h"
#include "tools/random_text.h"
#include "tools/result_limit.h"

namespace lct {
namespace {

using test::G;
using test::U;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2)
        out.push_back(text.substr(from, at - from));
    out.push_back(text.substr(from));
    return out;
}

// True when every two bytes of `group` are a character of `table`.
bool wholeCharactersOf(const std::string& group, const std::string& table) {
    if (group.size() % 2 != 0) return false;
    for (std::size_t i = 0; i < group.size(); i += 2) {
        bool found = false;
        for (std::size_t j = 0; j < table.size() && !found; j += 2)
            found = table.compare(j, 2, group, i, 2) == 0;
        if (!found) return false;
    }
    return true;
}

TEST(RandomChinese, DrawsOnlyWholeCharactersOfTheTable) {
    Random random(7);
    const std::string& table = characterTable(CharacterTable::MostCommon);
    const std::string group = randomChinese(random, 3000, table, false);
    EXPECT_EQ(group.size(), 6000u);
    EXPECT_TRUE(wholeCharactersOf(group, table));
}

TEST(RandomChinese, LastCharacterComesHalfAsOften) {
    Random random(11);
    const std::string table = G("甲乙丙");
    const std::string group = randomChinese(random, 50000, table, false);
    std::map<std::string, int> counts;
    for (std::size_t i = 0; i < group.size(); i += 2)
        ++counts[group.substr(i, 2)];
    // Offsets 0..4: two land on 甲, two on 乙, one on 丙.
    EXPECT_NEAR(counts[G("甲")], 20000, 600);
    EXPECT_NEAR(counts[G("乙")], 20000, 600);
    EXPECT_NEAR(counts[G("丙")], 10000, 600);
}

TEST(RandomChinese, TraditionalConvertsTheGroup) {
    Random random(1);
    EXPECT_EQ(U(randomChinese(random, 3, G("这"), true)), "這這這");
}

TEST(RandomChinese, TableShorterThanOneCharacterGivesNothing) {
    Random random(1);
    EXPECT_EQ(randomChinese(random, 5, "", false), "");
    EXPECT_EQ(randomChinese(random, 5, "a", false), "");
}

TEST(RandomGroups, CountBelowOneMeansEightAndHugeCountsAreCut) {
    struct Row {
        int n;
        std::size_t characters;
    };
    constexpr Row kRows[] = {{0, 8}, {-3, 8}, {1, 1}, {5, 5}, {INT_MAX, kMaxGroupCharacters}};
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.n);
        Random random(3);
        EXPECT_EQ(randomAlnum(random, row.n, false, false, false, false).size(), row.characters);
        EXPECT_EQ(randomChinese(random, row.n, G("甲乙"), false).size(), 2 * row.characters);
    }
}

TEST(RandomAlnum, ClassesFollowTheFlags) {
    struct Row {
        bool noDigits, noLower, noUpper;
        const char* classes;  // d digit, l lower, u upper: every one must appear, no other
    };
    constexpr Row kRows[] = {
        {true, true, true, "u"},    {true, true, false, "u"},     {true, false, true, "l"},
        {false, true, true, "d"},   {true, false, false, "lu"},   {false, true, false, "du"},
        {false, false, true, "dl"}, {false, false, false, "dlu"},
    };
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.classes);
        Random random(5);
        const std::string group =
            randomAlnum(random, 300, false, row.noDigits, row.noLower, row.noUpper);
        std::string seen;
        for (char c : group) {
            const char cls = c >= '0' && c <= '9'   ? 'd'
                             : c >= 'a' && c <= 'z' ? 'l'
                             : c >= 'A' && c <= 'Z' ? 'u'
                                                    : '?';
            if (seen.find(cls) == std::string::npos) seen += cls;
        }
        std::sort(seen.begin(), seen.end());
        EXPECT_EQ(seen, row.classes);
    }
}

TEST(FullWidth, AsciiBecomesTheA3Row) {
    struct Row {
        std::string in, out;
    };
    const Row kRows[] = {
        {"!", "\xA3\xA1"},        {"0", "\xA3\xB0"}, {"Z", "\xA3\xDA"},
        {"z", "\xA3\xFA"},        {"}", "\xA3\xFD"}, {" ", "\xA1\xA1"},
        {"~", "\xA1\xAB"},        {"\r\n", "\r\n"},  {G("中a"), G("中") + "\xA3\xE1"},
        {"\x81\x40", "\x81\x40"},  // a trail byte in the ASCII range stays part of its character
    };
    for (const Row& row : kRows) {
        SCOPED_TRACE(U(row.in));
        EXPECT_EQ(toFullWidth(row.in), row.out);
    }
    Random random(9);
    const std::string group = randomAlnum(random, 6, true, false, false, false);
    ASSERT_EQ(group.size(), 12u);
    for (std::size_t i = 0; i < group.size(); i += 2)
        EXPECT_EQ(static_cast<unsigned char>(group[i]), 0xA3) << i;
}

class RandomTextRunTest : public ::testing::Test {
  protected:
    std::vector<std::string> run(RandomTextKind kind) {
        clickRandomTextButton(form, kind, state, 42);
        const std::string result = form.find("编辑框结果")->text();
        return result.empty() ? std::vector<std::string>() : lines(result);
    }
    void set(const char* name, const char* text) { form.find(name)->setText(G(text)); }
    void tick(const char* name, bool ticked) { form.find(name)->setTicked(ticked); }

    HeadlessForm form{randomTextTable()};
    RandomTextRun state;
};

TEST_F(RandomTextRunTest, InitialOptionsGiveHundredLinesOfThreeToFive) {
    clickRandomTextButton(form, RandomTextKind::Chinese, state, 1);
    const std::string text = form.find("编辑框结果")->text();
    EXPECT_NE(text.substr(text.size() - 2), "\r\n");
    const std::vector<std::string> groups = lines(text);
    ASSERT_EQ(groups.size(), 100u);
    for (const std::string& group : groups) {
        EXPECT_GE(group.size(), 6u);
        EXPECT_LE(group.size(), 10u);
        EXPECT_TRUE(wholeCharactersOf(group, characterTable(CharacterTable::MostCommon)));
    }
    EXPECT_EQ(U(form.find("按钮生成汉字")->text()), "生成随机汉字");
    EXPECT_TRUE(form.find("按钮生成数母")->enabled());
}

TEST_F(RandomTextRunTest, BoundsGiveGroupLengths) {
    struct Row {
        const char* low;
        const char* high;
        std::vector<std::size_t> allowed;
    };
    const Row kRows[] = {
        {"", "", {8}},          {"5", "2", {2, 3, 4, 5}}, {"3", "3", {3}},
        {"-4", "2", {1, 2, 8}}, {"2.9", "x", {1, 2, 8}},  // "2.9" reads 2, "x" 0; a drawn 0 stands
                                                          // for 8
    };
    for (const Row& row : kRows) {
        SCOPED_TRACE(std::string(row.low) + " .. " + row.high);
        set("编辑框字数1", row.low);
        set("编辑框字数2", row.high);
        for (const std::string& group : run(RandomTextKind::Alnum)) {
            EXPECT_NE(std::find(row.allowed.begin(), row.allowed.end(), group.size()),
                      row.allowed.end())
                << group;
        }
    }
}

TEST_F(RandomTextRunTest, EmptyGroupCountClearsTheResult) {
    set("编辑框结果", "旧内容");
    set("编辑框组数", "");
    EXPECT_TRUE(run(RandomTextKind::Chinese).empty());
}

TEST_F(RandomTextRunTest, GroupCountIsCapped) {
    set("编辑框组数", "2000000");
    set("编辑框字数1", "1");
    set("编辑框字数2", "1");
    EXPECT_EQ(run(RandomTextKind::Alnum).size(), static_cast<std::size_t>(kMaxToolResultItems));
}

TEST_F(RandomTextRunTest, ClassesAndFullWidthFromTheWindow) {
    tick("选择框有小字母", false);
    tick("选择框有大字母", false);
    for (const std::string& group : run(RandomTextKind::Alnum))
        EXPECT_EQ(group.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos);
    tick("选择框有数字", true);
    tick("选择框转为全角", true);
    set("编辑框字数1", "6");
    set("编辑框字数2", "6");
    for (const std::string& group : run(RandomTextKind::Alnum)) {
        ASSERT_EQ(group.size(), 12u);
        for (std::size_t i = 0; i < 12; i += 2) {
            EXPECT_EQ(static_cast<unsigned char>(group[i]), 0xA3);
            EXPECT_GE(static_cast<unsigned char>(group[i + 1]), 0xB0);
            EXPECT_LE(static_cast<unsigned char>(group[i + 1]), 0xB9);
        }
    }
}

TEST_F(RandomTextRunTest, ChosenTableAndNoneChosen) {
    selectCharacterTable(form, "单选框次要常用");
    EXPECT_FALSE(form.find("单选框最常用")->ticked());
    for (const std::string& group : run(RandomTextKind::Chinese))
        EXPECT_TRUE(wholeCharactersOf(group, characterTable(CharacterTable::Secondary)));
    tick("单选框次要常用", false);
    for (const std::string& group : run(RandomTextKind::Chinese))
        EXPECT_TRUE(wholeCharactersOf(group, characterTable(CharacterTable::MostCommon)));
}

TEST_F(RandomTextRunTest, SecondClickStopsAfterTheCurrentGroup) {
    int passes = 0;
    std::string captionWhileRunning;
    bool otherEnabledWhileRunning = true;
    const auto previous = setPendingMessagesHandler([&] {
        if (++passes != 3) return;
        captionWhileRunning = U(form.find("按钮生成数母")->text());
        otherEnabledWhileRunning = form.find("按钮生成汉字")->enabled();
        clickRandomTextButton(form, RandomTextKind::Alnum, state);  // nested, as in the window
        EXPECT_EQ(U(form.find("按钮生成数母")->text()), "正在停止中");
    });
    const std::vector<std::string> groups = run(RandomTextKind::Alnum);
    setPendingMessagesHandler(previous);
    EXPECT_EQ(captionWhileRunning, "点我停止生成");
    EXPECT_FALSE(otherEnabledWhileRunning);
    EXPECT_EQ(groups.size(), 3u);
    EXPECT_EQ(U(form.find("按钮生成数母")->text()), "生成随机数字字母");
    EXPECT_TRUE(form.find("按钮生成汉字")->enabled());
    EXPECT_FALSE(state.running);
}

TEST(RandomTextSettings, SavedInOrderAndRestored) {
    test::TempFolder folder;
    const std::string path = folder / "settings.ini";
    {
        SettingsStore store;
        ASSERT_TRUE(store.open(path));
        HeadlessForm form(randomTextTable());
        form.find("选择框有数字")->setTicked(true);
        selectCharacterTable(form, "单选框一般常用");
        form.find("编辑框组数")->setText("7");
        ASSERT_TRUE(saveRandomTextSettings(store, form).ok());
    }
    const std::string file = U(test::readFile(path));
    std::size_t at = file.find("[随机文本生成器]");
    ASSERT_NE(at, std::string::npos) << file;
    for (const char* line :
         {"选择框有数字=真", "选择框有小字母=真", "选择框有大字母=真", "选择框转为全角=假",
          "选择框转为繁体=假", "单选框最常用=假", "单选框次要常用=假", "单选框一般常用=真",
          "字数1=3", "字数2=5", "组数=7"}) {
        const std::size_t next = file.find(line, at);
        ASSERT_NE(next, std::string::npos) << line << " in order in\n" << file;
        at = next;
    }
    SettingsStore store;
    ASSERT_TRUE(store.open(path));
    HeadlessForm form(randomTextTable());
    restoreRandomTextSettings(store, form);
    EXPECT_TRUE(form.find("选择框有数字")->ticked());
    EXPECT_TRUE(form.find("单选框一般常用")->ticked());
    EXPECT_FALSE(form.find("单选框最常用")->ticked());
    EXPECT_EQ(form.find("编辑框组数")->text(), "7");
}

}  // namespace
}  // namespace lct
