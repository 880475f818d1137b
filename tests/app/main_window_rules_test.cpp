#include "app/main_window_rules.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/form_run_host.h"
#include "app/main_window_table.h"
#include "engine/run_driver.h"
#include "form/headless_form.h"
#include "form/pending_messages.h"
#include "gbk.h"
#include "null_run_services.h"

namespace lct {
namespace {

using test::G;

class MainWindowRulesTest : public ::testing::Test {
  protected:
    HeadlessForm form{mainWindowTable()};

    bool enabled(std::string_view name) { return form.find(name)->enabled(); }
    bool visible(std::string_view name) { return form.find(name)->visible(); }
    void contentType(int type) {
        form.find("组合框内容插入类型")->setSelectedIndex(type);
        applyInsertOptionsRule(form);
    }
};

TEST_F(MainWindowRulesTest, SymbolTypeShowsTheSymbolModeAndEnablesTheSymbolGroups) {
    contentType(14);
    EXPECT_TRUE(visible("组合框符号插入模式"));
    EXPECT_TRUE(enabled("编辑框句子结尾符"));
    EXPECT_FALSE(enabled("选择框更新关键词"));
    contentType(0);
    EXPECT_FALSE(visible("组合框符号插入模式"));
    EXPECT_FALSE(enabled("编辑框句子结尾符"));
    EXPECT_EQ(textOf(form, "选择框更新关键词"), G("每次使用新一轮关键词"));
}

TEST_F(MainWindowRulesTest, EveryNTypesShowTheirFieldsAndTakeOverTheCount) {
    contentType(8);
    for (const char* name : {"标签18", "标签19", "编辑框每隔最少", "编辑框每隔最多"})
        EXPECT_TRUE(visible(name)) << name;
    EXPECT_FALSE(enabled("选择框插入次数"));
    EXPECT_FALSE(enabled("编辑框次数1"));
    EXPECT_TRUE(enabled("选择框避免单词"));
    EXPECT_EQ(textOf(form, "选择框更新关键词"), G("每隔字数使用新一轮关键词"));
    contentType(9);
    EXPECT_FALSE(enabled("选择框避免单词"));
    EXPECT_FALSE(enabled("选择框避免标签"));
    EXPECT_TRUE(enabled("选择框插入避开链接"));
    contentType(2);
    EXPECT_EQ(textOf(form, "选择框更新关键词"), G("每个句子使用新一轮关键词"));
    contentType(5);
    EXPECT_EQ(textOf(form, "选择框更新关键词"), G("每个段落使用新一轮关键词"));
}

TEST_F(MainWindowRulesTest, ReplaceModeDisablesTheInsertSwitches) {
    selectModeRadio(form, "单选框替换");
    EXPECT_FALSE(form.find("单选框插入")->ticked());
    EXPECT_TRUE(form.find("单选框替换")->ticked());
    for (const char* name : {"选择框插入标题", "选择框插入内容", "选择框插入次数",
                             "组合框内容插入类型", "组合框标题插入类型", "选择框插入避开链接"})
        EXPECT_FALSE(enabled(name)) << name;
    EXPECT_TRUE(enabled("选择框避免单词"));
    const char* replaceOptions[] = {"选择框替换避开标签", "选择框替换避开小标题",
                                    "选择框替换整词",     "编辑框替换次数上限",
                                    "编辑框链接总数上限", "编辑框每个网址最多链接"};
    for (const char* name : replaceOptions)
        EXPECT_TRUE(enabled(name)) << name;
    selectModeRadio(form, "单选框插入");
    EXPECT_TRUE(enabled("选择框插入标题"));
    for (const char* name : replaceOptions)
        EXPECT_FALSE(enabled(name)) << name;
}

TEST_F(MainWindowRulesTest, ContentOffLeavesTheSeparatorsForATypedTitle) {
    form.find("组合框标题插入类型")->setSelectedIndex(2);
    form.find("组合框内容插入类型")->setSelectedIndex(14);
    form.find("选择框插入内容")->setTicked(false);
    applyInsertOptionsRule(form);
    EXPECT_FALSE(enabled("组合框内容插入类型"));
    EXPECT_FALSE(enabled("选择框插入避开链接"));
    EXPECT_FALSE(visible("组合框符号插入模式"));
    EXPECT_TRUE(enabled("编辑框标题间隔符"));
    form.find("组合框标题插入类型")->setSelectedIndex(0);
    applyInsertOptionsRule(form);
    EXPECT_FALSE(enabled("编辑框标题间隔符"));
    form.find("选择框插入内容")->setTicked(true);
    form.find("组合框内容插入类型")->setSelectedIndex(11);
    applyInsertOptionsRule(form);
    EXPECT_TRUE(enabled("编辑框标题间隔符"));  // head blocks use the separators too
}

TEST_F(MainWindowRulesTest, ShufflePanelCoversTheInsertOptionsAndTogglesBack) {
    toggleShufflePanel(form);
    EXPECT_TRUE(visible("分组框文章打乱替换器"));
    for (const char* name :
         {"标签1", "编辑框关键词列表", "按钮粘贴", "标签2", "组合框调用方式", "分组框1", "分组框2"})
        EXPECT_FALSE(visible(name)) << name;
    toggleShufflePanel(form);
    EXPECT_FALSE(visible("分组框文章打乱替换器"));
    EXPECT_TRUE(visible("分组框1"));
}

TEST_F(MainWindowRulesTest, ShufflePanelControlsFollowTheirBoxes) {
    applyShufflePanelRule(form);
    EXPECT_TRUE(enabled("编辑框标题打乱符号"));
    EXPECT_FALSE(enabled("组合框插入类型"));
    EXPECT_FALSE(enabled("选择框原标题"));
    EXPECT_FALSE(enabled("编辑框内容替换次数"));
    form.find("选择框替换内容")->setTicked(true);
    form.find("选择框打乱标题")->setTicked(false);
    applyShufflePanelRule(form);
    EXPECT_TRUE(enabled("选择框内容启用正则"));
    EXPECT_FALSE(enabled("编辑框标题打乱符号"));
}

// A preview needs no file: every service answers "nothing there".
class NoFiles : public test::NullRunServices {
  public:
    bool isFile(std::string_view) override { return false; }
    bool write(std::string_view, std::string_view, const ResultFormat&, std::string&) override {
        return false;
    }
    bool createResultFolder(std::string_view, bool&, std::string&) override { return false; }
    bool isFolder(std::string_view) override { return false; }
};

constexpr std::string_view kBatchButtons[] = {"按钮批量处理", "按钮批量处理文件夹",
                                              "按钮批量处理路径列表"};

TEST_F(MainWindowRulesTest, PreviewDisablesTheBatchButtonsWhileItRunsAndStopsOnASecondClick) {
    bool stop = true;
    MainWindowRun run = MainWindowRun::Idle;
    FormRunHost host(form, stop);
    NoFiles services;
    form.find("编辑框预览标题")->setText("T");
    std::vector<std::string> enabledInside;
    int calls = 0;
    bool stopAtStart = true;
    auto previous = setPendingMessagesHandler([&] {
        if (++calls > 1) return;
        for (std::string_view name : kBatchButtons)
            if (enabled(name)) enabledInside.emplace_back(name);
        stopAtStart = stop;
        onPreviewClicked(form, host, services, stop, run);  // the second click
        EXPECT_EQ(textOf(form, "按钮预览"), G("停止中"));
    });
    onPreviewClicked(form, host, services, stop, run);
    setPendingMessagesHandler(previous);
    EXPECT_GT(calls, 0);
    EXPECT_TRUE(enabledInside.empty());
    EXPECT_FALSE(stopAtStart);
    EXPECT_TRUE(stop);
    EXPECT_EQ(run, MainWindowRun::Idle);
    EXPECT_FALSE(textOf(form, "编辑框结果标题").empty());
    EXPECT_EQ(textOf(form, "按钮预览"), G("预览"));
    for (std::string_view name : kBatchButtons)
        EXPECT_TRUE(enabled(name)) << name;
}

TEST_F(MainWindowRulesTest, DisabledPreviewButtonDoesNothing) {
    bool stop = true;
    FormRunHost host(form, stop);
    NoFiles services;
    form.find("编辑框预览标题")->setText("T");
    form.find("按钮预览")->setEnabled(false);
    MainWindowRun run = MainWindowRun::Idle;
    onPreviewClicked(form, host, services, stop, run);
    EXPECT_TRUE(stop);
    EXPECT_TRUE(textOf(form, "编辑框结果标题").empty());
    EXPECT_EQ(textOf(form, "按钮预览"), G("预览"));
}

TEST(HelpText, LinesAndLength) {
    const std::string text = helpText();
    EXPECT_EQ(text.find(G("-----------------软件介绍-----------------\r\n\r\n青禾软件出品")), 0u);
    EXPECT_TRUE(text.ends_with(G("也对应使用‘|’隔开")));
    EXPECT_NE(text.find(G("换行使用‘\\n’表示")), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 32);
}

}  // namespace
}  // namespace lct
