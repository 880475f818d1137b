#include "files/paths.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "files/folder_tree.h"
#include "form/form.h"
#include "gbk.h"
#include "temp_folder.h"

namespace lct {
namespace {

using test::G;
using test::TempFolder;
namespace fs = std::filesystem;
using Names = std::vector<std::string>;

struct PathCase {
    std::string path;
    std::string folder;
    std::string base;
    std::string extension;
};

TEST(PathParts, SplitAtTheLastSlashAndTheLastDot) {
    const std::vector<PathCase> cases = {
        {"/in/news.htm", "/in", "news", "htm"},
        {"/in/新闻.稿.txt", "/in", "新闻.稿", "txt"},
        {"/in/readme", "/in", "readme", ""},
        {"/in.d/readme", "/in.d", "readme", ""},
        {"/in/.hidden", "/in", "", "hidden"},
        {"/in/name.", "/in", "name", ""},
        {"news.htm", "", "news", "htm"},
        {"/a.txt", "", "a", "txt"},
        {"rel/dir/a.b", "rel/dir", "a", "b"},
        {"/in/", "/in", "", ""},
        {"", "", "", ""},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(folderOfPath(c.path), c.folder) << c.path;
        EXPECT_EQ(baseNameOfPath(c.path), c.base) << c.path;
        EXPECT_EQ(extensionOfPath(c.path), c.extension) << c.path;
    }
}

TEST(CreateFolderPath, CreatesEveryMissingLevelAndListsThem) {
    TempFolder folder;
    fs::create_directory(folder.file("a"));
    const std::string target = folder.file("a/b/关键词插入结果/");
    std::vector<std::string> created;
    EXPECT_TRUE(createFolderPath(target, &created));
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_EQ(created, (Names{folder.file("a/b"), folder.file("a/b/关键词插入结果")}));

    created.clear();
    EXPECT_TRUE(createFolderPath(target, &created));  // all there already
    EXPECT_TRUE(created.empty());
    EXPECT_TRUE(createFolderPath(folder.file("c/d")));  // no trailing slash
    EXPECT_TRUE(fs::is_directory(folder.file("c/d")));
}

TEST(CreateFolderPath, StopsAtALevelThatIsAFile) {
    TempFolder folder;
    folder.write("file", "x");
    std::vector<std::string> created;
    EXPECT_FALSE(createFolderPath(folder.file("file/sub/"), &created));
    EXPECT_TRUE(created.empty());
    EXPECT_FALSE(createFolderPath(""));
}

struct MatchCase {
    std::string name;
    std::string pattern;
    bool matches;
};

TEST(MatchesNamePattern, FollowsTheSystemsWildcards) {
    const std::vector<MatchCase> cases = {
        {"a.txt", "*.txt", true},
        {"A.TXT", "*.txt", true},
        {"a.txt", "*.TXT", true},
        {"a.txt.bak", "*.txt", false},
        {"b.htm", "*.htm", true},
        {"c.html", "*.htm", false},
        {"readme", "*.*", true},
        {"a.txt", "*.*", true},
        {".hidden", "*.*", true},
        {"readme", "readme.*", true},
        {"readme.md", "readme.*", true},
        {"readme2", "readme.*", false},
        {"a.txt", "?.txt", true},
        {"新.txt", "?.txt", true},  // "?" is one character, not one byte
        {"ab.txt", "?.txt", false},
        {"新闻1.txt", "新闻*.txt", true},
        {"a[1].txt", "a[1].txt", true},  // brackets are plain characters
        {"a1.txt", "a[1].txt", false},
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*c", false},
        {"", "*", true},
        {"x", "", false},
    };
    for (const MatchCase& c : cases)
        EXPECT_EQ(matchesNamePattern(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
}

class ListFolderFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"a.txt", "b.htm", "c.html", "readme", ".hidden", "Z.TXT"})
            folder_.write(name, "x");
        fs::create_directory(folder_.file("d"));
        folder_.write("d/inner.txt", "x");
        fs::create_directory_symlink(folder_.file("d"), folder_.file("link.txt"));
    }

    Names list(std::string_view patterns) {
        Names out{"stale entry"};
        const std::size_t n = listFolderFiles(folder_.path(), patterns, out);
        EXPECT_EQ(n, out.size());
        for (std::string& path : out)
            path = path.substr(folder_.path().size() + 1);
        return out;
    }

    TempFolder folder_;
};

TEST_F(ListFolderFilesTest, ListsOnlyMatchingFilesOfTheFolderItself) {
    EXPECT_EQ(list("*.txt|*.htm"), (Names{"Z.TXT", "a.txt", "b.htm"}));
}

TEST_F(ListFolderFilesTest, OverlappingPatternsListAFileOnce) {
    EXPECT_EQ(list("*.txt|*.*|a*"),
              (Names{"Z.TXT", "a.txt", ".hidden", "b.htm", "c.html", "readme"}));
}

TEST_F(ListFolderFilesTest, EntriesThatAreNoRegularFileAreListedForTheRunToRefuse) {
    ASSERT_EQ(::mkfifo(folder_.file("pipe.txt").c_str(), 0600), 0);
    fs::create_symlink(folder_.file("nowhere"), folder_.file("dangling.txt"));
    fs::create_symlink(folder_.file("loop.txt"), folder_.file("loop.txt"));
    EXPECT_EQ(list("*.txt"), (Names{"Z.TXT", "a.txt", "dangling.txt", "loop.txt", "pipe.txt"}));
}

TEST_F(ListFolderFilesTest, EmptyPatternTextMeansEveryFile) {
    EXPECT_EQ(list(""), (Names{".hidden", "Z.TXT", "a.txt", "b.htm", "c.html", "readme"}));
    EXPECT_EQ(list(""), list("*.*"));
}

TEST_F(ListFolderFilesTest, PatternsAreGbkText) {
    folder_.write("新闻1.txt", "x");
    folder_.write("旧闻.txt", "x");
    EXPECT_EQ(list(G("新闻*")), (Names{"新闻1.txt"}));
}

TEST_F(ListFolderFilesTest, AFolderPathWithATrailingSlashGivesTheSamePaths) {
    Names withSlash;
    Names without;
    listFolderFiles(folder_.path() + "/", "*.htm", withSlash);
    listFolderFiles(folder_.path(), "*.htm", without);
    EXPECT_EQ(withSlash, without);
    EXPECT_EQ(without, (Names{folder_.file("b.htm")}));
}

TEST_F(ListFolderFilesTest, APatternWithAFolderSearchesThatFolder) {
    EXPECT_EQ(list("d/*.txt|*.htm|missing/*.*"), (Names{"d/inner.txt", "b.htm"}));
}

TEST_F(ListFolderFilesTest, TemporaryFilesOfTheProgramAreNeverListed) {
    folder_.write(".lct-1a2b3c4d-99-0-0.tmp", "half a result");
    folder_.write(".lct-99-1-0.tmp", "half a result");
    Names out;
    listFolderFiles(folder_.path(), "*.*|*.tmp|.*", out);
    for (const std::string& path : out)
        EXPECT_EQ(path.find(".lct-"), std::string::npos) << path;
    EXPECT_FALSE(out.empty());
}

TEST_F(ListFolderFilesTest, AFolderThatCannotBeListedIsAFailure) {
    Names out{"stale"};
    std::vector<RunFailure> failures;
    EXPECT_EQ(listFolderFiles(folder_.file("missing"), "*.*", out, &failures), 0u);
    EXPECT_TRUE(out.empty());
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].path, folder_.file("missing"));
    EXPECT_EQ(failures[0].reason, "无法列出文件夹中的文件：文件或文件夹不存在");
    // A folder that a pattern names may be missing: no file, no failure.
    failures.clear();
    listFolderFiles(folder_.path(), "missing/*.*|a.*", out, &failures);
    EXPECT_EQ(out, Names{folder_.file("a.txt")});
    EXPECT_TRUE(failures.empty());
}

TEST_F(ListFolderFilesTest, ATreeListsEveryDepthButNeitherTheResultFolderNorLinkedFolders) {
    fs::create_directories(folder_.file("d/e/f"));
    folder_.write("d/e/f/deep.txt", "x");
    fs::create_directory(folder_.file("关键词插入结果"));
    folder_.write("关键词插入结果/old.txt", "x");
    TempFolder outside;
    outside.write("secret.txt", "x");
    fs::create_directory_symlink(outside.path(), folder_.file("d/out"));
    Names out{"stale"};
    listFolderTree(folder_.path(), "*.txt|e/f/*.txt", folder_.file("关键词插入结果"), out);
    for (std::string& path : out)
        path = pathBelow(folder_.path(), path);
    EXPECT_EQ(out, (Names{"Z.TXT", "a.txt", "d/inner.txt", "d/e/f/deep.txt"}));
}

TEST_F(ListFolderFilesTest, LetsTheWindowBreatheOncePerEntry) {
    int calls = 0;
    Names out;
    listFolderFiles(folder_.path(), "*.*", out, nullptr, [&calls] { ++calls; });
    EXPECT_EQ(calls, 10);  // 8 entries, "." and ".."
}

}  // namespace
}  // namespace lct
