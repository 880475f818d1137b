// The keyword traversal combiner over a headless form: the run, its stop and
// limits, the word groups, the help text and the settings.
#include "tools/keyword_combiner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "engine/chars.h"
#include "engine/lists.h"
#include "form/headless_form.h"
#include "form/pending_messages.h"
#include "gbk.h"
#include "settings/settings_support.h"

namespace lct {
namespace {

using test::G;
using test::U;

std::vector<std::string> lines(std::string_view text) {
    return splitList(text, "\r\n");
}

// Restores the no-op message handler when a test installed its own.
class HandlerGuard {
  public:
    explicit HandlerGuard(std::function<void()> handler)
        : previous_(setPendingMessagesHandler(std::move(handler))) {}
    ~HandlerGuard() { setPendingMessagesHandler(previous_); }

  private:
    std::function<void()> previous_;
};

class CombinerRun : public ::testing::Test {
  protected:
    HeadlessForm form{keywordCombinerTable()};
    bool stop = false;
    Random random{7};

    std::string run(const CombineLimits& limits = {}) {
        runKeywordCombiner(form, stop, random, limits);
        return textOf(form, "编辑框结果");
    }
    void set(std::string_view name, std::string_view utf8) { form.find(name)->setText(G(utf8)); }
    void select(std::string_view name, int index) { form.find(name)->setSelectedIndex(index); }
};

TEST_F(CombinerRun, DefaultsGiveTheCrossProductInBoxOrder) {
    const std::string result = run();
    const auto all = lines(result);
    ASSERT_EQ(all.size(), 81u);
    EXPECT_EQ(U(all[0]), "我很爱甲");
    EXPECT_EQ(U(all[1]), "我很爱乙");
    EXPECT_EQ(U(all[2]), "我很爱丙");
    EXPECT_EQ(U(all[3]), "我很恨甲");
    EXPECT_EQ(U(all[80]), "她超想丙");
    EXPECT_TRUE(result.ends_with(G("她超想丙\r\n")));
    EXPECT_EQ(textOf(form, "按钮开始组合"), G("开始组合"));
    EXPECT_TRUE(form.messages().empty());
}

TEST_F(CombinerRun, EmptyGroupsTakeNoPart) {
    set("编辑框词2", "");
    set("编辑框词4", " \r\n\r\n");
    const auto all = lines(run());
    ASSERT_EQ(all.size(), 9u);
    EXPECT_EQ(U(all[0]), "我爱");
    EXPECT_EQ(U(all[8]), "她想");
}

TEST_F(CombinerRun, AllGroupsEmptyGiveOneEmptyLine) {
    for (const char* box : {"编辑框词1", "编辑框词2", "编辑框词3", "编辑框词4"})
        set(box, "");
    EXPECT_EQ(run(), "\r\n");
    select("组合框调用方式", 2);
    EXPECT_EQ(run(), "");
}

TEST_F(CombinerRun, SeparatorIsDrawnForEveryWordTheFirstIncluded) {
    // Four words draw four symbols per line; the first is not used. Draws
    // pair up in the picker's cycles of two, so the third and fourth draw of
    // a line, which stand in its second and third gap, always differ.
    set("编辑框符号", "-+");
    std::set<char> seen;
    for (const std::string& line : lines(run())) {
        ASSERT_EQ(line.size(), 11u) << U(line);
        const char gaps[] = {line[2], line[5], line[8]};
        for (char gap : gaps) {
            ASSERT_TRUE(gap == '-' || gap == '+') << U(line);
            seen.insert(gap);
        }
        EXPECT_NE(gaps[1], gaps[2]) << U(line);
    }
    EXPECT_EQ(seen.size(), 2u);
}

TEST_F(CombinerRun, UniqueVerticalModeStillGivesEveryCombination) {
    const std::vector<std::string> inOrder = lines(run());
    select("组合框调用方式", 1);
    std::vector<std::string> shuffled = lines(run());
    ASSERT_EQ(shuffled.size(), 81u);
    EXPECT_EQ(std::set(shuffled.begin(), shuffled.end()), std::set(inOrder.begin(), inOrder.end()));
}

TEST_F(CombinerRun, UniqueHorizontalModeUsesEverySlotOncePerLine) {
    set("编辑框词1", "a\r\nb");
    set("编辑框词2", "c\r\nd");
    set("编辑框词3", "e\r\nf");
    set("编辑框词4", "g\r\nh");
    const auto inOrder = lines(run());
    select("组合框组合方式", 1);
    const auto shuffled = lines(run());
    ASSERT_EQ(shuffled.size(), inOrder.size());
    int reordered = 0;
    for (std::size_t i = 0; i < shuffled.size(); ++i) {
        std::string sorted = shuffled[i];
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, inOrder[i]) << shuffled[i];
        reordered += sorted != shuffled[i];
    }
    EXPECT_GT(reordered, 0);
}

TEST_F(CombinerRun, FreeRandomModeKeepsDistinctLines) {
    select("组合框调用方式", 2);
    const std::string result = run();
    const auto all = lines(result);
    EXPECT_LE(all.size(), 81u);
    EXPECT_FALSE(result.ends_with("\r\n"));
    EXPECT_EQ(std::set(all.begin(), all.end()).size(), all.size());
    for (const std::string& line : all)
        EXPECT_EQ(charCount(line), 4) << U(line);
}

TEST_F(CombinerRun, ClickDuringRunStopsAfterTheCurrentLine) {
    int calls = 0;
    std::string captionAfterClick;
    HandlerGuard guard([&] {
        if (++calls != 60) return;
        pressCombinerButton(form, stop, random);  // the second click, nested
        captionAfterClick = textOf(form, "按钮开始组合");
    });
    pressCombinerButton(form, stop, random);
    EXPECT_EQ(captionAfterClick, G("停止中.."));
    EXPECT_TRUE(stop);
    EXPECT_EQ(textOf(form, "按钮开始组合"), G("开始组合"));
    // A line costs 4 positions and a pick on each level entered: lines 1 to
    // 10 take 57 calls, so call 60 falls in line 11.
    const auto kept = lines(textOf(form, "编辑框结果"));
    ASSERT_EQ(kept.size(), 11u);
    EXPECT_EQ(U(kept[10]), "我甚爱乙");

    // The next click starts afresh.
    pressCombinerButton(form, stop, random);
    EXPECT_EQ(lines(textOf(form, "编辑框结果")).size(), 81u);
}

struct LimitCase {
    const char* name;
    CombineLimits limits;
    int vertical;
    std::size_t lines;
};

void PrintTo(const LimitCase& row, std::ostream* out) {
    *out << row.name;
}

class CombinerLimit : public CombinerRun, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(CombinerLimit, HugeGroupsStopAtTheLimitAndSaySo) {
    // 1,000 words in each group: 10^12 lines without a limit.
    std::string words;
    for (int i = 0; i < 1000; ++i)
        words += "w" + std::to_string(i) + "\r\n";
    for (const char* box : {"编辑框词1", "编辑框词2", "编辑框词3", "编辑框词4"})
        form.find(box)->setText(words);
    select("组合框调用方式", GetParam().vertical);
    form.setAnswer(MessageAnswer::Yes);  // to the question about 10^12 lines
    const auto kept = lines(run(GetParam().limits));
    if (GetParam().vertical == 2) {
        EXPECT_LE(kept.size(), GetParam().lines);
        EXPECT_GT(kept.size(), 0u);
    } else {
        EXPECT_EQ(kept.size(), GetParam().lines);
        EXPECT_EQ(kept.back(), "w0w0w" + std::to_string((GetParam().lines - 1) / 1000) + "w" +
                                   std::to_string((GetParam().lines - 1) % 1000));
    }
    ASSERT_EQ(form.messages().size(), 2u);
    EXPECT_EQ(form.messages()[0].buttons, MessageButtons::YesNo);
    EXPECT_NE(U(form.messages()[1].text).find("共生成 " + std::to_string(GetParam().lines) + " 行"),
              std::string::npos)
        << U(form.messages()[1].text);
    EXPECT_EQ(form.messages()[1].icon, MessageIcon::Warning);
    EXPECT_EQ(textOf(form, "按钮开始组合"), G("开始组合"));
}

INSTANTIATE_TEST_SUITE_P(
    Limits, CombinerLimit,
    ::testing::Values(LimitCase{"ByLines", {.maxLines = 2500, .maxBytes = 1 << 20}, 0, 2500},
                      // Lines "w0w0w0w0\r\n" .. are 10 bytes up to w9: 100 bytes stop at 10.
                      LimitCase{"ByBytes", {.maxLines = 1000, .maxBytes = 100}, 0, 10},
                      LimitCase{"FreeRandom", {.maxLines = 3000, .maxBytes = 1 << 20}, 2, 3000}),
    [](const auto& row) { return std::string(row.param.name); });

struct WordsCase {
    const char* box;
    std::vector<const char*> words;
};

TEST(CombinerWords, BlankLinesGoAndNoWordsMeansOneEmptyWord) {
    const WordsCase cases[] = {
        {"我\r\n你\r\n", {"我", "你"}},
        {"我\r\n\r\n \t\r\n　\r\n你", {"我", "你"}},
        {"\r\n我", {"我"}},
        {"我\r\n  ", {"我", "  "}},
        {" 我 \r\n你", {" 我 ", "你"}},
        {"", {""}},
        {"\r\n\r\n", {""}},
    };
    for (const WordsCase& c : cases) {
        std::vector<std::string> expected;
        for (const char* w : c.words)
            expected.push_back(G(w));
        EXPECT_EQ(combinerWords(G(c.box)), expected) << c.box;
    }
}

TEST(CombinerSeparators, EveryCharacterIsOneSymbol) {
    EXPECT_EQ(combinerSeparators("-+"), (std::vector<std::string>{"-", "+"}));
    EXPECT_EQ(combinerSeparators(G("、-，")), (std::vector<std::string>{G("、"), "-", G("，")}));
    EXPECT_EQ(combinerSeparators(""), std::vector<std::string>{""});
}

TEST(DistinctLines, FirstAppearanceOrderWithoutEmptyLines) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"b\r\na\r\nb\r\nc\r\na\r\n", "b\r\na\r\nc"},
        {"\r\n\r\nx\r\n\r\n", "x"},
        {"A\r\na\r\nA", "A\r\na"},
        {"", ""},
        {"\r\n", ""},
        {"只\r\n只\r\n", "只"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(distinctLines(G(c.in)), G(c.out)) << c.in;
}

TEST(CombinerHelp, TwentyOneLinesOf1036GbkBytes) {
    const std::string& help = keywordCombinerHelp();
    EXPECT_EQ(help.size(), 1036u);
    const auto all = splitList(help, "\r\n");
    ASSERT_EQ(all.size(), 21u);
    EXPECT_EQ(U(all[0]), "程序支持最多 4 个词组进行交叉组合，且只对有数据的词组进行组合。");
    EXPECT_EQ(all[3], std::string(47, '-'));
    EXPECT_EQ(all[12], std::string(47, '-'));
    EXPECT_EQ(all[18], std::string(48, '-'));
    EXPECT_TRUE(all[2].empty() && all[19].empty());
    EXPECT_FALSE(help.ends_with("\r\n"));
}

class CombinerSettings : public ::testing::Test {
  protected:
    test::TempFolder folder;
    std::string path = folder / "青禾·澜词通.ini";
};

TEST_F(CombinerSettings, SaveWritesTheKeysInOrderAndRestoreBringsThemBack) {
    HeadlessForm form(keywordCombinerTable());
    form.find("组合框调用方式")->setSelectedIndex(2);
    form.find("组合框组合方式")->setSelectedIndex(1);
    form.find("编辑框符号")->setText("-+");
    form.find("编辑框词3")->setText(G("春\r\n夏\r\n"));
    {
        SettingsStore store;
        ASSERT_TRUE(store.open(path));
        ASSERT_TRUE(saveKeywordCombiner(store, form).ok());
    }
    EXPECT_EQ(test::readFile(path),
              G("[关键词遍历组合器]\r\n纵向调用方式=2\r\n横向组合方式=1\r\n组合符号=-+"));
    EXPECT_EQ(test::readFile(folder / "inibin/关键词遍历组合器-词组1.ibn"), G("我\r\n你\r\n她"));
    EXPECT_EQ(test::readFile(folder / "inibin/关键词遍历组合器-词组3.ibn"), G("春\r\n夏\r\n"));

    SettingsStore store;
    ASSERT_TRUE(store.open(path));
    HeadlessForm reopened(keywordCombinerTable());
    restoreKeywordCombiner(store, reopened);
    for (const char* name : {"编辑框符号", "编辑框词1", "编辑框词3", "编辑框词4"})
        EXPECT_EQ(textOf(reopened, name), textOf(form, name)) << name;
    EXPECT_EQ(indexOf(reopened, "组合框调用方式"), 2);
    EXPECT_EQ(indexOf(reopened, "组合框组合方式"), 1);
}

TEST_F(CombinerSettings, MissingOrDamagedValuesLeaveTheControls) {
    test::writeFile(path,
                    G("[关键词遍历组合器]\r\n纵向调用方式=7\r\n横向组合方式=-1\r\n组合符号="));
    SettingsStore store;
    ASSERT_TRUE(store.open(path));
    HeadlessForm form(keywordCombinerTable());
    form.find("组合框调用方式")->setSelectedIndex(1);
    restoreKeywordCombiner(store, form);
    EXPECT_EQ(indexOf(form, "组合框调用方式"), 1);
    EXPECT_EQ(indexOf(form, "组合框组合方式"), 0);
    EXPECT_EQ(textOf(form, "编辑框符号"), "");
    EXPECT_EQ(textOf(form, "编辑框词2"), G("很\r\n甚\r\n超"));
}

}  // namespace
}  // namespace lct
