#include "engine/shuffle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "engine/chars.h"
#include "engine/patterns.h"
#include "engine/unique_picker.h"
#include "gbk.h"

namespace lct {
namespace {

using test::G;
using test::U;

// The slots of a text cut at single-character symbols (and CR LF), as the
// shuffle sees them: piece and symbol, the tail without a symbol.
struct Cut {
    std::vector<std::string> pieces;
    std::vector<std::string> symbols;
};

Cut cutAt(const std::string& text, const std::vector<std::string>& symbols) {
    Cut cut;
    const CharIndex index(text);
    std::string piece;
    for (int p = 1; p <= index.count(); ++p) {
        const std::string ch(index.at(p));
        if (std::find(symbols.begin(), symbols.end(), ch) != symbols.end()) {
            cut.pieces.push_back(piece);
            cut.symbols.push_back(ch);
            piece.clear();
        } else {
            piece += ch;
        }
    }
    if (!piece.empty()) {
        cut.pieces.push_back(piece);
        cut.symbols.emplace_back();
    }
    return cut;
}

std::multiset<std::string> movablePieces(const Cut& cut) {
    std::multiset<std::string> out;
    for (const std::string& p : cut.pieces) {
        if (!isBlank(p)) out.insert(p);
    }
    return out;
}

TEST(ShuffleText, PermutesSentencesAndKeepsEverySlotsSymbol) {
    Random random(7);
    const std::string text = G("一。二。三。");
    std::set<std::string> results;
    for (int i = 0; i < 200; ++i) {
        const std::string out = shuffleText(text, G("。"), random);
        const Cut cut = cutAt(out, {G("。")});
        ASSERT_EQ(cut.symbols, std::vector<std::string>(3, G("。"))) << U(out);
        EXPECT_EQ(movablePieces(cut), (std::multiset<std::string>{G("一"), G("二"), G("三")}));
        results.insert(out);
    }
    EXPECT_EQ(results.size(), 6u);  // every order turns up
}

// The pieces are dealt in the unique picker's order over the movable ones,
// blank pieces staying where they are.
TEST(ShuffleText, DealsInTheUniquePickersOrder) {
    std::vector<std::string> pieces;
    std::string text;
    for (int i = 0; i < 60; ++i) {
        pieces.push_back(std::to_string(i));
        text += pieces.back() + G("。") + (i % 7 == 0 ? " " + G("。") : "");
    }
    Random random(11);
    Random same(11);
    UniquePicker picker;
    std::string expected;
    for (int i = 0; i < 60; ++i) {
        const int drawn = picker.pick(same, 1, static_cast<int>(pieces.size()));
        expected += pieces[static_cast<std::size_t>(drawn - 1)] + G("。");
        if (i % 7 == 0) expected += " " + G("。");
    }
    EXPECT_EQ(shuffleText(text, G("。"), random), expected);
}

TEST(ShuffleText, TextWithoutSymbolsComesBackUnchanged) {
    Random random(1);
    const std::vector<std::string> texts = {"", G("没有符号的文本"), "abc", G("一。")};
    for (const std::string& t : texts)
        EXPECT_EQ(shuffleText(t, "|", random), t) << U(t);
    EXPECT_EQ(shuffleText(G("一二三"), G("。|！"), random), G("一二三"));
}

TEST(ShuffleText, TailAfterTheLastSymbolTakesPartWithoutASymbol) {
    Random random(3);
    std::set<std::string> results;
    for (int i = 0; i < 100; ++i) {
        const std::string out = shuffleText(G("一。二。三"), G("。"), random);
        const Cut cut = cutAt(out, {G("。")});
        ASSERT_EQ(cut.symbols, (std::vector<std::string>{G("。"), G("。"), ""})) << U(out);
        results.insert(out);
    }
    EXPECT_EQ(results.size(), 6u);
}

TEST(ShuffleText, BlankPiecesStayInPlace) {
    Random random(11);
    // Without a backslash-n escape a line break is a symbol as well.
    const std::string text = G("甲。\r\n   \r\n乙，\t　\r\n\r\n丙");
    for (int i = 0; i < 100; ++i) {
        const std::string out = shuffleText(text, G("。|，"), random);
        const Cut in = cutAt(text, {G("。"), G("，"), "\r\n"});
        const Cut cut = cutAt(out, {G("。"), G("，"), "\r\n"});
        ASSERT_EQ(cut.symbols, in.symbols) << U(out);
        for (std::size_t k = 0; k < in.pieces.size(); ++k) {
            if (isBlank(in.pieces[k])) {
                EXPECT_EQ(cut.pieces[k], in.pieces[k]) << k << U(out);
            }
        }
        EXPECT_EQ(movablePieces(cut), movablePieces(in));
    }
}

TEST(ShuffleText, OneSpacePieceStaysAndNothingIsRepeated) {
    Random random(5);
    std::set<std::string> results;
    for (int i = 0; i < 100; ++i) {
        const std::string out = shuffleText("ab, ,cd,ef", ",", random);
        const Cut cut = cutAt(out, {","});
        ASSERT_EQ(cut.pieces.size(), 4u) << out;
        EXPECT_EQ(cut.pieces[1], " ") << out;
        EXPECT_EQ(movablePieces(cut), (std::multiset<std::string>{"ab", "cd", "ef"})) << out;
        results.insert(out);
    }
    EXPECT_EQ(results.size(), 6u);
}

TEST(ShuffleText, LineBreakEscapeMakesLinesThePieces) {
    Random random(9);
    std::set<std::string> results;
    for (int i = 0; i < 50; ++i)
        results.insert(shuffleText(G("甲\r\n乙"), "\\n", random));
    EXPECT_EQ(results, (std::set<std::string>{G("甲\r\n乙"), G("乙\r\n甲")}));
}

TEST(ShuffleText, AsciiLettersMatchWithoutCase) {
    Random random(2);
    std::set<std::string> results;
    for (int i = 0; i < 50; ++i)
        results.insert(shuffleText("aXb", "x", random));
    EXPECT_EQ(results, (std::set<std::string>{"aXb", "bXa"}));
}

TEST(ShuffleText, TrailByteEqualToTheSymbolIsNoSymbol) {
    Random random(4);
    const std::string lead =
        "A\x81\x5C"
        "B";  // a character whose trail byte is '\'
    std::set<std::string> results;
    for (int i = 0; i < 50; ++i)
        results.insert(shuffleText(lead + "\\C", "\\", random));
    EXPECT_EQ(results, (std::set<std::string>{lead + "\\C", "C\\" + lead}));
}

// Overlapping symbol occurrences (a symbol inside a longer one, or one symbol
// listed twice) must not cut the text twice: every byte comes back once.
TEST(ShuffleText, OverlappingSymbolsNeverDuplicateText) {
    Random random(6);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"a!!b!c", "!|!!"},
        {"a!!b!c", "!!|!"},
        {G("一。二。三"), G("。|。")},
        {"x\r\ny\r\nz", "\\n|\\n"},
        {G("一。。二。。。三"), G("。。")},
    };
    for (const auto& [text, symbols] : cases) {
        for (int i = 0; i < 30; ++i) {
            const std::string out = shuffleText(text, symbols, random);
            std::string a = out;
            std::string b = text;
            std::sort(a.begin(), a.end());
            std::sort(b.begin(), b.end());
            ASSERT_EQ(a, b) << U(text) << " -> " << U(out);
        }
    }
}

TEST(ShuffleText, RandomTextsKeepSymbolsBlanksAndPieces) {
    Random random(2024);
    const std::vector<std::string> alphabet = {G("甲"), G("乙"), G("。"), G("，"), " ",
                                               "\r\n",  "a",     "\t",    G("　"), "!"};
    const std::vector<std::string> symbols = {G("。"), G("，"), "!", "\r\n"};
    for (int round = 0; round < 500; ++round) {
        std::string text;
        const auto length = random.between(0, 30);
        for (std::int64_t i = 0; i < length; ++i)
            text += alphabet[static_cast<std::size_t>(random.between(0, 9))];
        const std::string out = shuffleText(text, G("。|，|!"), random);
        const Cut in = cutAt(text, symbols);
        const Cut cut = cutAt(out, symbols);
        ASSERT_EQ(cut.symbols, in.symbols) << U(text) << " -> " << U(out);
        ASSERT_EQ(movablePieces(cut), movablePieces(in)) << U(text) << " -> " << U(out);
        for (std::size_t k = 0; k < in.pieces.size(); ++k) {
            if (isBlank(in.pieces[k])) {
                ASSERT_EQ(cut.pieces[k], in.pieces[k]) << U(text);
            }
        }
    }
}

}  // namespace
}  // namespace lct
