#pragma once
// Runs the built lancitong-cli (or any program) as a user would, collecting
// its exit status, standard output and standard error.
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

namespace lct::test {

struct Result {
    int status = -1;
    std::string out;
    std::string err;
    long maxResidentKiB = 0;  ///< the peak memory of the process
};

/// Runs `argv` (argv[0] a path) to its end.
inline Result runProgram(std::vector<std::string> all) {
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, err[0]);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    Result r;
    std::array<pollfd, 2> fds = {pollfd{out[0], POLLIN, 0}, pollfd{err[0], POLLIN, 0}};
    std::array<std::string*, 2> sinks = {&r.out, &r.err};
    int open = 2;
    while (spawned == 0 && open > 0) {
        if (poll(fds.data(), fds.size(), -1) < 0) break;
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
            std::array<char, 4096> buffer{};
            const ssize_t n = read(fds[i].fd, buffer.data(), buffer.size());
            if (n <= 0) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            } else {
                sinks[i]->append(buffer.data(), static_cast<std::size_t>(n));
            }
        }
    }
    if (spawned != 0) {
        close(out[0]);
        close(err[0]);
    }
    int status = 0;
    rusage usage{};
    if (spawned == 0) wait4(pid, &status, 0, &usage);
    r.status = spawned == 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.maxResidentKiB = usage.ru_maxrss;
    return r;
}

/// Starts lancitong-cli with `args` without waiting; its output goes nowhere.
/// -1 when it could not be started.
inline pid_t startCli(std::vector<std::string> args) {
    args.insert(args.begin(), LCT_CLI_PATH);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

/// Runs lancitong-cli with `args`.
inline Result run(const std::vector<std::string>& args) {
    std::vector<std::string> all = {LCT_CLI_PATH};
    all.insert(all.end(), args.begin(), args.end());
    return runProgram(std::move(all));
}

/// A fresh folder for each test, and helpers to fill it.
class CliTest : public ::testing::Test {
  protected:
    std::filesystem::path dir;

    void SetUp() override {
        // A parameterised test's name holds a "/", which would make two levels.
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');
        dir = std::filesystem::temp_directory_path() /
              ("lct-cli-" + std::to_string(getpid()) + "-" + name);
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::filesystem::path write(const std::string& name, const std::string& bytes) {
        const std::filesystem::path p = dir / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }
    static std::string slurp(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // Options that make insertion predictable: one keyword, one template, the
    // item after the title and on its own line after the content.
    std::vector<std::string> predictable(std::vector<std::string> args) {
        const std::vector<std::string> sets = {
            "--ini", (dir / "none.ini").string(),   "--set", "编辑框关键词列表=词",
            "--set", "编辑框再组合关键词=<b>*</b>", "--set", "组合框标题插入类型=2",
            "--set", "编辑框标题间隔符=-",          "--set", "组合框内容插入类型=13",
        };
        args.insert(args.end(), sets.begin(), sets.end());
        return args;
    }
};

}  // namespace lct::test
