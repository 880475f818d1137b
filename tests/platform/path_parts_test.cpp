#include "platform/path_parts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lct {
namespace {

struct PartsCase {
    std::string path;
    std::string folderPart;
    std::string namePart;
    std::string folderOf;
    std::string sibling;  // siblingPath(path, "x")
};

TEST(PathParts, FolderAndNameOfEveryShapeOfPath) {
    const std::vector<PartsCase> cases = {
        {"a.txt", "", "a.txt", ".", "x"},
        {"dir/a.txt", "dir", "a.txt", "dir", "dir/x"},
        {"/a", "", "a", "/", "/x"},
        {"/home/u/s.ini", "/home/u", "s.ini", "/home/u", "/home/u/x"},
        {"dir/", "dir", "", "dir", "dir/x"},
        {"//a", "/", "a", "/", "//x"},
        {"a//b", "a/", "b", "a/", "a//x"},
        {"", "", "", ".", "x"},
        {"文件夹/文章.txt", "文件夹", "文章.txt", "文件夹", "文件夹/x"},
    };
    for (const PartsCase& c : cases) {
        EXPECT_EQ(folderPart(c.path), c.folderPart) << c.path;
        EXPECT_EQ(namePart(c.path), c.namePart) << c.path;
        EXPECT_EQ(folderOf(c.path), c.folderOf) << c.path;
        EXPECT_EQ(siblingPath(c.path, "x"), c.sibling) << c.path;
    }
}

}  // namespace
}  // namespace lct
