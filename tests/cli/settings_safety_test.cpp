// `lancitong-cli settings` never loses another writer's change, reports what
// it could not save, and never leaves a spliced settings file, even when it
// is killed in the middle of a save.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "cli/cli_runner.h"
#include "platform/charset.h"
#include "platform/file_io.h"

namespace lct {
namespace {

namespace fs = std::filesystem;
using test::Result;
using test::run;
using test::startCli;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

int waitFor(pid_t pid) {
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

class SettingsSafetyTest : public test::CliTest {
  protected:
    std::string ini() const { return (dir / "s.ini").string(); }
};

TEST_F(SettingsSafetyTest, TwoWritersAtOnceNeverLoseAnUpdate) {
    ASSERT_EQ(run({"settings", "--ini", ini()}).status, 0);
    for (int round = 0; round < 200; ++round) {
        const std::string extension = "e" + std::to_string(round);
        const std::string filter = "*.f" + std::to_string(round);
        const pid_t a =
            startCli({"settings", "--ini", ini(), "--set", "编辑框新文件扩展名=" + extension});
        const pid_t b = startCli({"settings", "--ini", ini(), "--set", "编辑框过滤=" + filter});
        ASSERT_EQ(waitFor(a), 0) << round;
        ASSERT_EQ(waitFor(b), 0) << round;
        const std::string file = slurp(ini());
        ASSERT_TRUE(contains(file, utf8ToGbk("\r\n新文件扩展名=" + extension + "\r\n")))
            << "round " << round;
        ASSERT_TRUE(contains(file, utf8ToGbk("\r\n文件过滤=" + filter + "\r\n")))
            << "round " << round;
    }
}

TEST_F(SettingsSafetyTest, AWriterWaitsOnlySoLongThenRefuses) {
    // A window holding the file keeps it for its whole life.
    ASSERT_EQ(run({"settings", "--ini", ini()}).status, 0);
    const std::string before = slurp(ini());
    const int fd = ::open(ini().c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    const auto began = std::chrono::steady_clock::now();
    const Result r = run({"settings", "--ini", ini(), "--set", "编辑框过滤=*.x"});
    const auto waited = std::chrono::steady_clock::now() - began;
    // Readers are never refused, and do not wait for it.
    const Result preview = run({"preview", "--ini", ini(), "--title", "T"});
    ::close(fd);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(
        contains(r.err, "正被另一个青禾·澜词通使用（等待 10 秒后仍未释放），未保存任何设置"))
        << r.err;
    EXPECT_GE(waited, std::chrono::seconds(9));
    EXPECT_EQ(slurp(ini()), before);
    EXPECT_EQ(preview.status, 0) << preview.err;
}

TEST_F(SettingsSafetyTest, ARefusalNamesItsReasonAndWaitsOnlyForALock) {
    fs::create_directories(dir / "folder.ini");
    const auto began = std::chrono::steady_clock::now();
    const Result r = run({"settings", "--ini", (dir / "folder.ini").string()});
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(5));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(contains(r.err, "配置文件的位置上不是文件，未保存任何设置")) << r.err;
}

TEST_F(SettingsSafetyTest, AByteBlockThatCannotBeWrittenIsReportedAndNothingChanges) {
    ASSERT_EQ(run({"settings", "--ini", ini(), "--set", "编辑框过滤=*.old"}).status, 0);
    const std::string before = slurp(ini());
    fs::remove_all(dir / "inibin");
    write("inibin", "a file where the folder should be");
    const Result r = run({"settings", "--ini", ini(), "--set", "编辑框关键词列表=甲\n乙", "--set",
                          "编辑框过滤=*.new"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(contains(r.err, "以下设置未能保存")) << r.err;
    EXPECT_TRUE(contains(r.err, "主界面-关键词列表.ibn")) << r.err;
    EXPECT_EQ(slurp(ini()), before);
}

TEST_F(SettingsSafetyTest, AFullDiskIsReportedAndKeepsTheOldFile) {
    const Result probe =
        test::runProgram({"unshare", "--user", "--map-root-user", "--mount", "true"});
    if (probe.status != 0) GTEST_SKIP() << "no mount namespaces here";
    // A 64 KiB disk holding a settings file; then a template of 100 KB.
    const std::string script = R"sh(
        set -e
        d=$1; shift
        mount -t tmpfs -o size=64k tmpfs "$d"
        "$@" settings --ini "$d/s.ini" --set 编辑框过滤=*.old
        cp "$d/s.ini" "$d/before"
        set +e
        "$@" settings --ini "$d/s.ini" --set 编辑框过滤=*.new --set "编辑框再组合关键词=$(head -c 100000 /dev/zero | tr '\0' x)"
        rc=$?
        cmp -s "$d/s.ini" "$d/before" && echo SAME
        ls -A "$d"
        exit $rc
    )sh";
    fs::create_directory(dir / "disk");
    const Result r = test::runProgram({"unshare", "--user", "--map-root-user", "--mount", "sh",
                                       "-c", script, "sh", (dir / "disk").string(), LCT_CLI_PATH});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_TRUE(contains(r.err, "磁盘已满")) << r.err;
    EXPECT_TRUE(contains(r.out, "SAME\n")) << r.out;
    // Nothing left behind.
    EXPECT_EQ(r.out.substr(r.out.find("SAME\n") + 5), "before\ninibin\ns.ini\n");
}

// The same without a disk to mount: a file size limit fails the write part-way.
TEST_F(SettingsSafetyTest, AWriteFailingPartWayIsReportedAndKeepsTheOldFile) {
    ASSERT_EQ(run({"settings", "--ini", ini(), "--set", "编辑框过滤=*.old"}).status, 0);
    const std::string before = slurp(ini());
    const Result r = test::runProgram({"prlimit", "--fsize=20000", LCT_CLI_PATH, "settings",
                                       "--ini", ini(), "--set", "编辑框过滤=*.new", "--set",
                                       "编辑框再组合关键词=" + std::string(100000, 'x')});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_TRUE(contains(r.err, "配置文件保持原样")) << r.err;
    EXPECT_TRUE(contains(r.err, "文件太大")) << r.err;
    EXPECT_EQ(slurp(ini()), before);
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        EXPECT_FALSE(isTemporaryFileName(entry.path().filename().string())) << entry.path();
}

// Killed at a random moment of saving a 10 MB settings file, the file is
// always either the old one or the new one.
TEST_F(SettingsSafetyTest, AKillDuringASaveNeverSplicesTheFile) {
    // Ten megabytes of keys of another section, which a save must carry along.
    std::string big = utf8ToGbk("[别的窗口]");
    for (int i = 0; big.size() < (10u << 20); ++i)
        big +=
            "\r\nkey" + std::to_string(i) + "=" + std::string(100, static_cast<char>('a' + i % 26));
    const std::string original = big + utf8ToGbk("\r\n[主界面]\r\n文件过滤=*.old");
    const std::vector<std::string> change = {"settings",
                                             "--ini",
                                             ini(),
                                             "--set",
                                             "编辑框过滤=*.new",
                                             "--set",
                                             "编辑框再组合关键词=<a>*</a>"};
    // The new file, and how long a save takes.
    write("s.ini", original);
    const auto began = std::chrono::steady_clock::now();
    ASSERT_EQ(run(change).status, 0);
    const auto took = std::chrono::steady_clock::now() - began;
    const std::string changed = slurp(ini());
    ASSERT_NE(changed, original);

    std::mt19937 random(12345);
    const auto span = std::chrono::duration_cast<std::chrono::microseconds>(took).count();
    for (int round = 0; round < 20; ++round) {
        write("s.ini", original);
        const pid_t pid = startCli(change);
        std::this_thread::sleep_for(
            std::chrono::microseconds(static_cast<long>(random()) % (span + 1)));
        ::kill(pid, SIGKILL);
        waitFor(pid);
        const std::string now = slurp(ini());
        ASSERT_TRUE(now == original || now == changed) << "round " << round << ": " << now.size();
    }
    // The next save takes away what the killed ones left beside the file.
    ASSERT_EQ(run(change).status, 0);
    EXPECT_EQ(slurp(ini()), changed);
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        EXPECT_FALSE(isTemporaryFileName(entry.path().filename().string())) << entry.path();
}

}  // namespace
}  // namespace lct
