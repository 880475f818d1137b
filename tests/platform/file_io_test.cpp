#include "platform/file_io.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "file_size_limit.h"
#include "files/temp_folder.h"
#include "platform/unique_fd.h"

namespace lct {
namespace {

using test::FileSizeLimit;
using test::readBytes;
using test::TempFolder;
namespace fs = std::filesystem;

TEST(PathExists, FilesAndFoldersExist) {
    TempFolder folder;
    EXPECT_TRUE(pathExists(folder.write("a.txt", "x")));
    EXPECT_TRUE(pathExists(folder.path()));
    EXPECT_FALSE(pathExists(folder.file("missing")));
    EXPECT_FALSE(pathExists(""));
}

TEST(ReadWholeFile, ReadsEveryByte) {
    TempFolder folder;
    const std::string bytes("a\0b\x1A\xFF", 5);
    const auto read = readWholeFile(folder.write("bin", bytes));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, bytes);
    EXPECT_EQ(readWholeFile(folder.write("empty", "")), std::optional<std::string>(""));
}

struct UnreadableCase {
    const char* what;
    std::string path;
    std::string reason;
};

// Every kind of path that names no readable regular file is refused with its
// reason, and none is opened in a way that could block.
TEST(ReadWholeFile, RefusesWhatIsNoRegularFileAndSaysWhy) {
    TempFolder folder;
    const std::string fifo = folder.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string socketPath = folder.file("sock");
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof(address.sun_path) - 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    fs::create_symlink(folder.file("nowhere"), folder.file("dangling"));
    fs::create_symlink(folder.file("loop2"), folder.file("loop1"));
    fs::create_symlink(folder.file("loop1"), folder.file("loop2"));
    fs::create_symlink(fifo, folder.file("link-to-fifo"));

    const std::vector<UnreadableCase> cases = {
        {"missing", folder.file("missing"), "文件或文件夹不存在"},
        {"dangling link", folder.file("dangling"), "是符号链接，它指向的文件不存在"},
        {"link loop", folder.file("loop1"), "符号链接循环"},
        {"pipe without a writer", fifo, "是管道，不是普通文件"},
        {"link to a pipe", folder.file("link-to-fifo"), "是管道，不是普通文件"},
        {"socket", socketPath, "是套接字，不是普通文件"},
        {"device", "/dev/null", "是设备，不是普通文件"},
        {"folder", folder.path(), "是文件夹，不是文件"},
        {"below a file", folder.write("plain", "x") + "/a.txt", "路径中的一级不是文件夹"},
        {"empty path", "", "路径为空"},
    };
    for (const UnreadableCase& c : cases) {
        std::string reason;
        EXPECT_FALSE(readWholeFile(c.path, &reason).has_value()) << c.what;
        EXPECT_EQ(reason, c.reason) << c.what;
    }
    ::close(sock);
}

TEST(ReadWholeFile, RefusesAFileWithoutReadPermission) {
    if (::geteuid() == 0) GTEST_SKIP() << "running as root: every file is readable";
    TempFolder folder;
    const std::string path = folder.write("secret.txt", "x");
    fs::permissions(path, fs::perms::none);
    std::string reason;
    EXPECT_FALSE(readWholeFile(path, &reason).has_value());
    EXPECT_EQ(reason, "没有权限");
}

class WriteFileAtomicallyTest : public ::testing::Test {
  protected:
    TempFolder folder_;
};

TEST_F(WriteFileAtomicallyTest, CreatesAndReplacesLeavingNoTemporaryFile) {
    const std::string path = folder_.file("out.txt");
    EXPECT_TRUE(writeFileAtomically(path, "first, longer content"));
    EXPECT_TRUE(writeFileAtomically(path, "second"));
    EXPECT_EQ(readBytes(path), "second");
    EXPECT_EQ(folder_.names(), std::vector<std::string>{"out.txt"});
}

TEST_F(WriteFileAtomicallyTest, EmptyPathWritesNothing) {
    EXPECT_FALSE(writeFileAtomically("", "x"));
}

TEST_F(WriteFileAtomicallyTest, KeepsThePermissionsOfTheFileItReplaces) {
    const std::string path = folder_.write("p.txt", "old");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    EXPECT_TRUE(writeFileAtomically(path, "new"));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
}

TEST_F(WriteFileAtomicallyTest, ASymbolicLinkStaysAndItsTargetChanges) {
    const std::string target = folder_.write("target.txt", "old");
    const std::string link = folder_.file("link.txt");
    fs::create_symlink(target, link);
    EXPECT_TRUE(writeFileAtomically(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readBytes(target), "new");
}

TEST_F(WriteFileAtomicallyTest, AReplacedLinkIsReplacedItselfAndItsTargetKept) {
    const std::string target = folder_.write("target.txt", "the user's file");
    const std::string link = folder_.file("result.txt");
    fs::create_symlink(target, link);
    EXPECT_TRUE(writeFileAtomically(link, "result", Durability::Cached, LinkTarget::Replace));
    EXPECT_FALSE(fs::is_symlink(link));
    EXPECT_EQ(readBytes(link), "result");
    EXPECT_EQ(readBytes(target), "the user's file");
    // A dangling link is replaced the same way, creating nothing where it pointed.
    const std::string dangling = folder_.file("dangling.txt");
    fs::create_symlink(folder_.file("elsewhere.txt"), dangling);
    EXPECT_TRUE(writeFileAtomically(dangling, "result", Durability::Cached, LinkTarget::Replace));
    EXPECT_FALSE(fs::exists(folder_.file("elsewhere.txt")));
}

TEST_F(WriteFileAtomicallyTest, FailsUnderARegularFileAndCreatesNothing) {
    // Tests run as root, for whom no folder is read-only: a path below a
    // regular file is one where nothing can ever be created.
    const std::string plain = folder_.write("plain", "content");
    std::string reason;
    EXPECT_FALSE(writeFileAtomically(plain + "/out.txt", "x", Durability::Cached,
                                     LinkTarget::Replace, &reason));
    EXPECT_EQ(reason, "路径中的一级不是文件夹");
    EXPECT_EQ(readBytes(plain), "content");
    EXPECT_EQ(folder_.names(), std::vector<std::string>{"plain"});
}

TEST_F(WriteFileAtomicallyTest, RefusesToReplaceAFolder) {
    const std::string sub = folder_.file("sub");
    fs::create_directory(sub);
    folder_.write("sub/kept.txt", "kept");
    std::string reason;
    EXPECT_FALSE(writeFileAtomically(sub, "x", Durability::Cached, LinkTarget::Replace, &reason));
    EXPECT_EQ(reason, "是文件夹");
    EXPECT_EQ(readBytes(sub + "/kept.txt"), "kept");
    EXPECT_EQ(folder_.names(), std::vector<std::string>{"sub"});
}

TEST_F(WriteFileAtomicallyTest, AWriteThatFailsPartWayLeavesTheOldFile) {
    const std::string path = folder_.write("old.txt", "the old content");
    {
        const FileSizeLimit limit(4096);
        std::string reason;
        EXPECT_FALSE(writeFileAtomically(path, std::string(100000, 'n'), Durability::Synced,
                                         LinkTarget::Follow, &reason));
        EXPECT_EQ(reason, "文件太大");
    }
    EXPECT_EQ(readBytes(path), "the old content");
    EXPECT_EQ(folder_.names(), std::vector<std::string>{"old.txt"});
}

TEST(ReadAllWriteAll, EveryByteThereAndBack) {
    TempFolder folder;
    const std::string path = folder.file("bytes");
    std::string bytes(200000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 3);
    {
        const UniqueFd out(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
        ASSERT_TRUE(out);
        ASSERT_TRUE(writeAll(out.get(), bytes));
    }
    const UniqueFd in(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    std::string read = "stale";
    ASSERT_TRUE(readAll(in.get(), read));
    EXPECT_EQ(read, bytes);
}

TEST(ReadAllWriteAll, FailuresSayWhyAndLeaveNothingRead) {
    TempFolder folder;
    const UniqueFd writeOnly(::open(folder.write("w", "content").c_str(), O_WRONLY | O_CLOEXEC));
    std::string read = "stale";
    EXPECT_FALSE(readAll(writeOnly.get(), read));
    EXPECT_EQ(errno, EBADF);
    EXPECT_EQ(read, "");
    const UniqueFd readOnly(::open(folder.file("w").c_str(), O_RDONLY | O_CLOEXEC));
    EXPECT_FALSE(writeAll(readOnly.get(), "x"));
    EXPECT_EQ(errno, EBADF);
}

TEST(ResolvedPath, ALinkGivesTheFileItNames) {
    TempFolder folder;
    const std::string target = folder.write("target.txt", "x");
    const std::string link = folder.file("link.txt");
    fs::create_symlink(target, link);
    EXPECT_EQ(resolvedPath(link), fs::canonical(target).string());
    EXPECT_EQ(resolvedPath(target), target);
    EXPECT_EQ(resolvedPath(folder.file("missing")), folder.file("missing"));
}

class ReplacementFileTest : public ::testing::Test {
  protected:
    TempFolder folder_;
};

TEST_F(ReplacementFileTest, ANameOfItsOwnUntilTheCommitGivesItTheTarget) {
    const std::string target = folder_.write("s.ini", "old");
    ReplacementFile file(target);
    ASSERT_TRUE(file.ok());
    ASSERT_TRUE(file.write("new"));
    const std::vector<std::string> names = folder_.names();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_TRUE(isTemporaryFileName(names[0])) << names[0];
    EXPECT_EQ(readBytes(target), "old");
    ASSERT_TRUE(file.sync());
    ASSERT_TRUE(file.commit());
    EXPECT_EQ(readBytes(target), "new");
    EXPECT_EQ(folder_.names(), std::vector<std::string>{"s.ini"});
    EXPECT_EQ(file.failure(), 0);
}

TEST_F(ReplacementFileTest, WithoutACommitNothingChangesAndNothingStays) {
    const std::string target = folder_.write("s.ini", "old");
    {
        ReplacementFile file(target);
        ASSERT_TRUE(file.write("new"));
    }
    EXPECT_EQ(readBytes(target), "old");
    EXPECT_EQ(folder_.names(), std::vector<std::string>{"s.ini"});
}

TEST_F(ReplacementFileTest, AFailedStepStopsEveryLaterOneAndRemovesTheFile) {
    const std::string target = folder_.write("s.ini", "the old content");
    ReplacementFile file(target);
    {
        const FileSizeLimit limit(4096);
        EXPECT_FALSE(file.write(std::string(100000, 'n')));
    }
    EXPECT_EQ(file.failure(), EFBIG);
    EXPECT_FALSE(file.ok());
    EXPECT_EQ(folder_.names(), std::vector<std::string>{"s.ini"});
    EXPECT_FALSE(file.write("x"));
    EXPECT_FALSE(file.sync());
    EXPECT_FALSE(file.commit());
    EXPECT_EQ(file.failure(), EFBIG);  // the first failure is the one kept
    EXPECT_EQ(readBytes(target), "the old content");
}

TEST_F(ReplacementFileTest, CreatingFailsWhereNoFileCanBe) {
    const std::string plain = folder_.write("plain", "content");
    ReplacementFile below(plain + "/s.ini");
    EXPECT_EQ(below.failure(), ENOTDIR);
    EXPECT_FALSE(below.commit());
    ReplacementFile empty("");
    EXPECT_EQ(empty.failure(), ENOENT);
    EXPECT_EQ(folder_.names(), std::vector<std::string>{"plain"});
}

TEST_F(ReplacementFileTest, PermissionsAreTheOnesGiven) {
    const std::string target = folder_.file("p.txt");
    ReplacementFile file(target);
    ASSERT_TRUE(file.setPermissions(S_IFREG | 0604));
    ASSERT_TRUE(file.commit());
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
}

// True when another open file description could lock the file at `path` now.
bool lockable(const std::string& path) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    return fd && ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0;
}

TEST_F(ReplacementFileTest, AKeptDescriptorHoldsTheNewFileWithItsLock) {
    const std::string target = folder_.write("s.ini", "old");
    UniqueFd held(::open(target.c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_TRUE(held);
    const int old = held.get();
    ReplacementFile file(target);
    ASSERT_TRUE(file.write("new"));
    ASSERT_TRUE(file.lock());
    ASSERT_TRUE(file.commitAndKeep(held));
    EXPECT_NE(held.get(), old);
    EXPECT_EQ(::fcntl(old, F_GETFD), -1);  // the descriptor it held is closed
    struct stat kept {};
    struct stat named {};
    ASSERT_EQ(::fstat(held.get(), &kept), 0);
    ASSERT_EQ(::stat(target.c_str(), &named), 0);
    EXPECT_EQ(kept.st_ino, named.st_ino);
    EXPECT_FALSE(lockable(target));
    held.reset();
    EXPECT_TRUE(lockable(target));
    EXPECT_EQ(readBytes(target), "new");
}

TEST_F(ReplacementFileTest, AFailedCommitLeavesTheKeptDescriptorAlone) {
    const std::string target = folder_.file("sub");
    fs::create_directory(target);
    folder_.write("sub/kept.txt", "kept");
    UniqueFd held(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    const int before = held.get();
    ReplacementFile file(target);
    ASSERT_TRUE(file.write("x"));
    EXPECT_FALSE(file.commitAndKeep(held));
    EXPECT_EQ(file.failure(), EISDIR);
    EXPECT_EQ(held.get(), before);
    EXPECT_EQ(folder_.names(), std::vector<std::string>{"sub"});
}

TEST(SyncFolderOf, ExistingFoldersOnly) {
    TempFolder folder;
    EXPECT_TRUE(syncFolderOf(folder.file("any.txt")));
    EXPECT_FALSE(syncFolderOf(folder.file("missing/any.txt")));
}

TEST(IsTemporaryFileName, KnowsOnlyTheProgramsOwnNames) {
    EXPECT_TRUE(isTemporaryFileName(".lct-1a2b3c4d-1234-0-0.tmp"));
    EXPECT_TRUE(isTemporaryFileName(".lct-1234-5-0.tmp"));  // earlier versions
    EXPECT_FALSE(isTemporaryFileName(".lct-.tmp"));
    EXPECT_FALSE(isTemporaryFileName("lct-1234-5-0.tmp"));
    EXPECT_FALSE(isTemporaryFileName(".lct-1234-5-0.txt"));
    EXPECT_FALSE(isTemporaryFileName(".lct-notes.tmp"));
    EXPECT_FALSE(isTemporaryFileName("新闻.txt"));
}

// The tag this machine puts into its temporary names (FNV-1a of the host name).
std::string hostTag() {
    char name[256] = {};
    ::gethostname(name, sizeof(name) - 1);
    std::uint32_t hash = 2166136261u;
    for (const char* p = name; *p; ++p)
        hash = (hash ^ static_cast<unsigned char>(*p)) * 16777619u;
    char out[9];
    std::snprintf(out, sizeof(out), "%08x", hash);
    return out;
}

// A process id that has just ended.
pid_t endedProcess() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

TEST(RemoveStaleTemporaryFiles, RemovesWhatEndedProcessesLeftAndNothingElse) {
    TempFolder folder;
    const std::string dead = std::to_string(endedProcess());
    const std::string alive = std::to_string(::getppid());
    const std::string deadHere = ".lct-" + hostTag() + "-" + dead + "-0-0.tmp";
    const std::string deadOld = ".lct-" + dead + "-3-0.tmp";
    const std::string aliveHere = ".lct-" + hostTag() + "-" + alive + "-0-0.tmp";
    const std::string mine = ".lct-" + hostTag() + "-" + std::to_string(::getpid()) + "-7-0.tmp";
    const std::string otherMachine = ".lct-00000000-" + dead + "-0-0.tmp";
    const std::string otherMachineOld = ".lct-00000001-" + dead + "-0-0.tmp";
    for (const std::string& name :
         {deadHere, deadOld, aliveHere, mine, otherMachine, otherMachineOld,
          std::string("article.txt"), std::string(".lct-notes.tmp")})
        folder.write(name, "x");
    // Whoever made it, a temporary file untouched for two days is stale.
    fs::last_write_time(folder.file(otherMachineOld),
                        fs::file_time_type::clock::now() - std::chrono::hours(48));

    EXPECT_EQ(removeStaleTemporaryFiles(folder.path()), 3);
    std::vector<std::string> kept = {aliveHere, mine, otherMachine, ".lct-notes.tmp",
                                     "article.txt"};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(folder.names(), kept);
    EXPECT_EQ(removeStaleTemporaryFiles(folder.file("missing")), 0);
}

}  // namespace
}  // namespace lct
