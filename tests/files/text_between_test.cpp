#include "files/text_between.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gbk.h"

namespace lct {
namespace {

using test::G;
using test::U;

struct BetweenCase {
    const char* what;
    std::string text;
    std::string left;
    std::string right;
    int start;
    std::string expected;
    int positionAfter;
};

TEST(TextBetween, CutsBetweenMarkersAndMovesPastTheRightOne) {
    const std::vector<BetweenCase> cases = {
        {"plain", "a[x]b", "[", "]", 1, "x", 5},
        {"letters without case", "<META name=x>", "<meta", ">", 1, " name=x", 14},
        {"starts at the position", "[a][b]", "[", "]", 2, "b", 7},
        {"right marker after the left one", "]x[y]", "[", "]", 1, "y", 6},
        {"empty left marker starts at the position", "abc]", "", "]", 2, "bc", 5},
        {"empty right marker runs to the end", "a=bc", "=", "", 1, "bc", 5},
        {"apostrophes stand for a double quote", "k=\"v\"", "=''", "''", 1, "v", 6},
        {"quotes dropped when quoted markers miss", "k=v;", "=''", ";", 1, "v", 5},
        {"positions count characters", G("中文[字]"), "[", "]", 1, G("字"), 6},
        {"CR LF counts one character", "\r\n[x]", "[", "]", 1, "x", 5},
        {"a trail byte is no marker", "\x81[x]", "[", "]", 1, "", -2},
        {"double-byte letters are not folded",
         "\x81"
         "Ax\x81"
         "az",
         "\x81"
         "a",
         "", 1, "z", 5},
        {"missing left marker", "abc", "[", "]", 1, "", -2},
        {"missing right marker", "[abc", "[", "]", 1, "", -2},
        {"start past the end", "[a]", "[", "]", 9, "", -2},
    };
    for (const BetweenCase& c : cases) {
        int position = c.start;
        EXPECT_EQ(textBetween(c.text, c.left, c.right, position), c.expected) << c.what;
        EXPECT_EQ(position, c.positionAfter) << c.what;
    }
}

TEST(TextBetween, WalksThroughEveryPairThenStaysExhausted) {
    const std::string text = "<a><bb><>";
    int position = 1;
    EXPECT_EQ(textBetween(text, "<", ">", position), "a");
    EXPECT_EQ(textBetween(text, "<", ">", position), "bb");
    EXPECT_EQ(textBetween(text, "<", ">", position), "");
    EXPECT_EQ(position, 10);  // an empty pair is found, not a failure
    EXPECT_EQ(textBetween(text, "<", ">", position), "");
    EXPECT_EQ(position, kTextBetweenExhausted);
    EXPECT_EQ(textBetween("<again>", "<", ">", position), "");
    EXPECT_EQ(position, kTextBetweenExhausted);
}

TEST(TextBetween, LiteralQuotesKeepApostrophes) {
    int position = 1;
    EXPECT_EQ(textBetween("x''y''", "''", "''", position, 0, 0, true), "y");
    position = 1;
    EXPECT_EQ(textBetween("x''y''", "''", "''", position), "");
    EXPECT_EQ(position, kTextBetweenExhausted);
}

TEST(TextBetween, TrimsCharactersAtBothEnds) {
    int position = 1;
    EXPECT_EQ(U(textBetween(G("[中文字]"), "[", "]", position, 1, 1)), "文");
    position = 1;
    EXPECT_EQ(textBetween("[ab]", "[", "]", position, 2, 1), "");
}

}  // namespace
}  // namespace lct
