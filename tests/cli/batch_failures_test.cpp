// What `lancitong-cli batch` does off the happy path: inputs that cannot be
// read, results that cannot be written, results that would land where they
// must not, leftovers of killed runs, and hostile files.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_runner.h"
#include "files/temp_folder.h"
#include "platform/charset.h"
#include "platform/gzip.h"

namespace lct {
namespace {

namespace fs = std::filesystem;
using test::Result;
using test::run;

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class BatchFailuresTest : public test::CliTest {
  protected:
    fs::path results() const { return dir / "关键词插入结果"; }
    Result batch(const std::vector<std::string>& paths) {
        std::vector<std::string> args = predictable({"batch", "--seed", "1"});
        args.insert(args.end(), paths.begin(), paths.end());
        return run(args);
    }
};

TEST_F(BatchFailuresTest, UnreadablePathsAreFailuresThatWriteNothing) {
    const std::string good1 = write("a.txt", "一").string();
    const std::string good2 = write("b.txt", "二").string();
    const std::string fifo = (dir / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string socketPath = (dir / "sock").string();
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof(address.sun_path) - 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    fs::create_symlink(dir / "nowhere.txt", dir / "dangling.txt");
    fs::create_symlink(dir / "loop2.txt", dir / "loop1.txt");
    fs::create_symlink(dir / "loop1.txt", dir / "loop2.txt");
    // (A folder given as a path is listed, so it is no failure here.)
    const std::vector<std::string> bad = {
        (dir / "missing.txt").string(),
        (dir / "dangling.txt").string(),
        (dir / "loop1.txt").string(),
        fifo,
        socketPath,
        "/dev/null",
    };
    std::vector<std::string> paths = {good1};
    paths.insert(paths.end(), bad.begin(), bad.end());
    paths.push_back(good2);

    const Result r = batch(paths);
    ::close(sock);
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_TRUE(contains(r.out, "处理完成,共处理成功 2 个文件，耗费 ")) << r.out;
    EXPECT_TRUE(contains(r.out, "，插入 4 处, 失败 6 个文件\n")) << r.out;
    // The missing path, told before the first article (it is no input); then
    // each input's status line, what went wrong with it, the next one's line.
    auto at = [&](const std::string& text) { return r.err.find(text); };
    auto line = [&](std::size_t i) { return at("(7:" + std::to_string(i) + ") "); };
    for (std::size_t i = 0; i < bad.size(); ++i) {
        const std::size_t failure = at("失败：" + bad[i] + "：");
        EXPECT_LE(i == 0 ? 0 : line(i + 1), failure) << r.err;
        EXPECT_LT(failure, line(i + 2)) << r.err;
    }
    EXPECT_EQ(namesIn(results()), (std::vector<std::string>{"a-词.txt", "b-词.txt"}));
}

TEST_F(BatchFailuresTest, AReportNotWrittenFailsTheRunAndLeavesTheResults) {
    const std::string good = write("a.txt", "一").string();
    const std::string result = (results() / "a-词.txt").string();
    auto withReport = [&](const std::string& report) {
        return run(predictable({"batch", "--seed", "1", "--report", report, good}));
    };
    EXPECT_EQ(withReport((dir / "r.csv").string()).status, 0);
    EXPECT_TRUE(slurp(dir / "r.csv")
                    .starts_with("\xEF\xBB\xBF输入文件,结果文件,状态,失败原因,写入数量,"
                                 "各关键词数量\r\n" +
                                 good + "," + result + ",成功,,2,"));
    EXPECT_EQ(withReport((dir / "r.jsonl").string()).status, 0);
    EXPECT_TRUE(slurp(dir / "r.jsonl").starts_with("{\"input\":\"" + good + "\",\"result\""));
    const std::string written = slurp(result);
    // Neither a missing folder, an input nor a result takes the report.
    for (const std::string& report : {(dir / "no" / "r.csv").string(), good, result}) {
        const Result r = withReport(report);
        EXPECT_EQ(r.status, 3);
        EXPECT_TRUE(contains(r.err, "失败：" + report + "：")) << r.err;
        EXPECT_TRUE(contains(r.out, "，处理报告未能写入\n")) << r.out;
        EXPECT_EQ(slurp(good), "一");
        EXPECT_EQ(slurp(result), written);
        EXPECT_EQ(namesIn(results()), std::vector<std::string>{"a-词.txt"});
    }
}

TEST_F(BatchFailuresTest, PermissionDeniedIsAFailure) {
    if (::geteuid() == 0) GTEST_SKIP() << "running as root: every file is readable";
    const fs::path secret = write("secret.txt", "x");
    fs::permissions(secret, fs::perms::none);
    const Result r = batch({write("a.txt", "一").string(), secret.string()});
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(contains(r.err, "没有权限")) << r.err;
}

TEST_F(BatchFailuresTest, AMissingFirstPathCreatesNoFolder) {
    const std::string missing = (dir / "no" / "such" / "f.txt").string();
    const Result r = batch({missing});
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(contains(r.err, "失败：" + missing + "：文件或文件夹不存在")) << r.err;
    EXPECT_FALSE(fs::exists(dir / "no"));

    // Results go beside the first path; with its folder gone, nothing is
    // written anywhere, and the good file fails too instead of being lost.
    const Result mixed = batch({missing, write("a.txt", "一").string()});
    EXPECT_EQ(mixed.status, 3);
    EXPECT_TRUE(contains(mixed.out, ", 失败 2 个文件")) << mixed.out;
    EXPECT_FALSE(fs::exists(dir / "no"));
    EXPECT_FALSE(fs::exists(results()));
}

TEST_F(BatchFailuresTest, AResultFolderThatIsALinkIsNeverFollowed) {
    fs::create_directory(dir / "victim");
    const fs::path passwd = write("victim/passwd", "root:x:0:0");
    fs::create_directory_symlink(dir / "victim", results());
    std::vector<std::string> args = predictable({"batch", "--set", "选择框插入标题=假"});
    args.push_back(write("passwd", "一").string());
    const Result r = run(args);
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(contains(r.err, "是符号链接，结果不会写到它指向的地方")) << r.err;
    EXPECT_EQ(namesIn(dir / "victim"), std::vector<std::string>{"passwd"});
    EXPECT_EQ(slurp(passwd), "root:x:0:0");
}

TEST_F(BatchFailuresTest, ResultsReplaceLinksAndNeverInputs) {
    fs::create_directory(results());
    const fs::path victim = write("victim.txt", "the user's own file");
    fs::create_symlink(victim, results() / "b-词.txt");
    // An earlier result given as an input of this run.
    const fs::path earlier = write("关键词插入结果/a-词.txt", "旧结果");
    const Result r =
        batch({write("a.txt", "一").string(), write("b.txt", "二").string(), earlier.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(slurp(victim), "the user's own file");
    EXPECT_FALSE(fs::is_symlink(results() / "b-词.txt"));
    EXPECT_TRUE(contains(slurp(results() / "b-词.txt"), "二"));
    // The input stays; a's result takes a distinct name.
    EXPECT_TRUE(contains(slurp(earlier), "旧结果"));
    EXPECT_FALSE(contains(slurp(earlier), "<b>"));
    EXPECT_TRUE(contains(slurp(results() / "a-词 (2).txt"), "一"));
    EXPECT_TRUE(contains(slurp(results() / "a-词-词.txt"), "旧结果"));
}

TEST_F(BatchFailuresTest, CollidingResultNamesNeverOverwriteEachOther) {
    // Neither name is UTF-8 nor GBK: both titles show as U+FFFD.
    const Result r = batch({write("\xFF.txt", "一").string(), write("\xFE.txt", "二").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(namesIn(results()),
              (std::vector<std::string>{"\xEF\xBF\xBD-词 (2).txt", "\xEF\xBF\xBD-词.txt"}));
    EXPECT_TRUE(contains(slurp(results() / "\xEF\xBF\xBD-词.txt"), "一"));
    EXPECT_TRUE(contains(slurp(results() / "\xEF\xBF\xBD-词 (2).txt"), "二"));
}

// A process id that has just ended.
pid_t endedProcess() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

TEST_F(BatchFailuresTest, TemporaryFilesOfAKilledRunAreNeverArticlesAndGetRemoved) {
    const std::string stale = ".lct-" + std::to_string(endedProcess()) + "-0-0.tmp";
    fs::create_directories(dir / "in" / "关键词插入结果");
    write("in/a.txt", "一");
    write("in/" + stale, "half a decompressed input");
    write("in/关键词插入结果/" + stale, "half a result");
    const Result r = run(predictable({"batch", "--set", "编辑框过滤=*.*", (dir / "in").string()}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(contains(r.out, "共处理成功 1 个文件")) << r.out;
    EXPECT_EQ(namesIn(dir / "in" / "关键词插入结果"), std::vector<std::string>{"a-词.txt"});
}

TEST_F(BatchFailuresTest, ResultsThatCannotBeWrittenAreFailures) {
    // A file where the result folder should go.
    write("关键词插入结果", "not a folder");
    const Result blocked = batch({write("a.txt", "一").string(), write("b.txt", "二").string()});
    EXPECT_EQ(blocked.status, 3);
    EXPECT_TRUE(contains(blocked.out, "共处理成功 0 个文件")) << blocked.out;
    EXPECT_TRUE(contains(blocked.err, "已有同名的文件占用了这个位置")) << blocked.err;
    EXPECT_EQ(slurp(dir / "关键词插入结果"), "not a folder");
}

TEST_F(BatchFailuresTest, AResultPathBeyondTheSystemsLimitIsStillWritten) {
    // A folder deep enough that the input's path fits the system's limit and
    // its result's path does not: results are written relative to their
    // folder, so the long one lands too.
    fs::path deep = dir;
    while (deep.string().size() < 3600)
        deep /= std::string(200, 'd');
    deep /= std::string(3840 - deep.string().size() - 1, 'e');
    fs::create_directories(deep);
    const std::string longName = std::string(240, 'n') + ".txt";
    std::ofstream(deep / longName) << "长";
    std::ofstream(deep / "short.txt") << "短";
    std::vector<std::string> args = predictable({"batch"});
    args.push_back((deep / "short.txt").string());
    args.push_back((deep / longName).string());
    const Result r = run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(namesIn(deep / "关键词插入结果").size(), 2u);
}

// Runs `script` with sh in a mount namespace of its own, where it may mount a
// small tmpfs; false when this machine does not allow that.
bool runInMountNamespace(const std::string& script, const std::vector<std::string>& args,
                         Result& result) {
    const Result probe =
        test::runProgram({"unshare", "--user", "--map-root-user", "--mount", "true"});
    if (probe.status != 0) return false;
    std::vector<std::string> all = {"unshare", "--user", "--map-root-user", "--mount", "sh", "-c",
                                    script,    "sh"};
    all.insert(all.end(), args.begin(), args.end());
    result = test::runProgram(all);
    return true;
}

TEST_F(BatchFailuresTest, AFullDiskFailsOneResultAndTheRunGoesOn) {
    // A 64 KiB disk: two small inputs, one of 30,000 bytes; the big result
    // does not fit, the small ones do.
    const std::string script = R"(
        set -e
        d=$1; shift
        mount -t tmpfs -o size=64k tmpfs "$d"
        printf 'a' > "$d/a.txt"
        head -c 30000 /dev/zero | tr '\0' 'b' > "$d/big.txt"
        printf 'c' > "$d/c.txt"
        set +e
        "$@" "$d/a.txt" "$d/big.txt" "$d/c.txt"
        rc=$?
        echo "@@"
        ls -A "$d/关键词插入结果"
        exit $rc
    )";
    fs::create_directory(dir / "disk");
    std::vector<std::string> args = {(dir / "disk").string(), LCT_CLI_PATH};
    const std::vector<std::string> options = predictable({"batch"});
    args.insert(args.end(), options.begin(), options.end());
    Result r;
    if (!runInMountNamespace(script, args, r)) GTEST_SKIP() << "no mount namespaces here";
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_TRUE(contains(r.err, "big.txt：无法写入结果文件 ")) << r.err;
    EXPECT_TRUE(contains(r.err, "磁盘已满")) << r.err;
    // No temporary file stays behind, and the other results are there.
    EXPECT_EQ(r.out.substr(r.out.find("@@\n") + 3), "a-词.txt\nc-词.txt\n");
}

// Where no disk can be mounted, a file size limit makes the same failure:
// writes beyond it fail part-way, as they do on a disk that fills up.
TEST_F(BatchFailuresTest, AWriteFailingPartWayKeepsTheWholeResultsAndLeavesNoPart) {
    write("a.txt", "a");
    write("big.txt", std::string(30000, 'b'));
    write("c.txt", "c");
    const std::vector<std::string> inputs = {(dir / "a.txt").string(), (dir / "big.txt").string(),
                                             (dir / "c.txt").string()};
    // The results of an unhindered run, to compare with.
    ASSERT_EQ(batch(inputs).status, 0);
    const std::string a = slurp(results() / "a-词.txt");
    const std::string c = slurp(results() / "c-词.txt");
    fs::remove_all(results());

    std::vector<std::string> args = {"prlimit", "--fsize=20000", LCT_CLI_PATH};
    const std::vector<std::string> options = predictable({"batch", "--seed", "1"});
    args.insert(args.end(), options.begin(), options.end());
    args.insert(args.end(), inputs.begin(), inputs.end());
    const Result r = test::runProgram(args);
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_TRUE(contains(r.err, "big.txt：无法写入结果文件 ")) << r.err;
    EXPECT_TRUE(contains(r.err, "文件太大")) << r.err;
    EXPECT_TRUE(contains(r.out, "共处理成功 2 个文件")) << r.out;
    EXPECT_TRUE(contains(r.out, ", 失败 1 个文件")) << r.out;
    EXPECT_EQ(namesIn(results()), (std::vector<std::string>{"a-词.txt", "c-词.txt"}));
    EXPECT_EQ(slurp(results() / "a-词.txt"), a);
    EXPECT_EQ(slurp(results() / "c-词.txt"), c);
    EXPECT_EQ(slurp(dir / "big.txt"), std::string(30000, 'b'));
}

TEST_F(BatchFailuresTest, AReadOnlyDiskFailsEveryResult) {
    const std::string script = R"(
        set -e
        d=$1; shift
        mount -t tmpfs -o size=64k tmpfs "$d"
        printf 'a' > "$d/a.txt"
        printf 'b' > "$d/b.txt"
        mount -o remount,ro "$d"
        set +e
        "$@" "$d/a.txt" "$d/b.txt"
    )";
    fs::create_directory(dir / "disk");
    std::vector<std::string> args = {(dir / "disk").string(), LCT_CLI_PATH};
    const std::vector<std::string> options = predictable({"batch"});
    args.insert(args.end(), options.begin(), options.end());
    Result r;
    if (!runInMountNamespace(script, args, r)) GTEST_SKIP() << "no mount namespaces here";
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_TRUE(contains(r.err, "只读的文件系统")) << r.err;
    EXPECT_TRUE(contains(r.out, "共处理成功 0 个文件")) << r.out;
}

TEST_F(BatchFailuresTest, AGzipBombIsAFailureOfThatFileOnlyAndTakesLittleMemory) {
    // 17 members of 64 MiB of zeros: 1.06 GiB once inflated, beyond the limit.
    const std::string member = test::gzipMember(std::string(64u << 20, '\0'));
    std::string bomb;
    for (int i = 0; i < 17; ++i)
        bomb += member;
    const fs::path bombPath = write("bomb.txt", bomb);
    std::vector<std::string> args = predictable({"batch"});
    args.push_back(bombPath.string());
    args.push_back(write("a.txt", "一").string());
#if defined(__SANITIZE_ADDRESS__)
    const Result r = run(args);
#else
    // Without the sanitizer's own reservations, a hard limit can be set too.
    std::vector<std::string> limited = {"prlimit", "--as=" + std::to_string(768u << 20),
                                        LCT_CLI_PATH};
    limited.insert(limited.end(), args.begin(), args.end());
    const Result r = test::runProgram(limited);
#endif
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_TRUE(contains(r.err, "bomb.txt：gzip 压缩文件解压后超过 1024 MB 的上限")) << r.err;
    EXPECT_TRUE(contains(r.out, "共处理成功 1 个文件")) << r.out;
    EXPECT_LT(r.maxResidentKiB, 400 * 1024);
    EXPECT_EQ(fs::file_size(bombPath), bomb.size());  // left as it was
}

TEST_F(BatchFailuresTest, PreviewNeverRewritesTheFilesItReads) {
    const std::string content = test::gzipMember("正文");
    const std::string keywords = test::gzipMember("甲");
    const std::string templates = test::gzipMember("[*]");
    const fs::path contentPath = write("c.txt", content);
    const fs::path keywordPath = write("k.txt", keywords);
    const fs::path templatePath = write("t.txt", templates);
    const Result r =
        run({"preview", "--ini", (dir / "none.ini").string(), "--set",
             "编辑框关键词列表=" + keywordPath.string(), "--set",
             "编辑框再组合关键词=@" + templatePath.string(), "--set", "组合框标题插入类型=2",
             "--set", "编辑框标题间隔符=", "--set", "选择框插入内容=假", "--title", "T",
             "--content-file", contentPath.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "T[甲]\n正文");
    EXPECT_EQ(slurp(contentPath), content);
    EXPECT_EQ(slurp(keywordPath), keywords);
    EXPECT_EQ(slurp(templatePath), templates);
}

TEST_F(BatchFailuresTest, ABatchLosesNoCharacterAndLeavesGzipFilesGzip) {
    const std::string keywords = test::gzipMember("甲");
    const std::string page =
        test::gzipMember("<html><head><meta charset=\"utf-8\"></head>软件\xC2\xA0</html>");
    const fs::path keywordPath = write("k.gz", keywords);
    const fs::path pagePath = write("a.htm.gz", page);
    std::vector<std::string> args = predictable({"batch"});
    args.insert(args.end(), {"--set", "编辑框关键词列表=" + keywordPath.string(), "--set",
                             "编辑框再组合关键词=[*]", "--set", "组合框输出编码=5",
                             pagePath.string(), write("b.txt", "软件").string()});
    const Result r = run(args);
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_TRUE(contains(r.err, "b.txt：无法写入结果文件 ")) << r.err;
    EXPECT_TRUE(contains(r.err, "：输出编码 Big5 无法表示字符“软”（U+8F6F）")) << r.err;
    EXPECT_TRUE(contains(r.out, "共处理成功 1 个文件")) << r.out;
    EXPECT_EQ(slurp(keywordPath), keywords);
    EXPECT_EQ(slurp(pagePath), page);
    EXPECT_EQ(gunzip(slurp(results() / "a.htm-[甲].gz")),
              "<html><head><meta charset=\"Big5\"></head>&#x8F6F;\xA5\xF3&#xA0;</html>\r\n"
              "[\xA5\xD2]");
    EXPECT_EQ(namesIn(results()), std::vector<std::string>{"a.htm-[甲].gz"});
}

TEST_F(BatchFailuresTest, PathsWithEscapeSequencesArePrintedSafely) {
    const std::string hostile = (dir / "\x1b[2J\x1b]0;pwned\x07\xC2\x9Bx.txt").string();
    const Result r = batch({write("a.txt", "一").string(), hostile});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos);
    EXPECT_EQ(r.err.find('\x07'), std::string::npos);
    EXPECT_EQ(r.err.find("\xC2\x9B"), std::string::npos);
    EXPECT_TRUE(contains(r.err, "\\x1B[2J\\x1B]0;pwned\\x07\\xC2\\x9Bx.txt")) << r.err;

    // The progress line of a file that exists shows its name safely too.
    const Result progress = batch({write("b\x1b[31mred.txt", "二").string()});
    EXPECT_EQ(progress.status, 0) << progress.err;
    EXPECT_EQ(progress.err.find('\x1b'), std::string::npos);
    EXPECT_TRUE(contains(progress.err, "(1:1) b?[31mred")) << progress.err;
}

TEST_F(BatchFailuresTest, HelpListsExitStatusThree) {
    const Result help = run({"--help"});
    EXPECT_TRUE(contains(help.out, "3 批量处理已结束，但有文件无法读取或结果无法写入")) << help.out;
}

}  // namespace
}  // namespace lct
