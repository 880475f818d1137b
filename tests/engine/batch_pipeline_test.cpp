#include "engine/batch_pipeline.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace lct {
namespace {

// Reads give each path back as its text; writes note their paths.
class EchoServices : public RunServices {
  public:
    bool isFile(std::string_view) override { return true; }
    ArticleFile read(std::string_view path, TextEncoding, bool) override {
        ++reads;
        return {std::string(path), TextEncoding::Gbk, LineBreaks::CrLf, {}};
    }
    bool write(std::string_view path, std::string_view, TextEncoding, LineBreaks,
               std::string& error) override {
        const std::lock_guard lock(mutex);
        written.insert(std::string(path));
        if (path.ends_with("bad")) {
            error = "只读的文件系统";
            return false;
        }
        return true;
    }
    bool createResultFolder(std::string_view, bool&, std::string&) override { return true; }
    bool isFolder(std::string_view) override { return true; }
    std::string fileIdentity(std::string_view, bool) override { return {}; }
    std::string resultFolder(std::string_view) override { return {}; }
    std::string titleOf(std::string_view) override { return {}; }
    std::string resultPath(std::string_view, std::string_view, std::string_view, std::string_view,
                           int) override {
        return {};
    }
    std::string elapsedText(std::int64_t) override { return {}; }
    void openFolder(std::string_view) override {}

    std::atomic<int> reads{0};
    std::mutex mutex;
    std::set<std::string> written;
};

std::vector<std::string> numbered(int count) {
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i)
        paths.push_back("/p/" + std::to_string(i));
    return paths;
}

TEST(ArticleReader, GivesEveryFileInOrderWithAnyNumberOfThreads) {
    const std::vector<std::string> paths = numbered(200);
    for (unsigned threads : {0u, 1u, 3u}) {
        EchoServices services;
        ArticleReader reader(services, paths, TextEncoding::Detect, threads);
        for (std::size_t i = 0; i < paths.size(); ++i)
            ASSERT_EQ(reader.take(i).text, paths[i]) << threads;
        EXPECT_EQ(services.reads, 200) << threads;
    }
}

TEST(ArticleReader, ReadsOnlyAFewArticlesAhead) {
    const std::vector<std::string> paths = numbered(1000);
    EchoServices services;
    {
        ArticleReader reader(services, paths, TextEncoding::Detect, 2);
        EXPECT_EQ(reader.take(0).text, paths[0]);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        // Two threads, a few articles each: nowhere near the whole batch.
        EXPECT_LE(services.reads, 12);
    }
    // Leaving early stops the threads.
    EXPECT_LT(services.reads, 1000);
}

TEST(ResultQueue, WritesEverythingAndReportsFailures) {
    for (unsigned threads : {0u, 2u}) {
        EchoServices services;
        std::vector<WriteFailure> failures;
        {
            ResultQueue queue(services, threads);
            for (std::size_t i = 0; i < 100; ++i) {
                const std::string path = "/r/" + std::to_string(i) + (i % 10 == 3 ? "bad" : "");
                queue.submit({i, "/in/" + std::to_string(i), path, "text", TextEncoding::Gbk,
                              LineBreaks::CrLf});
            }
            queue.finish();
            failures = queue.takeFailures();
        }
        EXPECT_EQ(services.written.size(), 100u) << threads;
        ASSERT_EQ(failures.size(), 10u) << threads;
        std::set<std::size_t> failed;
        for (const WriteFailure& f : failures)
            failed.insert(f.index);
        EXPECT_TRUE(failed.contains(3));
        EXPECT_EQ(failures.front().reason.find("无法写入结果文件 /r/"), 0u);
    }
}

}  // namespace
}  // namespace lct
