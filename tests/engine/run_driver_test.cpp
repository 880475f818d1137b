#include "engine/run_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "gbk.h"

namespace lct {
namespace {

using test::G;

// A host that records what the driver says and can ask to stop after a
// number of articles.
class RecordingHost : public RunHost {
  public:
    void tell(std::string_view text) override { messages.push_back(test::U(text)); }
    bool ask(std::string_view question) override {
        messages.push_back(test::U(question));
        return answer;
    }
    void focusKeywordList() override { focused = true; }
    void busy(bool running) override { busyStates.push_back(running); }
    void status(std::string_view text) override { statuses.push_back(test::U(text)); }
    void progress(int range, int position) override { progresses.emplace_back(range, position); }
    void showPreview(std::string_view title, std::string_view content,
                     const PreviewItems& items) override {
        shown.emplace_back(title, content);
        previewItems.push_back(items);
    }
    bool stopRequested() override { return ++checks > stopAfter; }
    void problem(std::string_view text) override { problems.emplace_back(text); }
    void failed(std::string_view path, std::string_view reason) override {
        failures.push_back(std::string(path) + " | " + std::string(reason));
    }
    void keepAlive() override { ++breaths; }

    std::vector<std::string> messages, statuses, problems, failures;
    std::vector<std::pair<int, int>> progresses;
    std::vector<std::pair<std::string, std::string>> shown;
    std::vector<PreviewItems> previewItems;
    std::vector<bool> busyStates;
    bool focused = false;
    bool answer = false;
    int checks = 0;
    int stopAfter = 1'000'000;
    int breaths = 0;
};

// Files in memory: paths map to GBK texts. A path in `unreadable` fails to
// read with its reason; folders exist once created (or listed in `folders`).
class MemoryServices : public RunServices {
  public:
    bool isFile(std::string_view path) override { return files.count(std::string(path)) > 0; }
    ArticleFile read(std::string_view path, TextEncoding requested, const KeepAlive&) override {
        const std::lock_guard lock(mutex);  // a batch with jobs reads on helper threads
        ++reads;
        requestedEncodings.push_back(requested);
        if (const auto bad = unreadable.find(std::string(path)); bad != unreadable.end())
            return {{}, TextEncoding::Detect, LineBreaks::CrLf, bad->second};
        const auto link = links.find(std::string(path));
        const auto it = files.find(link == links.end() ? std::string(path) : link->second);
        if (it == files.end())
            return {{}, TextEncoding::Detect, LineBreaks::CrLf, "文件或文件夹不存在"};
        return {it->second, TextEncoding::Utf8, LineBreaks::Lf, {}};
    }
    bool write(std::string_view path, std::string_view text, const ResultFormat& format,
               std::string& error) override {
        const std::lock_guard lock(mutex);
        if (failWrites || failWritesTo.contains(std::string(path))) {
            error = "磁盘已满";
            return false;
        }
        written[std::string(path)] = std::string(text);
        files[std::string(path)] = std::string(text);
        writtenEncodings.push_back(format.encoding);
        writtenLineBreaks.push_back(format.lineBreaks);
        return true;
    }
    bool createResultFolder(std::string_view folder, bool& created, std::string& error) override {
        created = false;
        if (!folderError.empty()) {
            error = folderError;
            return false;
        }
        if (!folders.contains(std::string(folder))) {
            folders.insert(std::string(folder));
            created = true;
            foldersCreated.emplace_back(folder);
        }
        return true;
    }
    bool isFolder(std::string_view path) override { return folders.contains(std::string(path)); }
    std::string fileIdentity(std::string_view path, bool followLinks) override {
        const std::string p(path);
        if (followLinks && links.contains(p)) return "file:" + links.at(p);
        if (links.contains(p)) return "link:" + p;
        return files.contains(p) ? "file:" + p : std::string();
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
                           std::string_view input, int copy) override {
        const std::string extension =
            ext.empty() ? std::string(input.substr(input.rfind('.') + 1)) : std::string(ext);
        const std::string suffix = copy > 1 ? " (" + std::to_string(copy) + ")" : "";
        return std::string(folder) + test::U(title) + suffix + "." + extension;
    }
    std::string resultPathAt(std::string_view folder, std::string_view relative, std::string_view,
                             int copy) override {
        const std::string suffix = copy > 1 ? " (" + std::to_string(copy) + ")" : "";
        return std::string(folder) + std::string(relative) + suffix;
    }
    std::string elapsedText(std::int64_t) override { return G("1 秒"); }
    bool openFolder(std::string_view folder) override {
        opened.emplace_back(folder);
        return openable;
    }
    bool writeReport(std::string_view path, const std::vector<InputOutcome>& outcomes,
                     std::string&) override {
        reports[std::string(path)] = outcomes;
        return true;
    }

    std::map<std::string, std::string> files;
    std::map<std::string, std::string> unreadable;  // path → reason
    std::map<std::string, std::string> links;       // link path → target path
    std::map<std::string, std::string> written;
    std::map<std::string, std::vector<InputOutcome>> reports;
    std::vector<TextEncoding> requestedEncodings, writtenEncodings;
    std::vector<LineBreaks> writtenLineBreaks;
    std::set<std::string> folders;
    std::vector<std::string> foldersCreated, opened;
    std::string folderError;
    bool openable = true;
    bool failWrites = false;
    std::set<std::string> failWritesTo;
    int reads = 0;
    std::mutex mutex;
};

class RunDriverTest : public ::testing::Test {
  protected:
    RunOptions options;
    RecordingHost host;
    MemoryServices services;

    // One keyword, in brackets, after the title; the content stays as it is.
    void SetUp() override {
        keywords("K");
        options.article.templates = "[*]";
        options.article.insert.insertContent = false;
        options.article.insert.titleType = TitleType::After;
        options.article.insert.titleSeparators = "";
    }
    void keywords(std::string_view utf8) { options.article.keywordList = G(utf8); }

    RunResult preview(PreviewRequest& request) {
        return runPreview(options, host, services, request);
    }
    RunResult batch(std::vector<std::string> paths) {
        BatchRequest request;
        request.paths = std::move(paths);
        request.seed = 1;
        return runBatch(options, host, services, request);
    }
};

TEST_F(RunDriverTest, PreviewShowsTheResult) {
    PreviewRequest request;
    request.title = G("标题");
    request.content = G("正文");
    const RunResult result = preview(request);
    EXPECT_EQ(result.status, RunStatus::Completed);
    EXPECT_EQ(test::U(request.title), "标题[K]");
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.shown[0].first, G("标题[K]"));
    EXPECT_EQ(host.shown[0].second, G("正文"));
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(host.busyStates.empty());  // only a batch locks the window
    EXPECT_TRUE(services.foldersCreated.empty());
}

// An input's page is its listed path, else its name: the keyword of its own
// page (from a keyword file here) goes into the other inputs only.
TEST_F(RunDriverTest, ABatchLeavesOutEachInputsLinkToItself) {
    services.files["/k/map.txt"] = "A\thttps://example.com/d/a.html\r\nB\t/b.html";
    keywords("/k/map.txt");
    options.article.templates = G("[#网址#]");
    options.article.insert.items.callMode = 2;
    options.article.siteAddress = "https://example.com";
    for (const char* path : {"/in/d/a.html", "/in/b.html", "/in/c.html"})
        services.files[path] = "x";
    BatchRequest request;
    request.paths = {"/in/d/a.html", "/in/b.html", "/in/c.html"};
    request.relativePaths = {"d/a.html"};
    request.seed = 1;
    ASSERT_EQ(runBatch(options, host, services, request).succeeded, 3);
    const auto titles = [this] {
        std::set<std::string> names;
        for (const auto& [path, text] : services.written)
            names.insert(path.substr(path.rfind('/') + 1));
        return names;
    };
    EXPECT_EQ(titles(), (std::set<std::string>{"a[／b.html].html",
                                               "b[https：／／example.com／d／a.html].html",
                                               "c[／b.html].html"}));
}

// Every long loop of an article lets the window in through the host: each row
// passes one loop at least `least` times over a long article.
TEST_F(RunDriverTest, LongLoopsOfAnArticleLetTheWindowInThroughTheHost) {
    struct Row {
        const char* loop;
        void (*set)(ArticleOptions&);
        int least;
    };
    using O = ArticleOptions&;
    const Row rows[] = {
        {"lines", [](O o) { o.insert.contentType = ContentType::LineAfter; }, 1500},
        {"lines, items placed", [](O o) { o.insert.contentType = ContentType::ParagraphRandom; },
         3000},
        {"sentences",
         [](O o) {
             o.insert.contentType = ContentType::SentenceRandom;
             o.insert.symbolGroups = G("。");
         },
         7500},
        {"chunks",
         [](O o) {
             o.insert.contentType = ContentType::EveryNChunks;
             o.insert.everyMin = o.insert.everyMax = 10;
         },
         1500},
        {"items placed", [](O o) { o.insert.items.countFrom = o.insert.items.countTo = 900; }, 900},
        {"title items",
         [](O o) {
             o.insert.insertContent = false;
             o.insert.titleType = TitleType::Before;
             o.insert.titleOnce = false;
             o.insert.items.countFrom = o.insert.items.countTo = 900;
         },
         900},
        {"tags", [](O o) { o.insert.contentType = ContentType::Tail; }, 10},
        {"existing keywords", [](O o) { o.mode = PipelineMode::ReplaceExisting; }, 3},
        {"shuffled pieces", [](O o) { o.mode = PipelineMode::ShuffleReplace; }, 16},
        {"replaced lists",
         [](O o) {
             o.mode = PipelineMode::ShuffleReplace;
             o.shuffle.shuffleTitle = o.shuffle.shuffleContent = false;
             o.shuffle.replaceContent = true;
             for (int i = 0; i < 500; ++i)
                 o.shuffle.contentMatches += "x|";
         },
         500},
        {"sentences tried",
         [](O o) {
             o.mode = PipelineMode::ShuffleReplace;
             o.shuffle.shuffleTitle = o.shuffle.shuffleContent = false;
             o.shuffle.sentenceIntoTitle = true;
             o.shuffle.sentenceMustContain = "none";
         },
         4500},
    };
    std::string content;
    for (int i = 0; i < 1500; ++i)
        content += G("<b>K</b>一句。二句。\r\n");
    for (const Row& row : rows) {
        options = {};
        SetUp();
        options.article.insert.insertContent = true;
        row.set(options.article);
        host.breaths = 0;
        PreviewRequest request{"T", content, 1};
        preview(request);
        EXPECT_GE(host.breaths, row.least) << row.loop;
    }
}

TEST_F(RunDriverTest, EmptyKeywordListRefusesTheRun) {
    keywords("");
    PreviewRequest request;
    EXPECT_EQ(preview(request).status, RunStatus::Refused);
    EXPECT_EQ(host.messages, std::vector<std::string>{"请先输入关键词列表！"});
    EXPECT_TRUE(host.focused);
    EXPECT_TRUE(host.shown.empty());
}

TEST_F(RunDriverTest, KeywordFileNamedInTheFirstLine) {
    services.files["/k/words.txt"] = G("文件词");
    keywords("/k/words.txt\r\n别的");
    options.inputEncoding = TextEncoding::Utf16Le;
    PreviewRequest request;
    request.title = "T";
    preview(request);
    EXPECT_EQ(test::U(request.title), "T[文件词]");
    EXPECT_EQ(services.requestedEncodings, std::vector<TextEncoding>{TextEncoding::Utf16Le});

    services.files["/k/words.txt"] = "";
    EXPECT_EQ(preview(request).status, RunStatus::Refused);
    EXPECT_EQ(host.messages.back(), "关键词文件的内容为空！");
}

TEST_F(RunDriverTest, ShuffleModeNeedsNoKeywords) {
    keywords("");
    options.article.mode = PipelineMode::ShuffleReplace;
    PreviewRequest request;
    request.title = G("甲，乙");
    EXPECT_EQ(preview(request).status, RunStatus::Completed);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(RunDriverTest, BatchWritesBesideTheFirstFile) {
    services.files["/in/a.htm"] = G("正文一");
    services.files["/other/b.txt"] = G("正文二");
    const RunResult result = batch({"/in/a.htm", "/other/b.txt"});
    EXPECT_EQ(result.succeeded, 2);
    EXPECT_EQ(result.resultFolder, "/in/out/");
    EXPECT_EQ(services.foldersCreated, std::vector<std::string>{"/in/out/"});
    EXPECT_EQ(services.written.count("/in/out/a[K].htm"), 1u);
    EXPECT_EQ(services.written.count("/in/out/b[K].txt"), 1u);
    EXPECT_EQ(host.statuses.front(), "(2:1) a");
    EXPECT_EQ(host.statuses.back(), "处理完成,共处理成功 2 个文件，耗费 1 秒，插入 2 处");
    // The question carries the summary, which a box would hide otherwise.
    EXPECT_EQ(host.messages, std::vector<std::string>{
                                 "处理完成,共处理成功 2 个文件，耗费 1 秒，插入 2 处\r\n\r\n"
                                 "处理结果存放在这个目录里 >> /in/out/\r\n\r\n是否打开该目录？"});
    EXPECT_TRUE(services.opened.empty());
    // Detected encoding and line breaks go back with the result.
    EXPECT_EQ(services.writtenEncodings,
              (std::vector<TextEncoding>{TextEncoding::Utf8, TextEncoding::Utf8}));
    EXPECT_EQ(services.writtenLineBreaks,
              (std::vector<LineBreaks>{LineBreaks::Lf, LineBreaks::Lf}));
    // The window was locked for the batch and unlocked after it.
    EXPECT_EQ(host.busyStates, (std::vector<bool>{true, false}));
    EXPECT_EQ(host.progresses.back(), std::make_pair(0, 0));
}

TEST_F(RunDriverTest, BatchChosenEncodingAndExtension) {
    services.files["/in/a.htm"] = G("正文");
    options.outputEncoding = TextEncoding::Utf16Be;
    options.newExtension = "txt";
    host.answer = true;
    batch({"/in/a.htm"});
    EXPECT_EQ(services.written.count("/in/out/a[K].txt"), 1u);
    EXPECT_EQ(services.writtenEncodings, std::vector<TextEncoding>{TextEncoding::Utf16Be});
    EXPECT_EQ(services.opened, std::vector<std::string>{"/in/out/"});
    // Without a file browser the user is told where the results are.
    services.openable = false;
    host.messages.clear();
    batch({"/in/a.htm"});
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[1], "无法打开文件管理器。处理结果存放在这个目录里：\r\n/in/out/");
}

TEST_F(RunDriverTest, StopIsHonouredBetweenArticles) {
    for (const char* p : {"/in/1.txt", "/in/2.txt", "/in/3.txt", "/in/4.txt"})
        services.files[p] = "x";
    host.stopAfter = 2;
    const RunResult result = batch({"/in/1.txt", "/in/2.txt", "/in/3.txt", "/in/4.txt"});
    EXPECT_EQ(result.succeeded, 2);
    EXPECT_EQ(host.statuses.back(), "已停止：处理了 2 个文件，共 4 个，耗费 1 秒，插入 2 处");
}

TEST_F(RunDriverTest, BatchWithoutPathsDoesNothing) {
    EXPECT_EQ(batch({}).status, RunStatus::NoInput);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(services.foldersCreated.empty());
}

TEST_F(RunDriverTest, SequentialKeywordsContinueAcrossTheArticlesOfARun) {
    keywords("A\r\nB\r\nC");
    options.article.insert.items.callMode = 2;
    for (const char* p : {"/in/1.txt", "/in/2.txt", "/in/3.txt", "/in/4.txt"})
        services.files[p] = "x";
    batch({"/in/1.txt", "/in/2.txt", "/in/3.txt", "/in/4.txt"});
    EXPECT_EQ(services.written.count("/in/out/1[A].txt"), 1u);
    EXPECT_EQ(services.written.count("/in/out/2[B].txt"), 1u);
    EXPECT_EQ(services.written.count("/in/out/3[C].txt"), 1u);
    EXPECT_EQ(services.written.count("/in/out/4[A].txt"), 1u);
}

// What a batch does when inputs cannot be read or results cannot be written.
class RunDriverFailureTest : public RunDriverTest {};

TEST_F(RunDriverFailureTest, UnreadableInputsFailWithoutAResult) {
    services.files["/in/a.txt"] = G("一");
    services.unreadable["/in/fifo"] = "是管道，不是普通文件";
    services.files["/in/c.txt"] = G("三");
    const RunResult result = batch({"/in/a.txt", "/in/missing.txt", "/in/fifo", "/in/c.txt"});
    EXPECT_EQ(result.succeeded, 2);
    EXPECT_EQ(result.processed, 2);
    ASSERT_EQ(result.failures.size(), 2u);
    EXPECT_EQ(result.failures[0].path, "/in/missing.txt");
    EXPECT_EQ(result.failures[1].reason, "是管道，不是普通文件");
    EXPECT_EQ(host.failures, (std::vector<std::string>{"/in/missing.txt | 文件或文件夹不存在",
                                                       "/in/fifo | 是管道，不是普通文件"}));
    EXPECT_EQ(services.written.size(), 2u);
    EXPECT_EQ(host.statuses.back(),
              "处理完成,共处理成功 2 个文件，耗费 1 秒，插入 2 处, 失败 2 个文件");
    // Progress still moves through every input.
    EXPECT_EQ(host.progresses[host.progresses.size() - 2], std::make_pair(4, 4));
}

TEST_F(RunDriverFailureTest, NothingReadableCreatesNoFolderAndOffersNone) {
    const RunResult result = batch({"/no/such/f.txt"});
    EXPECT_EQ(result.failures.size(), 1u);
    EXPECT_TRUE(services.foldersCreated.empty());
    EXPECT_TRUE(host.messages.empty());  // no question about a folder that does not exist
    EXPECT_EQ(host.statuses.back(),
              "处理完成,共处理成功 0 个文件，耗费 1 秒，插入 0 处, 失败 1 个文件");
}

TEST_F(RunDriverFailureTest, FailedWritesAreFailuresAndTheRunGoesOn) {
    services.files["/in/a.txt"] = "x";
    services.files["/in/b.txt"] = "y";
    services.failWrites = true;
    const RunResult result = batch({"/in/a.txt", "/in/b.txt"});
    EXPECT_EQ(result.succeeded, 0);
    EXPECT_EQ(result.processed, 2);
    ASSERT_EQ(result.failures.size(), 2u);
    EXPECT_EQ(result.failures[0].reason, "无法写入结果文件 /in/out/a[K].txt：磁盘已满");
    // Items of results that were not written are not counted.
    EXPECT_EQ(result.items, 0);
    EXPECT_EQ(host.statuses.back(),
              "处理完成,共处理成功 0 个文件，耗费 1 秒，插入 0 处, 失败 2 个文件");
}

// A user pattern that fails fails every article it meets, naming the file,
// and writes nothing for it; the preview keeps its text and shows why.
TEST_F(RunDriverFailureTest, AFailingUserPatternFailsEveryArticleItMeets) {
    services.files["/in/a.txt"] = services.files["/in/b.txt"] = "x";
    options.article.mode = PipelineMode::ShuffleReplace;
    ShuffleOptions& shuffle = options.article.shuffle;
    shuffle.shuffleTitle = shuffle.shuffleContent = false;
    shuffle.replaceContent = shuffle.contentRegex = true;
    shuffle.contentMatches = "(unclosed";
    const RunResult result = batch({"/in/a.txt", "/in/b.txt"});
    ASSERT_EQ(result.failures.size(), 2u);
    EXPECT_EQ(result.failures[1].path, "/in/b.txt");
    EXPECT_EQ(result.failures[1].reason.find("“替换内容”的正则表达式无法使用"), 0u);
    EXPECT_TRUE(services.written.empty() && host.problems.empty());
    EXPECT_EQ(host.statuses.back(), "处理完成,共处理成功 0 个文件，耗费 1 秒, 失败 2 个文件");
    PreviewRequest request{"T", "x", 1};
    preview(request);
    EXPECT_EQ(request.content, "x");
    EXPECT_EQ(host.problems.size(), 1u);
}

TEST_F(RunDriverTest, TheBatchSummaryCountsTheItemsWritten) {
    services.files["/in/a.txt"] = G("北京上海北京");
    services.files["/in/b.txt"] = G("<a href=/>北京</a>北京");
    options.article.mode = PipelineMode::ReplaceExisting;
    keywords("北京\r\n上海");
    RunResult result = batch({"/in/a.txt", "/in/b.txt"});
    EXPECT_EQ(result.items, 4);
    EXPECT_EQ(host.statuses.back(), "处理完成,共处理成功 2 个文件，耗费 1 秒，替换 4 处");
    // Shuffling and list replacement count nothing.
    options.article.mode = PipelineMode::ShuffleReplace;
    result = batch({"/in/a.txt"});
    EXPECT_EQ(host.statuses.back(), "处理完成,共处理成功 1 个文件，耗费 1 秒");
}

TEST_F(RunDriverTest, ThePreviewReportsWhereItsItemsAre) {
    options.article.mode = PipelineMode::ReplaceExisting;
    options.article.scriptConversion = ScriptConversion::ToTraditional;
    keywords("北京\r\n上海");
    PreviewRequest request;
    request.title = G("标题");
    request.content = G("<p>北京</p>上海");
    preview(request);
    ASSERT_EQ(host.previewItems.size(), 1u);
    const PreviewItems& items = host.previewItems[0];
    EXPECT_EQ(items.mode, PipelineMode::ReplaceExisting);
    EXPECT_EQ(items.count, 2);
    EXPECT_TRUE(items.title.empty());
    ASSERT_EQ(items.content.size(), 2u);
    const std::string& content = host.shown[0].second;
    for (const auto& [begin, end] : items.content)
        EXPECT_EQ(content.substr(begin, 1), "[") << test::U(content);
    EXPECT_EQ(test::U(content.substr(items.content[1].first,
                                     items.content[1].second - items.content[1].first)),
              "[上海]");
}

TEST_F(RunDriverFailureTest, AResultFolderThatCannotBeMadeFailsEveryWrite) {
    services.files["/in/a.txt"] = "x";
    services.files["/in/b.txt"] = "y";
    services.folderError = "已有同名的文件占用了这个位置";
    const RunResult result = batch({"/in/a.txt", "/in/b.txt"});
    EXPECT_EQ(result.succeeded, 0);
    ASSERT_EQ(result.failures.size(), 2u);
    EXPECT_EQ(result.failures[1].reason,
              "无法创建结果文件夹 /in/out/：已有同名的文件占用了这个位置");
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(RunDriverFailureTest, EqualResultNamesGetDistinctNames) {
    services.files["/in/a.txt"] = G("一");
    services.files["/in/sub/a.txt"] = G("二");
    services.files["/in/x/a.txt"] = G("三");
    EXPECT_EQ(batch({"/in/a.txt", "/in/sub/a.txt", "/in/x/a.txt"}).succeeded, 3);
    EXPECT_EQ(services.written["/in/out/a[K].txt"], G("一"));
    EXPECT_EQ(services.written["/in/out/a[K] (2).txt"], G("二"));
    EXPECT_EQ(services.written["/in/out/a[K] (3).txt"], G("三"));
    // Kept in place instead: the relative path, or the name when none is given.
    BatchRequest request;
    request.paths = {"/in/a.txt", "/in/sub/a.txt", "/in/x/a.txt"};
    request.relativePaths = {"a.txt", "sub/a.txt"};
    request.resultsAtRelativePaths = true;
    services.written.clear();
    EXPECT_EQ(runBatch(options, host, services, request).succeeded, 3);
    EXPECT_EQ(services.written,
              (std::map<std::string, std::string>{{"/in/out/a.txt", G("一")},
                                                  {"/in/out/sub/a.txt", G("二")},
                                                  {"/in/out/a.txt (2)", G("三")}}));
}

TEST_F(RunDriverFailureTest, AnInputInsideTheResultFolderIsNeverReplaced) {
    services.folders.insert("/in/out/");  // left by an earlier run
    services.files["/in/a.txt"] = G("新");
    services.files["/in/out/a[K].txt"] = G("旧的结果，这次是输入");
    EXPECT_EQ(batch({"/in/a.txt", "/in/out/a[K].txt"}).succeeded, 2);
    EXPECT_EQ(services.written["/in/out/a[K] (2).txt"], G("新"));
    EXPECT_EQ(services.written.count("/in/out/a[K].txt"), 0u);
    EXPECT_EQ(services.written["/in/out/a[K][K].txt"], G("旧的结果，这次是输入"));
}

TEST_F(RunDriverFailureTest, AnInputReachedThroughALinkInTheResultFolderIsKept) {
    services.folders.insert("/in/out/");
    services.files["/in/a.txt"] = G("新");
    services.files["/elsewhere/t.txt"] = G("目标");
    services.links["/in/out/a[K].txt"] = "/elsewhere/t.txt";
    // The link itself is the input: writing over it would lose the input.
    EXPECT_EQ(batch({"/in/a.txt", "/in/out/a[K].txt"}).succeeded, 2);
    EXPECT_EQ(services.written.count("/in/out/a[K].txt"), 0u);
    EXPECT_EQ(services.written["/in/out/a[K] (2).txt"], G("新"));
}

TEST_F(RunDriverFailureTest, StatusLinesShowControlCharactersSafely) {
    services.files["/in/a\x1b[2Jb\tc.txt"] = "x";
    batch({"/in/a\x1b[2Jb\tc.txt"});
    EXPECT_EQ(host.statuses.front(), "(1:1) a?[2Jb?c");
}

TEST_F(RunDriverFailureTest, AnUnreadableKeywordFileRefusesTheRunWithItsReason) {
    services.files["/k/words.txt"] = "";
    services.unreadable["/k/words.txt"] = "没有权限";
    keywords("/k/words.txt");
    services.files["/in/a.txt"] = "x";
    EXPECT_EQ(batch({"/in/a.txt"}).status, RunStatus::Refused);
    EXPECT_EQ(host.messages,
              std::vector<std::string>{"关键词文件无法读取：/k/words.txt：没有权限"});
    EXPECT_TRUE(services.foldersCreated.empty());
}

// The report: a row per input, what could not be listed first; in the result
// folder, under a name no result of the run has (made for it if need be).
TEST_F(RunDriverTest, TheReportHasARowPerInputInTheResultFolder) {
    options.reportInResultFolder = true;
    options.article.insert.insertTitle = false;
    for (const char* path : {"/in/处理报告.csv", "/in/b.txt", "/in/c.txt"})
        services.files[path] = "x";
    services.failWritesTo.insert("/in/out/b.txt");
    host.stopAfter = 3;
    BatchRequest request;
    request.paths = {"/in/处理报告.csv", "/in/gone.txt", "/in/b.txt", "/in/c.txt"};
    request.listingFailures = {{"/in/locked/", "没有权限"}};
    EXPECT_EQ(runBatch(options, host, services, request).reportPath, "/in/out/处理报告 (2).csv");
    std::vector<std::string> rows;
    for (const InputOutcome& o : services.reports["/in/out/处理报告 (2).csv"])
        rows.push_back(o.path + "|" + o.resultPath + "|" + o.reason);
    EXPECT_EQ(rows, (std::vector<std::string>{"/in/locked/||没有权限",
                                              "/in/处理报告.csv|/in/out/处理报告.csv|",
                                              "/in/gone.txt||文件或文件夹不存在",
                                              "/in/b.txt||无法写入结果文件 /in/out/b.txt：磁盘已满",
                                              "/in/c.txt||处理已停止，未处理"}));
    EXPECT_EQ(batch({"/in2/gone.txt"}).reportPath, "/in2/out/处理报告.csv");
}

// A batch with jobs reads and writes on helper threads; the engine takes the
// articles in order, so the results are those of one thread.
class RunDriverJobsTest : public RunDriverTest {
  protected:
    struct Outcome {
        std::map<std::string, std::string> written;
        std::vector<std::string> failures;  // path | reason, in the result's order
        std::vector<std::string> statuses;
        int succeeded = 0;
    };

    Outcome runWith(unsigned jobs) {
        RecordingHost freshHost;
        MemoryServices freshServices;
        freshServices.files = services.files;
        freshServices.unreadable = services.unreadable;
        freshServices.failWritesTo = services.failWritesTo;
        BatchRequest request;
        request.paths = paths;
        request.seed = 9;
        request.jobs = jobs;
        const RunResult result = runBatch(options, freshHost, freshServices, request);
        Outcome outcome{freshServices.written, {}, freshHost.statuses, result.succeeded};
        for (const RunFailure& f : result.failures)
            outcome.failures.push_back(f.path + " | " + f.reason);
        return outcome;
    }

    std::vector<std::string> paths;
};

TEST_F(RunDriverJobsTest, AnyNumberOfJobsGivesTheSameFiles) {
    keywords("甲\r\n乙\r\n丙\r\n丁");
    options.article.insert.insertContent = true;
    options.article.insert.titleType = TitleType::Random;
    for (int i = 0; i < 60; ++i) {
        const std::string path =
            "/in/" + std::to_string(i % 7) + "/文章" + std::to_string(i % 23) + ".txt";
        if (std::find(paths.begin(), paths.end(), path) != paths.end()) continue;
        paths.push_back(path);
        if (i % 11 == 5) {
            services.unreadable[path] = "没有权限";
        } else {
            services.files[path] = G("正文第" + std::to_string(i) + "篇，内容。再来一句！");
        }
    }
    paths.push_back("/in/missing.txt");
    services.failWritesTo.insert("/in/0/out/never.txt");
    const Outcome one = runWith(1);
    ASSERT_GT(one.written.size(), 30u);
    ASSERT_FALSE(one.failures.empty());
    for (unsigned jobs : {2u, 3u, 5u}) {
        const Outcome many = runWith(jobs);
        EXPECT_EQ(many.written, one.written) << jobs;
        EXPECT_EQ(many.failures, one.failures) << jobs;
        EXPECT_EQ(many.statuses, one.statuses) << jobs;
        EXPECT_EQ(many.succeeded, one.succeeded) << jobs;
    }
}

TEST_F(RunDriverJobsTest, WriteFailuresOnHelperThreadsAreCounted) {
    for (int i = 0; i < 10; ++i) {
        paths.push_back("/in/" + std::to_string(i) + ".txt");
        services.files[paths.back()] = "x";
    }
    services.failWritesTo = {"/in/out/3[K].txt", "/in/out/7[K].txt"};
    for (unsigned jobs : {1u, 4u}) {
        const Outcome outcome = runWith(jobs);
        EXPECT_EQ(outcome.succeeded, 8) << jobs;
        ASSERT_EQ(outcome.failures.size(), 2u) << jobs;
        EXPECT_EQ(outcome.failures[0], "/in/3.txt | 无法写入结果文件 /in/out/3[K].txt：磁盘已满");
        EXPECT_EQ(outcome.statuses.back(),
                  "处理完成,共处理成功 8 个文件，耗费 1 秒，插入 8 处, 失败 2 个文件");
    }
}

TEST_F(RunDriverJobsTest, AStopWritesWhatWasProcessedAndNoMore) {
    for (int i = 0; i < 50; ++i) {
        paths.push_back("/in/" + std::to_string(i) + ".txt");
        services.files[paths.back()] = "x";
    }
    host.stopAfter = 3;
    BatchRequest request;
    request.paths = paths;
    request.jobs = 3;
    const RunResult result = runBatch(options, host, services, request);
    EXPECT_EQ(result.succeeded, 3);
    EXPECT_EQ(services.written.size(), 3u);
    // The readers ran ahead of the engine, but not through the whole batch.
    EXPECT_LT(services.reads, 50);
}

}  // namespace
}  // namespace lct
