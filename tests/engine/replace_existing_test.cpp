#include "engine/replace_existing.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "engine/chars.h"
#include "engine/markup_regions.h"
#include "gbk.h"

namespace lct {
namespace {

using test::G;
using test::U;
using Texts = std::vector<std::string>;
using Numbers = std::vector<int>;

class ReplaceExisting : public ::testing::Test {
  protected:
    Random random{42};
    KeywordSupply supply{random};

    std::string run(const std::string& content, const Texts& keywords,
                    const std::string& templates = "<b>*</b>", const std::string& title = "T") {
        supply.parseTemplates(templates);
        return replaceExistingKeywords(content, keywords, keywords, supply, title);
    }
};

TEST_F(ReplaceExisting, FoundKeywordsBecomeTheirItems) {
    EXPECT_EQ(U(run(G("中国人和中国"), {G("中国"), G("人")})), "<b>中国</b><b>人</b>和<b>中国</b>");
    EXPECT_EQ(U(run(G("没有关键词"), {G("中国")})), "没有关键词");
    EXPECT_EQ(run("", {"a"}), "");
}

TEST_F(ReplaceExisting, KeywordsMatchCaseSensitivelyAndOnlyWholeCharacters) {
    EXPECT_EQ(run("aAa", {"A"}), "a<b>A</b>a");
    const std::string zhong = G("中");  // D6 D0
    EXPECT_EQ(run(zhong + zhong, {"\xD0\xD6", "\xD6", "\xD0"}), zhong + zhong);
    // The first two bytes of a four-byte character, and a CR of a CR LF.
    EXPECT_EQ(run("\x81\x30\x81\x30", {"\x81\x30"}), "\x81\x30\x81\x30");
    EXPECT_EQ(run("a\r\nb", {"a\r"}), "a\r\nb");
    EXPECT_EQ(run("x\x81\x30\x81\x30", {"\x81\x30\x81\x30"}), "x<b>\x81\x30\x81\x30</b>");
}

// A keyword that an earlier keyword's replacement contains ("1", "#", "[")
// must not rewrite it: the earlier keyword's item would be lost.
TEST_F(ReplaceExisting, LaterKeywordsNeverSeeEarlierReplacements) {
    EXPECT_EQ(U(run(G("甲甲"), {G("甲"), "1", "#", "[", "]", "b"})), "<b>甲</b><b>甲</b>");
    const ExistingKeywordReplacer replacer({G("甲"), "1", "#", "b", "<"});
    EXPECT_EQ(replacer.find(G("甲1甲")).found, (Numbers{1, 2}));
    // Text that looks like a numbered marker is ordinary text.
    EXPECT_EQ(U(run(G("[#1#]甲[#2#]"), {G("甲"), G("乙")})), "[#1#]<b>甲</b>[#2#]");
    // An item is never searched again, even when it holds another keyword.
    EXPECT_EQ(run("ab", {"a", "b"}, "*b"), "abbb");
}

TEST_F(ReplaceExisting, EarlierKeywordWinsOverALongerLaterOne) {
    EXPECT_EQ(U(run(G("中国人"), {G("中国"), G("中国人")})), "<b>中国</b>人");
    EXPECT_EQ(U(run(G("中国人，中国"), {G("中国人"), G("中国")})), "<b>中国人</b>，<b>中国</b>");
    // Nor can a later keyword match across what an earlier one took.
    EXPECT_EQ(run("abc", {"b", "ac", "abc"}), "a<b>b</b>c");
}

TEST_F(ReplaceExisting, NumbersAreDenseOverFoundKeywordsInListOrder) {
    const ExistingKeywordReplacer replacer({"X", G("甲"), "Y", G("乙"), G("甲")});
    const ExistingKeywords result = replacer.find(G("乙甲乙"));
    EXPECT_EQ(result.found, (Numbers{2, 4}));
    ASSERT_EQ(result.occurrences.size(), 3u);
    EXPECT_EQ(result.occurrences[0].position, 1);
    EXPECT_EQ(result.occurrences[0].keyword, 4);
    EXPECT_EQ(result.occurrences[1].position, 2);
    EXPECT_EQ(result.occurrences[1].keyword, 2);
    EXPECT_EQ(result.occurrences[1].length, 1);
}

TEST_F(ReplaceExisting, EmptyTemplateRemovesTheKeyword) {
    EXPECT_EQ(U(run(G("甲乙甲"), {G("甲")}, "")), "乙");
}

TEST_F(ReplaceExisting, EmptyKeywordsChangeNothing) {
    const ExistingKeywordReplacer replacer({"", "a", ""});
    EXPECT_EQ(replacer.find("bab").found, (Numbers{2}));
    EXPECT_EQ(run("xyz", {"", ""}), "xyz");
}

TEST_F(ReplaceExisting, ItemsUseTheKeywordLineAsWrittenAndTheTitle) {
    supply.parseTemplates(G("**：*"));
    const Texts plain = {G("甲")};
    const Texts lines = {G("<i>甲</i>")};
    EXPECT_EQ(U(replaceExistingKeywords(G("一甲"), plain, lines, supply, G("标题"))),
              "一标题：<i>甲</i>");
}

TEST_F(ReplaceExisting, OneReplacerServesManyArticles) {
    supply.parseTemplates("[*]");
    const ExistingKeywordReplacer replacer({"ab", "b"});
    const Texts lines = {"ab", "b"};
    EXPECT_EQ(replacer.replace("abb", lines, supply, "T"), "[ab][b]");
    EXPECT_EQ(replacer.replace("bab", lines, supply, "T"), "[b][ab]");
    EXPECT_EQ(replacer.replace("", lines, supply, "T"), "");
}

// The sequential passes, literally: keyword by keyword in list order, every
// occurrence (left to right, whole characters) becomes a numbered marker that
// no later search can see into; then each number's marker is filled.
struct Reference {
    std::string text;
    ExistingKeywords matches;
};

Reference sequentialReference(const std::string& content, const Texts& plain, const Texts& lines,
                              KeywordSupply& supply, const std::string& title) {
    struct Token {
        std::string text;
        int marker = 0;  // placeholder number, 0 for a character
        int position = 0;
        int length = 1;
        int keyword = 0;
    };
    std::vector<Token> tokens;
    const CharIndex index(content);
    for (int p = 1; p <= index.count(); ++p)
        tokens.push_back({std::string(index.at(p)), 0, p, 1, 0});

    Reference ref;
    int counter = 0;
    for (std::size_t k = 0; k < plain.size(); ++k) {
        const std::string& keyword = plain[k];
        if (keyword.empty()) continue;
        bool found = false;
        for (std::size_t i = 0; i < tokens.size(); ++i) {
            std::string joined;
            std::size_t j = i;
            while (j < tokens.size() && tokens[j].marker == 0 && joined.size() < keyword.size())
                joined += tokens[j++].text;
            if (joined != keyword) continue;
            if (!found) {
                found = true;
                ++counter;
                ref.matches.found.push_back(static_cast<int>(k) + 1);
            }
            const Token marker{"", counter, tokens[i].position, static_cast<int>(j - i),
                               static_cast<int>(k) + 1};
            tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(i),
                         tokens.begin() + static_cast<std::ptrdiff_t>(j));
            tokens.insert(tokens.begin() + static_cast<std::ptrdiff_t>(i), marker);
        }
    }
    Texts items;
    for (const int k : ref.matches.found) {
        const std::string& tmpl = supply.templateAt(supply.pickTemplate());
        items.push_back(buildItem(tmpl, title, lines[static_cast<std::size_t>(k - 1)]));
    }
    for (const Token& t : tokens) {
        if (t.marker == 0) {
            ref.text += t.text;
        } else {
            ref.text += items[static_cast<std::size_t>(t.marker - 1)];
            ref.matches.occurrences.push_back({t.position, t.length, t.keyword});
        }
    }
    return ref;
}

std::string randomString(Random& random, const Texts& alphabet, std::int64_t minLength,
                         std::int64_t maxLength) {
    std::string s;
    const std::int64_t n = random.between(minLength, maxLength);
    for (std::int64_t i = 0; i < n; ++i)
        s += alphabet[static_cast<std::size_t>(
            random.between(0, static_cast<std::int64_t>(alphabet.size()) - 1))];
    return s;
}

// Keywords are whole-character strings, byte fragments that may cut a
// character, or empty.
std::string randomKeyword(Random& random, const Texts& alphabet, std::int64_t maxLength) {
    const std::int64_t kind = random.between(0, 9);
    if (kind == 0) return {};
    const std::string whole = randomString(random, alphabet, 1, maxLength);
    if (kind > 2) return whole;
    const auto size = static_cast<std::int64_t>(whole.size());
    const std::int64_t from = random.between(0, size - 1);
    const std::int64_t to = random.between(from + 1, size);
    return whole.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
}

void expectSameAsReference(const std::string& content, const Texts& plain, std::uint64_t seed,
                           int round) {
    Texts lines;
    for (const std::string& k : plain)
        lines.push_back("<" + k + ">");
    const std::string templates = "|[*]|{**:*}";
    Random randomFast(seed);
    Random randomRef(seed);
    KeywordSupply fast(randomFast);
    KeywordSupply slow(randomRef);
    fast.parseTemplates(templates);
    slow.parseTemplates(templates);

    const Reference ref = sequentialReference(content, plain, lines, slow, "T");
    const ExistingKeywordReplacer replacer(plain);
    const ExistingKeywords got = replacer.find(content);
    ASSERT_EQ(got.found, ref.matches.found) << "round " << round;
    ASSERT_EQ(got.occurrences.size(), ref.matches.occurrences.size()) << "round " << round;
    for (std::size_t i = 0; i < got.occurrences.size(); ++i) {
        ASSERT_EQ(got.occurrences[i].position, ref.matches.occurrences[i].position) << round;
        ASSERT_EQ(got.occurrences[i].length, ref.matches.occurrences[i].length) << round;
        ASSERT_EQ(got.occurrences[i].keyword, ref.matches.occurrences[i].keyword) << round;
    }
    ASSERT_EQ(replacer.replace(content, lines, fast, "T"), ref.text) << "round " << round;
}

TEST(ReplaceExistingRandomized, MatchesTheSequentialPassesOnMixedCharacters) {
    Random random(20240501);
    const Texts alphabet = {"a",  "b", "A",    G("中"), G("文"), "\r\n", "\x81\x30\x81\x30",
                            "\r", "0", "\x81", "\n"};
    for (int round = 0; round < 4000; ++round) {
        const std::string content = randomString(random, alphabet, 0, 40);
        Texts plain;
        const std::int64_t count = random.between(1, 12);
        for (std::int64_t k = 0; k < count; ++k)
            plain.push_back(randomKeyword(random, alphabet, 3));
        expectSameAsReference(content, plain, static_cast<std::uint64_t>(round), round);
    }
}

TEST(ReplaceExistingRandomized, MatchesTheSequentialPassesOnTwoLetters) {
    Random random(77);
    const Texts alphabet = {"a", "b"};
    for (int round = 0; round < 400; ++round) {
        const std::string content = randomString(random, alphabet, 0, 300);
        Texts plain;
        const std::int64_t count = random.between(1, 60);
        for (std::int64_t k = 0; k < count; ++k)
            plain.push_back(randomString(random, alphabet, 1, 7));
        expectSameAsReference(content, plain, static_cast<std::uint64_t>(round), round);
    }
}

// Prose whose keywords are pieces of itself: many occurrences, overlapping
// and nested, as when a list is drawn from the articles it runs over.
TEST(ReplaceExistingRandomized, MatchesTheSequentialPassesOnProse) {
    const std::string prose =
        G("<p>今天的天气很好，我们一起去公园散步。公园里的花开了，天气好的时候人很多。</p>\r\n"
          "<p>中文与English混排，标点符号也要处理？天气预报说明天还是好天气。</p>\r\n");
    const CharIndex index(prose);
    Random random(2718);
    for (int round = 0; round < 300; ++round) {
        Texts plain;
        for (std::int64_t k = random.between(1, 80); k > 0; --k) {
            const auto from = static_cast<int>(random.between(1, index.count()));
            const auto length = static_cast<int>(random.between(1, 4));
            std::string word;
            for (int p = from; p < from + length && p <= index.count(); ++p)
                word += index.at(p);
            plain.push_back(word);
        }
        expectSameAsReference(prose, plain, static_cast<std::uint64_t>(round), round);
    }
}

// ---- The replace panel's rules ----

struct RuleCase {
    const char* name;
    const char* content;  // UTF-8
    std::vector<const char*> keywords;
    ReplaceRules rules;
    const char* expected;  // UTF-8, items as "[keyword]"
};

ReplaceRules markupOnly() {
    ReplaceRules r;
    r.avoidMarkup = true;
    return r;
}
ReplaceRules headingsOnly() {
    ReplaceRules r;
    r.avoidHeadings = true;
    return r;
}
ReplaceRules wholeWordsOnly() {
    ReplaceRules r;
    r.wholeWords = true;
    return r;
}
ReplaceRules limits(int perKeyword, int total) {
    ReplaceRules r;
    r.perKeywordLimit = perKeyword;
    r.totalLimit = total;
    return r;
}

const RuleCase kRuleCases[] = {
    // 选择框替换避开标签
    {"attribute", "<img alt=\"北京\">北京", {"北京"}, markupOnly(), "<img alt=\"北京\">[北京]"},
    {"attribute when off", "<img alt=\"北京\">", {"北京"}, {}, "<img alt=\"[北京]\">"},
    {"existing link",
     "<a href=\"/\">北京</a>北京",
     {"北京"},
     markupOnly(),
     "<a href=\"/\">北京</a>[北京]"},
    {"link in capitals with nested tags",
     "<A HREF=/><b>北京</b></A>北京",
     {"北京"},
     markupOnly(),
     "<A HREF=/><b>北京</b></A>[北京]"},
    {"script style textarea",
     "<script>var a='北京';</script><STYLE>/*北京*/</STYLE><textarea>北京</textarea>北京",
     {"北京"},
     markupOnly(),
     "<script>var a='北京';</script><STYLE>/*北京*/</STYLE><textarea>北京</textarea>[北京]"},
    {"comment", "<!-- 北京 -->北京", {"北京"}, markupOnly(), "<!-- 北京 -->[北京]"},
    {"tag name as keyword", "<b>b</b>", {"b"}, markupOnly(), "<b>[b]</b>"},
    {"unclosed tag at the end",
     "北京<img alt=\"北京",
     {"北京"},
     markupOnly(),
     "[北京]<img alt=\"北京"},
    {"unclosed link at the end",
     "北京<a href=/>北京",
     {"北京"},
     markupOnly(),
     "[北京]<a href=/>北京"},
    {"a lone < is text", "1 < 北京", {"北京"}, markupOnly(), "1 < [北京]"},
    {"keyword across a tag edge", "ab<i>", {"b<"}, markupOnly(), "ab<i>"},
    {"a later keyword takes what is left",
     "<a>北京</a>北京市",
     {"北京", "北京市"},
     markupOnly(),
     "<a>北京</a>[北京]市"},
    // 选择框替换避开小标题
    {"heading", "<h2>北京</h2>北京", {"北京"}, headingsOnly(), "<h2>北京</h2>[北京]"},
    {"heading any case",
     "<H1 class=t>北京<b>x</b></h1>北京",
     {"北京"},
     headingsOnly(),
     "<H1 class=t>北京<b>x</b></h1>[北京]"},
    {"heading tags when headings are not avoided",
     "<h3>北京</h3>",
     {"北京"},
     markupOnly(),
     "<h3>[北京]</h3>"},
    {"unclosed heading at the end", "北京<h4>北京", {"北京"}, headingsOnly(), "[北京]<h4>北京"},
    // 编辑框替换次数上限, 编辑框链接总数上限
    {"one per keyword", "北京上海北京上海", {"北京", "上海"}, limits(1, 0), "[北京][上海]北京上海"},
    {"three in all", "北京上海北京上海", {"北京", "上海"}, limits(0, 3), "[北京][上海][北京]上海"},
    {"both limits",
     "上海上海北京上海北京",
     {"北京", "上海"},
     limits(2, 3),
     "[上海][上海][北京]上海北京"},
    {"limits after the earlier keyword wins",
     "中国人中国中国人",
     {"中国人", "中国"},
     limits(1, 0),
     "[中国人][中国]中国人"},
    {"negative limits take all", "aa", {"a"}, limits(-1, -5), "[a][a]"},
    // 选择框替换整词
    {"inside words", "category bobcat cat", {"cat"}, wholeWordsOnly(), "category bobcat [cat]"},
    {"inside words when off", "category", {"cat"}, {}, "[cat]egory"},
    {"the longer word takes it",
     "category cat",
     {"cat", "category"},
     wholeWordsOnly(),
     "[category] [cat]"},
    {"digits", "cat5 5cat cat 2008", {"cat", "2008"}, wholeWordsOnly(), "cat5 5cat [cat] [2008]"},
    {"CJK around", "中cat文，cat。", {"cat"}, wholeWordsOnly(), "中[cat]文，[cat]。"},
    {"punctuation around",
     "(cat),cat_cat-cat",
     {"cat"},
     wholeWordsOnly(),
     "([cat]),[cat]_[cat]-[cat]"},
    {"a line break around", "cat\r\ncat", {"cat"}, wholeWordsOnly(), "[cat]\r\n[cat]"},
    {"keyword ending in a symbol", "C++x xC++", {"C++"}, wholeWordsOnly(), "[C++]x xC++"},
    {"keyword starting with CJK",
     "a北京2008 北京20089",
     {"北京2008"},
     wholeWordsOnly(),
     "a[北京2008] 北京20089"},
    {"case counts", "Cat cat", {"cat"}, wholeWordsOnly(), "Cat [cat]"},
};

void PrintTo(const RuleCase& c, std::ostream* out) {
    *out << c.name;
}

class ReplaceRulesTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(ReplaceRulesTest, ReplacesWhatTheRulesAllow) {
    const RuleCase& c = GetParam();
    Random random(1);
    KeywordSupply supply(random);
    supply.parseTemplates("[*]");
    Texts keywords;
    for (const char* k : c.keywords)
        keywords.push_back(G(k));
    const std::string got =
        replaceExistingKeywords(G(c.content), keywords, keywords, supply, "T", c.rules);
    EXPECT_EQ(U(got), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, ReplaceRulesTest, ::testing::ValuesIn(kRuleCases));

TEST(ReplaceRules, WholeWordsLookAtCharactersNotBytes) {
    Random random(1);
    KeywordSupply supply(random);
    supply.parseTemplates("[*]");
    const auto run = [&](const std::string& content, const std::string& keyword) {
        return replaceExistingKeywords(content, {keyword}, {keyword}, supply, "T",
                                       wholeWordsOnly());
    };
    // \x81\x61 is one double-byte character whose trail byte is "a".
    EXPECT_EQ(run("\x81\x61"
                  "bc",
                  "bc"),
              "\x81\x61[bc]");
    EXPECT_EQ(run("ab\x81\x61", "ab"), "[ab]\x81\x61");
    // A keyword that ends in such a character does not end in a letter.
    EXPECT_EQ(run("x\x81\x61y", "x\x81\x61"), "[x\x81\x61]y");
    // A four-byte character ends in a digit, which is no digit of the text.
    EXPECT_EQ(run("\x81\x30\x81\x30"
                  "5g",
                  "5g"),
              "\x81\x30\x81\x30[5g]");
    // A keyword made of such a four-byte character is no word.
    EXPECT_EQ(run("7\x81\x30\x81\x30"
                  "7",
                  "\x81\x30\x81\x30"),
              "7[\x81\x30\x81\x30]7");
    // A real letter before still counts.
    EXPECT_EQ(run("abc", "bc"), "abc");
}

TEST(ReplaceRules, LimitsNumberOnlyTheKeywordsTheyKeep) {
    const ExistingKeywordReplacer replacer({G("甲"), G("乙"), G("丙")});
    const ExistingKeywords result = replacer.find(G("甲甲乙丙"), limits(0, 2));
    EXPECT_EQ(result.found, (Numbers{1}));
    ASSERT_EQ(result.occurrences.size(), 2u);
    EXPECT_EQ(result.occurrences[1].position, 2);
    // A text without markup (a title) ignores the markup rules, not the others.
    ReplaceRules rules = ReplaceRules::windowDefaults();
    rules.perKeywordLimit = 1;
    EXPECT_EQ(replacer.find(G("<a>甲</a>甲"), rules, false).occurrences.front().position, 4);
    EXPECT_EQ(replacer.find(G("<a>甲</a>甲"), rules, false).occurrences.size(), 1u);
    EXPECT_EQ(replacer.find(G("<a>甲</a>甲"), rules, true).occurrences.front().position, 9);
}

TEST(ReplaceRules, TheOutcomeCountsAndPlacesTheItems) {
    Random random(1);
    KeywordSupply supply(random);
    supply.parseTemplates("<b>*</b>");
    const ExistingKeywordReplacer replacer({"ab", G("北京"), "x"});
    ReplaceOutcome outcome;
    outcome.wantSpans = true;
    ReplaceRules rules;
    rules.avoidMarkup = true;
    const std::string content = G("ab<i x>北京</i>");
    const std::string out =
        replacer.replace(content, {"ab", G("北京"), "x"}, supply, "T", rules, true, &outcome);
    EXPECT_EQ(U(out), "<b>ab</b><i x><b>北京</b></i>");
    EXPECT_EQ(outcome.replaced, 2);
    using Span = std::pair<std::size_t, std::size_t>;
    EXPECT_EQ(outcome.spans, (std::vector<Span>{{0, 9}, {14, 25}}));
    // An empty template: counted, and its range is empty.
    supply.parseTemplates("");
    outcome = {};
    outcome.wantSpans = true;
    EXPECT_EQ(replacer.replace("ab", {"ab"}, supply, "T", {}, true, &outcome), "");
    EXPECT_EQ(outcome.replaced, 1);
    EXPECT_EQ(outcome.spans, (std::vector<Span>{{0, 0}}));
}

// With every rule off, the replacer does what it did before the rules: the
// sequential passes (checked against them above with the default rules).
TEST(ReplaceRules, EverythingOffIsThePlainSearch) {
    Random random(5);
    const Texts alphabet = {"a", "b", "<", ">", "/", G("中"), "h1", "\r\n", "\x81\x61"};
    for (int round = 0; round < 500; ++round) {
        const std::string content = randomString(random, alphabet, 0, 40);
        Texts plain;
        for (std::int64_t k = random.between(1, 6); k > 0; --k)
            plain.push_back(randomKeyword(random, alphabet, 3));
        const ExistingKeywordReplacer replacer(plain);
        const ExistingKeywords off = replacer.find(content, ReplaceRules{});
        const ExistingKeywords plainSearch = replacer.find(content);
        ASSERT_EQ(off.found, plainSearch.found);
        ASSERT_EQ(off.occurrences.size(), plainSearch.occurrences.size());
        Random r1(static_cast<std::uint64_t>(round));
        Random r2(static_cast<std::uint64_t>(round));
        KeywordSupply s1(r1), s2(r2);
        s1.parseTemplates("[*]|{*}");
        s2.parseTemplates("[*]|{*}");
        ReplaceRules zero;
        zero.perKeywordLimit = 0;
        zero.totalLimit = 0;
        ASSERT_EQ(replacer.replace(content, plain, s1, "T", zero),
                  sequentialReference(content, plain, plain, s2, "T").text)
            << round;
    }
}

// The rules against a reference: the sequential passes over the text with the
// regions left alone and non-words refused, then the limits in text order.
TEST(ReplaceRulesRandomized, MatchesTheSequentialPassesUnderTheRules) {
    Random random(99);
    const Texts alphabet = {"a",   "b",    "1",    " ",     "<",     ">",
                            "<a>", "</a>", "<h2>", "</h2>", G("中"), "\x81\x61"};
    for (int round = 0; round < 1500; ++round) {
        const std::string content = randomString(random, alphabet, 0, 30);
        Texts plain;
        for (std::int64_t k = random.between(1, 5); k > 0; --k)
            plain.push_back(randomString(random, {"a", "b", "1", G("中")}, 1, 3));
        ReplaceRules rules;
        rules.avoidMarkup = random.between(0, 1) == 1;
        rules.avoidHeadings = random.between(0, 1) == 1;
        rules.wholeWords = random.between(0, 1) == 1;
        rules.perKeywordLimit = static_cast<int>(random.between(0, 3));
        rules.totalLimit = static_cast<int>(random.between(0, 4));

        // Reference: character tokens; those in regions are out of reach.
        const std::vector<ByteRange> regions =
            markupRegions(content, rules.avoidMarkup, rules.avoidHeadings);
        struct Token {
            std::string text;
            std::size_t byte = 0;
            bool blocked = false;
            int keyword = 0;  // >0: the first token of an occurrence
            std::size_t span = 1;
        };
        std::vector<Token> tokens;
        for (std::size_t i = 0; i < content.size();) {
            const std::size_t n = charSize(content, i);
            bool blocked = false;
            for (const ByteRange& r : regions)
                blocked = blocked || (i < r.end && i + n > r.begin);
            tokens.push_back({content.substr(i, n), i, blocked, 0, 1});
            i += n;
        }
        const auto alnum = [](const std::string& ch) {
            return ch.size() == 1 && std::isalnum(static_cast<unsigned char>(ch[0]));
        };
        std::vector<bool> used(tokens.size(), false);
        for (std::size_t k = 0; k < plain.size(); ++k) {
            const std::string& keyword = plain[k];
            for (std::size_t i = 0; i < tokens.size(); ++i) {
                std::string joined;
                std::size_t j = i;
                while (j < tokens.size() && !used[j] && !tokens[j].blocked &&
                       joined.size() < keyword.size())
                    joined += tokens[j++].text;
                if (joined != keyword) continue;
                if (rules.wholeWords) {
                    const bool startsWord = alnum(tokens[i].text);
                    const bool endsWord = alnum(tokens[j - 1].text);
                    if (startsWord && i > 0 && alnum(tokens[i - 1].text)) continue;
                    if (endsWord && j < tokens.size() && alnum(tokens[j].text)) continue;
                }
                for (std::size_t t = i; t < j; ++t)
                    used[t] = true;
                tokens[i].keyword = static_cast<int>(k) + 1;
                tokens[i].span = j - i;
                i = j - 1;
            }
        }
        std::vector<int> perKeyword(plain.size() + 1, 0);
        int total = 0;
        std::vector<int> found;
        for (Token& t : tokens) {
            if (t.keyword == 0) continue;
            const bool keep =
                (rules.totalLimit <= 0 || total < rules.totalLimit) &&
                (rules.perKeywordLimit <= 0 ||
                 perKeyword[static_cast<std::size_t>(t.keyword)] < rules.perKeywordLimit);
            if (!keep) {
                t.keyword = 0;
                continue;
            }
            ++total;
            ++perKeyword[static_cast<std::size_t>(t.keyword)];
        }
        for (std::size_t k = 1; k <= plain.size(); ++k) {
            if (perKeyword[k] > 0) found.push_back(static_cast<int>(k));
        }
        std::string expected;
        for (std::size_t i = 0; i < tokens.size();) {
            if (tokens[i].keyword == 0) {
                expected += tokens[i++].text;
                continue;
            }
            expected += "[" + plain[static_cast<std::size_t>(tokens[i].keyword - 1)] + "]";
            i += tokens[i].span;
        }

        const ExistingKeywordReplacer replacer(plain);
        ASSERT_EQ(replacer.find(content, rules).found, found) << round;
        Random r(1);
        KeywordSupply supply(r);
        supply.parseTemplates("[*]");
        ASSERT_EQ(replacer.replace(content, plain, supply, "T", rules), expected)
            << round << " " << U(content);
    }
}

}  // namespace
}  // namespace lct
