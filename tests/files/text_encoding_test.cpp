#include "files/text_encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gbk.h"

namespace lct {
namespace {

using test::G;

struct Utf8Case {
    const char* what;
    std::string bytes;
    bool looksLikeUtf8;
    bool valid;
};

TEST(Utf8Test, SeesSequencesByTheirBitPatterns) {
    const std::vector<Utf8Case> cases = {
        {"empty", "", false, true},
        {"pure ASCII", "plain text\r\n", false, true},
        {"two-byte sequence", "caf\xC3\xA9", true, true},
        {"three-byte sequences", "中文 text", true, true},
        {"four-byte sequence", "smile 😀", true, true},
        {"four-byte sequence with three-byte ones", "中😀文", true, true},
        {"lead C0 passes the test but is overlong", "\xC0\x80", true, false},
        {"lead C1 passes the test but is overlong", "a\xC1\xBF", true, false},
        {"overlong three-byte form", "\xE0\x80\x80", true, false},
        {"surrogate", "\xED\xA0\x80", true, false},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", true, false},
        {"lead F5", "\xF5\x80\x80\x80", false, false},
        {"stray continuation byte", "a\x80z", false, false},
        {"two-byte sequence cut off at the end", "ab\xC3", false, false},
        {"three-byte sequence cut off at the end", "\xE4\xB8", false, false},
        {"four-byte sequence cut off at the end", "\xF0\x9F\x98", false, false},
        {"GBK text", G("中文的内容"), false, false},
        {"lead followed by ASCII", "\xE4x\xAD", false, false},
        {"three-byte edges of each lead", "\xE0\xA0\x80\xE1\x80\x80\xED\x9F\xBF\xEF\xBF\xBF", true,
         true},
        {"three-byte sequence cut after text", "中文\xEF\xBC", false, false},
        {"long run of three-byte forms", "中文中文中文中文中文中文", true, true},
        {"surrogate within a long run", "中文中文\xED\xA0\x80中文中文", true, false},
        {"overlong form within a long run", "中文中文\xE0\x80\x80中文中文", true, false},
        {"lead E0 within a long run", "中文中文\xE0\xA0\x80中文中文", true, true},
        {"ASCII within a long run", "中文中文\xE4\xB8x文中文中文", false, false},
        {"three-byte lead followed by a lead", "中\xE4\xE4\xB8\xAD", false, false},
    };
    for (const Utf8Case& c : cases) {
        EXPECT_EQ(looksLikeUtf8(c.bytes), c.looksLikeUtf8) << c.what;
        EXPECT_EQ(isValidUtf8(c.bytes), c.valid) << c.what;
    }
}

TEST(EncodingFromIndex, MapsComboIndexesAndRejectsOthers) {
    EXPECT_EQ(encodingFromIndex(0), TextEncoding::Detect);
    EXPECT_EQ(encodingFromIndex(1), TextEncoding::Gbk);
    EXPECT_EQ(encodingFromIndex(5), TextEncoding::Big5);
    EXPECT_EQ(encodingFromIndex(6), TextEncoding::Big5Hkscs);
    EXPECT_EQ(encodingFromIndex(7), TextEncoding::Detect);
    EXPECT_EQ(encodingFromIndex(-1), TextEncoding::Detect);
}

struct ConvertCase {
    const char* from;
    const char* to;
    std::string in;
    std::string out;
};

TEST(ConvertCharset, ConvertsBetweenTheInternalCharsetAndEveryFileCharset) {
    const std::vector<ConvertCase> cases = {
        {"gb18030", "UTF-8", G("中文a"), "中文a"},
        {"UTF-8", "gb18030", "中文a", G("中文a")},
        {"gb18030", "UTF-16LE", G("中a"), std::string("\x2D\x4E\x61\x00", 4)},
        {"UTF-16LE", "gb18030", std::string("\x2D\x4E\x61\x00", 4), G("中a")},
        {"gb18030", "UTF-16BE", G("中a"), std::string("\x4E\x2D\x00\x61", 4)},
        {"UTF-16BE", "gb18030", std::string("\x4E\x2D\x00\x61", 4), G("中a")},
        {"gb18030", "Big5", G("這是測試"), "\xB3\x6F\xAC\x4F\xB4\xFA\xB8\xD5"},
        {"Big5", "gb18030", "\xB3\x6F\xAC\x4F\xB4\xFA\xB8\xD5", G("這是測試")},
        {"gb18030", "BIG5-HKSCS", G("嘅"), "\x9D\xEF"},
        {"ibm-1375", "gb18030", "\x9D\xEF", G("嘅")},
        {"GB18030", "UTF-8", G("😀"), "😀"},
        {"UTF-8", "gb18030", "", ""},
    };
    for (const ConvertCase& c : cases)
        EXPECT_EQ(convertCharset(c.in, c.from, c.to).value_or(""), c.out)
            << c.from << " -> " << c.to;
}

TEST(ConvertCharset, AddsNoByteOrderMark) {
    EXPECT_EQ(convertCharset("a", "UTF-8", "UTF-16LE").value_or(""), std::string("a\0", 2));
    EXPECT_EQ(convertCharset("a", "UTF-8", "UTF-16BE").value_or(""), std::string("\0a", 2));
    EXPECT_EQ(convertCharset(G("a"), "gb18030", "UTF-8").value_or(""), "a");
}

TEST(ConvertCharset, UnknownCharsetGivesNothing) {
    EXPECT_EQ(convertCharset("abc", "no-such-charset", "UTF-8").value_or(""), "");
    EXPECT_EQ(convertCharset("abc", "UTF-8", "no-such-charset").value_or(""), "");
}

TEST(ConvertCharset, MissingCharactersBecomeSubstitutes) {
    // Simplified characters that Big5 lacks.
    EXPECT_EQ(convertCharset(G("这个"), "gb18030", "Big5").value_or(""), "??");
}

}  // namespace
}  // namespace lct
