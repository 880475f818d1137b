// Where the settings file lives: beside a portable copy, in the user's
// configuration folder for an installed one.
#include "platform/settings_location.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings_support.h"

namespace lct {
namespace {

using test::ChildChecks;
using test::fileExists;
using test::runInChild;
using test::TempFolder;
using test::writeFile;

constexpr const char* kFile = "青禾·澜词通.ini";

struct PlaceRow {
    const char* what;
    SettingsPlace place;
    std::string expected;
};

SettingsPlace place(bool fileBeside, bool writable, bool installed, std::string configHome,
                    std::string home) {
    return {"/opt/lct", fileBeside, writable, installed, std::move(configHome), std::move(home)};
}

class ChooseSettingsPath : public ::testing::TestWithParam<PlaceRow> {};

TEST_P(ChooseSettingsPath, FollowsTheRule) {
    const PlaceRow& row = GetParam();
    EXPECT_EQ(chooseSettingsPath(kFile, row.place), row.expected) << row.what;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ChooseSettingsPath,
    ::testing::Values(
        PlaceRow{"portable copy: writable folder",
                 place(false, true, false, "/home/u/.cfg", "/home/u"), "/opt/lct/青禾·澜词通.ini"},
        PlaceRow{"the file is there, the folder read-only",
                 place(true, false, false, "/home/u/.cfg", "/home/u"), "/opt/lct/青禾·澜词通.ini"},
        PlaceRow{"read-only folder without the file: XDG_CONFIG_HOME",
                 place(false, false, false, "/home/u/.cfg", "/home/u"),
                 "/home/u/.cfg/lancitong/青禾·澜词通.ini"},
        PlaceRow{"no XDG_CONFIG_HOME: ~/.config", place(false, false, false, "", "/home/u"),
                 "/home/u/.config/lancitong/青禾·澜词通.ini"},
        PlaceRow{"a relative XDG_CONFIG_HOME is ignored",
                 place(false, false, false, "cfg", "/home/u"),
                 "/home/u/.config/lancitong/青禾·澜词通.ini"},
        PlaceRow{"trailing slashes of XDG_CONFIG_HOME", place(false, false, false, "/c//", ""),
                 "/c/lancitong/青禾·澜词通.ini"},
        PlaceRow{"the installed folder, writable for root", place(false, true, true, "", "/root"),
                 "/root/.config/lancitong/青禾·澜词通.ini"},
        PlaceRow{"the installed folder with the file already there",
                 place(true, true, true, "", "/root"), "/opt/lct/青禾·澜词通.ini"},
        PlaceRow{"no home at all: beside the program", place(false, false, false, "", ""),
                 "/opt/lct/青禾·澜词通.ini"}));

// The real folder, as a user without the right to write it sees it.
class ProbeSettingsPlace : public ::testing::Test {
  protected:
    TempFolder folder;
    std::string program = folder / "bin";
    std::string config = folder / "config";

    void SetUp() override {
        ASSERT_EQ(::mkdir(program.c_str(), 0755), 0);
        ASSERT_EQ(::mkdir(config.c_str(), 0777), 0);
        ASSERT_EQ(::chmod(config.c_str(), 0777), 0);  // past the umask: the child writes here
        ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    }
    void TearDown() override { ::unsetenv("XDG_CONFIG_HOME"); }
};

TEST_F(ProbeSettingsPlace, AWritableFolderKeepsTheSettings) {
    const SettingsPlace probed = probeSettingsPlace(program, kFile);
    EXPECT_TRUE(probed.programFolderWritable);
    EXPECT_FALSE(probed.fileBesideProgram);
    EXPECT_FALSE(probed.installedFolder);
    EXPECT_EQ(probed.configHome, config);
    EXPECT_EQ(chooseSettingsPath(kFile, probed), program + "/" + kFile);
}

TEST_F(ProbeSettingsPlace, AReadOnlyFolderSendsThemToTheConfigFolder) {
    ASSERT_EQ(::chmod(program.c_str(), 0555), 0);
    const std::string expected = config + "/lancitong/" + kFile;
    const int code = runInChild(
        [&] {
            ChildChecks checks;
            const SettingsPlace probed = probeSettingsPlace(program, kFile);
            checks.expect(!probed.programFolderWritable, "the folder reads as not writable");
            const std::string path = chooseSettingsPath(kFile, probed);
            checks.expect(path == expected, "the path is in the config folder");
            checks.expect(makeSettingsFolder(path), "the config folder is made");
            writeFile(path, "[主界面]\n");
            checks.expect(fileExists(path), "the settings file can be written there");
            checks.expect(!fileExists(program + "/" + kFile), "nothing beside the program");
            return checks.result();
        },
        true);
    EXPECT_EQ(code, 0);
    struct stat st {};
    ASSERT_EQ(::stat((config + "/lancitong").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(ProbeSettingsPlace, AnExistingFileInAReadOnlyFolderStaysInUse) {
    writeFile(program + "/" + kFile, "[主界面]\n");
    ASSERT_EQ(::chmod(program.c_str(), 0555), 0);
    const std::string expected = program + "/" + kFile;
    const int code = runInChild(
        [&] {
            ChildChecks checks;
            const SettingsPlace probed = probeSettingsPlace(program, kFile);
            checks.expect(probed.fileBesideProgram, "the file is found");
            checks.expect(chooseSettingsPath(kFile, probed) == expected, "the file is used");
            return checks.result();
        },
        true);
    EXPECT_EQ(code, 0);
}

TEST(MakeSettingsFolder, MakesMissingParentsAndFailsUnderAFile) {
    TempFolder folder;
    EXPECT_TRUE(makeSettingsFolder(folder / "a/b/c/s.ini"));
    EXPECT_TRUE(fileExists(folder / "a/b/c"));
    EXPECT_TRUE(makeSettingsFolder(folder / "a/b/c/s.ini"));  // already there
    writeFile(folder / "file", "x");
    EXPECT_FALSE(makeSettingsFolder(folder / "file/sub/s.ini"));
}

}  // namespace
}  // namespace lct
