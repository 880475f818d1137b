// The keyword merger: both merges, the window's choices, its enable rule and
// its settings through a headless form and a real settings file.
#include "tools/keyword_merger.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
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

std::vector<std::string> sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

std::string numberedWords(const char* prefix, int count) {
    std::string list;
    for (int i = 1; i <= count; ++i)
        list += prefix + std::to_string(i) + "\r\n";
    return list;
}

struct PairCase {
    const char* name;
    const char* list1;
    const char* list2;
    const char* expected;
};

TEST(MergePairs, InListOrder) {
    const PairCase cases[] = {
        {"MissingWordsOfList2AreEmpty", "a\r\nb\r\nc", "x\r\ny", "a,x\r\nb,y\r\nc,\r\n"},
        {"SurplusWordsOfList2NeverAppear", "a\r\nb", "x\r\ny\r\nz\r\n", "a,x\r\nb,y\r\n"},
        {"EmptyLinesStayAsEmptyWords", "a\r\n\r\nc", "x\r\ny\r\nz", "a,x\r\n,y\r\nc,z\r\n"},
        {"EmptyList1GivesNothing", "", "x\r\ny", ""},
        {"TrailingBreakAddsNoWord", "a\r\n", "x", "a,x\r\n"},
    };
    Random random(1);
    for (const PairCase& c : cases)
        EXPECT_EQ(mergePairs(c.list1, c.list2, ",", false, random, false), c.expected) << c.name;
}

TEST(MergePairs, RandomOrderUsesEachWordOnceOnEachSide) {
    Random random(2);
    const std::string result =
        mergePairs(numberedWords("a", 40), numberedWords("b", 45), "+", true, random, false);
    std::vector<std::string> left;
    std::vector<std::string> right;
    for (const std::string& line : splitList(result, "\r\n")) {
        const std::size_t plus = line.find('+');
        ASSERT_NE(plus, std::string::npos) << line;
        left.push_back(line.substr(0, plus));
        right.push_back(line.substr(plus + 1));
    }
    EXPECT_EQ(sorted(left), sorted(splitList(numberedWords("a", 40), "\r\n")));
    EXPECT_EQ(sorted(right), sorted(splitList(numberedWords("b", 40), "\r\n")));
    EXPECT_NE(left, splitList(numberedWords("a", 40), "\r\n"));
}

struct SingleCase {
    const char* name;
    const char* list;
    int wordsPerLine;
    const char* expected;
};

TEST(MergeSingle, InListOrder) {
    const SingleCase cases[] = {
        {"RemainderOnTheLastLine", "w1\r\nw2\r\nw3\r\nw4\r\nw5", 2, "w1,w2\r\nw3,w4\r\nw5\r\n"},
        {"OneMeansTwo", "w1\r\nw2\r\nw3", 1, "w1,w2\r\nw3\r\n"},
        {"ZeroMeansTwo", "w1\r\nw2\r\nw3", 0, "w1,w2\r\nw3\r\n"},
        {"NegativeMeansTwo", "w1\r\nw2\r\nw3", -4, "w1,w2\r\nw3\r\n"},
        {"Three", "w1\r\nw2\r\nw3\r\nw4", 3, "w1,w2,w3\r\nw4\r\n"},
        {"MoreThanTheList", "w1\r\nw2", 9, "w1,w2\r\n"},
        // The symbol goes in front of a word only once the line holds text.
        {"EmptyWordsAddNoLeadingSymbol", "\r\nw2\r\nw3", 2, "w2\r\nw3\r\n"},
        {"EmptyList", "", 2, ""},
    };
    Random random(3);
    for (const SingleCase& c : cases)
        EXPECT_EQ(mergeSingle(c.list, c.wordsPerLine, ",", false, random, false), c.expected)
            << c.name;
}

TEST(MergeSingle, RandomOrderUsesEveryWordExactlyOnce) {
    Random random(4);
    const std::string list = numberedWords("w", 25);
    const std::string result = mergeSingle(list, 4, "|", true, random, false);
    const auto resultLines = splitList(result, "\r\n");
    ASSERT_EQ(resultLines.size(), 7u);
    EXPECT_TRUE(result.ends_with("\r\n"));
    std::vector<std::string> words;
    for (const std::string& line : resultLines) {
        for (const std::string& w : splitList(line, "|"))
            words.push_back(w);
    }
    EXPECT_EQ(sorted(words), sorted(splitList(list, "\r\n")));
}

TEST(MergeStop, PairsEndAfterTheLineInProgress) {
    Random random(6);
    bool stop = false;
    auto previous = setPendingMessagesHandler([&] { stop = true; });
    const std::string result = mergePairs("a\r\nb\r\nc", "x\r\ny\r\nz", ",", false, random, stop);
    setPendingMessagesHandler(previous);
    EXPECT_EQ(result, "a,x\r\n");
}

TEST(MergeStop, SingleEndsAfterTheLineInProgress) {
    Random random(7);
    bool stop = false;
    auto previous = setPendingMessagesHandler([&] { stop = true; });
    const std::string result =
        mergeSingle("w1\r\nw2\r\nw3\r\nw4\r\nw5", 2, ",", false, random, stop);
    setPendingMessagesHandler(previous);
    EXPECT_EQ(result, "w1,w2\r\n");
}

class MergerForm : public ::testing::Test {
  protected:
    HeadlessForm form{keywordMergerTable()};
    Random random{5};
    bool stop = true;  // each run clears it

    void choose(std::string_view target) {
        for (const char* radio : {"单选框词组1", "单选框词组2", "单选框词组1和词组2"})
            form.find(radio)->setTicked(radio == target);
        applyMergerEnableRule(form);
    }
    std::string merge() {
        static_cast<void>(pressMergerButton(form, random, stop));
        return textOf(form, "编辑框结果");
    }
};

TEST_F(MergerForm, SampleListsHoldHundredLinesOfThreeToFiveCharacters) {
    for (const char* box : {"编辑框列表1", "编辑框列表2"}) {
        const auto words = splitList(textOf(form, box), "\r\n");
        ASSERT_EQ(words.size(), 100u) << box;
        for (const std::string& w : words) {
            const int count = charCount(w);
            EXPECT_TRUE(count >= 3 && count <= 5) << U(w);
            const bool letters =
                std::all_of(w.begin(), w.end(), [](char ch) { return ch >= 'a' && ch <= 'z'; });
            EXPECT_EQ(letters, box == std::string_view("编辑框列表1")) << U(w);
            if (!letters) {
                EXPECT_EQ(w.size(), 2u * static_cast<std::size_t>(count)) << U(w);
            }
        }
    }
    HeadlessForm again(keywordMergerTable());
    EXPECT_EQ(textOf(form, "编辑框列表1"), textOf(again, "编辑框列表1"));
}

TEST_F(MergerForm, ChoicesPickTheMerge) {
    form.find("编辑框列表1")->setText("a\r\nb\r\nc");
    form.find("编辑框列表2")->setText("x\r\ny\r\nz");
    form.find("单选框随机")->setTicked(false);
    form.find("单选框顺序")->setTicked(true);
    EXPECT_EQ(merge(), "a,x\r\nb,y\r\nc,z\r\n");
    choose("单选框词组2");
    form.find("编辑框符号")->setText(" ");
    EXPECT_EQ(merge(), "x y\r\nz\r\n");
    choose("单选框词组1");
    form.find("编辑框词数")->setText("3abc");
    EXPECT_EQ(merge(), "a b c\r\n");
}

TEST_F(MergerForm, WordCountIsEnabledOnlyForOneList) {
    EXPECT_FALSE(form.find("编辑框词数")->enabled());
    choose("单选框词组1");
    EXPECT_TRUE(form.find("编辑框词数")->enabled());
    choose("单选框词组2");
    EXPECT_TRUE(form.find("编辑框词数")->enabled());
    choose("单选框词组1和词组2");
    EXPECT_FALSE(form.find("编辑框词数")->enabled());
}

class MergerSettings : public ::testing::Test {
  protected:
    test::TempFolder folder;
    std::string path = folder / "青禾·澜词通.ini";
};

TEST_F(MergerSettings, SaveAppendsItsSectionAndWritesTheListsAsByteSetFiles) {
    const std::string before = G("[主界面]\r\n调用方式=0");
    test::writeFile(path, before);
    HeadlessForm form(keywordMergerTable());
    {
        SettingsStore store;
        ASSERT_TRUE(store.open(path));
        ASSERT_TRUE(saveKeywordMerger(store, form).ok());
    }
    EXPECT_EQ(test::readFile(path),
              before + G("\r\n[关键词合并器]\r\n单选框词组1=假\r\n单选框词组2=假\r\n"
                         "单选框词组1和词组2=真\r\n词数=2\r\n符号=,"));
    EXPECT_EQ(test::readFile(folder / "inibin/关键词合并器-词组1.ibn"),
              textOf(form, "编辑框列表1"));
    EXPECT_EQ(test::readFile(folder / "inibin/关键词合并器-词组2.ibn"),
              textOf(form, "编辑框列表2"));
}

TEST_F(MergerSettings, RestoreBringsBackTheChoicesAndTheRule) {
    test::writeFile(path, G("[关键词合并器]\r\n单选框词组2=真\r\n单选框词组1和词组2=假\r\n"
                            "词数=4\r\n符号=┊*┊"));
    std::filesystem::create_directory(folder / "inibin");
    test::writeFile(folder / "inibin/关键词合并器-词组2.ibn", "");  // reads as missing
    ASSERT_TRUE(test::fileExists(folder / "inibin/关键词合并器-词组2.ibn"));
    SettingsStore store;
    ASSERT_TRUE(store.open(path));
    HeadlessForm form(keywordMergerTable());
    const std::string list2 = textOf(form, "编辑框列表2");
    restoreKeywordMerger(store, form);
    EXPECT_TRUE(tickedOf(form, "单选框词组2"));
    EXPECT_FALSE(tickedOf(form, "单选框词组1和词组2"));
    EXPECT_TRUE(form.find("编辑框词数")->enabled());
    EXPECT_EQ(textOf(form, "编辑框词数"), "4");
    EXPECT_EQ(textOf(form, "编辑框符号"), "\r\n");
    EXPECT_EQ(textOf(form, "编辑框列表2"), list2);
}

}  // namespace
}  // namespace lct
