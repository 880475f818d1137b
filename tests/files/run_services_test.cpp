#include "files/run_services.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace lct
