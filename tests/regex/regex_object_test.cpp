#include "regex/regex_object.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <string>
#include <vector>

#include "gbk.h"
#include "regex/strip_whitespace.h"

namespace lct {
namespace {

using test::G;

struct ReplaceCase {
    const char* pattern;
    const char* replacement;
    const char* subject;
    const char* expected;
};

// Patterns, replacements and subjects in UTF-8; the test hands GBK over.
TEST(RegexObject, ReplaceTable) {
    const std::vector<ReplaceCase> cases = {
        {"b", "x", "abcB", "axcx"},  // ignore case and global by default
        {"(a)(b)", "$2$1", "abab", "baba"},
        {"(a)", "$1$1", "a", "aa"},
        {"(a)", "$12", "a", "a2"},  // no group 12: $1 then "2"
        {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)", "$12", "abcdefghijkl", "l"},
        {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)", "$x$1x", "abcdefghijkl", "$xax"},
        {"(a)", "$01", "a", "a"},
        {"(a)", "$0", "a", "$0"},
        {"(a)", "$2", "a", "$2"},
        {"b", "[$&]", "abc", "a[b]c"},
        {"b", "[$`]", "abc", "a[a]c"},
        {"b", "[$']", "abc", "a[c]c"},
        {"b", "$$", "abc", "a$c"},
        {"b", "$", "abc", "a$c"},
        {"b", "$x", "abc", "a$xc"},
        {"(x)?b", "[$1]", "ab", "a[]"},  // an unset group gives nothing
        {"x*", "-", "abc", "-a-b-c-"},
        {"^", ">", "a\r\nb\nc\rd", ">a\r\n>b\n>c\r>d"},
        {"$", "<", "a\r\nb\nc\rd", "a<\r\nb<\nc<\rd<"},
        {".", "x", "中文", "xx"},  // one double-byte character each
        {"[　 ]+", "_", "a　 b", "a_b"},
        {"\\s+", "_", "a \t\r\nb", "a_b"},
        {"<[\\s\\S]+?>", "", "<a\r\nhref>x</a>", "x"},
        {"\\u4e2d", "Z", "中文", "Z文"},
        {"[", "x", "abc", ""},  // rejected pattern: empty result
    };
    for (const auto& c : cases) {
        RegexObject re;
        // A rejected pattern is in the table for its empty result.
        if (!re.create(G(c.pattern))) {
            EXPECT_EQ(c.expected, "") << c.pattern;
        }
        EXPECT_EQ(test::U(re.replace(G(c.subject), G(c.replacement))), c.expected)
            << c.pattern << " / " << c.replacement << " / " << c.subject;
    }
}

TEST(RegexObject, OptionsCanBeTurnedOff) {
    RegexObject re;
    ASSERT_TRUE(re.create("b", false, true, false));
    EXPECT_EQ(re.replace("BbBb", "x"), "BxBb");  // case matters, first match only
    EXPECT_EQ(re.execute("bbb"), 1);             // without Global one match at most

    ASSERT_TRUE(re.create("a$", true, false, true));
    EXPECT_EQ(re.execute("a\r\na"), 1);  // $ only at the very end
    int position = -1;
    re.matchTextAt(1, &position);
    EXPECT_EQ(position, 3);
    ASSERT_TRUE(re.create("a$", true, false, true));
    EXPECT_EQ(re.execute("a\n"), 0);
}

TEST(RegexObject, MultilineAnchorsNeverSplitCrLf) {
    RegexObject re;
    ASSERT_TRUE(re.create("^$"));
    EXPECT_EQ(re.execute("a\r\n\r\nb"), 1);  // the one empty line, not between CR and LF
    ASSERT_TRUE(re.create(".$"));
    EXPECT_EQ(re.execute("ab\r\ncd\r\n"), 2);
    EXPECT_EQ(re.matchText(1), "b");
    EXPECT_EQ(re.matchText(2), "d");
}

TEST(RegexObject, MatchesReportCharacterPositions) {
    RegexObject re;
    ASSERT_TRUE(re.create("ab"));
    ASSERT_EQ(re.execute(G("中文ab")), 1);
    int position = -1;
    EXPECT_EQ(re.matchTextAt(1, &position), "ab");
    EXPECT_EQ(position, 2);

    ASSERT_TRUE(re.create("(b)|(z)"));
    ASSERT_EQ(re.execute(G("甲b乙\r\nb")), 2);
    re.subMatchTextAt(2, 1, &position);
    EXPECT_EQ(position, 5);  // CR and LF are two characters to the pattern
    EXPECT_EQ(re.subMatchCount(), 2);
    EXPECT_EQ(re.subMatchText(1, 1), "b");
    EXPECT_EQ(re.subMatchText(1, 2), "");
}

TEST(RegexObject, MatchTextComesBackInGbk) {
    RegexObject re;
    ASSERT_TRUE(re.create(G("(文)(.)")));
    ASSERT_EQ(re.execute(G("中文字")), 1);
    EXPECT_EQ(re.matchText(1), G("文字"));
    EXPECT_EQ(re.subMatchText(1, 2), G("字"));
    EXPECT_EQ(re.pattern(), G("(文)(.)"));
}

TEST(RegexObject, OutOfRangeIndexesGiveEmptyValues) {
    RegexObject re;
    EXPECT_EQ(re.execute("abc"), 0);  // never created
    EXPECT_EQ(re.pattern(), "");
    EXPECT_EQ(re.replace("abc", "x"), "");
    ASSERT_TRUE(re.create("(b)"));
    EXPECT_EQ(re.matchText(1), "");  // no execute yet
    EXPECT_EQ(re.execute("xyz"), 0);
    EXPECT_EQ(re.matchText(1), "");
    EXPECT_EQ(re.subMatchCount(), 0);
    ASSERT_EQ(re.execute("abc"), 1);
    int position = 77;
    EXPECT_EQ(re.matchTextAt(0, &position), "");
    EXPECT_EQ(re.matchTextAt(2, &position), "");
    EXPECT_EQ(position, 77);
    EXPECT_EQ(re.subMatchText(1, 0), "");
    EXPECT_EQ(re.subMatchText(1, 2), "");
    EXPECT_EQ(re.subMatchText(-1, 1), "");
}

TEST(RegexObject, RejectedPatternsReportWhy) {
    RegexObject re;
    EXPECT_FALSE(re.create(G("中(")));
    EXPECT_FALSE(re.ok());
    EXPECT_FALSE(re.error().empty());
    EXPECT_EQ(re.errorOffset(), 2);
    EXPECT_EQ(re.pattern(), G("中("));
    EXPECT_EQ(re.execute("abc"), 0);
    EXPECT_EQ(re.replace("abc", "x"), "");
    EXPECT_TRUE(re.runFailed());
    EXPECT_TRUE(re.create("a"));  // the object can be created again
    EXPECT_EQ(re.replace("abc", "x"), "xbc");
    EXPECT_FALSE(re.runFailed());
}

TEST(RegexObject, RunawayPatternsEndPromptlyWithTheFailureResult) {
    const std::vector<const char*> patterns = {"^(a+)+$", "(a|aa)+$", "^(a|a)*$", "(.*a){25}$",
                                               "^(\\w+\\s?)*$"};
    const std::string subject = std::string(30'000, 'a') + "!";
    for (const char* p : patterns) {
        RegexObject re;
        ASSERT_TRUE(re.create(p));
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(re.replace(subject, "x").empty()) << p;
        EXPECT_TRUE(re.runFailed()) << p;
        EXPECT_EQ(re.execute(subject), 0) << p;
        const auto seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
        EXPECT_LT(seconds.count(), 20.0) << p;  // generous: sanitizer builds are slow
    }
}

// Windows of start positions must give the matches of one unlimited search,
// wherever their edges fall. Window sizes of 1 to 5 bytes put an edge inside
// every stretch of these subjects; 0 is the adaptive window.
TEST(RegexObject, WindowedSearchGivesTheMatchesOfOneSearch) {
    const std::vector<ReplaceCase> cases = {
        {"b", "x", "abcB", "axcx"},
        {"x*", "-", "abc", "-a-b-c-"},
        {"^", ">", "a\r\nb\nc\rd", ">a\r\n>b\n>c\r>d"},
        {"$", "<", "a\r\nb\nc\rd", "a<\r\nb<\nc<\rd<"},
        {"^$", "E", "a\r\n\r\n\r\nb", "a\r\nE\r\nE\r\nb"},
        // PCRE2 steps over the LF of a CR LF after failing at the CR when the
        // pattern names neither: a window must not begin at that LF.
        {"\\v(?!\\v)", "!", "aa\r\nbb\r\n\r\nc", "aa\r\nbb\r\n\r\nc"},
        {"\\n", "N", "a\r\nb\r\n", "a\rNb\rN"},
        {"(?<=中)文", "[$&]", "中文中文字文", "中[文]中[文]字文"},  // looks behind the window
        {"\\bab\\b", "X", "ab cab ab", "X cab X"},
        {"中+", "<$&>", "中中a中中中b", "<中中>a<中中中>b"},
        {".+?。", "[$&]", "第一句。第二句。尾", "[第一句。][第二句。]尾"},
        {"<[\\s\\S]+?>", "", "<a\r\nhref>x</a>", "x"},
        {"(a)|b", "[$1]", "xbxa", "x[]x[a]"},
        {"z", "y", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaz",
         "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaay"},
        {"\\Ga", "b", "aaxa", "bbxa"},           // \G: searched without windows
        {"a(*COMMIT)b|c", "X", "acab", "acab"},  // so is a backtracking verb
        {"\\Aa", "b", "aaa", "baa"},             // anchored
        {"", "-", "中\r\n文", "-中-\r\n-文-"},
    };
    for (const std::size_t window : std::vector<std::size_t>{1, 2, 3, 4, 5, 0}) {
        for (const auto& c : cases) {
            RegexObject re;
            RegexRunLimits limits;
            limits.window = window;
            re.setRunLimits(limits);
            ASSERT_TRUE(re.create(G(c.pattern))) << c.pattern;
            EXPECT_EQ(test::U(re.replace(G(c.subject), G(c.replacement))), c.expected)
                << c.pattern << " / " << c.subject << " / window " << window;
            EXPECT_FALSE(re.runFailed()) << c.pattern;
        }
    }
}

TEST(RegexObject, WindowedSearchReportsTheSamePositions) {
    const std::string subject =
        G("甲乙 abc\r\n丙丁\r\n\r\nxyz 戊己庚 abc\r\n") + std::string("\xFF\x80", 2) + "abc";
    for (const char* pattern : {"abc", "[a-z]+|[丙戊]", "^.", ".$", "(?<= )\\w"}) {
        RegexObject whole;
        RegexRunLimits unlimited;
        unlimited.window = std::numeric_limits<std::size_t>::max();
        whole.setRunLimits(unlimited);
        ASSERT_TRUE(whole.create(G(pattern)));
        const int count = whole.execute(subject);
        ASSERT_GT(count, 0) << pattern;
        for (const std::size_t window : std::vector<std::size_t>{1, 2, 3, 7}) {
            RegexObject re;
            RegexRunLimits limits;
            limits.window = window;
            re.setRunLimits(limits);
            ASSERT_TRUE(re.create(G(pattern)));
            ASSERT_EQ(re.execute(subject), count) << pattern << " / window " << window;
            for (int i = 1; i <= count; ++i) {
                int expected = -1;
                int position = -1;
                EXPECT_EQ(re.matchTextAt(i, &position), whole.matchTextAt(i, &expected));
                EXPECT_EQ(position, expected) << pattern << " / match " << i;
            }
        }
    }
}

// Every start position of this search scans to the end of a subject without
// whitespace: a quadratic search (minutes for 400 KB) within the match limits
// at each position. The time budget of the call stops it.
TEST(RegexObject, QuadraticSearchStopsAtTheTimeBudget) {
    std::string subject;
    while (subject.size() < 400 * 1024)
        subject += G("今天的天气很好我们一起去公园散步");
    for (const char* pattern : {"(?:\\S|x)+\\s", "(\\S)+\\s|<[^>]*>"}) {
        RegexObject re;
        RegexRunLimits limits;
        limits.baseTime = std::chrono::milliseconds(200);
        limits.timePerMiB = std::chrono::milliseconds(0);
        re.setRunLimits(limits);
        ASSERT_TRUE(re.create(pattern));
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(re.replace(subject, "x"), "") << pattern;
        EXPECT_TRUE(re.runFailed()) << pattern;
        EXPECT_NE(re.error().find("time"), std::string::npos) << re.error();
        EXPECT_EQ(re.execute(subject), 0) << pattern;
        EXPECT_TRUE(re.runFailed()) << pattern;
        const auto seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
        EXPECT_LT(seconds.count(), 5.0) << pattern;  // two calls of 0.2 s, and a margin
        // The same object serves an ordinary search afterwards.
        EXPECT_EQ(re.replace(G("今天 好"), "x"), G("x好")) << pattern;
        EXPECT_FALSE(re.runFailed()) << pattern;
    }
}

// "$'" after every character of n characters makes a result of n²/2 bytes.
TEST(RegexObject, ResultPastTheSizeCapIsTheFailureResult) {
    RegexObject re;
    ASSERT_TRUE(re.create("."));
    const std::string subject(64 * 1024, 'a');  // a 2 GiB result, against a cap of 65 MiB
    EXPECT_EQ(re.replace(subject, "$'"), "");
    EXPECT_TRUE(re.runFailed());
    EXPECT_NE(re.error().find("size"), std::string::npos) << re.error();

    RegexRunLimits limits;
    limits.outputBase = 100;
    limits.outputPerSubjectByte = 0;
    re.setRunLimits(limits);
    EXPECT_EQ(re.replace("abcd", "$'$'$'"), "bcdbcdbcdcdcdcdddd");  // 18 bytes
    EXPECT_FALSE(re.runFailed());
    EXPECT_EQ(re.replace(std::string(14, 'a'), "$'"), std::string(91, 'a'));  // 91 bytes fit
    EXPECT_FALSE(re.runFailed());
    EXPECT_EQ(re.replace(std::string(15, 'a'), "$'"), "");  // 105 do not
    EXPECT_TRUE(re.runFailed());
}

TEST(RegexObject, BytesOutsideGbkSurviveReplacement) {
    RegexObject re;
    ASSERT_TRUE(re.create("b"));
    const std::string subject = std::string("a\xFF\xFF", 3) + "b" + std::string("\0\x81", 2);
    EXPECT_EQ(re.replace(subject, "c"),
              std::string("a\xFF\xFF", 3) + "c" + std::string("\0\x81", 2));
}

TEST(RegexObject, TrailBytesAreNeverMatchedAlone) {
    const std::string withBackslashTrail = "\x81\x5C";  // one double-byte character
    RegexObject re;
    ASSERT_TRUE(re.create(R"(\\)"));
    EXPECT_EQ(re.execute(withBackslashTrail), 0);
    ASSERT_TRUE(re.create(R"(\|)"));
    EXPECT_EQ(re.execute("\x81\x7C"), 0);
    ASSERT_TRUE(re.create("a"));
    EXPECT_EQ(re.execute("\x81\x61"), 0);
}

TEST(RegexObject, MovesKeepTheCompiledPattern) {
    RegexObject a;
    ASSERT_TRUE(a.create("x"));
    RegexObject b = std::move(a);
    EXPECT_EQ(b.replace("axa", "y"), "aya");
}

struct StripCase {
    WhitespaceMode mode;
    const char* subject;
    const char* expected;
};

TEST(StripWhitespace, FiveModes) {
    const char* text = " \ta　 \r\n \t\r\n　b c \r\n　";
    const std::vector<StripCase> cases = {
        {WhitespaceMode::LineStarts, text, "a　 \r\n\r\nb c \r\n"},
        {WhitespaceMode::LineEnds, text, " \ta\r\n\r\n　b c\r\n"},
        {WhitespaceMode::LineBothEnds, text, "a\r\n\r\nb c\r\n"},
        {WhitespaceMode::Everywhere, text, "a\r\n\r\nbc\r\n"},
        {WhitespaceMode::BlankLines, text, " \ta　 \r\n　b c \r\n　"},
        {WhitespaceMode::BlankLines, "a\r\n \r\n  ", "a\r\n  "},  // last blank line has no CR LF
    };
    for (const auto& c : cases) {
        RegexObject re;
        EXPECT_EQ(test::U(stripWhitespace(G(c.subject), c.mode, re)), c.expected)
            << static_cast<int>(c.mode);
    }
}

TEST(StripWhitespace, PreparedObjectIsReusedAndAFailedOneKeepsTheText) {
    RegexObject re;
    ASSERT_TRUE(re.create("x"));
    EXPECT_EQ(stripWhitespace("axb ", WhitespaceMode::Everywhere, re, true), "ab ");
    RegexObject broken;
    EXPECT_FALSE(broken.create("("));
    EXPECT_EQ(stripWhitespace("a b", WhitespaceMode::Everywhere, broken, true), "a b");
}

}  // namespace
}  // namespace lct
