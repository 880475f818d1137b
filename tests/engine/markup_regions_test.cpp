#include "engine/markup_regions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "engine/chars.h"
#include "gbk.h"

namespace lct {
namespace {

using test::G;

// The text of `text` outside the regions, with "|" where a region was.
std::string outside(const std::string& text, const MarkupKinds& kinds) {
    std::string out;
    std::size_t at = 0;
    for (const ByteRange& r : markupRegions(text, kinds)) {
        EXPECT_LE(at, r.begin);
        EXPECT_LT(r.begin, r.end);
        out += text.substr(at, r.begin - at) + "|";
        at = r.end;
    }
    return out + text.substr(at);
}

struct RegionCase {
    const char* name;
    const char* text;  // UTF-8
    bool markup;
    bool headings;
    const char* expected;       // UTF-8: the text left, "|" for each region
    bool insertPlaces = false;  // insert mode's kinds instead of markup and headings
};

const RegionCase kRegionCases[] = {
    {"plain text", "北京 x< y >= z", true, true, "北京 x< y >= z"},
    {"a letter after < opens a tag", "x<y > z", true, false, "x| z"},
    {"nothing asked", "<b>北京</b>", false, false, "<b>北京</b>"},
    {"tags", "<p class=\"x\">北京</p>", true, false, "|北京|"},
    {"adjacent tags merge", "<p><b>北京</b></p>", true, false, "|北京|"},
    {"comment", "a<!-- 北京 <b> -->b", true, false, "a|b"},
    {"comment holding >", "a<!-- x > 北京 -->b", true, false, "a|b"},
    {"declaration", "<!DOCTYPE html>北京<?xml x?>", true, false, "|北京|"},
    {"link", "a<a href=\"/\">北京</a>b", true, false, "a|b"},
    {"link any case", "a<A HREF=\"/\">北京</A >b", true, false, "a|b"},
    {"nested tags in a link", "a<a href=/><b>北京</b><i>x</i></a>b", true, false, "a|b"},
    {"abbr is no link", "<abbr>北京</abbr>", true, false, "|北京|"},
    {"script", "<script>if (a<b) x='北京';</script>c", true, false, "|c"},
    {"title", "<head><TITLE>北京</title></head>北京", true, false, "|北京"},
    {"style and textarea", "<STYLE>p{}</STYLE>1<textarea>北京</TextArea>2", true, false, "|1|2"},
    {"quoted >", "<img alt=\"a>北京\" src='x>y'>z", true, false, "|z"},
    {"unclosed tag at the end", "北京<img alt=\"北京", true, false, "北京|"},
    {"unclosed link at the end", "北京<a href=/>北京 上海", true, false, "北京|"},
    {"unclosed comment at the end", "北京<!-- 北京", true, false, "北京|"},
    {"lone < is text", "a < b 北京 <3 >", true, false, "a < b 北京 <3 >"},
    {"headings only", "<p>北京</p><h2 id=x>北京<b>x</b></h2>上海<H6>y</h6>", false, true,
     "<p>北京</p>|上海|"},
    {"headings and markup", "<p>北京</p><h1>北京</h1>上海", true, true, "|北京|上海"},
    {"heading tag without headings", "<h1>北京</h1>", true, false, "|北京|"},
    {"h7 is no heading", "<h7>北京</h7>", false, true, "<h7>北京</h7>"},
    {"link inside a heading", "<h3><a href=/>北京</a>上海</h3>广州", false, true, "|广州"},
    {"script skipped for headings", "<script>'<h1>'</script>北京<h1>x</h1>", false, true,
     "<script>'<h1>'</script>北京|"},
    {"a heading closed inside a link", "<h2><a href=\"/x\">第一章</h2><p>软件包</p></a>北京", true,
     true, "|北京"},
    {"a link a heading closes around", "<h2><a href=/>第一章</h2><p>软件包</p></a>", false, true,
     "|<p>软件包</p></a>"},
    {"heading end in a comment", "<h2>x<!-- </h2> -->软件包</h2>北京", false, true, "|北京"},
    {"heading end in a script", "<h2><script>s='</h2>';t='软件包';</script></h2>北京", true, true,
     "|北京"},
    {"any heading end closes a heading", "<h2>北京</h3>上海", false, true, "|上海"},
    {"XHTML empty anchors", "<a id=\"s1\"/>北京<A name='s2' />上海", true, false, "|北京|上海"},
    {"a slash of an unquoted value", "<a href=/x/>北京</a>上海", true, false, "|上海"},
    {"link end in a quoted value", "<a href=/><b title=\"</a>\">北京</b></a>上海", true, false,
     "|上海"},
    {"link end in a comment", "<a href=/><!--</a>-->北京</a>上海", true, false, "|上海"},
    {"insert places",
     "<head><title>t</title></head><p>北京<a href=/>上海</a><!-- c -->"
     "<script>s</script><style>p{}</style><textarea>t</textarea>广州</p>",
     false, false, "|<p>北京|广州</p>", true},
    {"a body tag ends the head", "<head><meta charset=gbk><body>北京", false, false, "|<body>北京",
     true},
    {"text ends the head", "<head><title>t</title>\r\n 北京", false, false, "|北京", true},
    {"a second head is none", "<head></head>北京<head>上海", false, false, "|北京<head>上海", true},
    {"noscript in a head", "<head><noscript><img src=x></noscript></head>北京", false, false,
     "|北京", true},
};

void PrintTo(const RegionCase& c, std::ostream* out) {
    *out << c.name;
}

class MarkupRegionsTest : public ::testing::TestWithParam<RegionCase> {};

TEST_P(MarkupRegionsTest, LeavesTheRightParts) {
    const RegionCase& c = GetParam();
    const MarkupKinds kinds = c.insertPlaces ? MarkupKinds::insertPlaces()
                                             : MarkupKinds::forReplace(c.markup, c.headings);
    EXPECT_EQ(test::U(outside(G(c.text), kinds)), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, MarkupRegionsTest, ::testing::ValuesIn(kRegionCases));

TEST(MarkupRegions, TrailBytesAreNeverMarkup) {
    // A lead byte takes the byte after it, whatever it is: "\x81<" is one
    // character, so no tag begins there.
    EXPECT_TRUE(markupRegions("\x81<b>x", true, true).empty());
    // "<" before a double-byte character is text.
    EXPECT_TRUE(markupRegions(G("<中>"), true, true).empty());
    // "\x81/" is one character: "</a" is not there, and the link runs to the end.
    const std::string text = "<a>\x81/a>" + G("北京");
    EXPECT_EQ(markupRegions(text, true, false), (std::vector<ByteRange>{{0, text.size()}}));
    // A trail byte "a" (\x81\x61) after "<": "<" followed by a double-byte character.
    EXPECT_TRUE(markupRegions("<\x81\x61>", true, true).empty());
}

TEST(MarkupRegions, LinearOnManyOpenings) {
    // Many unclosed links and "<" without tags stay one pass.
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += "< x <a";
    EXPECT_FALSE(markupRegions(text, true, true).empty());
}

// On random soup of markup pieces: ranges are sorted, disjoint, inside the
// text, and begin at a "<" that starts a character; and avoiding headings as
// well never leaves more text than avoiding markup alone.
TEST(MarkupRegions, RandomTextsGiveSoundRanges) {
    const std::vector<std::string> pieces = {
        "<",        ">",         "a",    "/",        "!",     "-",    "\"",   "'",
        "=",        " ",         "h1",   "h2",       "</a>",  "<a ",  "<!--", "-->",
        "<script>", "</script>", "\x81", "\x81\x61", G("中"), "\r\n", "<h3>", "</h3>"};
    const std::vector<std::string> elements = {"<a/>",   "<p>",     "<head>", "</head>",
                                               "<body>", "<title>", "</h2>",  "<b t=\"</a>\">"};
    const auto covered = [](const std::string& text, const std::vector<ByteRange>& regions) {
        std::vector<bool> in(text.size(), false);
        for (const ByteRange& r : regions)
            std::fill(in.begin() + static_cast<std::ptrdiff_t>(r.begin),
                      in.begin() + static_cast<std::ptrdiff_t>(r.end), true);
        return in;
    };
    std::uint64_t state = 12345;
    const auto next = [&state](std::size_t n) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::size_t>((state >> 33) % n);
    };
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        for (std::size_t n = next(40); n > 0; --n)
            text += next(3) ? pieces[next(pieces.size())] : elements[next(elements.size())];
        std::vector<bool> starts(text.size() + 1, false);
        for (std::size_t i = 0; i < text.size(); i += charSize(text, i))
            starts[i] = true;
        for (const bool markup : {false, true}) {
            const std::vector<bool> less = covered(text, markupRegions(text, markup, false));
            const std::vector<bool> more = covered(text, markupRegions(text, markup, true));
            for (std::size_t i = 0; i < text.size(); ++i)
                ASSERT_TRUE(!less[i] || more[i]) << round << " at " << i;
        }
        for (const MarkupKinds& kinds :
             {MarkupKinds::forReplace(true, false), MarkupKinds::forReplace(false, true),
              MarkupKinds::forReplace(true, true), MarkupKinds::insertPlaces()}) {
            const std::vector<ByteRange> regions = markupRegions(text, kinds);
            std::size_t at = 0;
            for (const ByteRange& r : regions) {
                ASSERT_TRUE(at == 0 || at < r.begin || (at == r.begin && at == 0)) << round;
                ASSERT_LT(r.begin, r.end) << round;
                ASSERT_LE(r.end, text.size()) << round;
                ASSERT_EQ(text[r.begin], '<') << round;
                ASSERT_TRUE(starts[r.begin]) << round;
                at = r.end;
            }
        }
    }
}

TEST(MarkupRegions, TheDocumentOpeningEndsAfterTheHeadAndTheBodyTag) {
    const std::pair<const char*, const char*> kCases[] = {
        // text, what follows the opening
        {"<!DOCTYPE html>\r\n<html><HEAD><title>北京</title></head>\r\n<!-- c -->"
         "<body class=x>\r\n<p>北京",
         "<p>北京"},
        {"<html>\r\n<p>北京\r\n", "<p>北京\r\n"},
        {"<head><title>t</title>北京", "北京"},
        {"<!-- c --> 北京", " 北京"},
        {"<body><body>北京", "<body>北京"},
        {"北京<head></head>", "北京<head></head>"},
        {" \r\n<p>北京", " \r\n<p>北京"},
        {"", ""},
    };
    for (const auto& [text, rest] : kCases) {
        const std::string page = G(text);
        EXPECT_EQ(test::U(page.substr(documentOpeningEnd(page))), rest) << text;
    }
}

}  // namespace
}  // namespace lct
