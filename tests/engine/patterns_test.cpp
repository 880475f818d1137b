#include "engine/patterns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gbk.h"
#include "regex/regex_object.h"

namespace lct {
namespace {

using test::G;

// isBlank must say what replacing the blank-line pattern by "" says.
TEST(IsBlank, AgreesWithTheBlankLinePattern) {
    const std::vector<std::string> texts = {
        "",     " ",    "\t \t", G("　"), "\r\n", "\r\n\r\n", "  \r\n\t", G(" 　\r\n　 \r\n"),
        "a",    " a ",  "\r",    "\n",    " \r",  "\r\n\n",   G("中"),    "\xFF\xFF",
        "\x81", "\xA1", "x\r\n",
    };
    RegexObject blank;
    ASSERT_TRUE(blank.create(blankLinePattern()));
    for (const std::string& t : texts) {
        const std::string replaced = blank.replace(t, "");
        ASSERT_FALSE(blank.runFailed());
        EXPECT_EQ(isBlank(t), replaced.empty()) << test::U(t);
    }
}

TEST(Patterns, BlankLinePatternTrimsAndDeletesBlankLines) {
    RegexObject blank;
    ASSERT_TRUE(blank.create(blankLinePattern()));
    EXPECT_EQ(blank.replace(G("  甲 \r\n \t\r\n　乙　\r\n丙"), ""), G("甲\r\n乙\r\n丙"));
}

TEST(Patterns, TagPatternRemovesTags) {
    RegexObject tag;
    ASSERT_TRUE(tag.create(tagPattern()));
    EXPECT_EQ(tag.replace(G("<a href='x'>链接</a>\r\n<br\r\n/>"), ""), G("链接") + "\r\n");
}

}  // namespace
}  // namespace lct
