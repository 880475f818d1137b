#include "engine/script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/chars.h"
#include "gbk.h"

namespace lct {
namespace {

using test::G;
using test::U;

TEST(ConvertScript, ConvertsTraditionalAndSimplifiedBothWays) {
    std::string error = "stale";
    EXPECT_EQ(U(convertScript(G("這是測試"), ScriptConversion::ToSimplified, &error)), "这是测试");
    EXPECT_EQ(error, "");
    EXPECT_EQ(U(convertScript(G("这是测试"), ScriptConversion::ToTraditional)), "這是測試");
}

TEST(ConvertScript, NoneLeavesTheTextAlone) {
    EXPECT_EQ(U(convertScript(G("這是测试"), ScriptConversion::None)), "這是测试");
}

TEST(ConvertScript, KeepsTheLengthInCharacters) {
    const std::vector<std::string> texts = {
        "头发和发展，干燥以后，皇后在里面。我们一起去公园散步，后来下雨了。\r\n",
        "頭髮和發展，乾燥以後，皇后在裡面。歷史上的鐘錶與鍾情。\r\n第二行",
        "台风、台湾、一台电脑。面条和面孔。",
    };
    for (const std::string& utf8 : texts) {
        const std::string text = G(utf8);
        for (ScriptConversion direction :
             {ScriptConversion::ToSimplified, ScriptConversion::ToTraditional}) {
            const std::string out = convertScript(text, direction);
            EXPECT_EQ(charCount(out), charCount(text))
                << utf8 << " " << static_cast<int>(direction);
        }
    }
}

TEST(ConvertScript, AsciiAndMarkupStayAsTheyAre) {
    const std::string text =
        G("<a href=\"http://example.com/?q=1&x=y\">這是</a> plain ASCII 123\r\n");
    EXPECT_EQ(U(convertScript(text, ScriptConversion::ToSimplified)),
              "<a href=\"http://example.com/?q=1&x=y\">这是</a> plain ASCII 123\r\n");
}

TEST(ConvertScript, BytesThatAreNotGbkSurvive) {
    // The tag guard's placeholders, a NUL, a stray 0x80 and a lone lead byte
    // at the end around characters that do convert.
    const std::string text = G("這") + std::string(10, '\xFF') + G("是") + std::string(1, '\0') +
                             G("測") + "\x80" + G("試") + "\xFF\xFF" + "\x81";
    const std::string expected = G("这") + std::string(10, '\xFF') + G("是") +
                                 std::string(1, '\0') + G("测") + "\x80" + G("试") + "\xFF\xFF" +
                                 "\x81";
    EXPECT_EQ(convertScript(text, ScriptConversion::ToSimplified), expected);
    EXPECT_EQ(charCount(convertScript(text, ScriptConversion::ToTraditional)), charCount(text));
}

TEST(ConvertScript, CharacterWithoutGbkCodeBecomesItsFourByteSequence) {
    // The traditional form of 毶 is U+23BF6, which GBK lacks.
    const std::string out = convertScript(G("毶"), ScriptConversion::ToTraditional);
    EXPECT_EQ(out, utf8ToGbk("\U00023BF6"));
    EXPECT_EQ(out.size(), 4u);
    EXPECT_EQ(out.find('?'), std::string::npos);
    EXPECT_EQ(charCount(out), 1);
    // Four-byte characters of the input pass through as they are.
    EXPECT_EQ(convertScript(utf8ToGbk("\U00020000這"), ScriptConversion::ToSimplified),
              utf8ToGbk("\U00020000这"));
}

}  // namespace
}  // namespace lct
