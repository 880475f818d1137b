#include "engine/batch_files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "null_run_services.h"

namespace lct {
namespace {

// Reads give each path back as its text; writes note their paths.
class EchoServices : public test::NullRunServices {
  public:
    // Files of `bytes` bytes when set, else each path's own text.
    std::uint64_t sizeOf(std::string_view) override { return bytes; }
    ArticleFile read(std::string_view path, TextEncoding, const KeepAlive& keepAlive) override {
        ++reads;
        keepAlive();  // as decoding does
        std::string text = bytes ? std::string(bytes, 'x') : std::string(path);
        return {std::move(text), TextEncoding::Gbk, LineBreaks::CrLf, {}};
    }
    bool write(std::string_view path, std::string_view, const ResultFormat&,
               std::string& error) override {
        const std::lock_guard lock(mutex);
        written.insert(std::string(path));
        if (path.ends_with("bad")) {
            error = "只读的文件系统";
            return false;
        }
        return true;
    }

    std::size_t bytes = 0;
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

ResultJob jobFor(std::size_t i, std::string path) {
    return {i, "/in/" + std::to_string(i), std::move(path), "text", {}};
}

TEST(BatchFiles, GivesEveryFileInOrderOnceWithAnyNumberOfThreads) {
    const std::vector<std::string> paths = numbered(200);
    for (unsigned threads : {0u, 1u, 3u}) {
        EchoServices services;
        // Only a read on the caller's thread may let the window in.
        const std::thread::id caller = std::this_thread::get_id();
        int breaths = 0;
        {
            BatchFiles files(services, paths, TextEncoding::Detect, threads, [&] {
                EXPECT_EQ(std::this_thread::get_id(), caller);
                ++breaths;
            });
            for (std::size_t i = 0; i < paths.size(); ++i) {
                ASSERT_EQ(files.take(i).text, paths[i]) << threads;
                files.submit(jobFor(i, "/r/" + std::to_string(i)));
            }
        }
        EXPECT_EQ(services.reads, 200) << threads;
        EXPECT_EQ(services.written.size(), 200u) << threads;
        if (threads == 0) {
            EXPECT_EQ(breaths, 200);  // every read is the caller's
        }
    }
}

TEST(BatchFiles, ReadsOnlyAFewArticlesAhead) {
    const std::vector<std::string> paths = numbered(1000);
    EchoServices services;
    {
        BatchFiles files(services, paths, TextEncoding::Detect, 2);
        EXPECT_EQ(files.take(0).text, paths[0]);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        // Helpers with nothing to write read ahead, a few articles each:
        // more than the one taken, nowhere near the whole batch.
        EXPECT_GT(services.reads, 1);
        EXPECT_LE(services.reads, 1 + 2 * 8);
    }
    // Leaving early stops the threads.
    EXPECT_LT(services.reads, 1000);
}

TEST(BatchFiles, WritesEverythingAndReportsFailures) {
    for (unsigned threads : {0u, 2u}) {
        EchoServices services;
        std::vector<WriteFailure> failures;
        {
            const std::vector<std::string> none;
            BatchFiles files(services, none, TextEncoding::Detect, threads);
            for (std::size_t i = 0; i < 100; ++i)
                files.submit(jobFor(i, "/r/" + std::to_string(i) + (i % 10 == 3 ? "bad" : "")));
            files.finish();
            failures = files.takeFailures();
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

// Writes that take long fill the queue; the caller then writes for itself
// instead of waiting, and nothing is written twice or lost. Reads on a helper
// take `readDelay`.
class SlowWrites : public EchoServices {
  public:
    ArticleFile read(std::string_view path, TextEncoding e, const KeepAlive& keepAlive) override {
        ArticleFile file = EchoServices::read(path, e, keepAlive);
        if (std::this_thread::get_id() != caller) std::this_thread::sleep_for(readDelay);
        return file;
    }
    bool write(std::string_view path, std::string_view text, const ResultFormat& format,
               std::string& error) override {
        if (std::this_thread::get_id() == caller) ++byCaller;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return EchoServices::write(path, text, format, error);
    }
    std::thread::id caller = std::this_thread::get_id();
    std::atomic<int> byCaller{0};
    std::chrono::milliseconds readDelay{0};
};

TEST(BatchFiles, TheCallerWritesWhenTheHelpersFallBehind) {
    SlowWrites services;
    {
        const std::vector<std::string> none;
        BatchFiles files(services, none, TextEncoding::Detect, 1);
        for (std::size_t i = 0; i < 60; ++i)
            files.submit(jobFor(i, "/r/" + std::to_string(i)));
    }
    EXPECT_EQ(services.written.size(), 60u);
    EXPECT_GT(services.byCaller, 0);
    EXPECT_LT(services.byCaller, 60);
}

TEST(BatchFiles, TheCallerWritesWhileAHelperReadsItsArticle) {
    SlowWrites services;
    services.readDelay = std::chrono::milliseconds(200);
    const std::vector<std::string> paths = numbered(1);
    {
        BatchFiles files(services, paths, TextEncoding::Detect, 1);
        while (services.reads == 0)
            std::this_thread::yield();
        for (std::size_t i = 0; i < 3; ++i)
            files.submit(jobFor(i, "/r/" + std::to_string(i)));
        EXPECT_EQ(files.take(0).text, paths[0]);
        EXPECT_EQ(services.byCaller, 3);
    }
    EXPECT_EQ(services.written.size(), 3u);
}

// Helpers count an article when they claim it: starting together, they read
// ahead no more than 64 MiB between them, and an article or a result past
// that is left to the caller's thread.
TEST(BatchFiles, BigArticlesAndResultsStayWithinTheBound) {
    const std::vector<std::string> paths = numbered(10);
    for (const auto& [mib, ahead] : {std::pair{40u, 1}, {100u, 0}}) {
        SlowWrites services;
        services.bytes = std::size_t{mib} << 20;
        BatchFiles files(services, paths, TextEncoding::Detect, 3);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        EXPECT_LE(services.reads, ahead) << mib;
        ResultJob job = jobFor(0, "/r/0");
        job.text.assign(services.bytes, 'x');
        files.submit(std::move(job));
        files.finish();
        EXPECT_EQ(services.byCaller, mib == 100 ? 1 : 0) << mib;
    }
}

}  // namespace
}  // namespace lct
