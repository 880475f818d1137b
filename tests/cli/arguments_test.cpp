#include "cli/arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_window_table.h"
#include "cli/form_setup.h"
#include "form/headless_form.h"
#include "gbk.h"

namespace lct::cli {
namespace {

using test::G;
using Args = std::vector<std::string>;

TEST(ParseArguments, OptionsInBothFormsAndInOrder) {
    const ParseResult r =
        parseArguments({"batch", "--ini=a.ini", "--set", "x=1", "--set=y=a=b", "--mode", "shuffle",
                        "--seed", "18446744073709551615", "p1", "--", "--p2"});
    ASSERT_TRUE(r.arguments) << r.error;
    const Arguments& a = *r.arguments;
    EXPECT_EQ(a.command, Command::Batch);
    EXPECT_EQ(*a.ini, "a.ini");
    ASSERT_EQ(a.sets.size(), 2u);
    EXPECT_EQ(a.sets[1], (std::pair<std::string, std::string>{"y", "a=b"}));
    EXPECT_EQ(*a.mode, "shuffle");
    EXPECT_EQ(*a.seed, 18446744073709551615ull);
    EXPECT_EQ(a.paths, (Args{"p1", "--p2"}));
}

TEST(ParseArguments, LinkmapTakesItsOwnOptionsAndFlags) {
    const ParseResult r = parseArguments(
        {"linkmap", "--recursive", "--base-url=https://x/", "--from", "h1", "site", "a.htm"});
    ASSERT_TRUE(r.arguments) << r.error;
    EXPECT_TRUE(r.arguments->recursive);
    EXPECT_EQ(r.arguments->baseUrl, "https://x/");
    EXPECT_TRUE(r.arguments->fromHeading);
    EXPECT_EQ(r.arguments->paths, (Args{"site", "a.htm"}));
}

TEST(ParseArguments, EmptySetValueIsAllowed) {
    const ParseResult r = parseArguments({"preview", "--set", "编辑框过滤="});
    ASSERT_TRUE(r.arguments);
    EXPECT_EQ(r.arguments->sets.front().second, "");
}

TEST(ParseArguments, RejectsWhatIsMalformed) {
    const std::vector<Args> bad = {
        {},
        {"nope"},
        {"preview", "--set"},
        {"preview", "--set", "=x"},
        {"preview", "--seed", "-1"},
        {"preview", "--seed", "1x"},
        {"preview", "--mode", "other"},
        {"preview", "path"},
        {"settings", "--title", "t"},
        {"batch"},
        {"preview", "--unknown", "v"},
        {"batch", "--shard", "0/3", "p"},
        {"batch", "--shard", "4/3", "p"},
        {"preview", "--shard", "1/2"},
        {"batch", "--jobs", "0", "p"},
        {"batch", "--jobs", "x", "p"},
        {"settings", "--jobs", "2"},
        {"batch", "--report=", "p"},
        {"preview", "--report", "r.csv"},
        {"linkmap"},
        {"linkmap", "--from", "h2", "p"},
        {"linkmap", "--recursive=yes", "p"},
        {"preview", "--recursive"},
        {"batch", "--base-url", "u", "p"},
    };
    for (const Args& args : bad) {
        const ParseResult r = parseArguments(args);
        EXPECT_FALSE(r.arguments) << (args.empty() ? "" : args.front());
        EXPECT_FALSE(r.error.empty());
    }
}

class FormSetupTest : public ::testing::Test {
  protected:
    HeadlessForm form{mainWindowTable()};
    FileReader noFiles = [](std::string_view) { return std::optional<std::string>(); };
};

TEST_F(FormSetupTest, ValuesByKind) {
    EXPECT_EQ(applySet(form, "编辑框关键词列表", "甲\n乙\r\n丙", noFiles), "");
    EXPECT_EQ(textOf(form, "编辑框关键词列表"), G("甲\r\n乙\r\n丙"));
    EXPECT_EQ(applySet(form, "编辑框句子结尾符", "\\n|。", noFiles), "");
    EXPECT_EQ(textOf(form, "编辑框句子结尾符"), G("\\n|。"));  // the escape stays as typed
    EXPECT_EQ(applySet(form, "编辑框过滤", "", noFiles), "");
    EXPECT_EQ(textOf(form, "编辑框过滤"), "");
    for (const char* yes : {"真", "1", "true", "TRUE"}) {
        form.find("选择框避免单词")->setTicked(false);
        EXPECT_EQ(applySet(form, "选择框避免单词", yes, noFiles), "");
        EXPECT_TRUE(tickedOf(form, "选择框避免单词")) << yes;
    }
    EXPECT_EQ(applySet(form, "选择框避免单词", "假", noFiles), "");
    EXPECT_FALSE(tickedOf(form, "选择框避免单词"));
    EXPECT_EQ(applySet(form, "组合框内容插入类型", "14", noFiles), "");
    EXPECT_EQ(indexOf(form, "组合框内容插入类型"), 14);
    EXPECT_NE(applySet(form, "组合框内容插入类型", "1.5", noFiles), "");
    EXPECT_NE(applySet(form, "按钮预览", "x", noFiles), "");
}

TEST_F(FormSetupTest, AnUnknownNameIsAnErrorForTheUser) {
    // A typed name is not the program's own: a debug build must not abort on it.
    const std::string error = applySet(form, "编辑框关键词列", "x", noFiles);
    EXPECT_NE(error.find("编辑框关键词列"), std::string::npos) << error;
}

TEST_F(FormSetupTest, AtReadsAFile) {
    const FileReader reader = [](std::string_view path) {
        return path == "k.txt" ? std::optional<std::string>(G("甲\r\n")) : std::nullopt;
    };
    EXPECT_EQ(applySet(form, "编辑框关键词列表", "@k.txt", reader), "");
    EXPECT_EQ(textOf(form, "编辑框关键词列表"), G("甲\r\n"));
    EXPECT_NE(applySet(form, "编辑框关键词列表", "@gone.txt", reader), "");
}

TEST_F(FormSetupTest, RadioBoxesStayExclusiveAndModesShowThePanel) {
    EXPECT_EQ(applySet(form, "单选框替换", "真", noFiles), "");
    EXPECT_FALSE(tickedOf(form, "单选框插入"));
    EXPECT_EQ(applyMode(form, "insert"), "");
    EXPECT_TRUE(tickedOf(form, "单选框插入"));
    EXPECT_FALSE(tickedOf(form, "单选框替换"));
    EXPECT_EQ(applyMode(form, "shuffle"), "");
    EXPECT_TRUE(form.find("分组框文章打乱替换器")->visible());
    EXPECT_FALSE(form.find("编辑框关键词列表")->visible());
    EXPECT_EQ(applyMode(form, "replace"), "");
    EXPECT_FALSE(form.find("分组框文章打乱替换器")->visible());
    EXPECT_TRUE(form.find("分组框1")->visible());
    EXPECT_TRUE(tickedOf(form, "单选框替换"));
    EXPECT_NE(applyMode(form, "other"), "");
}

}  // namespace
}  // namespace lct::cli
