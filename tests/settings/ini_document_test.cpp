#include "settings/ini_document.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "form/form.h"
#include "form/headless_form.h"
#include "gbk.h"
#include "settings_support.h"

namespace lct {
namespace {

using test::G;
using test::readFile;
using test::TempFolder;
using test::writeFile;
using namespace std::string_literals;

// Installs a pending-messages handler for the life of a test.
class HandlerScope {
  public:
    explicit HandlerScope(std::function<void()> handler)
        : previous_(setPendingMessagesHandler(std::move(handler))) {}
    ~HandlerScope() { setPendingMessagesHandler(previous_); }
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;

  private:
    std::function<void()> previous_;
};

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
            EXPECT_EQ(doc.writeKey(w.section, w.key, w.value), IniDocument::kWritten);
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
    ASSERT_EQ(doc.writeKey("A", "k", "1"), 0);
    ASSERT_EQ(doc.writeKey("B", "m", "2"), 0);
    // Every write into A moves B's header; each read of B must still find it.
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(doc.readKey("B", "m", "none"), "2");
        ASSERT_EQ(doc.writeKey("A", "k", std::string(static_cast<std::size_t>(i % 7), 'x') + "1"),
                  0);
        ASSERT_EQ(doc.writeKey("A", "n" + std::to_string(i), "v"), 0);
        EXPECT_EQ(doc.readKey("B", "m", "none"), "2");
        ASSERT_EQ(doc.writeKey("B", "m", "2"), 0);
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

// A handler that runs while a write is applied issues more writes: they are
// queued (result 3) and applied after the running one, in arrival order; a
// read inside sees the document as it is at that moment.
TEST(IniPendingWrites, ReentrantWritesAreQueuedInOrder) {
    TempFolder folder;
    IniDocument doc;
    ASSERT_TRUE(doc.open(folder / "s.ini"));
    bool fired = false;
    std::vector<int> results;
    std::string seenInside;
    HandlerScope scope([&] {
        if (fired) return;
        fired = true;
        results.push_back(doc.writeKey("A", "k2", "b"));
        results.push_back(doc.writeKey("A", "k", "second"));
        results.push_back(doc.writeKey("B", "x", "c"));
        results.push_back(doc.applyPending());
        seenInside = doc.readKey("A", "k", "not yet");
    });
    EXPECT_EQ(doc.writeKey("A", "k", "first"), IniDocument::kWritten);
    EXPECT_EQ(results, (std::vector<int>{3, 3, 3, 3}));
    EXPECT_EQ(seenInside, "not yet");
    const std::string expected = "[A]\r\nk=second\r\nk2=b\r\n[B]\r\nx=c";
    EXPECT_EQ(doc.document(), expected);
    EXPECT_EQ(readFile(folder / "s.ini"), expected);
    EXPECT_EQ(doc.applyPending(), IniDocument::kFailed);  // the queue is empty
}

TEST(IniPendingWrites, WriteDuringReadIsAppliedAtOnce) {
    TempFolder folder;
    IniDocument doc;
    ASSERT_TRUE(doc.open(folder / "s.ini"));
    int result = -2;
    bool fired = false;
    HandlerScope scope([&] {
        if (fired) return;
        fired = true;
        result = doc.writeKey("A", "k", "v");
    });
    EXPECT_EQ(doc.readKey("A", "k", "default"), "v");
    EXPECT_EQ(result, IniDocument::kWritten);
}

const std::string& faultMessage() {
    static const std::string text = G("配置模块出现意外，可能导致无法正常保存！详情请咨询青禾。");
    return text;
}

// A handler that empties the document on every pass keeps the new header from
// ever being found: after the eleventh append the write is dropped with the
// two messages, and the store goes on working.
TEST(IniAppendGuard, ElevenAppendsShowTheTwoMessages) {
    TempFolder folder;
    HeadlessForm form({});
    IniDocument doc;
    doc.setMessageOwner(&form);
    ASSERT_TRUE(doc.open(folder / "s.ini"));
    int passes = 0;
    {
        HandlerScope scope([&] {
            ++passes;
            doc.close();
        });
        EXPECT_EQ(doc.writeKey("A", "k", "v"), IniDocument::kFailed);
    }
    EXPECT_EQ(passes, 11);
    ASSERT_EQ(form.messages().size(), 2u);
    EXPECT_EQ(form.messages()[0].text, faultMessage());
    EXPECT_EQ(form.messages()[0].icon, MessageIcon::Warning);
    EXPECT_EQ(form.messages()[1].text, "[A]");
    EXPECT_EQ(doc.document(), "[A]");
    EXPECT_EQ(doc.writeKey("A", "k", "v"), IniDocument::kWritten);
    EXPECT_EQ(doc.document(), "[A]\r\nk=v");
}

TEST(IniAppendGuard, WithoutOwnerTheWriteFailsQuietly) {
    TempFolder folder;
    IniDocument doc;
    ASSERT_TRUE(doc.open(folder / "s.ini"));
    HandlerScope scope([&] { doc.close(); });
    EXPECT_EQ(doc.writeKey("A", "k", "v"), IniDocument::kFailed);
}

// A handler that reloads a document without the key on every pass would make
// the key line be added forever; the write stops like the header guard.
TEST(IniAppendGuard, KeyLineThatNeverShowsUpStops) {
    TempFolder folder;
    const std::string other = folder / "other.ini";
    writeFile(other, "[A]\r\nx=1");
    IniDocument holder;
    ASSERT_TRUE(holder.open(other));
    HeadlessForm form({});
    IniDocument doc;
    doc.setMessageOwner(&form);
    ASSERT_FALSE(doc.open(other));
    {
        HandlerScope scope([&] { doc.open(other); });
        EXPECT_EQ(doc.writeKey("A", "k", "v"), IniDocument::kFailed);
    }
    EXPECT_EQ(form.messages().size(), 2u);
    EXPECT_EQ(readFile(other), "[A]\r\nx=1");
}

}  // namespace
}  // namespace lct
