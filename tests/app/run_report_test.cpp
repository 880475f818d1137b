#include "app/run_report.h"

#include <gtest/gtest.h>

namespace lct {
namespace {

TEST(RunReport, NothingToReportGivesNoPrompt) {
    EXPECT_TRUE(makeRunReport({}, {}).prompt.empty());
}

TEST(RunReport, FailedFilesComeFirstWithTheirReasons) {
    const RunReport report = makeRunReport(
        {{"/in/a.txt", "文件或文件夹不存在"}, {"/in/b.txt", "无法写入结果文件 /r/b.txt：磁盘已满"}},
        {"“替换内容”的正则表达式无法使用，未替换：x"});
    EXPECT_EQ(report.prompt, "有 2 个文件处理失败：（另有 1 个问题列在最后）");
    EXPECT_EQ(report.text,
              "/in/a.txt：文件或文件夹不存在\n"
              "/in/b.txt：无法写入结果文件 /r/b.txt：磁盘已满\n"
              "\n"
              "“替换内容”的正则表达式无法使用，未替换：x");
}

TEST(RunReport, ProblemsAloneHaveTheirOwnPrompt) {
    const RunReport report = makeRunReport({}, {"甲", "乙"});
    EXPECT_EQ(report.prompt, "处理时出现以下问题：");
    EXPECT_EQ(report.text, "甲\n乙");
}

}  // namespace
}  // namespace lct
