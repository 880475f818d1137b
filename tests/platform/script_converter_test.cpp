#include "platform/script_converter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/charset.h"

namespace lct {
namespace {

// A stand-in for OpenCC with a phrase that changes the length: "ab" becomes
// "x"; single letters become upper case; "w" becomes two characters.
std::optional<std::string> fakeConvert(std::string_view piece) {
    std::string out;
    for (std::size_t i = 0; i < piece.size(); ++i) {
        if (piece.substr(i, 2) == "ab") {
            out += 'x';
            ++i;
        } else if (piece[i] == 'w') {
            out += "ww";
        } else if (piece[i] >= 'a' && piece[i] <= 'z') {
            out += static_cast<char>(piece[i] - 'a' + 'A');
        } else {
            out += piece[i];
        }
    }
    return out;
}

struct KeepCase {
    std::string in;
    std::string expected;
};

TEST(ConvertKeepingLength, FallsBackToSingleCharactersOnlyForTheLineThatChanged) {
    const std::vector<KeepCase> cases = {
        {"cd", "CD"},
        {"abc", "ABC"},        // "x" + "C" would be shorter: one character at a time
        {"ab\ncd", "AB\nCD"},  // the second line keeps its whole conversion
        {"cd\nab", "CD\nAB"},
        {"w", "w"},  // a character that would become two stays
        {"abz\r\nw", "ABZ\r\nw"},
        {"", ""},
    };
    for (const auto& c : cases) {
        const auto out = convertKeepingLength(c.in, fakeConvert);
        ASSERT_TRUE(out.has_value()) << c.in;
        EXPECT_EQ(*out, c.expected) << c.in;
        EXPECT_EQ(utf8Length(*out), utf8Length(c.in)) << c.in;
    }
}

TEST(ConvertKeepingLength, NulAndRawBytePointsNeverReachTheConverter) {
    const std::string rawFF = "\xF4\x8F\xBF\xBF";  // U+10FFFF: the byte 0xFF
    const std::string raw81 = "\xF4\x8F\xBE\x81";  // U+10FF81
    const std::string in = "a" + rawFF + rawFF + "b" + std::string(1, '\0') + "c" + raw81;
    std::vector<std::string> seen;
    const PieceConverter recorder = [&](std::string_view piece) {
        seen.emplace_back(piece);
        return fakeConvert(piece);
    };
    const auto out = convertKeepingLength(in, recorder);
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(*out, "A" + rawFF + rawFF + "B" + std::string(1, '\0') + "C" + raw81);
    for (const std::string& piece : seen) {
        EXPECT_EQ(piece.find('\0'), std::string::npos);
        EXPECT_EQ(piece.find("\xF4\x8F"), std::string::npos);
    }
}

TEST(ConvertKeepingLength, AFailingConverterFailsTheWhole) {
    const PieceConverter failing = [](std::string_view) { return std::optional<std::string>(); };
    EXPECT_FALSE(convertKeepingLength("abc", failing).has_value());
    EXPECT_TRUE(convertKeepingLength(std::string(1, '\0'), failing).has_value());
}

TEST(ScriptConverter, ConvertsBothWays) {
    const ScriptConverter& t2s = scriptConverter(ScriptDirection::TraditionalToSimplified);
    const ScriptConverter& s2t = scriptConverter(ScriptDirection::SimplifiedToTraditional);
    ASSERT_TRUE(t2s.ok()) << t2s.error();
    ASSERT_TRUE(s2t.ok()) << s2t.error();
    EXPECT_EQ(t2s.convert("這是測試"), "这是测试");
    EXPECT_EQ(s2t.convert("这是测试"), "這是測試");
    EXPECT_EQ(&t2s, &scriptConverter(ScriptDirection::TraditionalToSimplified));
}

TEST(ScriptConverter, MissingConfigurationIsReportedNotThrown) {
    const ScriptConverter missing(std::string("no-such-config.json"));
    EXPECT_FALSE(missing.ok());
    EXPECT_FALSE(missing.error().empty());
    EXPECT_FALSE(missing.convert("這").has_value());
}

TEST(ScriptConverter, InvalidUtf8IsReportedNotThrown) {
    const ScriptConverter& t2s = scriptConverter(ScriptDirection::TraditionalToSimplified);
    EXPECT_FALSE(t2s.convert("\xFF\xFE").has_value());
    EXPECT_FALSE(t2s.error().empty());
    EXPECT_TRUE(t2s.convert("ok").has_value());
    EXPECT_TRUE(t2s.error().empty());
}

}  // namespace
}  // namespace lct
