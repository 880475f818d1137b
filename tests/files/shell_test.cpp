#include "files/shell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "temp_folder.h"

namespace lct {
namespace {

using test::readBytes;
using test::TempFolder;

// Puts a stand-in xdg-open first on the PATH for one test; it records its
// arguments, one per line, in a file.
class FakeOpener {
  public:
    explicit FakeOpener(const TempFolder& folder) : record_(folder.file("args")) {
        const char* old = std::getenv("PATH");
        savedPath_ = old ? old : "";
        const std::string script = folder.write(
            "xdg-open", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" +
                            record_ + ".part\" && mv \"" + record_ + ".part\" \"" + record_ +
                            "\"\n");
        ::chmod(script.c_str(), 0755);
        ::setenv("PATH", (folder.path() + ":" + savedPath_).c_str(), 1);
    }
    FakeOpener(const FakeOpener&) = delete;
    FakeOpener& operator=(const FakeOpener&) = delete;
    ~FakeOpener() { ::setenv("PATH", savedPath_.c_str(), 1); }

    /// The recorded arguments, waiting up to ten seconds for them.
    std::string arguments() const {
        for (int i = 0; i < 1000; ++i) {
            const std::string bytes = readBytes(record_);
            if (bytes != "<missing>") return bytes;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return "<never started>";
    }

  private:
    std::string record_;
    std::string savedPath_;
};

TEST(OpenFolderInShell, PassesTheFolderAsOneArgumentWithoutAShell) {
    TempFolder folder;
    const FakeOpener opener(folder);
    const std::string target = "/tmp/关键词插入结果 \"$(touch pwned)\"; `x` 'y'/";
    ASSERT_TRUE(openFolderInShell(target));
    EXPECT_EQ(opener.arguments(), target + "\n");
}

TEST(OpenFolderInShell, LeavesNoChildBehind) {
    TempFolder folder;
    const FakeOpener opener(folder);
    ASSERT_TRUE(openFolderInShell(folder.path()));
    opener.arguments();
    // The opener belongs to init, not to this process: nothing to reap.
    int status = 0;
    EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST(OpenFolderInShell, AFolderStartingWithADashIsNoOption) {
    TempFolder folder;
    const FakeOpener opener(folder);
    ASSERT_TRUE(openFolderInShell("-results/"));
    EXPECT_EQ(opener.arguments(), "./-results/\n");
}

TEST(OpenFolderInShell, FailsWhenTheOpenerFindsNoBrowser) {
    TempFolder folder;
    const char* old = std::getenv("PATH");
    const std::string saved = old ? old : "";
    ::chmod(folder.write("xdg-open", "#!/bin/sh\nexit 3\n").c_str(), 0755);
    ::setenv("PATH", (folder.path() + ":" + saved).c_str(), 1);
    EXPECT_FALSE(openFolderInShell("/tmp"));
    ::setenv("PATH", saved.c_str(), 1);
}

TEST(OpenFolderInShell, FailsWithoutAnOpener) {
    const char* old = std::getenv("PATH");
    const std::string saved = old ? old : "";
    TempFolder empty;
    ::setenv("PATH", empty.path().c_str(), 1);
    EXPECT_FALSE(openFolderInShell("/tmp"));
    ::setenv("PATH", saved.c_str(), 1);
    EXPECT_FALSE(openFolderInShell(""));
}

}  // namespace
}  // namespace lct
