// The keyword traversal combiner asks before a large cross product, and shows
// the line count of every result.

#include <gtest/gtest.h>

#include <string>

#include "form/headless_form.h"
#include "gbk.h"
#include "platform/random.h"
#include "tools/keyword_combiner.h"

namespace lct {
namespace {

using test::U;

std::string words(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "w" + std::to_string(i) + "\r\n";
    return text;
}

class CombinerConfirm : public ::testing::Test {
  protected:
    HeadlessForm form{keywordCombinerTable()};
    bool stop = false;
    Random random{3};

    // Groups of a, b, c and d words; a 0 leaves a group empty.
    void groups(int a, int b, int c, int d) {
        const int counts[] = {a, b, c, d};
        const char* boxes[] = {"编辑框词1", "编辑框词2", "编辑框词3", "编辑框词4"};
        for (int g = 0; g < 4; ++g)
            form.find(boxes[g])->setText(words(counts[g]));
    }
};

TEST_F(CombinerConfirm, NoQuestionAtTheThreshold) {
    groups(100, 100, 10, 0);  // exactly 100,000 lines
    ASSERT_TRUE(runKeywordCombiner(form, stop, random, {10, 1 << 20}));
    EXPECT_TRUE(form.messages().size() == 1u &&
                form.messages()[0].buttons == MessageButtons::Ok);  // only the limit
}

TEST_F(CombinerConfirm, AboveItAsksWithTheCountAndNoRunsNothing) {
    groups(100, 100, 10, 2);
    form.find("编辑框结果")->setText("old");
    form.setAnswer(MessageAnswer::No);
    EXPECT_FALSE(runKeywordCombiner(form, stop, random));
    ASSERT_EQ(form.messages().size(), 1u);
    EXPECT_EQ(form.messages()[0].buttons, MessageButtons::YesNo);
    EXPECT_NE(U(form.messages()[0].text).find("200000 行"), std::string::npos)
        << U(form.messages()[0].text);
    EXPECT_EQ(textOf(form, "编辑框结果"), "old");
    EXPECT_EQ(U(textOf(form, "按钮开始组合")), "开始组合");
}

TEST_F(CombinerConfirm, YesRunsAndSaysWhereTheLimitCutsIt) {
    groups(1000, 1000, 2, 0);
    form.setAnswer(MessageAnswer::Yes);
    ASSERT_TRUE(runKeywordCombiner(form, stop, random, {50, 1 << 20}));
    ASSERT_EQ(form.messages().size(), 2u);
    EXPECT_NE(U(form.messages()[0].text).find("2000000 行"), std::string::npos);
    EXPECT_NE(U(form.messages()[0].text).find("只会生成前 50 行"), std::string::npos);
    EXPECT_EQ(U(textOf(form, "标签结果行数")), "共 50 行");
}

TEST_F(CombinerConfirm, AnOverflowingProductIsToldAsBeyondTheLargestCount) {
    CombineRequest request;
    for (auto& group : request.groups)
        group.assign(1u << 20, "w");
    EXPECT_EQ(combinationCount(request), std::numeric_limits<std::uint64_t>::max());
    request.groups[0].assign(3, "w");
    request.groups[1].assign(1, "w");
    request.groups[2].assign(1, "w");
    request.groups[3].assign(7, "w");
    EXPECT_EQ(combinationCount(request), 21u);
}

struct CountCase {
    const char* text;
    std::size_t lines;
};

TEST(CombinerLineCount, CountsLinesWithAndWithoutALastBreak) {
    const CountCase cases[] = {
        {"", 0}, {"a", 1}, {"a\r\n", 1}, {"a\r\nb", 2}, {"\r\n", 1}, {"a\r\n\r\n", 2},
    };
    for (const CountCase& c : cases)
        EXPECT_EQ(countLines(c.text), c.lines) << c.text;
}

TEST(CombinerLineCount, ShownAfterEveryRunIncludingDistinctLines) {
    HeadlessForm form(keywordCombinerTable());
    bool stop = false;
    Random random(9);
    ASSERT_TRUE(runKeywordCombiner(form, stop, random));
    EXPECT_EQ(U(textOf(form, "标签结果行数")), "共 81 行");
    form.find("组合框调用方式")->setSelectedIndex(2);
    ASSERT_TRUE(runKeywordCombiner(form, stop, random));
    EXPECT_EQ(U(textOf(form, "标签结果行数")),
              "共 " + std::to_string(countLines(textOf(form, "编辑框结果"))) + " 行");
}

}  // namespace
}  // namespace lct
