#include "engine/replace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gbk.h"

namespace lct {
namespace {

using test::G;
using test::U;

struct ListCase {
    std::string text;
    std::string matches;
    std::string replacements;
    bool caseSensitive;
    int count;
    std::string expected;
};

TEST(ReplaceByLists, ReplacesEachPairOnTheResultOfTheOneBefore) {
    const std::vector<ListCase> cases = {
        {"a", "a|b", "b|c", true, 0, "c"},      // the second pair acts on the first's output
        {"xyxy", "x|y", "z", true, 0, "zz"},    // a missing replacement deletes
        {"abc", "a", "1|2|3", true, 0, "1bc"},  // surplus replacements are ignored
        {"aaa", "a", "b", true, 2, "bba"},      // only the first count occurrences
        {"aaa", "a", "b", true, 0, "bbb"},
        {"aaa", "a", "b", true, -3, "bbb"},
        {"AbA", "a", "x", false, 0, "xbx"},  // ignore case folds ASCII letters
        {"AbA", "a", "x", true, 0, "AbA"},
        {"abc", "|b", "1|2", true, 0, "a2c"},  // an empty match changes nothing
        {"abc", "", "x", true, 0, "abc"},
        {G("原内容1和原内容2"), G("原内容1|原内容2"), G("新内容1|新内容2"), true, 0,
         G("新内容1和新内容2")},
        {"\x81"
         "AA",
         "a", "x", false, 0,
         "\x81"
         "Ax"},                               // a trail byte is no letter
        {"ab", "a|b", "b|a", true, 1, "ab"},  // the count holds for each pair
    };
    for (const auto& c : cases) {
        EXPECT_EQ(replaceByLists(c.text, c.matches, c.replacements, c.caseSensitive, c.count),
                  c.expected)
            << U(c.text) << " / " << U(c.matches) << " / " << U(c.replacements);
    }
}

struct RegexCase {
    std::string text;
    std::string pattern;
    std::string replacement;
    bool ignoreCase;
    int count;
    std::string expected;
};

TEST(ReplaceByRegex, CountOneOrMoreReplacesOnlyTheFirstMatch) {
    const std::vector<RegexCase> cases = {
        {"a1a2a3", R"(a\d)", "X", false, 3, "Xa2a3"},
        {"a1a2a3", R"(a\d)", "X", false, 1, "Xa2a3"},
        {"a1a2a3", R"(a\d)", "X", false, 0, "XXX"},
        {"a1a2a3", R"(a\d)", "X", false, -1, "XXX"},
        {"A1a2", R"(a\d)", "X", false, 0, "A1X"},
        {"A1a2", R"(a\d)", "X", true, 0, "XX"},
        {"x\r\nx", "^x", "y", false, 0, "y\r\ny"},  // multi-line anchors
        {"ab@cd@", R"((\w+)@)", "$1#", false, 0, "ab#cd#"},
        {G("中文中国"), G("中."), G("[$&]"), false, 0, G("[中文][中国]")},
        {"abc", "z", "y", false, 0, "abc"},
    };
    for (const auto& c : cases) {
        std::string error = "stale";
        EXPECT_EQ(replaceByRegex(c.text, c.pattern, c.replacement, c.ignoreCase, c.count, &error),
                  c.expected)
            << U(c.text) << " / " << U(c.pattern);
        EXPECT_EQ(error, "") << U(c.pattern);
    }
}

// The regex engine's failure result is empty text; an article must not be
// emptied because the user's pattern is wrong.
TEST(ReplaceByRegex, RejectedPatternKeepsTheTextAndSaysWhy) {
    const std::string text = G("文章内容(保持不变)");
    for (const char* pattern : {"(", "a{2,1}", "[z-a]", "(?<"}) {
        std::string error;
        EXPECT_EQ(replaceByRegex(text, pattern, "x", true, 0, &error), text) << pattern;
        EXPECT_FALSE(error.empty()) << pattern;
        EXPECT_EQ(replaceByRegex(text, pattern, "x", true, 0), text) << pattern;
    }
    std::string error;
    replaceByRegex(text, "ab(", "x", true, 0, &error);
    EXPECT_NE(error.find("at character 4"), std::string::npos) << error;
}

TEST(ReplaceByRegex, RunawayPatternKeepsTheTextAndSaysWhy) {
    const std::string text = std::string(30'000, 'a') + "!";
    std::string error;
    EXPECT_EQ(replaceByRegex(text, "^(a|aa)+$", "x", true, 0, &error), text);
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace lct
