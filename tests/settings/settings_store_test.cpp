// Typed values under the current section, and byte blocks in the inibin folder.

#include "settings/settings_store.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "form/pending_messages.h"
#include "gbk.h"
#include "settings_support.h"

namespace lct {
namespace {

using test::ChildChecks;
using test::fileExists;
using test::G;
using test::readFile;
using test::runInChild;
using test::TempFolder;
using test::writeFile;
using namespace std::string_literals;

class TypedValues : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(store.open(path));
        store.selectSection("S");
    }
    std::string file() const { return readFile(path); }

    TempFolder folder;
    std::string path = folder / "s.ini";
    SettingsStore store;
};

TEST_F(TypedValues, TextKeepsLineBreaksOnOneLine) {
    store.writeText("t", G("第一行\r\n第二行\r\n"));
    EXPECT_EQ(file(), G("[S]\r\nt=第一行┊*┊第二行┊*┊"));
    EXPECT_EQ(store.readText("t", ""), G("第一行\r\n第二行\r\n"));
}

TEST_F(TypedValues, TextDefaultComesBackUnchanged) {
    EXPECT_EQ(store.readText("missing", "a\r\nb\rc\nd"), "a\r\nb\rc\nd");
}

TEST_F(TypedValues, EmptyTextIsStoredButReadsAsMissing) {
    store.writeText("t", "");
    EXPECT_EQ(file(), "[S]\r\nt=");
    EXPECT_EQ(store.readText("t", "initial"), "initial");
}

TEST_F(TypedValues, NumbersInTheirStoredForm) {
    store.writeNumber("a", 100);
    store.writeNumber("b", 0.5);
    store.writeNumber("c", -2);
    EXPECT_EQ(file(), "[S]\r\na=100\r\nb=0.5\r\nc=-2");
    EXPECT_EQ(store.readNumber("a", 7), 100);
    EXPECT_EQ(store.readNumber("b", 7), 0.5);
    EXPECT_EQ(store.readNumber("c", 7), -2);
    EXPECT_EQ(store.readNumber("missing", 7.25), 7.25);
}

TEST_F(TypedValues, NumberTextWithoutNumberReadsZero) {
    store.writeText("n", G("abc"));
    EXPECT_EQ(store.readNumber("n", 5), 0);
    store.writeText("w", G("１２"));
    EXPECT_EQ(store.readNumber("w", 5), 12);
}

TEST_F(TypedValues, BooleansAsTrueAndFalseWords) {
    store.writeBool("y", true);
    store.writeBool("n", false);
    EXPECT_EQ(file(), G("[S]\r\ny=真\r\nn=假"));
    EXPECT_TRUE(store.readBool("y", false));
    EXPECT_FALSE(store.readBool("n", true));
    EXPECT_TRUE(store.readBool("missing", true));
    EXPECT_FALSE(store.readBool("missing", false));
    store.writeText("d", "1");  // anything but 真 is false
    EXPECT_FALSE(store.readBool("d", true));
}

TEST_F(TypedValues, SectionsDoNotLeak) {
    store.selectSection(G("主界面"));
    store.writeText("k", "main");
    store.selectSection(G("随机文本生成器"));
    EXPECT_EQ(store.readText("k", "none"), "none");
    store.writeText("k", "tool");
    store.selectSection(G("主界面"));
    EXPECT_EQ(store.readText("k", ""), "main");
    EXPECT_EQ(file(), G("[主界面]\r\nk=main\r\n[随机文本生成器]\r\nk=tool"));
}

// A handler of the window never runs inside a write: each write is whole, on
// the disk, before anything else can write.
TEST_F(TypedValues, AWriteIsWholeBeforeAnyHandlerRuns) {
    bool inner = false;
    const auto previous = setPendingMessagesHandler([&] { inner = true; });
    store.writeBool("outer", true);
    EXPECT_EQ(store.readText("outer", ""), G("真"));
    setPendingMessagesHandler(previous);
    EXPECT_FALSE(inner);
    EXPECT_EQ(file(), G("[S]\r\nouter=真"));
}

class ByteBlocks : public TypedValues {
  protected:
    void SetUp() override {
        ASSERT_TRUE(store.open(path));
        store.selectSection(G("关键词合并器"));
    }
    std::string inibin() const { return folder / "inibin"; }
    std::string groupFile() const { return inibin() + "/关键词合并器-词组1.ibn"; }
};

TEST_F(ByteBlocks, WrittenToTheirOwnFileWithAUtf8Name) {
    const std::string bytes = G("甲\r\n乙\r\n") + "\0\xFF"s;
    EXPECT_EQ(store.byteSetPath(G("词组1")), groupFile());
    store.writeBytes(G("词组1"), bytes);
    EXPECT_EQ(readFile(groupFile()), bytes);
    EXPECT_EQ(store.readBytes(G("词组1"), "default"), bytes);
    EXPECT_EQ(file(), "");  // nothing in the settings document
}

TEST_F(ByteBlocks, ReplacingLeavesNoTemporaryFiles) {
    store.writeBytes(G("词组1"), "first, longer content");
    store.writeBytes(G("词组1"), "second");
    EXPECT_EQ(readFile(groupFile()), "second");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(inibin()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(ByteBlocks, MissingOrEmptyFileGivesTheDefault) {
    EXPECT_EQ(store.readBytes(G("词组1"), "default"), "default");
    store.writeBytes(G("词组1"), "");
    EXPECT_TRUE(fileExists(groupFile()));
    EXPECT_EQ(store.readBytes(G("词组1"), "default"), "default");
}

TEST_F(ByteBlocks, InibinThatIsAFileRefusesWrites) {
    writeFile(inibin(), "not a folder");
    store.writeBytes(G("词组1"), "x");
    EXPECT_EQ(store.readBytes(G("词组1"), "default"), "default");
    EXPECT_EQ(readFile(inibin()), "not a folder");
}

TEST_F(ByteBlocks, NamesThatWouldLeaveTheFolderAreRefused) {
    EXPECT_EQ(store.byteSetPath("../x"), "");
    store.beginSave();
    store.writeBytes("../x", "x");
    store.writeBytes("a\0b"s, "x");
    EXPECT_EQ(store.finishSave().failures.size(), 2u);
    EXPECT_EQ(store.readBytes("../x", "default"), "default");
    EXPECT_FALSE(fileExists(folder / "x.ibn"));
}

TEST_F(ByteBlocks, ReadOnlyInibinKeepsItsFiles) {
    store.writeBytes(G("词组1"), "kept");
    ::chmod(inibin().c_str(), 0555);
    const int code = runInChild(
        [&] {
            ChildChecks checks;
            store.writeBytes(G("词组1"), "new");
            store.writeBytes(G("词组2"), "new");
            checks.expect(store.readBytes(G("词组1"), "default") == "kept", "old bytes read");
            checks.expect(store.readBytes(G("词组2"), "default") == "default", "missing default");
            return checks.result();
        },
        true);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readFile(groupFile()), "kept");
}

TEST(ByteBlockPlaces, MissingSettingsFolderOrNoStore) {
    TempFolder folder;
    SettingsStore store;
    store.selectSection("S");
    store.writeBytes("k", "x");  // never opened: no folder at all
    EXPECT_EQ(store.readBytes("k", "default"), "default");
    EXPECT_FALSE(store.open(folder / "missing/s.ini"));
    store.writeBytes("k", "x");
    EXPECT_FALSE(fileExists(folder / "missing"));
    EXPECT_EQ(store.readBytes("k", "default"), "default");
}

TEST(ByteBlockPlaces, SecondCopyLeavesByteSetFilesAlone) {
    TempFolder folder;
    SettingsStore first;
    ASSERT_TRUE(first.open(folder / "s.ini"));
    first.selectSection("S");
    first.writeBytes("k", "first copy");
    SettingsStore second;
    ASSERT_FALSE(second.open(folder / "s.ini"));
    second.selectSection("S");
    EXPECT_EQ(second.readBytes("k", "default"), "first copy");
    second.writeBytes("k", "second copy");
    second.writeBytes("new", "second copy");
    EXPECT_EQ(readFile(folder / "inibin/S-k.ibn"), "first copy");
    EXPECT_FALSE(fileExists(folder / "inibin/S-new.ibn"));
}

TEST(ByteBlockPlaces, SettingsPathWithoutFolderMeansTheCurrentFolder) {
    TempFolder folder;
    const int code = runInChild(
        [&] {
            ChildChecks checks;
            checks.expect(::chdir(folder.path().c_str()) == 0, "chdir");
            SettingsStore store;
            checks.expect(store.open("s.ini"), "open");
            store.selectSection("S");
            store.writeBytes("k", "x");
            checks.expect(readFile(folder / "inibin/S-k.ibn") == "x", "file in ./inibin");
            return checks.result();
        },
        false);
    EXPECT_EQ(code, 0);
}

TEST(ByteBlockPlaces, NonGbkBytesInKeysStayDistinct) {
    TempFolder folder;
    SettingsStore store;
    ASSERT_TRUE(store.open(folder / "s.ini"));
    store.selectSection("S");
    store.writeBytes("\xFF", "one");
    store.writeBytes("\xFE", "two");
    EXPECT_EQ(store.readBytes("\xFF", ""), "one");
    EXPECT_EQ(store.readBytes("\xFE", ""), "two");
}

}  // namespace
}  // namespace lct
