// The batch buttons on a headless main window, over real files.
#include "app/batch_buttons.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "app/form_options.h"
#include "app/form_run_host.h"
#include "app/link_map_button.h"
#include "app/main_window_table.h"
#include "files/run_services.h"
#include "files/temp_folder.h"
#include "form/headless_form.h"
#include "form/pending_messages.h"
#include "gbk.h"
#include "platform/file_io.h"

namespace lct {
namespace {

using test::G;

class FakeDialogs : public BatchDialogs {
  public:
    std::vector<std::string> chooseFiles(std::string_view title, std::string_view,
                                         std::string_view initial) override {
        titles.push_back(test::U(title));
        initialFolders.emplace_back(initial);
        return files;
    }
    std::string chooseFolder(std::string_view title, std::string_view initial) override {
        titles.push_back(test::U(title));
        initialFolders.emplace_back(initial);
        return folder;
    }
    bool enterText(std::string_view, std::string_view title, std::string& text) override {
        titles.push_back(test::U(title));
        initialTexts.push_back(test::U(text));
        if (entered) text = G(*entered);
        return entered.has_value();
    }
    std::vector<std::string> files;
    std::string folder;
    std::optional<std::string> entered;  // UTF-8; none cancels
    std::vector<std::string> titles, initialFolders, initialTexts;
};

class BatchButtonsTest : public ::testing::Test {
  protected:
    test::TempFolder folder;
    HeadlessForm form{mainWindowTable()};
    FakeDialogs dialogs;
    FileRunServices services;
    bool stop = false;
    MainWindowRun run = MainWindowRun::Idle;
    FormRunHost host{form, stop};
    BatchContext context{form, host, services, dialogs, stop, run};

    std::string article(const std::string& name) {
        const std::string path = folder.file(name);
        std::ofstream(path) << "text";
        return path;
    }
    std::size_t results() {
        std::size_t n = 0;
        for (const auto& entry :
             std::filesystem::directory_iterator(folder.file("关键词插入结果"))) {
            (void)entry;
            ++n;
        }
        return n;
    }
};

TEST_F(BatchButtonsTest, FilesButtonRunsTheChosenFilesAndRemembersTheirFolder) {
    dialogs.files = {article("a.txt"), article("b.txt")};
    form.find("按钮批量处理")->setTag(G("/start"));
    onBatchFilesClicked(context);
    EXPECT_EQ(dialogs.titles.front(), "请选择多个需要处理的文章：");
    EXPECT_EQ(dialogs.initialFolders.front(), "/start");
    EXPECT_EQ(test::U(form.find("按钮批量处理")->tag()), folder.path());
    EXPECT_EQ(results(), 2u);
    EXPECT_EQ(textOf(form, "按钮批量处理"), G("批量处理(文件)"));
    EXPECT_TRUE(form.find("按钮批量处理文件夹")->enabled());
    EXPECT_TRUE(form.find("按钮批量处理路径列表")->enabled());
}

TEST_F(BatchButtonsTest, CancelledDialogStartsNothing) {
    onBatchFilesClicked(context);
    EXPECT_FALSE(std::filesystem::exists(folder.file("关键词插入结果")));
    EXPECT_EQ(form.find("按钮批量处理")->tag(), "");
}

TEST_F(BatchButtonsTest, ASecondClickDuringTheRunStopsIt) {
    dialogs.files = {article("1.txt"), article("2.txt"), article("3.txt")};
    bool clicked = false;
    bool disabledWhileRunning = false;
    auto previous = setPendingMessagesHandler([&] {
        if (clicked) return;
        clicked = true;
        disabledWhileRunning = !form.find("按钮批量处理文件夹")->enabled();
        onBatchFilesClicked(context);  // the nested click
        EXPECT_EQ(textOf(form, "按钮批量处理"), G("正在停止中.."));
    });
    onBatchFilesClicked(context);
    setPendingMessagesHandler(previous);
    EXPECT_TRUE(disabledWhileRunning);
    EXPECT_TRUE(stop);
    EXPECT_LT(results(), 3u);
    EXPECT_EQ(textOf(form, "按钮批量处理"), G("批量处理(文件)"));
}

TEST_F(BatchButtonsTest, NoOtherRunButtonWorksDuringAFilesBatch) {
    dialogs.files = {article("1.txt"), article("2.txt")};
    std::vector<std::string> enabledInside;
    auto previous = setPendingMessagesHandler([&] {
        if (!enabledInside.empty()) return;
        for (std::string_view name :
             {"按钮批量处理", "按钮批量处理文件夹", "按钮批量处理路径列表", "按钮预览"})
            if (form.find(name)->enabled()) enabledInside.emplace_back(name);
        dialogs.folder = folder.path();
        onBatchFolderClicked(context, false);  // a nested click on a disabled button
    });
    onBatchFilesClicked(context);
    setPendingMessagesHandler(previous);
    EXPECT_EQ(enabledInside, std::vector<std::string>{"按钮批量处理"});
    EXPECT_EQ(dialogs.titles.size(), 1u);
    EXPECT_FALSE(stop);
    EXPECT_EQ(results(), 2u);
    for (std::string_view name :
         {"按钮批量处理", "按钮批量处理文件夹", "按钮批量处理路径列表", "按钮预览"})
        EXPECT_TRUE(form.find(name)->enabled()) << name;
}

TEST_F(BatchButtonsTest, NoOtherRunButtonWorksDuringAFolderBatch) {
    article("1.txt");
    article("2.txt");
    dialogs.folder = folder.path();
    std::vector<std::string> enabledInside;
    auto previous = setPendingMessagesHandler([&] {
        if (!enabledInside.empty()) return;
        for (std::string_view name :
             {"按钮批量处理", "按钮批量处理文件夹", "按钮批量处理路径列表", "按钮预览"})
            if (form.find(name)->enabled()) enabledInside.emplace_back(name);
        dialogs.files = {article("3.txt")};
        onBatchFilesClicked(context);  // a nested click on a disabled button
    });
    onBatchFolderClicked(context, false);
    setPendingMessagesHandler(previous);
    EXPECT_EQ(enabledInside, std::vector<std::string>{"按钮批量处理文件夹"});
    EXPECT_EQ(dialogs.titles.size(), 1u);
    EXPECT_EQ(results(), 2u);
    for (std::string_view name :
         {"按钮批量处理", "按钮批量处理文件夹", "按钮批量处理路径列表", "按钮预览"})
        EXPECT_TRUE(form.find(name)->enabled()) << name;
}

TEST_F(BatchButtonsTest, StopWhileListingTheFolderRunsNothing) {
    article("1.txt");
    dialogs.folder = folder.path();
    bool clicked = false;
    auto previous = setPendingMessagesHandler([&] {
        if (clicked) return;
        clicked = true;
        onBatchFolderClicked(context, false);  // the stop click, during the listing
    });
    onBatchFolderClicked(context, false);
    setPendingMessagesHandler(previous);
    EXPECT_TRUE(clicked);
    EXPECT_FALSE(std::filesystem::exists(folder.file("关键词插入结果")));
    EXPECT_EQ(textOf(form, "按钮批量处理文件夹"), G("   批量处理(文件夹)"));
    EXPECT_TRUE(form.find("按钮预览")->enabled());
}

TEST_F(BatchButtonsTest, DisabledButtonsDoNothing) {
    dialogs.files = {article("a.txt")};
    dialogs.folder = folder.path();
    form.find("按钮批量处理")->setEnabled(false);
    form.find("按钮批量处理文件夹")->setEnabled(false);
    onBatchFilesClicked(context);
    onBatchFolderClicked(context, false);
    onBatchFolderClicked(context, true);
    EXPECT_TRUE(dialogs.titles.empty());
    EXPECT_FALSE(std::filesystem::exists(folder.file("关键词插入结果")));
}

TEST_F(BatchButtonsTest, FolderButtonListsByTheFilter) {
    article("a.txt");
    article("b.htm");
    article("c.html");
    dialogs.folder = folder.path();
    form.find("编辑框过滤")->setText("*.txt|*.htm");
    onBatchFolderClicked(context, false);
    EXPECT_EQ(dialogs.titles.front(), "+请选择需要处理的文章(*.txt|*.htm)所在文件夹：");
    EXPECT_EQ(results(), 2u);
    EXPECT_EQ(test::U(form.find("按钮批量处理文件夹")->tag()), folder.path());
    EXPECT_EQ(textOf(form, "按钮批量处理文件夹"), G("   批量处理(文件夹)"));
    EXPECT_TRUE(form.find("按钮批量处理")->enabled());
    onBatchFolderClicked(context, true);
    EXPECT_EQ(dialogs.titles.back(), "请选择需要处理的文章(*.txt|*.htm)所在文件夹：");
}

TEST_F(BatchButtonsTest, FolderWithoutMatchesStartsNothingAndSaysSo) {
    article("a.doc");
    dialogs.folder = folder.path();
    form.find("编辑框过滤")->setText("*.txt");
    onBatchFolderClicked(context, false);
    EXPECT_FALSE(std::filesystem::exists(folder.file("关键词插入结果")));
    EXPECT_EQ(textOf(form, "按钮批量处理文件夹"), G("   批量处理(文件夹)"));
    ASSERT_EQ(form.messages().size(), 1u);
    EXPECT_NE(test::U(form.messages()[0].text).find("没有符合过滤条件“*.txt”的文件"),
              std::string::npos);
}

TEST_F(BatchButtonsTest, AFolderEntryThatIsNoFileIsAFailureNotASkip) {
    article("a.txt");
    ASSERT_EQ(::mkfifo(folder.file("b.txt").c_str(), 0600), 0);
    dialogs.folder = folder.path();
    form.find("编辑框过滤")->setText("*.txt");
    onBatchFolderClicked(context, false);
    EXPECT_EQ(results(), 1u);
    const std::vector<RunFailure> failures = host.takeFailures();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].reason, "是管道，不是普通文件");
    EXPECT_NE(test::U(textOf(form, "透明标签")).find(", 失败 1 个文件"), std::string::npos);
}

TEST_F(BatchButtonsTest, TheReportOptionWritesIntoTheResultFolderAndTheQuestionNamesIt) {
    article("a.txt");
    dialogs.folder = folder.path();
    EXPECT_EQ(textOf(form, "选择框生成报告"), G("生成处理报告"));
    ASSERT_FALSE(form.find("选择框生成报告")->ticked());
    form.find("选择框生成报告")->setTicked(true);
    onBatchFolderClicked(context, false);
    const std::string report = folder.file("关键词插入结果/处理报告.csv");
    EXPECT_EQ(readWholeFile(report).value_or("").find("\xEF\xBB\xBF输入文件,"), 0u);
    ASSERT_FALSE(form.messages().empty());
    EXPECT_NE(test::U(form.messages().back().text).find("处理报告 >> " + report),
              std::string::npos);
}

TEST_F(BatchButtonsTest, WithSubfoldersEachResultKeepsItsPlace) {
    for (const char* sub : {"docs/sub", "关键词插入结果"})
        std::filesystem::create_directories(folder.file(sub));
    article("docs/sub/index.html");
    article("关键词插入结果/old.html");  // results of an earlier run stay out
    form.find("选择框包含子文件夹")->setTicked(true);
    dialogs.folder = folder.path();
    onBatchFolderClicked(context, false);
    EXPECT_TRUE(std::filesystem::exists(folder.file("关键词插入结果/docs/sub/index.html")));
    EXPECT_EQ(results(), 2u);  // docs and old.html
}

TEST_F(BatchButtonsTest, LinkMapButtonFillsTheKeywordListFromTheSite) {
    std::filesystem::create_directories(folder.file("docs"));
    std::ofstream(folder.file("index.html")) << "<title>首页 - 站</title>";
    std::ofstream(folder.file("docs/a.html")) << "<title>图层</title>";
    std::ofstream(folder.file("docs/b.html")) << "<h1>无题</h1>";
    form.find("选择框包含子文件夹")->setTicked(true);
    form.find("按钮批量处理文件夹")->setTag(G("/last"));
    dialogs.folder = folder.path();
    const std::string before = textOf(form, "编辑框关键词列表");
    onLinkMapClicked(context);  // cancelled at the address
    dialogs.entered = " https://x.cn/ \r\n";
    onLinkMapClicked(context);  // the user keeps the list
    EXPECT_EQ(textOf(form, "编辑框关键词列表"), before);
    form.setAnswer(MessageAnswer::Yes);
    onLinkMapClicked(context);
    EXPECT_EQ(test::U(textOf(form, "编辑框关键词列表")),
              "首页\thttps://x.cn/index.html\r\n图层\thttps://x.cn/docs/a.html");
    EXPECT_EQ(dialogs.initialFolders.front(), "/last");
    EXPECT_EQ(dialogs.initialTexts, (std::vector<std::string>{"", "", "https://x.cn/"}));
    EXPECT_EQ(textOf(form, "按钮从文件夹生成链接表"), G("从文件夹生成链接表…"));
    EXPECT_EQ(run, MainWindowRun::Idle);
    EXPECT_TRUE(host.takeFailures().empty());
    const std::vector<std::string> problems = host.takeProblems();
    ASSERT_EQ(problems.size(), 2u);  // told at each of the two runs that read
    EXPECT_EQ(problems[1], folder.file("docs/b.html") + "：没有标题，未列入链接表");
    EXPECT_FALSE(std::filesystem::exists(folder.file("关键词插入结果")));
}

TEST_F(BatchButtonsTest, ReplaceCapsReadAsTheToolsReadNumbers) {
    struct Row {
        const char* text;
        int cap;  // -1: refused
    };
    const Row rows[] = {
        {"", 0},      {" ", 0},    {"3", 3},   {"１", 1},  {" 1", 1},
        {"　２ ", 2}, {"abc", -1}, {"1x", -1}, {"-1", -1}, {"99999999999999999999", 2147483647}};
    form.find("单选框替换")->setTicked(true);
    form.find("单选框插入")->setTicked(false);
    for (const char* box : {"编辑框替换次数上限", "编辑框每个网址最多链接"}) {
        for (const Row& row : rows) {
            form.find(box)->setText(G(row.text));
            const bool refused = !unusableOptionMessage(form).empty();
            EXPECT_EQ(refused, row.cap < 0) << box << row.text;
            if (refused) continue;
            const ReplaceRules rules = readRunOptions(form).article.replace;
            EXPECT_EQ(std::string(box) == "编辑框替换次数上限" ? rules.perKeywordLimit
                                                               : rules.perAddressLimit,
                      row.cap)
                << box << row.text;
        }
        form.find(box)->setText("0");
    }
    // A box that is no number stops the run before its dialog opens.
    form.find("编辑框链接总数上限")->setText("abc");
    onBatchFilesClicked(context);
    EXPECT_TRUE(dialogs.titles.empty());
    ASSERT_FALSE(form.messages().empty());
    EXPECT_NE(test::U(form.messages().back().text).find("“每篇最多替换”的值 abc"),
              std::string::npos);
}

}  // namespace
}  // namespace lct
