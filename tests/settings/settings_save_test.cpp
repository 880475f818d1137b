// Saves reach the settings file as one atomic replacement, the lock follows
// the file across replacements, and a save that loses a value says so and
// leaves the file as it was.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "app/main_window_settings.h"
#include "app/main_window_table.h"
#include "form/headless_form.h"
#include "platform/charset.h"
#include "platform/file_io.h"
#include "settings/ini_document.h"
#include "settings/settings_store.h"
#include "settings_support.h"

namespace lct {
namespace {

using test::ChildChecks;
using test::FileSizeLimit;
using test::readFile;
using test::runOnAFullDisk;
using test::TempFolder;
using test::writeFile;

const std::string kStored = "[A]\r\nk=1\r\nm=2\r\n[B]\r\nx=3";

ino_t inodeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// True when some process could take the lock of the file now at `path`.
bool lockable(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

TEST(SettingsSave, AWriteReplacesTheFileAndKeepsItLocked) {
    TempFolder folder;
    const std::string path = folder / "s.ini";
    writeFile(path, kStored);
    IniDocument doc;
    ASSERT_TRUE(doc.open(path));
    const ino_t before = inodeOf(path);
    EXPECT_EQ(doc.writeKey("A", "k", "changed"), KeyWrite::Written);
    EXPECT_EQ(readFile(path), "[A]\r\nk=changed\r\nm=2\r\n[B]\r\nx=3");
    EXPECT_NE(inodeOf(path), before);  // a new file took the name
    EXPECT_FALSE(lockable(path));      // and it is held
    EXPECT_EQ(folder.path() + "/s.ini", path);
    doc.close();
    EXPECT_TRUE(lockable(path));
}

TEST(SettingsSave, ASaveWritesTheFileOnceWhenItFinishes) {
    TempFolder folder;
    const std::string path = folder / "s.ini";
    writeFile(path, kStored);
    IniDocument doc;
    ASSERT_TRUE(doc.open(path));
    doc.beginSave();
    doc.beginSave();
    EXPECT_EQ(doc.writeKey("A", "k", "10"), KeyWrite::Written);
    EXPECT_EQ(doc.writeKey("C", "n", "new"), KeyWrite::Written);
    EXPECT_TRUE(doc.finishSave());
    EXPECT_EQ(readFile(path), kStored);  // the inner save does not write
    EXPECT_TRUE(doc.fileBehind());
    EXPECT_TRUE(doc.finishSave());
    EXPECT_EQ(readFile(path), "[A]\r\nk=10\r\nm=2\r\n[B]\r\nx=3\r\n[C]\r\nn=new");
    EXPECT_FALSE(doc.fileBehind());
}

TEST(SettingsSave, ASymbolicLinkToTheSettingsStaysALink) {
    TempFolder folder;
    const std::string real = folder / "real.ini";
    const std::string link = folder / "s.ini";
    writeFile(real, kStored);
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    IniDocument doc;
    ASSERT_TRUE(doc.open(link));
    EXPECT_EQ(doc.writeKey("A", "k", "9"), KeyWrite::Written);
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(readFile(real), "[A]\r\nk=9\r\nm=2\r\n[B]\r\nx=3");
}

TEST(SettingsSave, WaitingForAHolderThatLetsGo) {
    TempFolder folder;
    const std::string path = folder / "s.ini";
    writeFile(path, kStored);
    // The child is forked before the file is opened, so that it shares no
    // descriptor (and no lock) with the holder.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        char byte = 0;
        ::close(ready[1]);
        if (::read(ready[0], &byte, 1) != 1) ::_exit(2);
        // The holder has the file now: this waits for it, across its
        // replacement of the file.
        IniDocument doc;
        const bool held = doc.open(path, std::chrono::seconds(10));
        const bool sawNew = doc.readKey("A", "k", "") == "from holder";
        const bool wrote = doc.writeKey("A", "m", "from child") == KeyWrite::Written;
        ::_exit(held && sawNew && wrote ? 0 : 1);
    }
    ::close(ready[0]);
    IniDocument holder;
    ASSERT_TRUE(holder.open(path));
    ASSERT_EQ(::write(ready[1], "x", 1), 1);
    ::close(ready[1]);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(holder.writeKey("A", "k", "from holder"), KeyWrite::Written);
    holder.close();
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    // Neither change is lost.
    EXPECT_EQ(readFile(path), "[A]\r\nk=from holder\r\nm=from child\r\n[B]\r\nx=3");
}

TEST(SettingsSave, AHolderThatStaysIsWaitedForOnlySoLong) {
    TempFolder folder;
    const std::string path = folder / "s.ini";
    writeFile(path, kStored);
    IniDocument holder;
    ASSERT_TRUE(holder.open(path));
    IniDocument late;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(late.open(path, std::chrono::milliseconds(300)));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    EXPECT_EQ(late.document(), kStored);
}

TEST(SettingsSave, LoadReadsAHeldFileAndCreatesNothing) {
    TempFolder folder;
    const std::string path = folder / "s.ini";
    IniDocument reader;
    EXPECT_FALSE(reader.load(path));
    EXPECT_FALSE(test::fileExists(path));
    writeFile(path, kStored);
    IniDocument holder;
    ASSERT_TRUE(holder.open(path));
    EXPECT_TRUE(reader.load(path));
    EXPECT_EQ(reader.readKey("B", "x", ""), "3");
    EXPECT_FALSE(reader.holdsFile());
}

// With the file size limited (as on a full disk), a save fails, says why,
// and leaves the file as it was; the next save with room writes everything.
TEST(SettingsSave, AFullDiskLeavesTheFileAndReportsIt) {
    TempFolder folder;
    const std::string path = folder / "s.ini";
    writeFile(path, kStored);
    const int code = runOnAFullDisk(kStored.size(), [&](ChildChecks& checks, FileSizeLimit& limit) {
        IniDocument doc;
        checks.expect(doc.open(path), "open");
        doc.beginSave();
        checks.expect(doc.writeKey("A", "k", "a longer value") == KeyWrite::Written,
                      "write in the save");
        std::string error;
        checks.expect(!doc.finishSave(true, &error), "save fails");
        checks.expect(error == "文件太大", "says why");
        checks.expect(readFile(path) == kStored, "file as it was");
        limit.lift();
        doc.beginSave();
        checks.expect(doc.finishSave(), "next save");
        checks.expect(readFile(path) == "[A]\r\nk=a longer value\r\nm=2\r\n[B]\r\nx=3",
                      "everything written");
    });
    EXPECT_EQ(code, 0);
}

TEST(SettingsSave, AByteBlockThatCannotBeWrittenKeepsTheWholeSaveOut) {
    TempFolder folder;
    const std::string path = folder / "s.ini";
    writeFile(path, kStored);
    writeFile(folder / "inibin", "a file where the folder should be");
    SettingsStore store;
    ASSERT_TRUE(store.open(path));
    HeadlessForm form(mainWindowTable());
    form.find("编辑框关键词列表")->setText(utf8ToGbk("甲\r\n乙"));
    form.find("编辑框再组合关键词")->setText("[*]");
    const SaveOutcome outcome = saveMainWindowSettings(store, form);
    EXPECT_FALSE(outcome.ok());
    EXPECT_TRUE(outcome.held);
    ASSERT_EQ(outcome.failures.size(), 1u);
    EXPECT_NE(outcome.failures[0].find("inibin/主界面-关键词列表.ibn：路径中的一级不是文件夹"),
              std::string::npos)
        << outcome.failures[0];
    EXPECT_EQ(readFile(path), kStored);

    // Once the folder can be made, the next save brings everything.
    ::unlink((folder / "inibin").c_str());
    EXPECT_TRUE(saveMainWindowSettings(store, form).ok());
    EXPECT_NE(readFile(path).find(utf8ToGbk("再组合关键词=[*]")), std::string::npos);
    EXPECT_EQ(readFile(folder / "inibin/主界面-关键词列表.ibn"), utf8ToGbk("甲\r\n乙"));
}

TEST(SettingsSave, ASecondCopySavesNothingAndKnowsIt) {
    TempFolder folder;
    const std::string path = folder / "s.ini";
    writeFile(path, kStored);
    SettingsStore first;
    ASSERT_TRUE(first.open(path));
    SettingsStore second;
    EXPECT_FALSE(second.open(path));
    HeadlessForm form(mainWindowTable());
    const SaveOutcome outcome = saveMainWindowSettings(second, form);
    EXPECT_FALSE(outcome.held);
    EXPECT_FALSE(outcome.ok());
    EXPECT_EQ(readFile(path), kStored);
    EXPECT_FALSE(test::fileExists(folder / "inibin"));
}

// Starts a replacement of `target` in a child process that ends half-way,
// as if killed: it leaves its temporary file behind.
void leaveHalfAReplacement(const std::string& target) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ReplacementFile file(target);
        ::_exit(file.write("half") ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// How many temporary files of replacements the folder holds.
int temporaryFilesIn(const std::string& folder) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        count += isTemporaryFileName(entry.path().filename().string()) ? 1 : 0;
    return count;
}

TEST(SettingsSave, TemporaryFilesOfAKilledSaveAreRemovedOnOpen) {
    TempFolder folder;
    const std::string path = folder / "s.ini";
    writeFile(path, kStored);
    ::mkdir((folder / "inibin").c_str(), 0777);
    leaveHalfAReplacement(path);
    leaveHalfAReplacement(folder / "inibin/主界面-关键词列表.ibn");
    const ReplacementFile goingOn(path);  // a save of a process that still runs
    writeFile(folder / "notes.tmp", "not ours");
    ASSERT_EQ(temporaryFilesIn(folder.path()), 2);
    ASSERT_EQ(temporaryFilesIn(folder / "inibin"), 1);
    IniDocument doc;
    ASSERT_TRUE(doc.open(path));
    EXPECT_EQ(temporaryFilesIn(folder.path()), 1);
    EXPECT_EQ(temporaryFilesIn(folder / "inibin"), 0);
    EXPECT_TRUE(test::fileExists(folder / "notes.tmp"));
    EXPECT_EQ(readFile(path), kStored);
}

// Every byte string (without NUL, which ends a stored value) comes back from
// a save and a fresh load as it was, whatever precedes its line breaks.
TEST(SettingsSave, TextsRoundTripThroughTheFile) {
    TempFolder folder;
    const std::string path = folder / "s.ini";
    std::uint64_t state = 88172645463325252u;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    const std::string alphabet = "\r\n*\xA9\xA6\x81\xFF=[]a";
    std::vector<std::string> texts;
    {
        SettingsStore store;
        ASSERT_TRUE(store.open(path));
        store.selectSection("T");
        store.beginSave();
        for (int i = 0; i < 2000; ++i) {
            std::string text;
            const std::size_t size = next() % 20;
            for (std::size_t k = 0; k < size; ++k) {
                const std::uint64_t r = next();
                char c = r % 3 == 0 ? static_cast<char>(r >> 8)
                                    : alphabet[static_cast<std::size_t>(r >> 8) % alphabet.size()];
                if (c == '\0') c = 'z';
                text += c;
            }
            // A value ending in a lone CR would join the next line's LF.
            texts.push_back(text);
            store.writeText("k" + std::to_string(i), text);
        }
        EXPECT_TRUE(store.finishSave().ok());
    }
    SettingsStore reloaded;
    ASSERT_TRUE(reloaded.load(path));
    reloaded.selectSection("T");
    for (std::size_t i = 0; i < texts.size(); ++i) {
        // readText treats an empty value as missing; a default tells them apart.
        const std::string back = reloaded.readText("k" + std::to_string(i), "\x01missing");
        if (texts[i].empty())
            EXPECT_EQ(back, "\x01missing");
        else
            EXPECT_EQ(back, texts[i]) << i << " " << ::testing::PrintToString(texts[i]);
    }
}

}  // namespace
}  // namespace lct
