#include "engine/run_driver.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/headless_form.h"
#include "app/main_window_table.h"
#include "gbk.h"

namespace lct {
namespace {

using test::G;

// A host that records what the driver says and can ask to stop after a
// number of articles.
class RecordingHost : public RunHost {
  public:
    MessageAnswer message(std::string_view text, MessageButtons buttons, MessageIcon) override {
        messages.push_back(test::U(text));
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : answer;
    }
    void status(std::string_view text) override { statuses.push_back(test::U(text)); }
    void progress(int range, int position) override { progresses.emplace_back(range, position); }
    void focus(std::string_view name) override { focused = name; }
    bool stopRequested() override { return ++checks > stopAfter; }
    void problem(std::string_view text) override { problems.emplace_back(text); }

    std::vector<std::string> messages, statuses, problems;
    std::vector<std::pair<int, int>> progresses;
    std::string focused;
    MessageAnswer answer = MessageAnswer::No;
    int checks = 0;
    int stopAfter = 1'000'000;
};

// Files in memory: paths map to GBK texts.
class MemoryServices : public RunServices {
  public:
    bool isFile(std::string_view path) override { return files.count(std::string(path)) > 0; }
    ArticleFile read(std::string_view path, int requested) override {
        requestedEncodings.push_back(requested);
        const auto it = files.find(std::string(path));
        if (it == files.end()) return {};
        return {it->second, 2, 1};
    }
    bool write(std::string_view path, std::string_view text, int encoding,
               int lineBreaks) override {
        if (failWrites) return false;
        written[std::string(path)] = std::string(text);
        writtenEncodings.push_back(encoding);
        writtenLineBreaks.push_back(lineBreaks);
        return true;
    }
    bool createFolder(std::string_view folder) override {
        folders.emplace_back(folder);
        return true;
    }
    std::string resultFolder(std::string_view first) override {
        const auto slash = first.rfind('/');
        return std::string(first.substr(0, slash)) + "/out/";
    }
    std::string titleOf(std::string_view path) override {
        const auto slash = path.rfind('/');
        const auto dot = path.rfind('.');
        return G(path.substr(slash + 1, dot - slash - 1));
    }
    std::string resultPath(std::string_view folder, std::string_view title, std::string_view ext,
                           std::string_view input) override {
        const std::string extension =
            ext.empty() ? std::string(input.substr(input.rfind('.') + 1)) : std::string(ext);
        return std::string(folder) + test::U(title) + "." + extension;
    }
    std::string elapsedText(std::int64_t) override { return G("1 秒"); }
    void openFolder(std::string_view folder) override { opened.emplace_back(folder); }

    std::map<std::string, std::string> files;
    std::map<std::string, std::string> written;
    std::vector<int> requestedEncodings, writtenEncodings, writtenLineBreaks;
    std::vector<std::string> folders, opened;
    bool failWrites = false;
};

class RunDriverTest : public ::testing::Test {
  protected:
    HeadlessForm form{mainWindowTable()};
    RecordingHost host;
    MemoryServices services;

    void SetUp() override {
        set("编辑框关键词列表", "K");
        set("编辑框再组合关键词", "[*]");
        form.find("选择框插入内容")->setTicked(false);
        form.find("组合框标题插入类型")->setSelectedIndex(2);
        set("编辑框标题间隔符", "");
    }
    void set(std::string_view name, std::string_view utf8) { form.find(name)->setText(G(utf8)); }

    RunResult batch(std::vector<std::string> paths) {
        RunRequest request;
        request.batch = true;
        request.paths = std::move(paths);
        request.seed = 1;
        return runArticles(form, host, services, request);
    }
};

TEST_F(RunDriverTest, PreviewShowsTheResultInTheForm) {
    RunRequest request;
    request.title = G("标题");
    request.content = G("正文");
    const RunResult result = runArticles(form, host, services, request);
    EXPECT_EQ(result.status, RunStatus::Completed);
    EXPECT_EQ(test::U(request.title), "标题[K]");
    EXPECT_EQ(textOf(form, "编辑框结果标题"), G("标题[K]"));
    EXPECT_EQ(textOf(form, "编辑框结果内容"), G("正文"));
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(services.folders.empty());
}

TEST_F(RunDriverTest, EmptyKeywordListRefusesTheRun) {
    set("编辑框关键词列表", "");
    RunRequest request;
    EXPECT_EQ(runArticles(form, host, services, request).status, RunStatus::Refused);
    EXPECT_EQ(host.messages, std::vector<std::string>{"请先输入关键词列表！"});
    EXPECT_EQ(host.focused, "编辑框关键词列表");
    EXPECT_TRUE(textOf(form, "编辑框结果标题").empty());
}

TEST_F(RunDriverTest, KeywordFileNamedInTheFirstLine) {
    services.files["/k/words.txt"] = G("文件词");
    set("编辑框关键词列表", "/k/words.txt\r\n别的");
    form.find("组合框输入编码")->setSelectedIndex(3);
    RunRequest request;
    request.title = "T";
    runArticles(form, host, services, request);
    EXPECT_EQ(test::U(request.title), "T[文件词]");
    EXPECT_EQ(services.requestedEncodings, std::vector<int>{3});

    services.files["/k/words.txt"] = "";
    EXPECT_EQ(runArticles(form, host, services, request).status, RunStatus::Refused);
    EXPECT_EQ(host.messages.back(), "关键词文件的内容为空！");
}

TEST_F(RunDriverTest, ShuffleModeNeedsNoKeywords) {
    set("编辑框关键词列表", "");
    form.find("分组框文章打乱替换器")->setVisible(true);
    RunRequest request;
    request.title = G("甲，乙");
    EXPECT_EQ(runArticles(form, host, services, request).status, RunStatus::Completed);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(RunDriverTest, BatchWritesBesideTheFirstFile) {
    services.files["/in/a.htm"] = G("正文一");
    services.files["/other/b.txt"] = G("正文二");
    const RunResult result = batch({"/in/a.htm", "/other/b.txt"});
    EXPECT_EQ(result.succeeded, 2);
    EXPECT_EQ(result.resultFolder, "/in/out/");
    EXPECT_EQ(services.folders, std::vector<std::string>{"/in/out/"});
    EXPECT_EQ(services.written.count("/in/out/a[K].htm"), 1u);
    EXPECT_EQ(services.written.count("/in/out/b[K].txt"), 1u);
    EXPECT_EQ(host.statuses.front(), "(2:1) a");
    EXPECT_EQ(host.statuses.back(), "处理完成,共处理成功 2 个文件，耗费 1 秒");
    EXPECT_EQ(host.messages.size(), 1u);  // the question, answered No
    EXPECT_TRUE(services.opened.empty());
    // Detected encoding and line breaks go back with the result.
    EXPECT_EQ(services.writtenEncodings, (std::vector<int>{2, 2}));
    EXPECT_EQ(services.writtenLineBreaks, (std::vector<int>{1, 1}));
    // The panels are unlocked again.
    EXPECT_TRUE(form.find("分组框1")->enabled());
    EXPECT_FALSE(form.find("进度条")->visible());
}

TEST_F(RunDriverTest, BatchChosenEncodingAndExtension) {
    services.files["/in/a.htm"] = G("正文");
    form.find("组合框输出编码")->setSelectedIndex(4);
    set("编辑框新文件扩展名", "txt");
    host.answer = MessageAnswer::Yes;
    batch({"/in/a.htm"});
    EXPECT_EQ(services.written.count("/in/out/a[K].txt"), 1u);
    EXPECT_EQ(services.writtenEncodings, std::vector<int>{4});
    EXPECT_EQ(services.opened, std::vector<std::string>{"/in/out/"});
}

TEST_F(RunDriverTest, StopIsHonouredBetweenArticles) {
    for (const char* p : {"/in/1.txt", "/in/2.txt", "/in/3.txt", "/in/4.txt"})
        services.files[p] = "x";
    host.stopAfter = 2;
    const RunResult result = batch({"/in/1.txt", "/in/2.txt", "/in/3.txt", "/in/4.txt"});
    EXPECT_EQ(result.succeeded, 2);
    EXPECT_EQ(host.statuses.back(), "处理完成,共处理成功 2 个文件，耗费 1 秒");
}

TEST_F(RunDriverTest, EqualTitlesWriteTheSamePathAndBothCount) {
    services.files["/in/a.txt"] = G("一");
    services.files["/in/sub/a.txt"] = G("二");
    EXPECT_EQ(batch({"/in/a.txt", "/in/sub/a.txt"}).succeeded, 2);
    EXPECT_EQ(services.written.size(), 1u);
    EXPECT_EQ(services.written["/in/out/a[K].txt"], G("二"));
}

TEST_F(RunDriverTest, FailedWritesAreNotCounted) {
    services.files["/in/a.txt"] = "x";
    services.failWrites = true;
    EXPECT_EQ(batch({"/in/a.txt", "/in/missing.txt"}).succeeded, 0);
    EXPECT_EQ(host.problems.size(), 2u);
}

TEST_F(RunDriverTest, BatchWithoutPathsDoesNothing) {
    EXPECT_EQ(batch({}).status, RunStatus::NoInput);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(services.folders.empty());
}

TEST_F(RunDriverTest, SequentialKeywordsContinueAcrossTheArticlesOfARun) {
    set("编辑框关键词列表", "A\r\nB\r\nC");
    form.find("组合框调用方式")->setSelectedIndex(2);
    for (const char* p : {"/in/1.txt", "/in/2.txt", "/in/3.txt", "/in/4.txt"})
        services.files[p] = "x";
    batch({"/in/1.txt", "/in/2.txt", "/in/3.txt", "/in/4.txt"});
    EXPECT_EQ(services.written.count("/in/out/1[A].txt"), 1u);
    EXPECT_EQ(services.written.count("/in/out/2[B].txt"), 1u);
    EXPECT_EQ(services.written.count("/in/out/3[C].txt"), 1u);
    EXPECT_EQ(services.written.count("/in/out/4[A].txt"), 1u);
}

}  // namespace
}  // namespace lct
