#include "files/result_location.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/paths.h"
#include "files/text_encoding.h"
#include "gbk.h"
#include "platform/file_io.h"
#include "temp_folder.h"

namespace lct {
namespace {

using test::G;

TEST(ResultFolderOf, SitsBesideTheFirstInput) {
    EXPECT_EQ(resultFolderOf("/in/news.htm"), "/in/关键词插入结果/");
    EXPECT_EQ(resultFolderOf("/news.htm"), "/关键词插入结果/");
    EXPECT_EQ(resultFolderOf("rel/news.htm"), "rel/关键词插入结果/");
    EXPECT_EQ(resultFolderOf("news.htm"), "./关键词插入结果/");
}

struct NameCase {
    const char* what;
    std::string titleUtf8;
    std::string newExtensionUtf8;
    std::string input;
    std::string name;
};

TEST(ResultFileName, IsTheTitleWithTheChosenOrOwnExtension) {
    const std::vector<NameCase> cases = {
        {"own extension", "news", "", "/in/news.htm", "news.htm"},
        {"new extension", "news", "txt", "/in/news.htm", "news.txt"},
        {"Chinese title and extension", "新闻标题", "网页", "/in/a.htm", "新闻标题.网页"},
        {"no extension: no trailing dot", "readme", "", "/in/readme", "readme"},
        {"slashes cannot lead elsewhere", "../../etc/x", "", "/in/a.txt", ".._.._etc_x.txt"},
        {"a link in the title", "<a href=\"http://x/\">k</a>", "", "/in/a.htm",
         "<a href=\"http:__x_\">k<_a>.htm"},
        {"line breaks become _", "one\r\ntwo\t", "", "/in/a.txt", "one__two_.txt"},
        {"slash in the new extension", "t", "a/b", "/in/a.txt", "t.a_b"},
        {"empty title falls back to the input's base name", "", "", "/in/原名.txt", "原名.txt"},
        {"and then to 无标题", "", "", "/in/.txt", "无标题.txt"},
        {"dot names are no folder", ".", "", "/in/x", "_."},
        {"dot-dot names are no folder", "..", "", "/in/x", "_.."},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(resultFileName(G(c.titleUtf8), G(c.newExtensionUtf8), c.input), c.name) << c.what;
}

TEST(ResultFileName, LongTitlesAreCutAtACharacterBoundary) {
    std::string title;
    for (int i = 0; i < 120; ++i)
        title += "长";  // 360 bytes of UTF-8
    const std::string name = resultFileName(G(title), "", "/in/a.html");
    EXPECT_LE(name.size(), 255u);
    EXPECT_EQ(name.size(), 83 * 3 + 5u);  // as many whole characters as fit
    EXPECT_EQ(name.substr(name.size() - 5), ".html");
    EXPECT_TRUE(isValidUtf8(name));

    const std::string longExtension(300, 'e');
    const std::string other = resultFileName(G(title), longExtension, "/in/a.html");
    EXPECT_LE(other.size(), 255u);
    EXPECT_EQ(other.substr(other.size() - 129), "." + std::string(128, 'e'));
    EXPECT_TRUE(isValidUtf8(other));
}

TEST(ResultFileName, ALongNameCanBeWritten) {
    test::TempFolder folder;
    std::string title;
    for (int i = 0; i < 200; ++i)
        title += "长";
    const std::string path = resultFilePath(folder.path(), G(title), "", "/in/a.txt");
    EXPECT_TRUE(writeFileAtomically(path, "x"));
}

TEST(ResultFilePath, JoinsFolderAndName) {
    EXPECT_EQ(resultFilePath("/in/关键词插入结果/", G("news"), "", "/in/news.htm"),
              "/in/关键词插入结果/news.htm");
    EXPECT_EQ(resultFilePath("/in/关键词插入结果", G("news"), "txt", "/in/news.htm"),
              "/in/关键词插入结果/news.txt");
}

TEST(ResultFilePathAt, KeepsTheInputsPlaceInsideTheResultFolder) {
    struct Row {
        std::string relative, newExtension;
        int copy;
        std::string path;
    };
    const std::vector<Row> rows = {
        {"docs/index.html", "", 1, "/r/docs/index.html"},
        {"docs/index.html", "", 2, "/r/docs/index (2).html"},
        {"a/b.txt", "htm", 1, "/r/a/b.htm"},
        {"name.", "", 1, "/r/name."},  // a name is kept byte for byte
        {"./x//y.txt", "", 1, "/r/x/y.txt"},
        {"../../etc/passwd", "", 1, "/r/_../_../etc/passwd"},
        {"", "", 1, "/r/无标题"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(resultFilePathAt("/r", row.relative, G(row.newExtension), row.copy), row.path)
            << row.relative;
}

TEST(TitleOfPath, IsTheBaseNameAsGbk) {
    EXPECT_EQ(titleOfPath("/in/新闻.htm"), G("新闻"));
    EXPECT_EQ(titleOfPath("/in/news"), "news");
    // A name in GBK bytes (unpacked from an archive) is already GBK.
    EXPECT_EQ(titleOfPath("/in/" + G("新闻") + ".txt"), G("新闻"));
}

TEST(TitleOfPath, GbkNamedInputGivesAUtf8ResultName) {
    const std::string input = "/in/" + G("新闻") + ".txt";
    EXPECT_EQ(resultFileName(titleOfPath(input), "", input), "新闻.txt");
}

TEST(ResultFileName, EveryCopyNumberGivesANameOfItsOwn) {
    EXPECT_EQ(resultFileName(G("新闻"), "", "/in/a.txt", 1), "新闻.txt");
    EXPECT_EQ(resultFileName(G("新闻"), "", "/in/a.txt", 2), "新闻 (2).txt");
    EXPECT_EQ(resultFileName(G("新闻"), "", "/in/readme", 3), "新闻 (3)");
    // A title cut at the length limit keeps the copy number.
    const std::string longTitle(400, 'x');
    const std::string second = resultFileName(longTitle, "", "/in/a.txt", 2);
    EXPECT_EQ(second.size(), 255u);
    EXPECT_TRUE(second.ends_with(" (2).txt"));
    EXPECT_NE(second, resultFileName(longTitle, "", "/in/a.txt", 3));
}

}  // namespace
}  // namespace lct
