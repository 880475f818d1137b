// `lancitong-cli batch` killed with SIGKILL at random moments over a folder
// of a few hundred articles in GBK, UTF-8, UTF-16 and gzip: inputs are never
// damaged, every result under its final name is whole, and a rerun leaves no
// temporary file behind.
#include <signal.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "cli/cli_runner.h"
#include "files/temp_folder.h"
#include "platform/charset.h"

namespace lct {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

constexpr int kArticles = 200;
constexpr int kRounds = 20;

// An article of about 3 KB in UTF-8, different for every number.
std::string articleText(int number) {
    std::string text;
    for (int line = 0; line < 30; ++line)
        text += "第" + std::to_string(number) + "篇第" + std::to_string(line) +
                "段：春天来了，田野里的麦苗青青，河水清清。<b>新闻</b>\r\n";
    return text;
}

// The articles by file name: every fourth one GBK, UTF-8 with a mark,
// UTF-16LE with a mark, or gzip of GBK.
Files articles() {
    Files files;
    for (int i = 0; i < kArticles; ++i) {
        const std::string utf8 = articleText(i);
        const std::string name = "文章" + std::to_string(i) + ".txt";
        switch (i % 4) {
            case 0:
                files[name] = utf8ToGbk(utf8);
                break;
            case 1:
                files[name] = "\xEF\xBB\xBF" + utf8;
                break;
            case 2:
                files[name] =
                    "\xFF\xFE" + convertCharset(utf8, "UTF-8", "UTF-16LE").value_or(std::string());
                break;
            default:
                files[name] = test::gzipMember(utf8ToGbk(utf8));
                break;
        }
    }
    return files;
}

bool isTemporary(const std::string& name) {
    return name.rfind(".lct-", 0) == 0;
}

class BatchKillTest : public test::CliTest {
  protected:
    fs::path input() const { return dir / "in"; }
    fs::path results() const { return input() / "关键词插入结果"; }
    std::vector<std::string> batchArguments() {
        return predictable({"batch", "--seed", "1", "--set", "编辑框过滤=*.txt", input().string()});
    }

    void writeInputs(const Files& files) {
        fs::remove_all(input());
        fs::create_directories(input());
        for (const auto& [name, bytes] : files)
            write("in/" + name, bytes);
    }
    Files filesIn(const fs::path& folder) {
        Files files;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(folder, error))
            if (entry.is_regular_file()) files[entry.path().filename().string()] = slurp(entry);
        return files;
    }
};

TEST_F(BatchKillTest, AKillAtAnyMomentDamagesNothingAndLeavesOnlyWholeResults) {
    const Files original = articles();
    writeInputs(original);
    const auto began = std::chrono::steady_clock::now();
    ASSERT_EQ(test::run(batchArguments()).status, 0);
    const auto took = std::chrono::steady_clock::now() - began;
    const Files reference = filesIn(results());
    ASSERT_EQ(reference.size(), static_cast<std::size_t>(kArticles));

    std::mt19937 random(20261207);
    const auto span = std::chrono::duration_cast<std::chrono::microseconds>(took).count();
    for (int round = 0; round < kRounds; ++round) {
        writeInputs(original);
        const pid_t pid = test::startCli(batchArguments());
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(
            std::chrono::microseconds(random() % static_cast<unsigned long>(span + 1)));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);

        // Every input is untouched, a gzip input too, and nothing else is
        // written beside them.
        EXPECT_EQ(filesIn(input()), original) << "round " << round;
        for (const auto& [name, bytes] : filesIn(results())) {
            if (isTemporary(name)) continue;
            ASSERT_TRUE(reference.count(name)) << "round " << round << ": " << name;
            EXPECT_EQ(bytes, reference.at(name)) << "round " << round << ": " << name;
        }
        // A rerun finishes the work and clears what the killed run left.
        ASSERT_EQ(test::run(batchArguments()).status, 0) << "round " << round;
        for (const fs::path& folder : {input(), results()})
            for (const auto& [name, bytes] : filesIn(folder))
                EXPECT_FALSE(isTemporary(name)) << "round " << round << ": " << name;
    }
}

}  // namespace
}  // namespace lct
