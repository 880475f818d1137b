#include "engine/lists.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/line_breaks.h"
#include "gbk.h"

namespace lct {
namespace {

using test::G;
using Pieces = std::vector<std::string>;

struct SplitCase {
    std::string text;
    std::string separator;
    Pieces expected;
};

TEST(SplitList, KeepsInnerEmptyPiecesAndDropsOneTrailingOne) {
    const std::vector<SplitCase> cases = {
        {"a||b", "|", {"a", "", "b"}},
        {"a|b|", "|", {"a", "b"}},
        {"a||", "|", {"a", ""}},
        {"|", "|", {""}},
        {"||", "|", {"", ""}},
        {"", "|", {}},
        {"abc", "|", {"abc"}},
        {"abc", "", {"abc"}},
        {"a\r\n\r\nb\r\n", "\r\n", {"a", "", "b"}},
        {"a\r\nb\rc", "\r\n", {"a", "b\rc"}},
        {"a\r\nb\rc", "\r", {"a\r\nb", "c"}},              // CR LF never split
        {"\x81|x|y", "|", {"\x81|x", "y"}},                // the trail byte 0x7C is no separator
        {"a\xB0\r\nb\r\nc", "\r\n", {"a\xB0\r\nb", "c"}},  // a stray lead byte takes the CR
        {"a\n\r\n", "\n", {"a", "\r\n"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitList(c.text, c.separator), c.expected) << c.text;
}

TEST(SplitSymbolList, TurnsTheLineBreakEscapeIntoCrLf) {
    EXPECT_EQ(splitSymbolList(G("。|\\n|，")), (Pieces{G("。"), "\r\n", G("，")}));
    EXPECT_EQ(splitSymbolList(" |" + G("，")), (Pieces{" ", G("，")}));
    EXPECT_EQ(splitSymbolList("a\\nb"), (Pieces{"a\r\nb"}));
    EXPECT_EQ(splitSymbolList("||"), (Pieces{"", ""}));
    EXPECT_EQ(splitSymbolList(""), (Pieces{}));
    // A double-byte character whose trail byte is a backslash, then "n".
    EXPECT_EQ(splitSymbolList("\x81\\n"), (Pieces{"\x81\\n"}));
}

TEST(LineBreakEscape, IsFoundOnlyAsItsOwnCharacters) {
    EXPECT_TRUE(hasLineBreakEscape(G("。|\\n")));
    EXPECT_FALSE(hasLineBreakEscape(G("。|，")));
    EXPECT_FALSE(hasLineBreakEscape("\x81\\n"));
    EXPECT_EQ(expandLineBreakEscapes("a\\n\\nb\\"), "a\r\n\r\nb\\");
}

TEST(LineBreaks, ConvertBothWaysWithoutTouchingCrLfOrLoneCr) {
    EXPECT_EQ(lfToCrLf("a\nb\r\nc\rd\n"), "a\r\nb\r\nc\rd\r\n");
    EXPECT_EQ(lfToCrLf("\n\n"), "\r\n\r\n");
    EXPECT_EQ(crLfToLf("a\r\nb\rc\n\r\r\n"), "a\nb\rc\n\r\n");
    const std::string lf = "x\ny\n\nz";
    EXPECT_EQ(crLfToLf(lfToCrLf(lf)), lf);
    for (const std::string text : {"\n", "\n\nab\n", "a\nb\n\n\nc", "no break"}) {
        std::string roomy = text;
        roomy.reserve(text.size() + 8);
        ASSERT_TRUE(lfToCrLfInPlace(roomy)) << text;
        EXPECT_EQ(roomy, lfToCrLf(text)) << text;
    }
}

}  // namespace
}  // namespace lct
