#include "settings/value_forms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "gbk.h"

namespace lct {
namespace {

using test::G;
using namespace std::string_literals;

struct EscapeCase {
    const char* name;
    std::string text;
    std::string stored;
};

TEST(LineBreakEscape, OnlyCrLfIsEscaped) {
    const std::vector<EscapeCase> cases = {
        {"Empty", "", ""},
        {"NoBreak", "abc", "abc"},
        {"CrLf", "a\r\nb", G("a┊*┊b")},
        {"TwoBreaks", "\r\n\r\n", G("┊*┊┊*┊")},
        {"LoneCr", "a\rb", "a\rb"},
        {"LoneLf", "a\nb", "a\nb"},
        {"LfCr", "a\n\rb", "a\n\rb"},
        {"CrCrLf", "a\r\r\nb", G("a\r┊*┊b")},
        {"Chinese", G("第一行\r\n第二行"), G("第一行┊*┊第二行")},
        {"BarDoubled", G("a┊b"), G("a┊┊b")},
        {"MarkItselfSurvives", G("a┊*┊b"), G("a┊┊*┊┊b")},
        {"BarBeforeBreak", G("┊*\r\n"), G("┊┊*┊*┊")},
        {"StrayLeadByteBeforeBreak", "T\xFF\r\nx", "T\xFF" + G("┊*┊") + "x"},
        {"StrayLeadByteAtTheEnd", "\xFF\r\n", "\xFF" + G("┊*┊")},
    };
    for (const EscapeCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(escapeLineBreaks(c.text), c.stored);
        EXPECT_EQ(unescapeLineBreaks(c.stored), c.text);
    }
}

TEST(LineBreakEscape, ALoneBarOfEarlierVersionsStaysABar) {
    EXPECT_EQ(unescapeLineBreaks(G("a┊b┊")), G("a┊b┊"));
    EXPECT_EQ(unescapeLineBreaks(G("┊*")), G("┊*"));
}

// Escaping and unescaping agree on every byte string, whatever the bytes
// around a line break or a bar (stray lead bytes, bars across characters).
TEST(LineBreakEscape, RoundTripsRandomByteStrings) {
    std::uint64_t state = 0x9E3779B97F4A7C15u;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    // Bytes drawn mostly from those that matter here, so that marks, bars and
    // line breaks meet in every arrangement.
    const std::string alphabet =
        "\r\n*\xA9\xA6\x81\xFF"
        "a";
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const std::size_t size = next() % 24;
        for (std::size_t i = 0; i < size; ++i) {
            const std::uint64_t r = next();
            text += r % 4 == 0 ? static_cast<char>(r >> 8)
                               : alphabet[static_cast<std::size_t>(r >> 8) % alphabet.size()];
        }
        const std::string stored = escapeLineBreaks(text);
        ASSERT_EQ(stored.find("\r\n"), std::string::npos);
        ASSERT_EQ(unescapeLineBreaks(stored), text) << ::testing::PrintToString(text);
    }
}

struct NumberFormCase {
    double value;
    const char* stored;
};

TEST(NumberForm, ThirteenSignificantDigits) {
    const std::vector<NumberFormCase> cases = {
        {0, "0"},
        {100, "100"},
        {0.5, "0.5"},
        {-3, "-3"},
        {2.25, "2.25"},
        {1.0 / 3.0, "0.3333333333333"},
        {1234567890123.0, "1234567890123"},
        {12345678901234.0, "1.234567890123e+13"},
        {0.0001, "0.0001"},
        {0.00001, "1e-05"},
        {16777215, "16777215"},
    };
    for (const NumberFormCase& c : cases)
        EXPECT_EQ(formatNumber(c.value), c.stored) << c.value;
}

struct ParseCase {
    std::string text;
    double value;
};

TEST(NumberParse, LeadingDecimalNumber) {
    const std::vector<ParseCase> cases = {
        {"100", 100},
        {"0.5", 0.5},
        {"-3", -3},
        {"+7", 7},
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {"  42", 42},
        {"1e3", 1000},
        {"1e", 1},
        {"1e+", 1},
        {"2.5E-1x", 0.25},
        {".5", 0.5},
        {"5.", 5},
        {".", 0},
        {"-", 0},
        {"0x10", 0},
        {"inf", 0},
        {"nan", 0},
        {"1,5", 1},
        {G("１２３"), 123},
        {G("－４．５"), -4.5},
        {G("１２元"), 12},
        {G("　７"), 7},
        {G("十"), 0},
        {G("真"), 0},
        {"1e999", std::numeric_limits<double>::infinity()},
        {"1e-999", 0},
        {"1234567890123", 1234567890123.0},
    };
    for (const ParseCase& c : cases)
        EXPECT_EQ(parseNumber(c.text), c.value) << test::U(c.text);
}

TEST(NumberParse, StoredFormReadsBack) {
    for (const double v : {0.0, 1.0, -2.5, 100.0, 0.1, 123456.789, 1e-7, 1e20})
        EXPECT_DOUBLE_EQ(parseNumber(formatNumber(v)), v) << v;
}

TEST(HalfWidth, FullWidthFormsBecomeAscii) {
    EXPECT_EQ(toHalfWidth(G("ＡＢＣ１２３！｝")), "ABC123!}");
    EXPECT_EQ(toHalfWidth(G("　")), " ");
    EXPECT_EQ(toHalfWidth(G("中文ａ")), G("中文") + "a");
    EXPECT_EQ(toHalfWidth(G("￥")), G("￥"));
    // A3 as a trail byte (B0 A3) is part of another character.
    EXPECT_EQ(toHalfWidth("\xB0\xA3\xB0"), "\xB0\xA3\xB0");
}

struct IntegerCase {
    const char* text;
    std::int64_t value;
};

TEST(IntegerParse, SignDigitsAndClamping) {
    const std::vector<IntegerCase> cases = {
        {"0", 0},
        {"42", 42},
        {"-42", -42},
        {"+5", 5},
        {"7x", 7},
        {"x7", 0},
        {"", 0},
        {" 7", 0},
        {"9223372036854775807", std::numeric_limits<std::int64_t>::max()},
        {"9223372036854775808", std::numeric_limits<std::int64_t>::max()},
        {"-9223372036854775808", std::numeric_limits<std::int64_t>::min()},
        {"-99999999999999999999", std::numeric_limits<std::int64_t>::min()},
    };
    for (const IntegerCase& c : cases)
        EXPECT_EQ(parseInteger(c.text), c.value) << c.text;
}

TEST(BoolForm, TrueAndFalse) {
    EXPECT_EQ(boolText(true), G("真"));
    EXPECT_EQ(boolText(false), G("假"));
}

}  // namespace
}  // namespace lct
