#include "engine/replace_existing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/chars.h"
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
    const Texts alphabet = {"a", "b", "A", G("中"), G("文"), "\r\n", "\x81\x30\x81\x30", "\r"};
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

}  // namespace
}  // namespace lct
