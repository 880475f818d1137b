#include "regex/escape.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gbk.h"
#include "regex/regex_object.h"

namespace lct {
namespace {

struct EscapeCase {
    std::string text;
    std::string all;
    std::string keepAlternation;
    std::string keepGroups;
    std::string wildcard;
};

TEST(Escape, FourHelpers) {
    const std::vector<EscapeCase> cases = {
        {"a|b", "a\\|b", "a|b", "a|b", "a|b"},
        {"a*b?.c", "a\\*b\\?\\.c", "a\\*b\\?\\.c", "a\\*b\\?\\.c", "a.*b.?\\.c"},
        {"(x)", "\\(x\\)", "\\(x\\)", "(x)", "\\(x\\)"},
        {"\\", "\\\\", "\\\\", "\\\\", "\\\\"},
        {"a-b", "a-b", "a-b", "a-b", "a\\-b"},
        {"\"=^$+{}[]", "\\\"\\=\\^\\$\\+\\{\\}\\[\\]", "\\\"\\=\\^\\$\\+\\{\\}\\[\\]",
         "\\\"\\=\\^\\$\\+\\{\\}\\[\\]", "\\\"\\=\\^\\$\\+\\{\\}\\[\\]"},
        {"", "", "", "", ""},
        // Trail bytes 0x5C and 0x7C belong to their characters.
        {"\x81\x5C|", "\x81\x5C\\|", "\x81\x5C|", "\x81\x5C|", "\x81\x5C|"},
        {"\x81\x7C*", "\x81\x7C\\*", "\x81\x7C\\*", "\x81\x7C\\*", "\x81\x7C.*"},
        // A byte below 0x40 is no trail byte: a stray lead byte stands alone
        // and the special character after it is escaped, behind an empty
        // group that keeps the backslash from becoming its trail byte.
        {"\x81\x28", "\x81(?:)\\(", "\x81(?:)\\(", "\x81(", "\x81(?:)\\("},
        {"\x81+0", "\x81(?:)\\+0", "\x81(?:)\\+0", "\x81(?:)\\+0", "\x81(?:)\\+0"},
        {"\x81*", "\x81(?:)\\*", "\x81(?:)\\*", "\x81(?:)\\*", "\x81.*"},
        {"\xFF[", "\xFF\\[", "\xFF\\[", "\xFF\\[", "\xFF\\["},
        {"\x81\x30\x81\x30*", "\x81\x30\x81\x30\\*", "\x81\x30\x81\x30\\*", "\x81\x30\x81\x30\\*",
         "\x81\x30\x81\x30.*"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(escapeAll(c.text), c.all) << c.text;
        EXPECT_EQ(escapeKeepAlternation(c.text), c.keepAlternation) << c.text;
        EXPECT_EQ(escapeKeepGroups(c.text), c.keepGroups) << c.text;
        EXPECT_EQ(wildcardToPattern(c.text), c.wildcard) << c.text;
    }
}

TEST(Escape, EscapedTextMatchesItselfLiterally) {
    const std::string text = test::G("价格(元)：3.5+1=4.5 [含税] {注} ^$ a|b \\ \"引\"");
    RegexObject re;
    ASSERT_TRUE(re.create(escapeAll(text)));
    ASSERT_EQ(re.execute("x" + text + "y"), 1);
    EXPECT_EQ(re.matchText(1), text);
}

// Stray lead bytes (a damaged GBK file) before special characters: found
// by fuzzing: "\x81+0" escaped to a pattern with a live "+", and "\xA1$"
// to one whose backslash paired with the stray byte; a character of
// U+10FF00..U+10FFFF came back as one byte.
TEST(Escape, StrayLeadByteBeforeSpecialMatchesItselfLiterally) {
    const std::vector<std::string> texts = {
        "\x81+0", "a\x81(b", "\xFE$\x81[x]", "\x80*", "\xFF|y", "\xA1$1", "\xA1$\xA1$\xA1\\",
        "\x81\x30$",
        // The GB18030 code of U+10FF02, whose code point stands for a raw byte.
        "\xE3\x32\x81\x32"};
    for (const std::string& text : texts) {
        RegexObject re;
        ASSERT_TRUE(re.create(escapeAll(text), false, false, false)) << text;
        ASSERT_EQ(re.execute("x" + text + "y"), 1) << text;
        EXPECT_EQ(re.matchText(1), text) << text;
    }
}

TEST(Escape, SentenceSeparatorSetOfThePicker) {
    // The sentence separators with ". " and the line break taken out.
    const std::string set = test::G(",，。！!？?;；<>/:：()='{}《》（）、‘’- \"“”");
    EXPECT_EQ(test::U(wildcardToPattern(set)),
              R"(,，。！!？.?;；<>/:：\(\)\='\{\}《》（）、‘’\- \"“”)");
}

}  // namespace
}  // namespace lct
