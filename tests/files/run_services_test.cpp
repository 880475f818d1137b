#include "files/run_services.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "temp_folder.h"

namespace lct {
namespace {

TEST(FileRunServices, OnlyRegularFilesAreKeywordFiles) {
    test::TempFolder folder;
    const std::string file = folder.file("words.txt");
    std::ofstream(file) << "x";
    std::filesystem::create_directory(folder.file("docs"));
    FileRunServices services;
    EXPECT_TRUE(services.isFile(file));
    EXPECT_FALSE(services.isFile(folder.file("docs")));
    EXPECT_FALSE(services.isFile(folder.file("missing")));
    EXPECT_FALSE(services.isFile(""));
}

class ResultFolderTest : public ::testing::Test {
  protected:
    test::TempFolder folder;
    FileRunServices services;
    bool created = false;
    std::string error;
};

TEST_F(ResultFolderTest, MakesOnlyTheFolderItself) {
    const std::string results = folder.file("关键词插入结果/");
    EXPECT_TRUE(services.createResultFolder(results, created, error)) << error;
    EXPECT_TRUE(created);
    EXPECT_TRUE(services.isFolder(results));
    EXPECT_TRUE(services.createResultFolder(results, created, error));
    EXPECT_FALSE(created);
}

TEST_F(ResultFolderTest, AMissingFolderAboveIsNotCreated) {
    EXPECT_FALSE(
        services.createResultFolder(folder.file("no/such/关键词插入结果/"), created, error));
    EXPECT_EQ(error, "文件或文件夹不存在");
    EXPECT_FALSE(std::filesystem::exists(folder.file("no")));
}

TEST_F(ResultFolderTest, AFileInTheWayIsAFailure) {
    const std::string blocker = folder.write("关键词插入结果", "a file");
    EXPECT_FALSE(services.createResultFolder(blocker, created, error));
    EXPECT_EQ(error, "已有同名的文件占用了这个位置");
    EXPECT_EQ(test::readBytes(blocker), "a file");
}

TEST_F(ResultFolderTest, StaleTemporaryFilesOfAnExistingFolderAreRemoved) {
    std::filesystem::create_directory(folder.file("r"));
    // An earlier version's name, from a process that no longer exists.
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    const std::string stale = ".lct-" + std::to_string(child) + "-0-0.tmp";
    folder.write("r/" + stale, "half a result");
    EXPECT_TRUE(services.createResultFolder(folder.file("r"), created, error));
    EXPECT_FALSE(std::filesystem::exists(folder.file("r/" + stale)));
}

TEST_F(ResultFolderTest, IdentityFollowsLinksOnlyWhenAsked) {
    const std::string file = folder.write("a.txt", "x");
    const std::string link = folder.file("l.txt");
    std::filesystem::create_symlink(file, link);
    EXPECT_EQ(services.fileIdentity(link, true), services.fileIdentity(file, true));
    EXPECT_NE(services.fileIdentity(link, false), services.fileIdentity(file, false));
    EXPECT_EQ(services.fileIdentity(folder.file("missing"), false), "");
}

TEST_F(ResultFolderTest, ResultsBelowItGoThroughRealFoldersOnly) {
    const std::string results = folder.file("关键词插入结果");
    test::TempFolder outside;
    ASSERT_TRUE(services.createResultFolder(results, created, error)) << error;
    std::filesystem::create_directory_symlink(outside.path(), results + "/planted");
    EXPECT_TRUE(services.write(results + "/docs/sub/a.html", "a", {}, error)) << error;
    EXPECT_EQ(test::readBytes(results + "/docs/sub/a.html"), "a");
    EXPECT_FALSE(services.write(results + "/planted/b.html", "b", {}, error));
    EXPECT_EQ(error, "无法创建结果文件夹中的 planted：是符号链接，结果不会写到它指向的地方");
    EXPECT_TRUE(outside.names().empty());
}

TEST_F(ResultFolderTest, AnUnreadableInputSaysWhy) {
    const ArticleFile file = services.read(folder.file("missing.txt"), TextEncoding::Detect, {});
    EXPECT_EQ(file.encoding, TextEncoding::Detect);
    EXPECT_EQ(file.error, "文件或文件夹不存在");
}

}  // namespace
}  // namespace lct
