#include "files/shell.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace lct {
namespace {

constexpr std::string_view kOpener = "xdg-open";
// How long xdg-open may take to fail before it counts as started: 3 s.
constexpr int kWaitTicks = 60;
constexpr useconds_t kTickMicroseconds = 50'000;

// The opener's full path, looked up before forking: between fork and exec
// only async-signal-safe calls are allowed, and a PATH search is not one.
std::string findOnPath(std::string_view program) {
    const char* env = std::getenv("PATH");
    const std::string path = env ? env : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = path.find(':', start);
        const std::string dir = path.substr(start, colon - start);
        // An empty entry of the PATH means the current folder.
        const std::string candidate =
            (dir.empty() ? std::string(".") : dir) + "/" + std::string(program);
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        if (colon == std::string::npos) return {};
        start = colon + 1;
    }
}

// The middle process: starts the opener as a process of its own and ends
// with the opener's status when it fails at once, else with 0. Between fork
// and exec, only async-signal-safe calls.
[[noreturn]] void startOpener(char* const argv[]) {
    ::setsid();
    const pid_t grandchild = ::fork();
    if (grandchild == 0) {
        sigset_t none;
        ::sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::execve(argv[0], argv, environ);
        ::_exit(127);
    }
    if (grandchild < 0) ::_exit(1);
    // xdg-open without a file browser to hand the folder to gives up within
    // moments: its status is this process's. One still running after a
    // while has found one.
    for (int tick = 0; tick < kWaitTicks; ++tick) {
        int status = 0;
        const pid_t ended = ::waitpid(grandchild, &status, WNOHANG);
        if (ended == grandchild) ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 1);
        if (ended < 0 && errno != EINTR) ::_exit(1);
        ::usleep(kTickMicroseconds);
    }
    ::_exit(0);
}

}  // namespace

bool openFolderInShell(std::string_view folder) {
    if (folder.empty()) return false;
    std::string program = findOnPath(kOpener);
    if (program.empty()) return false;
    // A relative path starting with "-" would be taken for an option.
    std::string argument = folder.front() == '-' ? "./" + std::string(folder) : std::string(folder);
    char* argv[] = {program.data(), argument.data(), nullptr};

    // Fork twice: the middle process exits at once and is reaped here, so the
    // opener is adopted by init and never becomes a zombie of this program.
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) startOpener(argv);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace lct
