// Every tool stops before its result would pass the limits, says so, and
// says nothing when a result fits exactly; numbers a tool cannot handle are
// refused with a message.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "form/headless_form.h"
#include "gbk.h"
#include "platform/random.h"
#include "tools/anchor_composer.h"
#include "tools/keyword_combiner.h"
#include "tools/keyword_merger.h"
#include "tools/random_text.h"
#include "tools/result_limit.h"
#include "tools/sequence_text.h"

namespace lct {
namespace {

using test::G;
using test::U;

std::size_t lineCount(const std::string& text) {
    return text.empty() ? 0 : countLines(text);
}

struct AdmitCase {
    std::vector<std::size_t> items;  // bytes of each item offered
    std::size_t admitted;
    bool cut;
};

TEST(ResultBuilder, AdmitsUpToBothLimitsExactly) {
    const ResultLimits limits{.maxItems = 3, .maxBytes = 10};
    const AdmitCase cases[] = {
        {{4, 4, 2}, 3, false},  // exactly 3 items and 10 bytes
        {{4, 4, 2, 0}, 3, true}, {{4, 4, 3}, 2, true}, {{11}, 0, true},
        {{10}, 1, false},        {{}, 0, false},
    };
    for (const AdmitCase& c : cases) {
        ResultBuilder builder(limits);
        for (std::size_t bytes : c.items) {
            if (!builder.admit(bytes)) break;
            builder.text().append(bytes, 'x');
        }
        EXPECT_EQ(builder.items(), c.admitted);
        EXPECT_EQ(builder.limitReached(), c.cut);
        EXPECT_LE(builder.text().size(), limits.maxBytes);
    }
}

TEST(ResultBuilder, MessageTellsWhatWasMadeAndTheLimits) {
    const std::string message = U(resultLimitMessage({1000000, 5 << 20, true}, "行"));
    EXPECT_NE(message.find("共生成 1000000 行"), std::string::npos) << message;
    EXPECT_NE(message.find("5 MB"), std::string::npos) << message;
    EXPECT_NE(message.find("最多 1000000 行、64 MB"), std::string::npos) << message;
}

// One row per tool: how it is run on its form with limits of a few items.
class ToolLimit : public ::testing::Test {
  protected:
    void expectCut(const HeadlessForm& form, const std::string& unitText) {
        ASSERT_EQ(form.messages().size(), 1u);
        EXPECT_EQ(form.messages()[0].icon, MessageIcon::Warning);
        EXPECT_NE(U(form.messages()[0].text).find(unitText), std::string::npos)
            << U(form.messages()[0].text);
    }
};

TEST_F(ToolLimit, RandomGroupsAtAndPastTheItemLimit) {
    for (const char* groups : {"3", "4"}) {
        HeadlessForm form(randomTextTable());
        form.find("编辑框组数")->setText(groups);
        RandomTextRun run;
        ASSERT_TRUE(clickRandomTextButton(form, RandomTextKind::Alnum, run, 1, {3, 1 << 20}));
        EXPECT_EQ(lineCount(textOf(form, "编辑框结果")), 3u) << groups;
        if (std::string(groups) == "3")
            EXPECT_TRUE(form.messages().empty());
        else
            expectCut(form, "共生成 3 组");
    }
}

TEST_F(ToolLimit, RandomGroupsAtAndPastTheByteLimit) {
    // Groups of five letters: two take 5 + 2 + 5 = 12 bytes.
    for (std::size_t maxBytes : {12u, 11u}) {
        HeadlessForm form(randomTextTable());
        form.find("编辑框字数1")->setText("5");
        form.find("编辑框字数2")->setText("5");
        form.find("编辑框组数")->setText("2");
        RandomTextRun run;
        ASSERT_TRUE(clickRandomTextButton(form, RandomTextKind::Alnum, run, 1, {100, maxBytes}));
        const std::string result = textOf(form, "编辑框结果");
        EXPECT_LE(result.size(), maxBytes);
        EXPECT_EQ(lineCount(result), maxBytes == 12 ? 2u : 1u);
        if (maxBytes == 12)
            EXPECT_TRUE(form.messages().empty());
        else
            expectCut(form, "共生成 1 组（5 字节）");
    }
}

TEST_F(ToolLimit, SequenceAtAndPastTheLimits) {
    HeadlessForm form(sequenceTextTable());
    form.find("编辑框终止值")->setText("3");
    ASSERT_TRUE(generateSequenceInto(form, {3, 1 << 20}));
    EXPECT_EQ(textOf(form, "编辑框结果"), "0001\r\n0002\r\n0003");
    EXPECT_TRUE(form.messages().empty());

    form.find("编辑框终止值")->setText("4");
    ASSERT_TRUE(generateSequenceInto(form, {3, 1 << 20}));
    EXPECT_EQ(textOf(form, "编辑框结果"), "0001\r\n0002\r\n0003");
    expectCut(form, "共生成 3 项");

    HeadlessForm bytes(sequenceTextTable());
    ASSERT_TRUE(generateSequenceInto(bytes, {100, 15}));
    EXPECT_EQ(textOf(bytes, "编辑框结果"), "0001\r\n0002");
    expectCut(bytes, "共生成 2 项");
}

TEST_F(ToolLimit, CombinerAtAndPastTheLineLimit) {
    for (std::size_t maxLines : {81u, 80u}) {
        HeadlessForm form(keywordCombinerTable());
        bool stop = false;
        Random random(1);
        ASSERT_TRUE(runKeywordCombiner(form, stop, random, {maxLines, 1 << 20}));
        EXPECT_EQ(lineCount(textOf(form, "编辑框结果")), maxLines);
        EXPECT_EQ(U(textOf(form, "标签结果行数")), "共 " + std::to_string(maxLines) + " 行");
        if (maxLines == 81)
            EXPECT_TRUE(form.messages().empty());
        else
            expectCut(form, "共生成 80 行");
    }
}

TEST_F(ToolLimit, CombinerNeverPassesTheByteLimitWithHugeWords) {
    // Three words of 40 bytes: no line of them fits in 100 bytes twice.
    HeadlessForm form(keywordCombinerTable());
    const std::string word(40, 'w');
    for (const char* box : {"编辑框词1", "编辑框词2", "编辑框词3"})
        form.find(box)->setText(word);
    form.find("编辑框词4")->setText("");
    bool stop = false;
    Random random(1);
    ASSERT_TRUE(runKeywordCombiner(form, stop, random, {100, 100}));
    EXPECT_EQ(textOf(form, "编辑框结果"), "");
    expectCut(form, "共生成 0 行");
}

TEST_F(ToolLimit, MergerAtAndPastTheLimits) {
    for (std::size_t maxLines : {3u, 2u}) {
        HeadlessForm form(keywordMergerTable());
        form.find("编辑框列表1")->setText("a\r\nb\r\nc");
        form.find("编辑框列表2")->setText("x\r\ny\r\nz");
        form.find("单选框顺序")->setTicked(true);
        form.find("单选框随机")->setTicked(false);
        Random random(1);
        bool stop = false;
        ASSERT_TRUE(pressMergerButton(form, random, stop, {maxLines, 1 << 20}));
        EXPECT_EQ(lineCount(textOf(form, "编辑框结果")), maxLines);
        if (maxLines == 3)
            EXPECT_TRUE(form.messages().empty());
        else
            expectCut(form, "共生成 2 行");
    }
    Random random(1);
    ResultCount count;
    EXPECT_EQ(
        mergeSingle("w1\r\nw2\r\nw3\r\nw4\r\nw5", 2, ",", false, random, false, &count, {100, 14}),
        "w1,w2\r\nw3,w4\r\n");
    EXPECT_TRUE(count.limitReached);
}

TEST_F(ToolLimit, AnchorComposerAtAndPastTheLimits) {
    for (std::size_t maxLines : {3u, 2u}) {
        HeadlessForm form(anchorComposerTable());
        bool stop = false;
        pressAnchorComposer(form, stop, {maxLines, 1 << 20});
        EXPECT_EQ(lineCount(textOf(form, "编辑框合成列表")), maxLines);
        if (maxLines == 3)
            EXPECT_TRUE(form.messages().empty());
        else
            expectCut(form, "共生成 2 行");
    }
    ResultCount count;
    const std::string longTemplate(1000, 't');
    const std::string result =
        composeAnchors("k\r\nk\r\nk", "u\r\nu\r\nu", longTemplate, false, &count, {100, 2004});
    EXPECT_EQ(result.size(), 2004u);
    EXPECT_TRUE(count.limitReached);
    EXPECT_EQ(count.items, 2u);
}

// A line that would take gigabytes (a symbol of 1 MiB between 400,000 words,
// a keyword of 1 MiB in a template of 400,000 markers) is never built: the
// tool stops as soon as the line could no longer fit.
TEST_F(ToolLimit, HugeLinesStopBeforeTheyAreBuilt) {
    std::string words;
    std::string markers;
    for (int i = 0; i < 400'000; ++i) {
        words += "w\r\n";
        markers += "*1";
    }
    const std::string mib(1 << 20, 'x');
    Random random(1);
    ResultCount merged;
    ResultCount composed;
    EXPECT_EQ(mergeSingle(words, 2147483647, mib, false, random, false, &merged, {}), "");
    EXPECT_EQ(composeAnchors(mib, "u", markers, false, &composed, {}), "");
    EXPECT_TRUE(merged.limitReached && composed.limitReached);
}

struct RefusalCase {
    const char* name;
    const char* control;
    const char* value;
    const char* label;  // named in the message
};

TEST(ToolNumbers, RandomRefusesValuesItCannotHandle) {
    const RefusalCase cases[] = {
        {"LongerThanAGroup", "编辑框字数2", "1000001", "每组字数"},
        {"BeyondInt", "编辑框组数", "3000000000", "生成组数"},
        {"Beyond64Bits", "编辑框字数1", "99999999999999999999", "每组字数"},
    };
    for (const RefusalCase& c : cases) {
        HeadlessForm form(randomTextTable());
        form.find("编辑框结果")->setText("old");
        form.find(c.control)->setText(c.value);
        RandomTextRun run;
        EXPECT_FALSE(clickRandomTextButton(form, RandomTextKind::Chinese, run, 1)) << c.name;
        EXPECT_EQ(textOf(form, "编辑框结果"), "old") << c.name;
        EXPECT_EQ(U(textOf(form, "按钮生成汉字")), "生成随机汉字") << c.name;
        ASSERT_EQ(form.messages().size(), 1u) << c.name;
        EXPECT_NE(U(form.messages()[0].text).find(c.label), std::string::npos) << c.name;
    }
}

TEST(ToolNumbers, RandomReadsBlanksAndFullWidthDigits) {
    HeadlessForm form(randomTextTable());
    form.find("编辑框字数1")->setText(G(" ２"));
    form.find("编辑框字数2")->setText(G("　2"));
    form.find("编辑框组数")->setText(G("３"));
    RandomTextRun run;
    ASSERT_TRUE(clickRandomTextButton(form, RandomTextKind::Alnum, run, 1));
    EXPECT_EQ(textOf(form, "编辑框结果").size(), 3 * 2 + 2 * 2u);
}

TEST(ToolNumbers, SequenceReadsTwelveDigitNumerals) {
    HeadlessForm form(sequenceTextTable());
    form.find("编辑框起始值")->setText("100000000000");
    form.find("编辑框终止值")->setText(G("１０００００００００００"));
    form.find("选择框转为大写")->setTicked(true);
    ASSERT_TRUE(generateSequenceInto(form));
    EXPECT_EQ(U(textOf(form, "编辑框结果")), "一千亿");
    EXPECT_TRUE(form.messages().empty());
}

TEST(ToolNumbers, SequenceRefusesNumeralsBeyondTwelveDigits) {
    HeadlessForm form(sequenceTextTable());
    form.find("编辑框结果")->setText("old");
    form.find("编辑框终止值")->setText("1000000000000");
    form.find("选择框转为大写")->setTicked(true);
    EXPECT_FALSE(generateSequenceInto(form));
    EXPECT_EQ(textOf(form, "编辑框结果"), "old");
    ASSERT_EQ(form.messages().size(), 1u);
    EXPECT_NE(U(form.messages()[0].text).find("12 位"), std::string::npos);
}

TEST(ToolNumbers, SequenceRefusesValuesBeyond64Bits) {
    HeadlessForm form(sequenceTextTable());
    form.find("编辑框间隔值")->setText("9223372036854775808");
    EXPECT_FALSE(generateSequenceInto(form));
    ASSERT_EQ(form.messages().size(), 1u);
    EXPECT_NE(U(form.messages()[0].text).find("间隔值"), std::string::npos);
}

TEST(ToolNumbers, SequenceNearTheEndOfTheRangeEnds) {
    HeadlessForm form(sequenceTextTable());
    form.find("编辑框起始值")->setText("9223372036854775806");
    form.find("编辑框终止值")->setText("9223372036854775807");
    form.find("编辑框零位数")->setText("0");
    form.find("选择框数位相同")->setTicked(false);
    ASSERT_TRUE(generateSequenceInto(form));
    EXPECT_EQ(textOf(form, "编辑框结果"), "9223372036854775806\r\n9223372036854775807");
}

TEST(ToolNumbers, MergerRefusesAWordCountBeyondInt) {
    HeadlessForm form(keywordMergerTable());
    form.find("单选框词组1和词组2")->setTicked(false);
    form.find("单选框词组1")->setTicked(true);
    form.find("编辑框词数")->setText("5000000000");
    Random random(1);
    bool stop = false;
    EXPECT_FALSE(pressMergerButton(form, random, stop));
    EXPECT_EQ(textOf(form, "编辑框结果"), "");
    ASSERT_EQ(form.messages().size(), 1u);
    EXPECT_NE(U(form.messages()[0].text).find("合并词数"), std::string::npos);
    // The pair merge does not read it.
    form.find("单选框词组1")->setTicked(false);
    form.find("单选框词组1和词组2")->setTicked(true);
    EXPECT_TRUE(pressMergerButton(form, random, stop));
}

}  // namespace
}  // namespace lct
