// Settings files that the engine did not write: random bytes, NUL bytes,
// broken headers and key lines, very large files. None of them may crash the
// store, and no byte that a write does not replace may change.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "gbk.h"
#include "settings/ini_document.h"
#include "settings_support.h"

namespace lct {
namespace {

using test::G;
using test::readFile;
using test::TempFolder;
using test::writeFile;
using namespace std::string_literals;

std::string randomBytes(std::mt19937& random, std::size_t size) {
    std::uniform_int_distribution<int> byte(0, 255);
    std::string out(size, '\0');
    for (char& c : out)
        c = static_cast<char>(byte(random));
    return out;
}

TEST(BadSettingsFile, RandomBytesAreKeptAndNewSectionsAppended) {
    std::mt19937 random(20240501);
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        TempFolder folder;
        const std::string path = folder / "s.ini";
        const std::string original =
            randomBytes(random, 4096 + static_cast<std::size_t>(round) * 997);
        writeFile(path, original);
        IniDocument doc;
        ASSERT_TRUE(doc.open(path));
        EXPECT_EQ(doc.readKey(G("设置"), "k", "d"), "d");
        EXPECT_EQ(doc.writeKey(G("设置"), "k", "v"), KeyWrite::Written);
        EXPECT_EQ(doc.document(), original + G("\r\n[设置]\r\nk=v"));
        EXPECT_EQ(readFile(path), doc.document());
        EXPECT_EQ(doc.readKey(G("设置"), "k", "d"), "v");
    }
}

// Documents built from the bytes that carry structure, then random writes:
// after each write the file equals the document, the written value reads back,
// and no other value changed.
TEST(BadSettingsFile, StructuredNoiseKeepsEveryOtherValue) {
    const std::vector<std::string> tokens = {
        "[",   "]",  "\r\n",  "\r",    "\n",   "=",   "A",   "B",      "k",     "m",    " ",
        "\0"s, "v1", G("甲"), G("乙"), "\xB0", "[A]", "[B]", "\r\nk=", "\r\n[", "]\r\n"};
    const std::vector<std::string> sections = {"A", "B", G("甲")};
    const std::vector<std::string> keys = {"k", "m", G("乙")};
    const std::vector<std::string> values = {"", "1", "22", G("值"), "a b"};
    std::mt19937 random(7);
    auto pick = [&](const std::vector<std::string>& list) {
        return list[std::uniform_int_distribution<std::size_t>(0, list.size() - 1)(random)];
    };
    TempFolder folder;
    const std::string path = folder / "s.ini";
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        std::string original;
        const int count = std::uniform_int_distribution<int>(0, 40)(random);
        for (int i = 0; i < count; ++i)
            original += pick(tokens);
        writeFile(path, original);
        IniDocument doc;
        ASSERT_TRUE(doc.open(path));
        for (int w = 0; w < 4; ++w) {
            std::vector<std::string> before;
            for (const std::string& s : sections)
                for (const std::string& k : keys)
                    before.push_back(doc.readKey(s, k, "<none>", false));
            const std::string section = pick(sections);
            const std::string key = pick(keys);
            const std::string value = pick(values);
            ASSERT_EQ(doc.writeKey(section, key, value), KeyWrite::Written);
            ASSERT_EQ(readFile(path), doc.document());
            std::size_t i = 0;
            for (const std::string& s : sections) {
                for (const std::string& k : keys) {
                    const std::string now = doc.readKey(s, k, "<none>", false);
                    if (s == section && k == key)
                        EXPECT_EQ(now, value);
                    else
                        EXPECT_EQ(now, before[i]) << s << "/" << k;
                    ++i;
                }
            }
        }
        doc.close();
    }
}

struct Write {
    std::string section;
    std::string key;
    std::string value;
};

struct DamagedCase {
    const char* name;
    std::string before;
    std::string readSection;
    std::string readKey;
    std::string read;  // value read before the write
    Write write;
    std::string after;
};

TEST(BadSettingsFile, DamagedLines) {
    const std::vector<DamagedCase> cases = {
        {"NulInsideValue",
         "[A]\r\nk=ab\0cd\r\nm=1"s,
         "A",
         "k",
         "ab",
         {"A", "m", "2"},
         "[A]\r\nk=ab\0cd\r\nm=2"s},
        {"NulValueReplacedWhole",
         "[A]\r\nk=ab\0cd\r\nm=1"s,
         "A",
         "m",
         "1",
         {"A", "k", "x"},
         "[A]\r\nk=x\r\nm=1"},
        {"NulBeforeHeader",
         "\0\0\r\n[A]\r\nk=1"s,
         "A",
         "k",
         "1",
         {"A", "k", "2"},
         "\0\0\r\n[A]\r\nk=2"s},
        {"HeaderWithoutBracket",
         "[A\r\nk=1",
         "A",
         "k",
         "d",
         {"A", "k", "2"},
         "[A\r\nk=1\r\n[A]\r\nk=2"},
        {"KeyLineWithoutEquals",
         "[A]\r\nk\r\nm=1",
         "A",
         "k",
         "d",
         {"A", "k", "2"},
         "[A]\r\nk\r\nm=1\r\nk=2"},
        {"OnlyLineBreaks", "\r\n\r\n", "A", "k", "d", {"A", "k", "1"}, "\r\n\r\n\r\n[A]\r\nk=1"},
        {"LoneCrAtEnd", "[A]\r\nk=1\r", "A", "k", "1\r", {"A", "m", "2"}, "[A]\r\nk=1\r\r\nm=2"},
        {"HeaderLastWithoutLineBreak",
         "[B]\r\nx=1\r\n[A]",
         "A",
         "k",
         "d",
         {"A", "k", "2"},
         "[B]\r\nx=1\r\n[A]\r\nk=2"},
        {"EmptyKey", "[A]\r\n=1", "A", "", "1", {"A", "", "2"}, "[A]\r\n=2"},
    };
    for (const DamagedCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const std::string path = folder / "s.ini";
        writeFile(path, c.before);
        IniDocument doc;
        ASSERT_TRUE(doc.open(path));
        EXPECT_EQ(doc.readKey(c.readSection, c.readKey, "d"), c.read);
        EXPECT_EQ(readFile(path), c.before);  // reading never writes
        EXPECT_EQ(doc.writeKey(c.write.section, c.write.key, c.write.value), KeyWrite::Written);
        EXPECT_EQ(doc.document(), c.after);
        EXPECT_EQ(readFile(path), c.after);
    }
}

// Ten megabytes of sections: values change at the start, in the middle and at
// the end, and the file follows byte for byte.
TEST(BadSettingsFile, TenMegabyteDocument) {
    std::string original;
    int sections = 0;
    while (original.size() < (10u << 20)) {
        original += (sections ? "\r\n[S" : "[S") + std::to_string(sections) + "]";
        for (int k = 0; k < 20; ++k)
            original +=
                "\r\nkey" + std::to_string(k) + "=value " + std::to_string(sections * 20 + k);
        ++sections;
    }
    TempFolder folder;
    const std::string path = folder / "s.ini";
    writeFile(path, original);
    IniDocument doc;
    ASSERT_TRUE(doc.open(path));
    const std::string last = "S" + std::to_string(sections - 1);
    EXPECT_EQ(doc.readKey(last, "key19", ""), "value " + std::to_string(sections * 20 - 1));
    EXPECT_EQ(doc.readKey("S0", "missing", "d"), "d");
    EXPECT_EQ(doc.writeKey("S0", "key0", "a much longer value than before"), KeyWrite::Written);
    EXPECT_EQ(doc.writeKey("S" + std::to_string(sections / 2), "key5", ""), KeyWrite::Written);
    EXPECT_EQ(doc.writeKey(last, "new", "v"), KeyWrite::Written);
    EXPECT_EQ(doc.writeKey("T", "k", "v"), KeyWrite::Written);
    EXPECT_EQ(doc.readKey("S0", "key0", ""), "a much longer value than before");
    EXPECT_EQ(doc.readKey(last, "key19", ""), "value " + std::to_string(sections * 20 - 1));
    EXPECT_EQ(doc.readKey("S" + std::to_string(sections / 2), "key5", "d"), "d");
    EXPECT_TRUE(readFile(path) == doc.document());
    EXPECT_TRUE(doc.document().ends_with(original.substr(original.size() - 1000) +
                                         "\r\nnew=v\r\n[T]\r\nk=v"));
}

}  // namespace
}  // namespace lct
