#include "settings/ini_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gbk.h"
#include "pending_messages_counter.h"
#include "settings_support.h"

namespace lct {
namespace {

using test::G;
using test::readFile;
using test::TempFolder;
using test::writeFile;
using namespace std::string_literals;

struct Write {
    std::string section;
    std::string key;
    std::string value;
};

struct WriteCase {
    const char* name;
    std::string before;
    std::vector<Write> writes;
    std::string after;
};

// Each row starts from a settings file holding `before`, applies the writes
// and expects the document and the file to hold `after`, byte for byte.
TEST(IniWrite, DocumentAndFileMatchTheExpectedBytes) {
    const std::vector<WriteCase> cases = {
        {"EmptyDocument", "", {{"A", "k", "v"}}, "[A]\r\nk=v"},
        {"SecondKey", "", {{"A", "k", "v"}, {"A", "m", "w"}}, "[A]\r\nk=v\r\nm=w"},
        {"NewSection", "[A]\r\nk=v", {{"B", "k", "v"}}, "[A]\r\nk=v\r\n[B]\r\nk=v"},
        {"KeyGoesBeforeNextHeader",
         "[A]\r\nk=v\r\n[B]\r\nk=v",
         {{"A", "m", "w"}},
         "[A]\r\nk=v\r\nm=w\r\n[B]\r\nk=v"},
        {"ShorterValue",
         "[A]\r\nk=value\r\nm=w\r\n[B]\r\nk=x",
         {{"A", "k", "v"}},
         "[A]\r\nk=v\r\nm=w\r\n[B]\r\nk=x"},
        {"LongerValue",
         "[A]\r\nk=v\r\nm=w\r\n[B]\r\nk=x",
         {{"A", "k", "a longer value"}},
         "[A]\r\nk=a longer value\r\nm=w\r\n[B]\r\nk=x"},
        {"EmptyValueKeepsTheLine",
         "[A]\r\nk=v\r\nm=w\r\n[B]\r\nk=x",
         {{"A", "k", ""}},
         "[A]\r\nk=\r\nm=w\r\n[B]\r\nk=x"},
        {"ValueIntoEmptyValue", "[A]\r\nk=\r\nm=w", {{"A", "k", "v"}}, "[A]\r\nk=v\r\nm=w"},
        {"LastLineValue", "[A]\r\nk=v\r\nm=w", {{"A", "m", "ww"}}, "[A]\r\nk=v\r\nm=ww"},
        {"KeyOnlyInLaterSection",
         "[A]\r\nx=1\r\n[B]\r\nk=v",
         {{"A", "k", "w"}},
         "[A]\r\nx=1\r\nk=w\r\n[B]\r\nk=v"},
        {"SectionNamesAreCaseSensitive",
         "[a]\r\nk=1",
         {{"A", "k", "2"}},
         "[a]\r\nk=1\r\n[A]\r\nk=2"},
        {"KeysAreCaseSensitive", "[A]\r\nk=1", {{"A", "K", "2"}}, "[A]\r\nk=1\r\nK=2"},
        {"BlankBeforeEqualsIsAnotherKey", "[A]\r\nk =1", {{"A", "k", "2"}}, "[A]\r\nk =1\r\nk=2"},
        {"HeaderAtByteOne", "[A]\r\nk=1", {{"A", "k", "2"}}, "[A]\r\nk=2"},
        {"HeaderAtByteTwoIsNoHeader",
         " [A]\r\nk=1",
         {{"A", "k", "2"}},
         " [A]\r\nk=1\r\n[A]\r\nk=2"},
        {"TextAfterBracket", "[A] note\r\nk=1", {{"A", "k", "2"}}, "[A] note\r\nk=2"},
        {"KeyOnFirstLineIsNeverFound", "k=1\r\n[A]", {{"A", "k", "2"}}, "k=1\r\n[A]\r\nk=2"},
        {"FirstOfTwoHeadersWins",
         "[A]\r\nk=1\r\n[A]\r\nk=2",
         {{"A", "k", "3"}, {"A", "m", "4"}},
         "[A]\r\nk=3\r\nm=4\r\n[A]\r\nk=2"},
        {"FirstOfTwoKeyLinesWins", "[A]\r\nk=1\r\nk=2", {{"A", "k", "3"}}, "[A]\r\nk=3\r\nk=2"},
        {"SameValueChangesNothing", "[A]\r\nk=1", {{"A", "k", "1"}}, "[A]\r\nk=1"},
        {"NameInsideAValueIsNoHeader",
         "[B]\r\nx=[A]",
         {{"A", "k", "1"}},
         "[B]\r\nx=[A]\r\n[A]\r\nk=1"},
        {"HeaderWithTextAfterBracketEndsTheSection",
         "[A]\r\nk=1\r\n[B] note\r\nm=2",
         {{"A", "m", "3"}},
         "[A]\r\nk=1\r\nm=3\r\n[B] note\r\nm=2"},
        {"GbkNames", "", {{G("主界面"), G("调用方式"), "0"}}, G("[主界面]\r\n调用方式=0")},
        {"ManySectionsInOrder",
         "",
         {{"A", "a", "1"}, {"B", "b", "2"}, {"A", "c", "3"}, {"C", "d", "4"}, {"B", "e", "5"}},
         "[A]\r\na=1\r\nc=3\r\n[B]\r\nb=2\r\ne=5\r\n[C]\r\nd=4"},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const std::string path = folder / "s.ini";
        writeFile(path, c.before);
        IniDocument doc;
        ASSERT_TRUE(doc.open(path));
        for (const Write& w : c.writes)
            EXPECT_EQ(doc.writeKey(w.section, w.key, w.value), KeyWrite::Written);
        EXPECT_EQ(doc.document(), c.after);
        EXPECT_EQ(readFile(path), c.after);
        EXPECT_FALSE(doc.fileBehind());
        for (const Write& w : c.writes)
            EXPECT_EQ(doc.readKey(w.section, w.key, "default", false), w.value) << w.key;
    }
}

struct ReadCase {
    const char* name;
    std::string document;
    std::string section;
    std::string key;
    std::string expected;
};

TEST(IniRead, ValueOrDefault) {
    const std::vector<ReadCase> cases = {
        {"Plain", "[A]\r\nk=v", "A", "k", "v"},
        {"BeforeLineBreak", "[A]\r\nk=v\r\n", "A", "k", "v"},
        {"EmptyValueIsMissing", "[A]\r\nk=\r\nm=w", "A", "k", "default"},
        {"KeyOfLaterSection", "[A]\r\nx=1\r\n[B]\r\nk=v", "A", "k", "default"},
        {"KeyOfThatLaterSection", "[A]\r\nx=1\r\n[B]\r\nk=v", "B", "k", "v"},
        {"SectionCase", "[a]\r\nk=1", "A", "k", "default"},
        {"KeyCase", "[A]\r\nk=1", "A", "K", "default"},
        {"BlankBeforeEquals", "[A]\r\nk =1", "A", "k", "default"},
        {"BlanksAreKept", "[A]\r\nk= 1 ", "A", "k", " 1 "},
        {"HeaderAtByteTwo", " [A]\r\nk=1", "A", "k", "default"},
        {"TextAfterBracket", "[A] note\r\nk=1", "A", "k", "1"},
        {"KeyOnFirstLine", "k=1\r\n[A]", "A", "k", "default"},
        {"FalseMatchBeforeHeader", "x[A]\r\n[A]\r\nk=1", "A", "k", "1"},
        {"EmptyLineInSection", "[A]\r\n\r\nk=1", "A", "k", "1"},
        {"StopsAtNul", "[A]\r\nk=a\0b"s, "A", "k", "a"},
        {"NulFirstIsEmpty", "[A]\r\nk=\0b"s, "A", "k", "default"},
        {"LoneLfInsideValue", "[A]\r\nk=a\nb\r\nm=1", "A", "k", "a\nb"},
        {"LaterHeaderWithNote", "[A]\r\nk=1\r\n[B] note\r\nm=2", "A", "m", "default"},
        {"LineStartingWithBracketButNoHeader", "[A]\r\n[note\r\nm=2", "A", "m", "2"},
        {"MissingSection", "[A]\r\nk=1", "B", "k", "default"},
        {"EmptyDocument", "", "A", "k", "default"},
        {"EqualsInValue", "[A]\r\nk=a=b", "A", "k", "a=b"},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const std::string path = folder / "s.ini";
        writeFile(path, c.document);
        IniDocument doc;
        ASSERT_TRUE(doc.open(path));
        EXPECT_EQ(doc.readKey(c.section, c.key, "default"), c.expected);
        EXPECT_EQ(readFile(path), c.document);
    }
}

TEST(IniRead, EmptyValueWhenEmptyIsNotMissing) {
    TempFolder folder;
    writeFile(folder / "s.ini", "[A]\r\nk=\r\nm=w");
    IniDocument doc;
    ASSERT_TRUE(doc.open(folder / "s.ini"));
    EXPECT_EQ(doc.readKey("A", "k", "default", false), "");
    EXPECT_EQ(doc.readKey("A", "k", "default", true), "default");
}

struct BetweenCase {
    const char* name;
    std::string document;
    std::int64_t from;
    std::int64_t to;
    std::int64_t expected;
};

TEST(IniHeaderBetween, FirstHeaderLineInRange) {
    // Positions in "[A]\r\nk=1\r\n[B]\r\nm=2": the CR LF before [B] is at 9, its "[" at 11.
    const std::string doc = "[A]\r\nk=1\r\n[B]\r\nm=2";
    const std::vector<BetweenCase> cases = {
        {"Found", doc, 4, 20, 11},
        {"LineBreakAtTo", doc, 4, 9, -1},
        {"LineBreakBeforeTo", doc, 4, 10, 11},
        {"FromPastTheHeader", doc, 10, 30, -1},
        {"ByteOneIsNotALine", doc, 1, 3, -1},
        {"NoClosingBracket", "[A]\r\n[xyz\r\nk=1", 1, 100, -1},
        {"TextAfterBracket", "[A]\r\n[B] t\r\nk", 1, 100, 6},
        {"SecondLineCounts", "[A]\r\n[x\r\n[B]\r\n", 1, 100, 10},
        // B0 5D is one double-byte character whose trail byte equals "]".
        {"BracketInsideCharacter", "[A]\r\n[\xB0]\r\nk=1", 1, 100, -1},
    };
    for (const BetweenCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        writeFile(folder / "s.ini", c.document);
        IniDocument ini;
        ASSERT_TRUE(ini.open(folder / "s.ini"));
        EXPECT_EQ(ini.headerBetween(c.from, c.to), c.expected);
    }
}

TEST(IniSectionCache, ConsecutiveSectionsAfterShiftingWrites) {
    TempFolder folder;
    IniDocument doc;
    ASSERT_TRUE(doc.open(folder / "s.ini"));
    ASSERT_EQ(doc.writeKey("A", "k", "1"), KeyWrite::Written);
    ASSERT_EQ(doc.writeKey("B", "m", "2"), KeyWrite::Written);
    // Every write into A moves B's header; each read of B must still find it.
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(doc.readKey("B", "m", "none"), "2");
        const std::string value = std::string(static_cast<std::size_t>(i % 7), 'x') + "1";
        ASSERT_EQ(doc.writeKey("A", "k", value), KeyWrite::Written);
        ASSERT_EQ(doc.writeKey("A", "n" + std::to_string(i), "v"), KeyWrite::Written);
        EXPECT_EQ(doc.readKey("B", "m", "none"), "2");
        ASSERT_EQ(doc.writeKey("B", "m", "2"), KeyWrite::Written);
    }
    EXPECT_EQ(readFile(folder / "s.ini"), doc.document());
}

TEST(IniSectionCache, ReopenStartsWithAnEmptyCache) {
    TempFolder folder;
    writeFile(folder / "one.ini", "[A]\r\nk=one");
    writeFile(folder / "two.ini", "xxxxxxxxxx\r\n[A]\r\nk=two");
    IniDocument doc;
    ASSERT_TRUE(doc.open(folder / "one.ini"));
    EXPECT_EQ(doc.readKey("A", "k", ""), "one");
    ASSERT_TRUE(doc.open(folder / "two.ini"));
    EXPECT_EQ(doc.readKey("A", "k", ""), "two");
    doc.close();
    EXPECT_EQ(doc.document(), "");
    EXPECT_EQ(doc.readKey("A", "k", "gone"), "gone");
}

// Reads and writes are whole before anything else runs: neither lets the
// window in, so a handler can never see or make a change half-way through.
TEST(IniDocument, ReadsAndWritesNeverLetTheWindowIn) {
    TempFolder folder;
    writeFile(folder / "s.ini", "x[A]\r\n[A]\r\nk=1");  // the first "[A]" is no header
    IniDocument doc;
    ASSERT_TRUE(doc.open(folder / "s.ini"));
    const test::PendingMessagesCounter breaths;
    EXPECT_EQ(doc.readKey("A", "k", ""), "1");
    EXPECT_EQ(doc.readKey("B", "k", "none"), "none");
    EXPECT_EQ(doc.writeKey("A", "k", "2"), KeyWrite::Written);
    EXPECT_EQ(doc.writeKey("A", "m", "3"), KeyWrite::Written);
    EXPECT_EQ(doc.writeKey("B", "n", "4"), KeyWrite::Written);
    EXPECT_EQ(breaths.count(), 0);
    const std::string expected = "x[A]\r\n[A]\r\nk=2\r\nm=3\r\n[B]\r\nn=4";
    EXPECT_EQ(doc.document(), expected);
    EXPECT_EQ(readFile(folder / "s.ini"), expected);
}

struct OnePassCase {
    const char* name;
    std::string before;
    Write write;
    std::string after;
};

// A missing header or key line is added once and then found where every
// later read finds it, even for names that hold line breaks, brackets or "=":
// the value goes to the first line that matches.
TEST(IniWrite, NamesLikeLinesOrHeadersAreAddedOnce) {
    const std::vector<OnePassCase> cases = {
        {"KeyRunsIntoItsNewLine", "[A]\r\n=", {"A", "=\r\n", "v"}, "[A]\r\n=\r\n=v\r\n="},
        {"KeyWithAHeaderOfTheSection",
         "[A]\r\nx=1\r\n[B]\r\ny=2",
         {"A", "k\r\n[B]", "v"},
         "[A]\r\nx=1\r\nk\r\n[B]=v\r\n[B]\r\ny=2"},
        {"KeyWithAnEarlierHeader",
         "[A]\r\nx=1\r\n[B]\r\ny=2",
         {"B", "k\r\n[A]", "v"},
         "[A]\r\nx=1\r\n[B]\r\ny=2\r\nk\r\n[A]=v"},
        {"KeyHoldingAWholeLine", "[A]\r\nk=1", {"A", "k=1\r\nk", "v"}, "[A]\r\nk=1\r\nk=v\r\nk="},
        {"SectionWithABracket", "[B]\r\nk=1", {"A]x", "k", "v"}, "[B]\r\nk=1\r\n[A]x]\r\nk=v"},
        {"EmptyKey", "[A]", {"A", "", "v"}, "[A]\r\n=v"},
        {"EmptySection", "", {"", "k", "v"}, "[]\r\nk=v"},
        {"BeforeAnOpenBracketLine", "[A]\r\n[", {"A", "k", "v"}, "[A]\r\nk=v\r\n["},
    };
    for (const OnePassCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        writeFile(folder / "s.ini", c.before);
        IniDocument doc;
        ASSERT_TRUE(doc.open(folder / "s.ini"));
        EXPECT_EQ(doc.writeKey(c.write.section, c.write.key, c.write.value), KeyWrite::Written);
        EXPECT_EQ(doc.document(), c.after);
        EXPECT_EQ(readFile(folder / "s.ini"), c.after);
        EXPECT_EQ(doc.readKey(c.write.section, c.write.key, "default"), c.write.value);
    }
}

}  // namespace
}  // namespace lct
