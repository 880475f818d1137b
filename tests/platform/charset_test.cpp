#include "platform/charset.h"

#include <gtest/gtest.h>

#include <string>

namespace lct {
namespace {

TEST(Charset, GbkAndUtf8RoundTrip) {
    const std::string utf8 = "ab中文，繁體字\r\n";
    const std::string gbk = utf8ToGbk(utf8);
    EXPECT_EQ(gbk.size(), 2u + 2 * 2 + 2 + 3 * 2 + 2);
    EXPECT_EQ(gbkToUtf8(gbk), utf8);
}

TEST(Charset, EveryDoubleByteCodeSurvivesThePreservingRoundTrip) {
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            ASSERT_EQ(utf8ToGbk(gbkToUtf8(bytes, InvalidBytes::Preserve)), bytes)
                << std::hex << lead << " " << trail;
        }
    }
}

TEST(Charset, InvalidBytesArePreserved) {
    const std::string cases[] = {
        std::string("ab\x81"),                 // lone lead byte at the end
        std::string("a\0b\0", 4),              // NUL bytes inside
        std::string(10, '\xFF'),               // the tag guard's placeholder
        std::string("\x80x\xFF\xFF\xD6\xD0"),  // stray bytes around a valid character
        std::string("\x81\x30\x81\x30"),       // a GB18030 four-byte sequence
        std::string("\x81\x20z"),              // a lead byte before a byte that is no trail
    };
    for (const std::string& bytes : cases) {
        const std::string utf8 = gbkToUtf8(bytes, InvalidBytes::Preserve);
        EXPECT_EQ(utf8ToGbk(utf8), bytes);
    }
}

// Invalid bytes that fall where ICU's buffer between the two converters
// fills up must all come through: each takes two units there.
TEST(Charset, InvalidBytesAtEveryPlaceOfTheConvertersBufferArePreserved) {
    for (bool icuAlone : {true, false}) {
        useIcuOnly(icuAlone);
        for (std::size_t ascii = 1000; ascii < 1040; ++ascii) {
            for (const std::string tail : {"\xB6\xFF", "\xFF\xFF\xFF", "\x81\x30\xFF"}) {
                const std::string bytes = "\xFF" + std::string(ascii, 'a') + tail;
                ASSERT_EQ(utf8ToGbk(gbkToUtf8(bytes, InvalidBytes::Preserve)), bytes)
                    << ascii << (icuAlone ? " ICU alone" : " tables");
            }
        }
    }
    useIcuOnly(false);
}

// GB18030 gives U+10FF00..U+10FFFF four-byte codes (E3 32 81 30 onwards), and
// the preserving decoding uses those code points for raw bytes: such a
// character must still come back as its four bytes, found fuzzing the regex.
TEST(Charset, CharactersOfTheRawByteRangeSurviveThePreservingRoundTrip) {
    const auto gb18030 = [](unsigned k) {
        return std::string{'\xE3', '\x32', static_cast<char>(0x81 + k / 10),
                           static_cast<char>(0x30 + k % 10)};
    };
    for (bool icuAlone : {false, true}) {
        useIcuOnly(icuAlone);
        for (unsigned k = 0; k < 256; ++k) {
            const std::string c = gb18030(k);
            // Alone, in text, after an invalid byte (ICU takes the rest), and
            // across the decoder's 64 KiB chunks.
            for (const std::string& bytes :
                 {c, "a" + c + "\xD6\xD0", "\xFF" + c + c, "\x80" + std::string(65533, 'a') + c,
                  "\x80" + std::string(65534, 'a') + c + "\x81"}) {
                const std::string utf8 = gbkToUtf8(bytes, InvalidBytes::Preserve);
                ASSERT_EQ(utf8ToGbk(utf8), bytes) << k << (icuAlone ? " ICU alone" : " tables");
            }
        }
    }
    useIcuOnly(false);
    // Around it, text decodes as before.
    EXPECT_EQ(gbkToUtf8("\xFF\xD6\xD0" + gb18030(5), InvalidBytes::Preserve).substr(4, 3), "中");
    // Shown to people, it is the character it is.
    EXPECT_EQ(gbkToUtf8(gb18030(0)), "\xF4\x8F\xBC\x80");
}

TEST(Charset, SubstitutionShowsInvalidBytesAsReplacementCharacter) {
    EXPECT_EQ(gbkToUtf8("a\xFF"), "a\xEF\xBF\xBD");
}

TEST(Charset, CharactersOutsideGbkBecomeFourByteSequences) {
    const std::string gbk = utf8ToGbk("😀");
    ASSERT_EQ(gbk.size(), 4u);
    EXPECT_EQ(gbkToUtf8(gbk), "😀");
}

TEST(Charset, ConvertCharsetBetweenNamedCharsets) {
    const auto big5 = convertCharset(utf8ToGbk("這是測試"), "gb18030", "Big5");
    ASSERT_TRUE(big5.has_value());
    EXPECT_EQ(big5->size(), 8u);
    const auto back = convertCharset(*big5, "Big5", "UTF-8");
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, "這是測試");

    const auto utf16 = convertCharset("ab", "UTF-8", "UTF-16LE");
    ASSERT_TRUE(utf16.has_value());
    EXPECT_EQ(*utf16, std::string("a\0b\0", 4));  // no byte-order mark
}

TEST(Charset, UnknownCharsetGivesNothing) {
    EXPECT_FALSE(convertCharset("x", "no-such-charset", "UTF-8").has_value());
}

TEST(Charset, Utf8LengthCountsCodePoints) {
    EXPECT_EQ(utf8Length(""), 0u);
    EXPECT_EQ(utf8Length("a中😀"), 3u);
}

}  // namespace
}  // namespace lct
