#include "files/file_io.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "temp_folder.h"

namespace lct {
namespace {

using test::readBytes;
using test::TempFolder;
namespace fs = std::filesystem;

TEST(PathExists, FilesAndFoldersExist) {
    TempFolder folder;
    EXPECT_TRUE(PathExists(folder.write("a.txt", "x")));
    EXPECT_TRUE(PathExists(folder.path()));
    EXPECT_FALSE(PathExists(folder.file("missing")));
    EXPECT_FALSE(PathExists(""));
}

TEST(ReadWholeFile, ReadsEveryByte) {
    TempFolder folder;
    const std::string bytes("a\0b\x1A\xFF", 5);
    const auto read = ReadWholeFile(folder.write("bin", bytes));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, bytes);
    EXPECT_EQ(ReadWholeFile(folder.write("empty", "")), std::optional<std::string>(""));
}

TEST(ReadWholeFile, RefusesWhatIsNoRegularFile) {
    TempFolder folder;
    EXPECT_FALSE(ReadWholeFile(folder.path()).has_value());
    EXPECT_FALSE(ReadWholeFile(folder.file("missing")).has_value());
    EXPECT_FALSE(ReadWholeFile("").has_value());
    // A pipe without a writer would block a plain open for ever.
    const std::string fifo = folder.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(ReadWholeFile(fifo).has_value());
}

class WriteFileAtomicallyTest : public ::testing::Test {
  protected:
    TempFolder folder_;
};

TEST_F(WriteFileAtomicallyTest, CreatesAndReplacesLeavingNoTemporaryFile) {
    const std::string path = folder_.file("out.txt");
    EXPECT_TRUE(WriteFileAtomically(path, "first, longer content"));
    EXPECT_TRUE(WriteFileAtomically(path, "second"));
    EXPECT_EQ(readBytes(path), "second");
    EXPECT_EQ(folder_.names(), std::vector<std::string>{"out.txt"});
}

TEST_F(WriteFileAtomicallyTest, EmptyPathWritesNothing) {
    EXPECT_FALSE(WriteFileAtomically("", "x"));
}

TEST_F(WriteFileAtomicallyTest, KeepsThePermissionsOfTheFileItReplaces) {
    const std::string path = folder_.write("p.txt", "old");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    EXPECT_TRUE(WriteFileAtomically(path, "new"));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
}

TEST_F(WriteFileAtomicallyTest, ASymbolicLinkStaysAndItsTargetChanges) {
    const std::string target = folder_.write("target.txt", "old");
    const std::string link = folder_.file("link.txt");
    fs::create_symlink(target, link);
    EXPECT_TRUE(WriteFileAtomically(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readBytes(target), "new");
}

TEST_F(WriteFileAtomicallyTest, FailsUnderARegularFileAndCreatesNothing) {
    // Tests run as root, for whom no folder is read-only: a path below a
    // regular file is one where nothing can ever be created.
    const std::string plain = folder_.write("plain", "content");
    EXPECT_FALSE(WriteFileAtomically(plain + "/out.txt", "x"));
    EXPECT_EQ(readBytes(plain), "content");
    EXPECT_EQ(folder_.names(), std::vector<std::string>{"plain"});
}

TEST_F(WriteFileAtomicallyTest, RefusesToReplaceAFolder) {
    const std::string sub = folder_.file("sub");
    fs::create_directory(sub);
    folder_.write("sub/kept.txt", "kept");
    EXPECT_FALSE(WriteFileAtomically(sub, "x"));
    EXPECT_EQ(readBytes(sub + "/kept.txt"), "kept");
    EXPECT_EQ(folder_.names(), std::vector<std::string>{"sub"});
}

// Lowers the file size limit for one scope, so that writing fails part-way as
// on a full disk.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }

  private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST_F(WriteFileAtomicallyTest, AWriteThatFailsPartWayLeavesTheOldFile) {
    const std::string path = folder_.write("old.txt", "the old content");
    {
        const FileSizeLimit limit(4096);
        EXPECT_FALSE(WriteFileAtomically(path, std::string(100000, 'n')));
    }
    EXPECT_EQ(readBytes(path), "the old content");
    EXPECT_EQ(folder_.names(), std::vector<std::string>{"old.txt"});
}

}  // namespace
}  // namespace lct
