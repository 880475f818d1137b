#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/big5_tables.h"
#include "platform/charset.h"
#include "platform/gb18030_tables.h"

namespace lct {
namespace {

// The tables must never change a byte of what ICU alone writes: each case
// runs once through ICU only and once along the tables.
class TablesAgreeWithIcu : public ::testing::Test {
  protected:
    void TearDown() override { useIcuOnly(false); }

    static void expectSame(const std::function<std::string()>& convert, const std::string& what) {
        useIcuOnly(true);
        const std::string icu = convert();
        useIcuOnly(false);
        const std::string tables = convert();
        ASSERT_EQ(tables, icu) << what;
    }

    static std::string convert(const std::string& bytes, const char* from, const char* to) {
        return convertCharset(bytes, from, to).value_or("(no converter)");
    }

    static std::string hex(const std::string& bytes) {
        std::string out;
        for (const char c : bytes) {
            const auto b = static_cast<unsigned char>(c);
            out += "0123456789ABCDEF"[b >> 4];
            out += "0123456789ABCDEF"[b & 15];
        }
        return out;
    }
};

constexpr const char* kUnicodeForms[] = {"UTF-8", "UTF-16LE", "UTF-16BE"};

TEST_F(TablesAgreeWithIcu, EveryTwoByteCodeDecodesAlikeInEveryForm) {
    std::string all;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            all += static_cast<char>(lead);
            all += static_cast<char>(trail);
        }
    }
    for (const char* form : kUnicodeForms)
        expectSame([&] { return convert(all, "gb18030", form); }, form);
    expectSame([&] { return gbkToUtf8(all, InvalidBytes::Preserve); }, "preserve");
}

TEST_F(TablesAgreeWithIcu, EveryCharacterOfTheBasicPlaneEncodesAlike) {
    std::u32string text;
    for (char32_t u = 1; u < 0x10000; ++u) {
        if (u < 0xD800 || u > 0xDFFF) text += u;
    }
    text += U"\U00020000\U0010FFFD";
    std::string utf8 =
        convertCharset(std::string(reinterpret_cast<const char*>(text.data()), text.size() * 4),
                       "UTF-32LE", "UTF-8")
            .value();
    for (const char* form : kUnicodeForms) {
        const std::string bytes = form == kUnicodeForms[0] ? utf8 : convert(utf8, "UTF-8", form);
        expectSame([&] { return convert(bytes, form, "gb18030"); }, form);
    }
    expectSame([&] { return utf8ToGbk(utf8); }, "utf8ToGbk");
}

// Short pieces that put the tables' edges next to each other: ASCII, common
// and rare two-byte codes, four-byte sequences, and bytes that are no
// character at all.
const std::vector<std::string> kGbPieces = {"a",
                                            "<p>",
                                            "\r\n",
                                            std::string(1, '\0'),
                                            "\xD6\xD0",
                                            "\xB0\xA1",
                                            "\xA1\xA1",
                                            "\xFE\xFE",
                                            "\x81\x40",
                                            "\xA2\xE3",
                                            "\x81\x30\x81\x30",
                                            "\x84\x31\xA4\x37",
                                            "\x95\x32\x82\x36",
                                            "\xE3\x32\x9A\x35",
                                            "\x80",
                                            "\xFF",
                                            "\x81",
                                            "\x81\x7F",
                                            "\x81\x20",
                                            "\x81\x30",
                                            "\x81\x30\x81",
                                            "\xA0\x30\xFF\x30"};

const std::vector<std::string> kUtf8Pieces = {"a",
                                              "<p>",
                                              "\r\n",
                                              std::string(1, '\0'),
                                              "中",
                                              "文",
                                              "，",
                                              "€",
                                              "\xEF\xBB\xBF",
                                              "\xC2\xA0",
                                              "\xF0\xA0\x80\x80",
                                              "\xF4\x8F\xBF\xBD",
                                              "\xF4\x8F\xBC\x81",
                                              "\x80",
                                              "\xC0\xAF",
                                              "\xE0\x80\xAF",
                                              "\xE0\x82\xB7",
                                              "\xED\xA0\x80",
                                              "\xE4\xB8",
                                              "\xF0\x90",
                                              "\xFF",
                                              "\xF5\x80\x80\x80"};

// Mostly short mixes of any pieces; now and then a long one of the first
// `whole` pieces (those that are characters) and then any piece, which
// crosses the quick loops' blocks at random places.
std::string randomMix(const std::vector<std::string>& pieces, std::size_t whole,
                      std::mt19937& rng) {
    std::string text;
    const bool longMix = rng() % 50 == 0;
    const std::size_t count =
        std::uniform_int_distribution<std::size_t>(0, longMix ? 3000 : 40)(rng);
    const std::size_t last = longMix ? whole - 1 : pieces.size() - 1;
    for (std::size_t i = 0; i < count; ++i)
        text += pieces[std::uniform_int_distribution<std::size_t>(0, last)(rng)];
    if (longMix) text += pieces[rng() % pieces.size()];
    return text;
}

TEST_F(TablesAgreeWithIcu, MixedAndBrokenGb18030DecodesAlike) {
    std::mt19937 rng(18030);
    for (int round = 0; round < 3000; ++round) {
        const std::string gb = randomMix(kGbPieces, 14, rng);
        for (const char* form : kUnicodeForms)
            expectSame([&] { return convert(gb, "gb18030", form); }, hex(gb) + " to " + form);
        expectSame([&] { return gbkToUtf8(gb, InvalidBytes::Preserve); }, hex(gb));
        expectSame([&] { return gbkToUtf8(gb, InvalidBytes::Substitute); }, hex(gb));
    }
}

TEST_F(TablesAgreeWithIcu, MixedAndBrokenUnicodeEncodesAlike) {
    std::mt19937 rng(8);
    for (int round = 0; round < 3000; ++round) {
        const std::string utf8 = randomMix(kUtf8Pieces, 13, rng);
        expectSame([&] { return convert(utf8, "UTF-8", "gb18030"); }, hex(utf8));
        expectSame([&] { return utf8ToGbk(utf8); }, hex(utf8));
        // UTF-16 of the text, cut or with a stray surrogate now and then.
        for (const char* form : {"UTF-16LE", "UTF-16BE"}) {
            std::string utf16 = convert(utf8, "UTF-8", form);
            if (round % 3 == 1 && !utf16.empty()) utf16.pop_back();
            if (round % 5 == 2) utf16.insert(utf16.size() / 2 & ~std::size_t{1}, "\x00\xD8", 2);
            expectSame([&] { return convert(utf16, form, "gb18030"); }, hex(utf16) + " " + form);
        }
    }
}

// Big5 both ways: into the program's text, and out of it exactly (what Big5
// lacks counted and written as references, or only counted).

std::string big5(const std::string& bytes) {
    return convertCharset(bytes, "Big5", "gb18030").value_or("(no converter)");
}

std::string exactBig5(const std::string& gbk, UnencodableChars chars) {
    Unencodable lost;
    const std::string out = encodeGbkExactly(gbk, "Big5", chars, lost).value_or("(none)");
    return out + " lost " + std::to_string(lost.count) + " first " + std::to_string(lost.first);
}

TEST_F(TablesAgreeWithIcu, EveryBig5CodeAndEveryByteAfterALeadDecodesAlike) {
    for (unsigned first = 0x80; first <= 0xFF; ++first) {
        for (unsigned second = 0; second <= 0xFF; ++second) {
            const std::string piece =
                "a" + std::string{static_cast<char>(first), static_cast<char>(second)} + "\xA4\x40";
            expectSame([&] { return big5(piece); }, hex(piece));
        }
    }
}

TEST_F(TablesAgreeWithIcu, EveryCharacterOfTheBasicPlaneEncodesToBig5Alike) {
    std::u32string text;
    for (char32_t u = 1; u < 0x10000; ++u) {
        if (u < 0xD800 || u > 0xDFFF) text += u;
    }
    text += U"\U00020000\U0010FFFD";
    const std::string gbk = utf8ToGbk(
        convertCharset(std::string(reinterpret_cast<const char*>(text.data()), text.size() * 4),
                       "UTF-32LE", "UTF-8")
            .value());
    for (const UnencodableChars chars : {UnencodableChars::Reference, UnencodableChars::Count})
        expectSame([&] { return exactBig5(gbk, chars); }, "every character");
    expectSame([&] { return big5(convertCharset(gbk, "gb18030", "Big5").value()); }, "back");
}

const std::vector<std::string> kBig5Pieces = {
    "a",        "\r\n",     "\xA4\x40", "\xA4\xA4", "\xA1\x40", "\xA3\xE1",
    "\xF9\xD6", "\xC6\xA1", "\xFE\xFE", "\x81\x40", "\x80",     "\xFF",
    "\xA4",     "\xA4\x7F", "\xA4\x80", "\xA4\xA0", "\xA4\x0A", "\xC8\x7E"};

TEST_F(TablesAgreeWithIcu, MixedAndBrokenBig5ConvertsAlike) {
    std::mt19937 rng(950);
    std::vector<std::string> gbPieces = kGbPieces;  // with characters Big5 has and lacks
    for (const char* utf8 : {"國", "们", "€", "·", "\xC2\x80", "\xEF\xA3\xB8", "\xC2\xA0"})
        gbPieces.push_back(utf8ToGbk(utf8));
    for (int round = 0; round < 3000; ++round) {
        const std::string bytes = randomMix(kBig5Pieces, kBig5Pieces.size(), rng);
        expectSame([&] { return big5(bytes); }, hex(bytes));
        const std::string gbk = randomMix(gbPieces, gbPieces.size(), rng);
        for (const UnencodableChars chars : {UnencodableChars::Reference, UnencodableChars::Count})
            expectSame([&] { return exactBig5(gbk, chars); }, hex(gbk));
    }
}

TEST(Big5Tables, CoverPlainTextBothWays) {
    // <p>中文，们</p>: 们 has no Big5 code and becomes a reference.
    const std::string big5 = "<p>\xA4\xA4\xA4\xE5\xA1\x41&#x4EEC;</p>\r\n";
    std::string gb;
    EXPECT_EQ(decodeBig5Run(big5, gb), big5.size());
    EXPECT_EQ(gb, "<p>\xD6\xD0\xCE\xC4\xA3\xAC&#x4EEC;</p>\r\n");
    gb.replace(gb.find('&'), 8, "\xC3\xC7");
    std::string back;
    Unencodable lost;
    EXPECT_EQ(encodeBig5Run(gb, UnencodableChars::Reference, lost, back), gb.size());
    EXPECT_EQ(back, big5);
    EXPECT_EQ(lost.count, 1u);
    EXPECT_EQ(lost.first, U'\u4EEC');
}

struct CharSizeCase {
    std::string bytes;
    std::size_t size;
};

TEST(Gb18030CharSize, CountsWholeCharactersOnly) {
    const CharSizeCase cases[] = {
        {"", 0},
        {"a", 1},
        {"\xD6\xD0", 2},
        {"\x81\x30\x81\x30", 4},
        {"\x81", 0},
        {"\x80\x40", 0},
        {"\xFF\x40", 0},
        {"\x81\x7F", 0},
        {"\x81\x30", 0},
        {"\x81\x30\x81", 0},
        {"\x81\x30\x20\x30", 0},
    };
    for (const CharSizeCase& c : cases)
        EXPECT_EQ(gb18030CharSize(c.bytes), c.size) << c.bytes;
}

TEST(UnicodeCharSize, CountsWellFormedSequencesOnly) {
    const CharSizeCase utf8[] = {
        {"", 0},
        {"a", 1},
        {"\xC2\xA0", 2},
        {"中", 3},
        {"\xF0\xA0\x80\x80", 4},
        {"\xF4\x90\x80\x80", 0},
        {"\xF0\x80\x80\x80", 0},
        {"\xC1\x80", 0},
        {"\xED\xA0\x80", 0},
        {"\xE4\xB8", 0},
        {"\x80", 0},
    };
    for (const CharSizeCase& c : utf8)
        EXPECT_EQ(unicodeCharSize(c.bytes, UnicodeForm::Utf8), c.size);
    const CharSizeCase utf16le[] = {
        {"", 0},
        {"a", 0},
        {std::string("a\0", 2), 2},
        {std::string("\x3D\xD8\x00\xDE", 4), 4},
        {std::string("\x3D\xD8", 2), 0},
        {std::string("\x00\xDE\x00\xDE", 4), 0},
    };
    for (const CharSizeCase& c : utf16le)
        EXPECT_EQ(unicodeCharSize(c.bytes, UnicodeForm::Utf16Le), c.size);
}

}  // namespace
}  // namespace lct
