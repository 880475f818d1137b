// The settings file behind the document: creation, the lock against a second
// holder, read-only files and folders, a full disk, and files left untouched.

#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <string>

#include "settings/ini_document.h"
#include "settings_support.h"

namespace lct {
namespace {

using test::ChildChecks;
using test::fileExists;
using test::FileSizeLimit;
using test::readFile;
using test::runInChild;
using test::runOnAFullDisk;
using test::TempFolder;
using test::writeFile;

const std::string kStored = "[A]\r\nk=1\r\nm=2\r\n[B]\r\nx=3";

TEST(IniFile, MissingFileIsCreatedEmpty) {
    TempFolder folder;
    const std::string path = folder / "s.ini";
    IniDocument doc;
    EXPECT_TRUE(doc.open(path));
    EXPECT_TRUE(doc.holdsFile());
    EXPECT_TRUE(fileExists(path));
    EXPECT_EQ(readFile(path), "");
    EXPECT_EQ(doc.document(), "");
}

TEST(IniFile, OpenLoadsTheFileAsItIs) {
    TempFolder folder;
    const std::string path = folder / "s.ini";
    writeFile(path, kStored);
    IniDocument doc;
    ASSERT_TRUE(doc.open(path));
    EXPECT_EQ(doc.document(), kStored);
    EXPECT_EQ(doc.readKey("B", "x", ""), "3");
}

TEST(IniFile, SecondHolderIsDeniedAndWritesOnlyInMemory) {
    TempFolder folder;
    const std::string path = folder / "s.ini";
    writeFile(path, kStored);
    IniDocument first;
    ASSERT_TRUE(first.open(path));

    IniDocument second;
    EXPECT_FALSE(second.open(path));
    EXPECT_FALSE(second.holdsFile());
    EXPECT_EQ(second.readKey("A", "m", ""), "2");  // the stored settings are restored
    EXPECT_EQ(second.writeKey("A", "m", "changed"), KeyWrite::Written);
    EXPECT_EQ(second.readKey("A", "m", ""), "changed");
    EXPECT_EQ(readFile(path), kStored);
    second.close();
    EXPECT_EQ(readFile(path), kStored);  // its changes vanish

    EXPECT_EQ(first.writeKey("A", "m", "22"), KeyWrite::Written);
    EXPECT_EQ(readFile(path), "[A]\r\nk=1\r\nm=22\r\n[B]\r\nx=3");
    first.close();

    IniDocument third;
    EXPECT_TRUE(third.open(path));  // released by close
}

TEST(IniFile, LockHoldsAgainstAnotherProcess) {
    TempFolder folder;
    const std::string path = folder / "s.ini";
    writeFile(path, kStored);
    IniDocument holder;
    ASSERT_TRUE(holder.open(path));
    const int code = runInChild(
        [&] {
            ChildChecks checks;
            IniDocument doc;
            checks.expect(!doc.open(path), "open is denied");
            checks.expect(doc.document() == kStored, "document is loaded");
            checks.expect(doc.writeKey("A", "k", "child") == KeyWrite::Written, "write in memory");
            checks.expect(readFile(path) == kStored, "file unchanged");
            return checks.result();
        },
        false);
    EXPECT_EQ(code, 0);
    {
        IniDocument released;
        holder.close();
        EXPECT_TRUE(released.open(path));
    }
}

TEST(IniFile, DestructionReleasesTheLock) {
    TempFolder folder;
    const std::string path = folder / "s.ini";
    {
        IniDocument doc;
        ASSERT_TRUE(doc.open(path));
    }
    IniDocument again;
    EXPECT_TRUE(again.open(path));
}

TEST(IniFile, ReadOnlyFileIsLoadedButNeverWritten) {
    TempFolder folder;
    const std::string path = folder / "s.ini";
    writeFile(path, kStored);
    ::chmod(path.c_str(), 0444);
    const int code = runInChild(
        [&] {
            ChildChecks checks;
            IniDocument doc;
            checks.expect(!doc.open(path), "open reports false");
            checks.expect(doc.document() == kStored, "document is loaded");
            checks.expect(doc.writeKey("C", "k", "v") == KeyWrite::Written, "write in memory");
            checks.expect(doc.readKey("C", "k", "") == "v", "read back from memory");
            doc.close();
            checks.expect(readFile(path) == kStored, "file unchanged");
            return checks.result();
        },
        true);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readFile(path), kStored);
}

TEST(IniFile, ReadOnlyFolderWithoutFileWorksInMemory) {
    TempFolder folder;
    const std::string sub = folder / "ro";
    ::mkdir(sub.c_str(), 0555);
    const std::string path = sub + "/s.ini";
    const int code = runInChild(
        [&] {
            ChildChecks checks;
            IniDocument doc;
            checks.expect(!doc.open(path), "open reports false");
            checks.expect(doc.document().empty(), "document is empty");
            checks.expect(doc.writeKey("A", "k", "v") == KeyWrite::Written, "write in memory");
            checks.expect(doc.document() == "[A]\r\nk=v", "document changed");
            return checks.result();
        },
        true);
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(fileExists(path));
}

TEST(IniFile, UnreadableFileIsNeitherLoadedNorWritten) {
    TempFolder folder;
    const std::string path = folder / "s.ini";
    writeFile(path, kStored);
    ::chmod(path.c_str(), 0200);  // writable, not readable
    const int code = runInChild(
        [&] {
            ChildChecks checks;
            IniDocument doc;
            checks.expect(!doc.open(path), "open reports false");
            checks.expect(doc.document().empty(), "document is empty");
            checks.expect(doc.writeKey("A", "k", "v") == KeyWrite::Written, "write in memory");
            return checks.result();
        },
        true);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readFile(path), kStored);
}

TEST(IniFile, FolderOrNothingAtThePath) {
    TempFolder folder;
    IniDocument doc;
    EXPECT_FALSE(doc.open(folder.path()));
    EXPECT_EQ(doc.document(), "");
    EXPECT_FALSE(doc.open(folder / "missing/s.ini"));
    EXPECT_FALSE(doc.open(""));
    EXPECT_EQ(doc.writeKey("A", "k", "v"), KeyWrite::Written);
    EXPECT_EQ(doc.document(), "[A]\r\nk=v");
}

TEST(IniFile, FileNotChangedIsNeverRewritten) {
    TempFolder folder;
    const std::string path = folder / "s.ini";
    writeFile(path, kStored);
    const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
    {
        IniDocument doc;
        ASSERT_TRUE(doc.open(path));
        EXPECT_EQ(doc.readKey("A", "k", ""), "1");
        EXPECT_EQ(doc.readKey("Z", "k", "d"), "d");
        EXPECT_EQ(doc.writeKey("A", "m", "2"), KeyWrite::Written);
        EXPECT_EQ(doc.writeKey("B", "x", "3"), KeyWrite::Written);
    }
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);
    EXPECT_EQ(readFile(path), kStored);
}

// With the file not allowed to grow (as on a full disk), a write that lengthens
// the file fails before touching it; the document keeps the change, a write
// that fits goes through and brings the whole file up to date.
TEST(IniFile, FullDiskLeavesTheFileIntactAndCatchesUpLater) {
    TempFolder folder;
    const std::string path = folder / "s.ini";
    writeFile(path, kStored);
    const int code = runOnAFullDisk(kStored.size(), [&](ChildChecks& checks, FileSizeLimit& limit) {
        IniDocument doc;
        checks.expect(doc.open(path), "open");
        checks.expect(doc.writeKey("A", "k", "123456") == KeyWrite::Failed, "grow fails");
        checks.expect(readFile(path) == kStored, "file intact after failed grow");
        checks.expect(doc.readKey("A", "k", "") == "123456", "document keeps the value");
        checks.expect(doc.fileBehind(), "file behind");
        checks.expect(doc.writeKey("C", "n", "v") == KeyWrite::Failed, "append fails");
        checks.expect(readFile(path) == kStored, "file intact after failed append");

        checks.expect(doc.writeKey("A", "k", "") == KeyWrite::Failed, "still too long");
        // With room again, the next write, even one that changes nothing,
        // brings the whole file up to date.
        limit.lift();
        checks.expect(doc.writeKey("A", "m", "2") == KeyWrite::Written, "same value syncs");
        checks.expect(readFile(path) == doc.document(), "file caught up");
        checks.expect(!doc.fileBehind(), "file not behind");
        checks.expect(doc.document() == "[A]\r\nk=\r\nm=2\r\n[B]\r\nx=3\r\n[C]\r\nn=v",
                      "document holds every write");
    });
    EXPECT_EQ(code, 0);
}

TEST(IniFile, CloseWritesWhatAFailedWriteLeftBehind) {
    TempFolder folder;
    const std::string path = folder / "s.ini";
    writeFile(path, kStored);
    const int code = runOnAFullDisk(kStored.size(), [&](ChildChecks& checks, FileSizeLimit& limit) {
        IniDocument doc;
        checks.expect(doc.open(path), "open");
        checks.expect(doc.writeKey("A", "k", "longer") == KeyWrite::Failed, "grow fails");
        limit.lift();
        const std::string expected = doc.document();
        doc.close();
        checks.expect(readFile(path) == expected, "close wrote the document");
    });
    EXPECT_EQ(code, 0);
}

}  // namespace
}  // namespace lct
