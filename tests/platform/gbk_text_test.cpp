#include "platform/gbk_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lct {
namespace {

constexpr std::size_t npos = std::string::npos;

struct FindCase {
    const char* name;
    std::string text;
    std::string needle;
    std::size_t from;
    std::size_t expected;
};

TEST(FindAtBoundary, TrailBytesNeverStartAMatch) {
    const std::vector<FindCase> cases = {
        {"Ascii", "ab{H}c", "{H}", 0, 2},
        {"TrailByteIsBrace", "\x81{H}", "{H}", 0, npos},
        {"TrailByteThenRealMatch", "\x81{H}{H}", "{H}", 0, 4},
        {"FourByteSequence", "\x81\x30\x81\x30{", "{", 0, 4},
        {"FourByteSequenceHidesItsOwnBytes", "\x81\x30\x81\x30", "\x30", 0, npos},
        {"LeadByteAtEnd", "a\x81", "\x81", 0, 1},
        {"FromABoundary", "{H}a{H}", "{H}", 1, 4},
        {"FromTheEnd", "{H}", "{H}", 3, npos},
        {"CrAndLfAreCharactersOfTheirOwn", "a\r\nb", "\nb", 0, 2},
        {"EmptyNeedle", "abc", "", 0, npos},
        {"Nothing", "abc", "x", 0, npos},
    };
    for (const FindCase& c : cases)
        EXPECT_EQ(findAtBoundary(c.text, c.needle, c.from), c.expected) << c.name;
}

// With the step of a model where CR LF is one character, an LF after a CR is
// no boundary; the search walks on to the next one.
TEST(FindAtBoundary, TakesTheStepOfAnotherCharacterModel) {
    const std::string text = "\r\n\n\xA1\n";
    const auto crLfJoined = [&text](std::size_t i) {
        if (text.compare(i, 2, "\r\n") == 0) return i + 2;
        return i + gbkCharSize(text, i);
    };
    EXPECT_EQ(findAtBoundary(text, "\n", 0), 1u);
    EXPECT_EQ(findAtBoundary(text, "\n", 0, crLfJoined), 2u);
    EXPECT_EQ(findAtBoundary(text, "\n", 3, crLfJoined), npos);  // the LF is a trail byte
}

TEST(FindBytes, PlainByteSearch) {
    EXPECT_EQ(findBytes("\x81{H}", "{H}"), 1u);  // no character model here
    EXPECT_EQ(findBytes("abcabc", "bc", 2), 4u);
    EXPECT_EQ(findBytes("abc", "abcd"), npos);
    EXPECT_EQ(findBytes("abc", "c", 3), npos);
    EXPECT_EQ(findBytes("abc", ""), npos);
    EXPECT_EQ(findBytes(std::string("a\0b", 3), std::string("\0b", 2)), 1u);
}

struct ReplaceCase {
    const char* name;
    std::string text;
    std::string from;
    std::string to;
    std::string expected;
};

TEST(ReplaceAtBoundaries, EveryOccurrenceLeftToRight) {
    const std::vector<ReplaceCase> cases = {
        {"Spaces", "a b  c", " ", "\xA1\xA1",
         "a\xA1\xA1"
         "b\xA1\xA1\xA1\xA1"
         "c"},
        {"TrailByteKept", "\xB0 a", " ", "_", "\xB0 a"},
        {"NotOverlapping", "aaa", "aa", "b", "ba"},
        {"ToEmpty", "a-b-", "-", "", "ab"},
        {"EmptyFromChangesNothing", "abc", "", "x", "abc"},
    };
    for (const ReplaceCase& c : cases)
        EXPECT_EQ(replaceAtBoundaries(c.text, c.from, c.to), c.expected) << c.name;
}

TEST(SplitAtBoundaries, PiecesBetweenSeparators) {
    using Pieces = std::vector<std::string>;
    EXPECT_EQ(splitAtBoundaries("a{H}b{H}", "{H}"), (Pieces{"a", "b", ""}));
    EXPECT_EQ(splitAtBoundaries("\x81{H}", "{H}"), (Pieces{"\x81{H}"}));
    EXPECT_EQ(splitAtBoundaries("{H}", "{H}"), (Pieces{"", ""}));
    EXPECT_EQ(splitAtBoundaries("abc", "{H}"), (Pieces{"abc"}));
    EXPECT_EQ(splitAtBoundaries("", "{H}"), Pieces{});
}

}  // namespace
}  // namespace lct
