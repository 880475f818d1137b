#include "app/form_run_host.h"

#include <gtest/gtest.h>

#include "app/main_window_table.h"
#include "form/headless_form.h"
#include "gbk.h"

namespace lct {
namespace {

class FormRunHostTest : public ::testing::Test {
  protected:
    HeadlessForm form{mainWindowTable()};
    bool stop = false;
    FormRunHost host{form, stop};
};

TEST_F(FormRunHostTest, ABatchLocksTheOptionsAndShowsItsProgress) {
    host.busy(true);
    for (const char* panel : {"分组框1", "分组框2", "分组框文章打乱替换器"})
        EXPECT_FALSE(form.find(panel)->enabled()) << panel;
    EXPECT_TRUE(form.find("进度条")->visible());
    EXPECT_TRUE(form.find("透明标签")->visible());
    host.progress(20, 3);
    host.status(test::G("(20:3) 新闻"));
    EXPECT_EQ(form.find("进度条")->progressPosition(), 3);
    EXPECT_EQ(textOf(form, "透明标签"), test::G("(20:3) 新闻"));
    host.busy(false);
    for (const char* panel : {"分组框1", "分组框2", "分组框文章打乱替换器"})
        EXPECT_TRUE(form.find(panel)->enabled()) << panel;
    EXPECT_FALSE(form.find("进度条")->visible());
}

TEST_F(FormRunHostTest, ThePreviewGoesToTheResultBoxes) {
    host.showPreview(test::G("标题"), test::G("正文"), {});
    EXPECT_EQ(textOf(form, "编辑框结果标题"), test::G("标题"));
    EXPECT_EQ(textOf(form, "编辑框结果内容"), test::G("正文"));
    EXPECT_EQ(textOf(form, "标签32"), test::G("插入 0 处"));
}

TEST_F(FormRunHostTest, ThePreviewMarksItsItemsAndCountsThem) {
    PreviewItems items;
    items.mode = PipelineMode::ReplaceExisting;
    items.count = 3;
    items.title = {{0, 2}};
    items.content = {{2, 6}, {8, 10}};
    host.showPreview(test::G("标题"), test::G("正文<b>文</b>字"), items);
    EXPECT_EQ(form.find("编辑框结果标题")->marks(), (std::vector<TextMark>{{0, 2}}));
    EXPECT_EQ(form.find("编辑框结果内容")->marks(), (std::vector<TextMark>{{2, 6}, {8, 10}}));
    EXPECT_EQ(textOf(form, "标签32"), test::G("替换 3 处"));
    // A new text clears the marks; shuffle-replace mode counts nothing.
    items.mode = PipelineMode::ShuffleReplace;
    host.showPreview(test::G("标题"), test::G("正文"), PreviewItems{items.mode, 0, {}, {}});
    EXPECT_TRUE(form.find("编辑框结果内容")->marks().empty());
    EXPECT_EQ(textOf(form, "标签32"), "");
}

TEST_F(FormRunHostTest, MessagesQuestionsAndTheStopFlag) {
    host.tell(test::G("请先输入关键词列表！"));
    form.setAnswer(MessageAnswer::Yes);
    EXPECT_TRUE(host.ask(test::G("是否打开该目录？")));
    form.setAnswer(MessageAnswer::No);
    EXPECT_FALSE(host.ask(test::G("是否打开该目录？")));
    EXPECT_EQ(form.messages().size(), 3u);
    EXPECT_FALSE(host.stopRequested());
    stop = true;
    EXPECT_TRUE(host.stopRequested());
    host.failed("/a.txt", "磁盘已满");
    host.problem("x");
    EXPECT_EQ(host.takeFailures().size(), 1u);
    EXPECT_TRUE(host.takeFailures().empty());
    EXPECT_EQ(host.takeProblems(), std::vector<std::string>{"x"});
}

}  // namespace
}  // namespace lct
