#include "cli/shard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "cli/cli_runner.h"

namespace lct::cli {
namespace {

namespace fs = std::filesystem;

TEST(Shard, ParsesKOfN) {
    EXPECT_EQ(parseShard("1/1")->index, 1u);
    EXPECT_EQ(parseShard("3/8")->count, 8u);
    for (const char* bad : {"", "1", "0/3", "4/3", "1/0", "a/3", "1/3x", "-1/3", "1//3", "/3"})
        EXPECT_FALSE(parseShard(bad).has_value()) << bad;
}

TEST(Shard, PartsAreStableAndSpread) {
    std::vector<std::string> keys;
    for (int i = 0; i < 3000; ++i)
        keys.push_back("新闻/" + std::to_string(i) + ".txt");
    for (std::uint32_t count : {2u, 3u, 7u}) {
        std::vector<int> sizes(count + 1, 0);
        for (const std::string& key : keys) {
            const std::uint32_t part = partOf(key, count);
            ASSERT_GE(part, 1u);
            ASSERT_LE(part, count);
            ++sizes[part];
            // The same key always lands in the same part.
            ASSERT_EQ(partOf(key, count), part);
        }
        for (std::uint32_t k = 1; k <= count; ++k)
            EXPECT_GT(sizes[k], static_cast<int>(keys.size() / count / 2)) << k << "/" << count;
    }
    EXPECT_EQ(partOf("anything", 1), 1u);
}

TEST(Shard, EveryPartDrawsItsOwnSeed) {
    std::set<std::uint64_t> seeds;
    for (std::uint32_t k = 1; k <= 5; ++k)
        seeds.insert(seedOfPart(42, Shard{k, 5}));
    EXPECT_EQ(seeds.size(), 5u);
    EXPECT_EQ(seedOfPart(42, Shard{2, 5}), seedOfPart(42, Shard{2, 5}));
    EXPECT_EQ(seedOfPart(42, Shard{1, 1}), 42u);
}

class ShardBatchTest : public test::CliTest {
  protected:
    // The result files that part k of n writes over a fresh copy of the folder.
    std::set<std::string> resultsOfPart(const fs::path& source, std::uint32_t k, std::uint32_t n,
                                        const std::string& copy) {
        const fs::path folder = dir / copy;
        fs::copy(source, folder);
        const test::Result r =
            test::run(predictable({"batch", "--seed", "5", "--shard",
                                   std::to_string(k) + "/" + std::to_string(n), folder.string()}));
        EXPECT_EQ(r.status, 0) << r.err;
        std::set<std::string> names;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(folder / "关键词插入结果", error))
            names.insert(entry.path().filename().string());
        return names;
    }
};

TEST_F(ShardBatchTest, PartsAreDisjointAndCoverTheList) {
    const fs::path source = dir / "in";
    fs::create_directories(source);
    for (int i = 0; i < 40; ++i)
        write("in/文章" + std::to_string(i) + ".txt", "正文");
    const std::set<std::string> whole = resultsOfPart(source, 1, 1, "whole");
    ASSERT_EQ(whole.size(), 40u);
    std::set<std::string> seen;
    std::size_t total = 0;
    for (std::uint32_t k = 1; k <= 3; ++k) {
        const std::set<std::string> part = resultsOfPart(source, k, 3, "part" + std::to_string(k));
        EXPECT_FALSE(part.empty()) << k;
        total += part.size();
        seen.insert(part.begin(), part.end());
    }
    EXPECT_EQ(total, whole.size());  // no file in two parts
    EXPECT_EQ(seen, whole);          // and every file in one
}

TEST_F(ShardBatchTest, APartDoesNotDependOnWhereTheFolderIsMounted) {
    const fs::path source = dir / "in";
    fs::create_directories(source);
    for (int i = 0; i < 20; ++i)
        write("in/a" + std::to_string(i) + ".txt", "正文");
    fs::create_directory_symlink(source, dir / "mounted-elsewhere");
    const std::set<std::string> here = resultsOfPart(source, 2, 3, "here");
    const std::set<std::string> there = resultsOfPart(dir / "mounted-elsewhere", 2, 3, "there");
    EXPECT_EQ(here, there);
}

TEST_F(ShardBatchTest, AnEmptyPartIsNoError) {
    write("only.txt", "正文");
    // With eight parts, at least seven are empty.
    int empty = 0;
    for (std::uint32_t k = 1; k <= 8; ++k) {
        const test::Result r = test::run(predictable(
            {"batch", "--shard", std::to_string(k) + "/8", (dir / "only.txt").string()}));
        EXPECT_EQ(r.status, 0) << r.err;
        if (r.out.empty()) ++empty;
    }
    EXPECT_EQ(empty, 7);
}

TEST_F(ShardBatchTest, EveryPartWritesBesideTheWholeListsFirstPathAndReportsWhatIsMissing) {
    fs::create_directories(dir / "one");
    fs::create_directories(dir / "two");
    for (int i = 0; i < 6; ++i)
        write("two/b" + std::to_string(i) + ".txt", "正文");
    write("one/a.txt", "正文");
    for (std::uint32_t k = 1; k <= 3; ++k) {
        const test::Result r = test::run(
            predictable({"batch", "--shard", std::to_string(k) + "/3", (dir / "one").string(),
                         (dir / "gone").string(), (dir / "two").string()}));
        EXPECT_EQ(r.status, 3) << k;
        EXPECT_NE(r.err.find((dir / "gone").string()), std::string::npos) << r.err;
    }
    std::size_t written = 0;
    for (const auto& entry : fs::directory_iterator(dir / "one" / "关键词插入结果")) {
        static_cast<void>(entry);
        ++written;
    }
    EXPECT_EQ(written, 7u);
    EXPECT_FALSE(fs::exists(dir / "two" / "关键词插入结果"));
}

}  // namespace
}  // namespace lct::cli
