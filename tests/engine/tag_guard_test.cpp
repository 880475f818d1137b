#include "engine/tag_guard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/chars.h"
#include "gbk.h"

namespace lct {
namespace {

using test::G;
const std::string& P() {
    return TagGuard::defaultPlaceholder();
}

TEST(TagGuard, Placeholders) {
    EXPECT_EQ(TagGuard::defaultPlaceholder(), std::string(10, '\xFF'));
    EXPECT_EQ(TagGuard::shortPlaceholder(), std::string(2, '\xFF'));
    EXPECT_EQ(charCount(TagGuard::shortPlaceholder()), 1);
}

struct ProtectCase {
    std::string text;
    std::string protectedText;
    std::vector<std::string> tags;
};

TEST(TagGuard, ProtectFindsEveryTagAndNothingElse) {
    const std::vector<ProtectCase> cases = {
        {"a<b>c</b>", "a" + P() + "c" + P(), {"<b>", "</b>"}},
        {"x > y <i>z</i>", "x > y " + P() + "z" + P(), {"<i>", "</i>"}},
        {"<<a>", "<" + P(), {"<a>"}},
        {"<a>b>", P() + "b>", {"<a>"}},
        {"a < b", "a < b", {}},
        {"<>", P(), {"<>"}},
        {"", "", {}},
        {"<a\r\nhref='x'>t", P() + "t", {"<a\r\nhref='x'>"}},
        // A '>' that is the trail byte of a double-byte character ends no tag.
        {"<a\x81>b>", P(), {"<a\x81>b>"}},
        {G("<p>中文</p>"), P() + G("中文") + P(), {"<p>", "</p>"}},
        // Tags whose sizes take two and three bytes to keep.
        {"<" + std::string(200, 'a') + ">b<" + std::string(20000, 'c') + ">",
         P() + "b" + P(),
         {"<" + std::string(200, 'a') + ">", "<" + std::string(20000, 'c') + ">"}},
    };
    for (const auto& c : cases) {
        TagGuard guard;
        EXPECT_EQ(guard.protect(c.text), c.protectedText) << c.text;
        EXPECT_EQ(guard.savedTags(), c.tags) << c.text;
        EXPECT_EQ(guard.restore(guard.protect(c.text)), c.text) << c.text;
    }
}

// A character holding a 0xFF byte (found only in damaged text) is kept like a
// tag, so that restore never takes it for a placeholder.
TEST(TagGuard, CharactersHoldingByteFFAreKeptLikeTags) {
    const std::string S = TagGuard::shortPlaceholder();
    const std::vector<ProtectCase> cases = {
        {"a\xFF\xFF\xFF\xFF"
         "b</b>",
         "a" + S + S + "b" + S,
         {"\xFF\xFF", "\xFF\xFF", "</b>"}},
        {"\xFFx<i>", S + S, {"\xFFx", "<i>"}},
        {"\x81\xFF<i>", S + S, {"\x81\xFF", "<i>"}},
        {"<p>\xFF", S + S, {"<p>", "\xFF"}},
        // Inside a tag the byte goes with the tag.
        {"<a \xFF\xFF>z", S + "z", {"<a \xFF\xFF>"}},
        // A lead byte 0xFF takes the "<" after it along: no tag starts there.
        {"\xFF<b>", S + "b>", {"\xFF<"}},
    };
    for (const auto& c : cases) {
        TagGuard guard;
        const std::string hidden = guard.protect(c.text, S);
        EXPECT_EQ(hidden, c.protectedText) << c.text;
        EXPECT_EQ(guard.savedTags(), c.tags) << c.text;
        EXPECT_EQ(guard.restore(hidden), c.text) << c.text;
    }
}

// Regions are hidden whole, one placeholder each; the tags between them only
// when asked; a 0xFF byte between them is kept like a tag either way.
TEST(TagGuard, ProtectRegionsHidesEachRegionWhole) {
    const std::string S = TagGuard::shortPlaceholder();
    const std::string text = "<p>a<a href=x>b<i>c</i></a>\xFF\xFF<b>d</b>";
    const std::vector<ByteRange> regions = {{4, 27}};
    for (const bool tags : {true, false}) {
        TagGuard guard;
        const std::string hidden = guard.protectRegions(text, regions, tags, S);
        EXPECT_EQ(hidden, tags ? S + "a" + S + S + S + "d" + S : "<p>a" + S + S + "<b>d</b>");
        EXPECT_EQ(guard.restore(hidden), text);
    }
}

TEST(TagGuard, StripRemovesTags) {
    EXPECT_EQ(TagGuard::strip("<p>text</p>"), "text");
    EXPECT_EQ(TagGuard::strip("x > y <i>z</i>"), "x > y z");
    EXPECT_EQ(TagGuard::strip(""), "");
}

TEST(TagGuard, RestoreAfterReorderingPutsTagsBackInTheirOrder) {
    TagGuard guard;
    const std::string shortP = TagGuard::shortPlaceholder();
    const std::string prot = guard.protect("<b>one</b>|<i>two</i>", shortP);
    ASSERT_EQ(prot, shortP + "one" + shortP + "|" + shortP + "two" + shortP);
    // Swap the two halves: the k-th placeholder now receives the k-th tag.
    const std::string swapped = shortP + "two" + shortP + "|" + shortP + "one" + shortP;
    EXPECT_EQ(guard.restore(swapped), "<b>two</b>|<i>one</i>");
}

TEST(TagGuard, RestoreWithSurplusOrMissingPlaceholders) {
    TagGuard guard;
    guard.protect("<a>x<b>");
    EXPECT_EQ(guard.restore(P() + "y"), "<a>y");                // tags left over
    EXPECT_EQ(guard.restore(P() + P() + P()), "<a><b>" + P());  // placeholder left over
    EXPECT_EQ(guard.restore("none"), "none");
}

TEST(TagGuard, ProtectWithoutSaveKeepsTheSavedTags) {
    TagGuard guard;
    guard.protect("<a>");
    EXPECT_EQ(guard.protect("<x>y", "#", false), "#y");
    EXPECT_EQ(guard.savedTags(), std::vector<std::string>{"<a>"});
    EXPECT_EQ(guard.restore(P()), "<a>");
}

TEST(TagGuard, RestoreTakingTheTextOverGivesTheSameText) {
    std::string page;
    for (int i = 0; i < 300'000; ++i)
        page += "<b>" + G("正文") + "</b>x";
    TagGuard guard;
    std::string hidden = guard.protect(page, TagGuard::shortPlaceholder());
    EXPECT_EQ(guard.restoreAfter("<h>", std::move(hidden)), "<h>" + page);
    EXPECT_TRUE(hidden.empty());  // NOLINT(bugprone-use-after-move): taken over
}

TEST(TagGuard, FiftyThousandTagsInOneMegabyte) {
    std::string page;
    for (int i = 0; i < 50'000; ++i)
        page += "<span class=x>" + G("正文") + "</span>";
    TagGuard guard;
    const std::string prot = guard.protect(page, TagGuard::shortPlaceholder());
    EXPECT_EQ(guard.savedTags().size(), 100'000u);
    EXPECT_EQ(guard.restore(prot), page);
    EXPECT_EQ(TagGuard::strip(page).size(), 50'000u * 4);
}

TEST(TagGuard, ManyOpeningBracketsWithoutClosingOneStayLinear) {
    const std::string text = std::string(200'000, '<') + ">" + std::string(200'000, '>');
    TagGuard guard;
    const std::string prot = guard.protect(text);
    EXPECT_EQ(guard.savedTags(), std::vector<std::string>{"<>"});
    EXPECT_EQ(guard.restore(prot), text);
}

}  // namespace
}  // namespace lct

namespace lct {
namespace {

// Tags by the plain definition: a "<" at a character start, closed by the
// next ">" at a character start; a later "<" before it opens anew.
std::string naiveStrip(std::string_view text) {
    std::string out;
    std::size_t copied = 0;
    std::size_t open = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); i += charSize(text, i)) {
        if (text[i] == '<') {
            open = i;
        } else if (text[i] == '>' && open != std::string_view::npos) {
            out.append(text.substr(copied, open - copied));
            copied = i + 1;
            open = std::string_view::npos;
        }
    }
    out.append(text.substr(copied));
    return out;
}

TEST(TagGuardScan, FindsTheTagsOfTheCharacterWalk) {
    // With digits and lead bytes, four-byte sequences turn up too; runs of
    // ASCII and of double-byte characters are walked a word at a time.
    static const std::string bytes =
        std::string("ab <>/\r\n09") + "\x81\x3C\xA1\x3E\xFE\xB0\x80\xFF";
    std::uint64_t state = 88172645463325252u;
    for (int round = 0; round < 5000; ++round) {
        std::string text;
        const std::size_t size = state % 120;
        for (std::size_t i = 0; i < size; ++i) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            if (state % 13 == 0) text.append(state % 30, 'q');
            for (std::size_t k = state % 17 == 0 ? state % 12 : 0; k > 0; --k)
                text.append("\xB0\xA1");
            text.push_back(bytes[(state >> 8) % bytes.size()]);
        }
        ASSERT_EQ(TagGuard::strip(text), naiveStrip(text)) << ::testing::PrintToString(text);
        TagGuard guard;
        ASSERT_EQ(guard.restore(guard.protect(text)), text) << ::testing::PrintToString(text);
    }
}

}  // namespace
}  // namespace lct
