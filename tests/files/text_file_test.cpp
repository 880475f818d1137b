#include "files/text_file.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/line_breaks.h"
#include "gbk.h"
#include "platform/charset.h"
#include "platform/gzip.h"
#include "temp_folder.h"

namespace lct {
namespace {

using test::G;
using test::gzipMember;
using test::readBytes;
using test::TempFolder;
using test::U;

const std::string kUtf8Bom = "\xEF\xBB\xBF";
const std::string kLeBom = "\xFF\xFE";
const std::string kBeBom = "\xFE\xFF";

std::string utf16le(std::string_view utf8) {
    return convertCharset(utf8, "UTF-8", "UTF-16LE").value_or("");
}
std::string utf16be(std::string_view utf8) {
    return convertCharset(utf8, "UTF-8", "UTF-16BE").value_or("");
}

struct ReadCase {
    const char* what;
    std::string bytes;
    TextEncoding requested;
    std::string expectedUtf8;  // the text, shown as UTF-8
    TextEncoding detected;
};

class ReadTextFileTest : public ::testing::Test {
  protected:
    TempFolder folder_;

    void check(const std::vector<ReadCase>& cases) {
        int n = 0;
        for (const ReadCase& c : cases) {
            const std::string path = folder_.write("case" + std::to_string(n++), c.bytes);
            const TextFile file = readTextFile(path, c.requested);
            EXPECT_EQ(U(file.text), c.expectedUtf8) << c.what;
            EXPECT_EQ(file.detected, c.detected) << c.what;
        }
    }
};

TEST_F(ReadTextFileTest, ByteOrderMarksDecideAndAreDropped) {
    check({
        {"UTF-8 mark", kUtf8Bom + "中文a", TextEncoding::Detect, "中文a", TextEncoding::Utf8},
        {"UTF-8 mark, forced UTF-8", kUtf8Bom + "中文a", TextEncoding::Utf8, "中文a",
         TextEncoding::Utf8},
        {"UTF-16LE mark", kLeBom + utf16le("中文a"), TextEncoding::Detect, "中文a",
         TextEncoding::Utf16Le},
        {"UTF-16BE mark", kBeBom + utf16be("中文a"), TextEncoding::Detect, "中文a",
         TextEncoding::Utf16Be},
        {"a mark outweighs a meta tag", kUtf8Bom + "<meta charset=big5>中", TextEncoding::Detect,
         "<meta charset=big5>中", TextEncoding::Utf8},
    });
}

TEST_F(ReadTextFileTest, ForcedGbkKeepsTheMarkBytes) {
    const std::string path = folder_.write("bom.txt", kUtf8Bom + "abc");
    const TextFile file = readTextFile(path, TextEncoding::Gbk);
    EXPECT_EQ(file.text, kUtf8Bom + "abc");
    EXPECT_EQ(file.detected, TextEncoding::Gbk);
}

TEST_F(ReadTextFileTest, ForcedEncodingsDropTheirFirstBytes) {
    check({
        {"forced UTF-16LE drops a mark", kLeBom + utf16le("中a"), TextEncoding::Utf16Le, "中a",
         TextEncoding::Utf16Le},
        {"forced UTF-16LE drops the first character when there is no mark", utf16le("中a"),
         TextEncoding::Utf16Le, "a", TextEncoding::Utf16Le},
        {"forced UTF-16BE drops the first character when there is no mark", utf16be("中a"),
         TextEncoding::Utf16Be, "a", TextEncoding::Utf16Be},
        {"forced UTF-8 without a mark keeps every byte", "中a", TextEncoding::Utf8, "中a",
         TextEncoding::Utf8},
        {"forced Big5", "\xB3\x6F\xAC\x4F", TextEncoding::Big5, "這是", TextEncoding::Big5},
        {"forced HKSCS", "\x9D\xEF", TextEncoding::Big5Hkscs, "嘅", TextEncoding::Big5Hkscs},
    });
}

TEST_F(ReadTextFileTest, MetaCharsetDecidesWithoutAMark) {
    const std::string utf8Page = "<html><head><META CHARSET=\"UTF-8\"></head>中文</html>";
    const std::string big5Page = "<head><meta charset=big5></head>\xB3\x6F\xAC\x4F";
    const std::string hkscsPage = "<head><meta charset='Big5-HKSCS'></head>\x9D\xEF";
    check({
        {"UTF-8 from the first byte", utf8Page, TextEncoding::Detect, utf8Page, TextEncoding::Utf8},
        {"Big5 in lower case", big5Page, TextEncoding::Detect,
         "<head><meta charset=big5></head>這是", TextEncoding::Big5},
        {"Big5-HKSCS quoted", hkscsPage, TextEncoding::Detect,
         "<head><meta charset='Big5-HKSCS'></head>嘅", TextEncoding::Big5Hkscs},
    });
}

TEST_F(ReadTextFileTest, Utf8TestDecidesLast) {
    check({
        {"pure ASCII reads as GBK", "plain text", TextEncoding::Detect, "plain text",
         TextEncoding::Gbk},
        {"two- and three-byte sequences", "caf\xC3\xA9 中文", TextEncoding::Detect, "café 中文",
         TextEncoding::Utf8},
        {"four-byte sequences too", "表情😀", TextEncoding::Detect, "表情😀", TextEncoding::Utf8},
        {"GBK text", G("这是GBK的中文"), TextEncoding::Detect, "这是GBK的中文", TextEncoding::Gbk},
        {"empty file", "", TextEncoding::Detect, "", TextEncoding::Gbk},
    });
}

TEST_F(ReadTextFileTest, AnOnlyMarkGivesEmptyTextInItsEncoding) {
    check({
        {"UTF-8 mark only", kUtf8Bom, TextEncoding::Detect, "", TextEncoding::Utf8},
        {"UTF-16LE mark only", kLeBom, TextEncoding::Detect, "", TextEncoding::Utf16Le},
        {"forced UTF-16 over two bytes", "ab", TextEncoding::Utf16Be, "", TextEncoding::Utf16Be},
    });
}

struct LineBreakCase {
    const char* what;
    std::string bytes;
    std::string text;
    LineBreaks style;
};

TEST_F(ReadTextFileTest, LfOnlyFilesReadWithCrLf) {
    const std::vector<LineBreakCase> cases = {
        {"LF only", "a\nb\n\nc", "a\r\nb\r\n\r\nc", LineBreaks::Lf},
        {"CR LF", "a\r\nb\r\n", "a\r\nb\r\n", LineBreaks::CrLf},
        {"mixed stays as it is", "a\r\nb\nc", "a\r\nb\nc", LineBreaks::CrLf},
        {"lone CR with LF", "a\rb\nc", "a\rb\r\nc", LineBreaks::Lf},
        {"no line break", "abc", "abc", LineBreaks::CrLf},
    };
    for (const LineBreakCase& c : cases) {
        const TextFile file = readTextFile(folder_.write("f.txt", c.bytes), TextEncoding::Detect);
        EXPECT_EQ(file.text, c.text) << c.what;
        EXPECT_EQ(file.lineBreaks, c.style) << c.what;
    }
}

TEST_F(ReadTextFileTest, Utf16LineBreaksAreFoundAfterDecoding) {
    // In UTF-16 the LF byte is followed or preceded by NUL; only the decoded
    // text can say which line breaks the file has.
    const TextFile le =
        readTextFile(folder_.write("le", kLeBom + utf16le("a\nb")), TextEncoding::Detect);
    EXPECT_EQ(le.text, "a\r\nb");
    EXPECT_EQ(le.lineBreaks, LineBreaks::Lf);
    // U+0A0D holds the bytes 0D 0A in little-endian order but is no line break.
    const TextFile trap = readTextFile(folder_.write("trap", kLeBom + std::string("\x0D\x0A", 2)),
                                       TextEncoding::Detect);
    EXPECT_EQ(trap.text, G("\u0A0D"));
    EXPECT_EQ(trap.lineBreaks, LineBreaks::CrLf);
}

struct RoundTrip {
    const char* what;
    std::string bytes;
    TextEncoding requested;
};

TEST_F(ReadTextFileTest, ReadThenWriteGivesTheSameBytesInEveryEncodingAndStyle) {
    std::vector<RoundTrip> cases;
    for (const std::string lineBreak : {"\n", "\r\n"}) {
        const std::string utf8 = "第一行 one" + lineBreak + "第二行" + lineBreak;
        const std::string big5 = "\xB3\x6F\xAC\x4F" + lineBreak + "\xB4\xFA\xB8\xD5" + lineBreak;
        cases.push_back({"GBK", G(utf8), TextEncoding::Detect});
        cases.push_back({"UTF-8 with mark", kUtf8Bom + utf8, TextEncoding::Detect});
        cases.push_back({"UTF-16LE", kLeBom + utf16le(utf8), TextEncoding::Detect});
        cases.push_back({"UTF-16BE", kBeBom + utf16be(utf8), TextEncoding::Detect});
        cases.push_back({"Big5", big5, TextEncoding::Big5});
        cases.push_back(
            {"Big5-HKSCS", "\x9D\xEF" + lineBreak + "\x9D\xEF", TextEncoding::Big5Hkscs});
    }
    for (const RoundTrip& c : cases) {
        const std::string in = folder_.write("in.txt", c.bytes);
        const TextFile file = readTextFile(in, c.requested);
        const std::string out = folder_.file("out.txt");
        ASSERT_TRUE(writeTextFile(out, file.text, file.detected, file.lineBreaks)) << c.what;
        EXPECT_EQ(readBytes(out), c.bytes) << c.what;
    }
}

TEST_F(ReadTextFileTest, GzipFileIsDecompressedInMemoryAndStaysAsItIs) {
    const std::string packed = gzipMember(kUtf8Bom + "压缩的文章\n第二行");
    const std::string path = folder_.write("a.htm", packed);
    const TextFile file = readTextFile(path, TextEncoding::Detect);
    EXPECT_EQ(U(file.text), "压缩的文章\r\n第二行");
    EXPECT_EQ(file.detected, TextEncoding::Utf8);
    EXPECT_EQ(file.lineBreaks, LineBreaks::Lf);
    EXPECT_TRUE(file.compressed);
    EXPECT_EQ(readBytes(path), packed);
    EXPECT_EQ(folder_.names(), std::vector<std::string>{"a.htm"});
}

TEST_F(ReadTextFileTest, MultiMemberGzipFileIsReadWhole) {
    const std::string path = folder_.write("m.txt", gzipMember(G("第一")) + gzipMember(G("第二")));
    EXPECT_EQ(U(readTextFile(path, TextEncoding::Gbk).text), "第一第二");
}

TEST_F(ReadTextFileTest, AGzipFileLetsTheWindowBreatheOnceInflated) {
    const std::string path = folder_.write("big.txt", gzipMember(std::string(300000, 'a')));
    int breaths = 0;
    const TextFile file = readTextFile(path, TextEncoding::Gbk, [&breaths] { ++breaths; });
    EXPECT_EQ(file.text.size(), 300000u);
    EXPECT_GE(breaths, 1);  // inflated in one go, the window breathes after it
}

TEST_F(ReadTextFileTest, DamagedGzipFileStaysAndIsReadRaw) {
    const std::string whole = gzipMember(std::string(5000, 'z'));
    const std::string damaged = whole.substr(0, whole.size() - 10);
    const std::string path = folder_.write("d.txt", damaged);
    const TextFile file = readTextFile(path, TextEncoding::Detect);
    EXPECT_EQ(file.detected, TextEncoding::Gbk);
    EXPECT_FALSE(file.compressed);
    // Every byte is there (line breaks as for any text).
    EXPECT_EQ(encodeText(file.text, file.detected, file.lineBreaks), damaged);
    EXPECT_EQ(readBytes(path), damaged);
}

struct EncodeCase {
    const char* what;
    std::string textUtf8;
    TextEncoding encoding;
    LineBreaks style;
    std::string bytes;
};

TEST(EncodeText, WritesEachEncodingWithItsMark) {
    const std::vector<EncodeCase> cases = {
        {"detect writes GBK", "中a", TextEncoding::Detect, LineBreaks::CrLf,
         "\xD6\xD0"
         "a"},
        {"GBK", "中a", TextEncoding::Gbk, LineBreaks::CrLf,
         "\xD6\xD0"
         "a"},
        {"UTF-8", "中a", TextEncoding::Utf8, LineBreaks::CrLf, kUtf8Bom + "中a"},
        {"UTF-16LE", "中a", TextEncoding::Utf16Le, LineBreaks::CrLf,
         kLeBom + std::string("\x2D\x4E\x61\x00", 4)},
        {"UTF-16BE", "中a", TextEncoding::Utf16Be, LineBreaks::CrLf,
         kBeBom + std::string("\x4E\x2D\x00\x61", 4)},
        {"Big5 has no mark", "這是", TextEncoding::Big5, LineBreaks::CrLf, "\xB3\x6F\xAC\x4F"},
        {"HKSCS has no mark", "嘅", TextEncoding::Big5Hkscs, LineBreaks::CrLf, "\x9D\xEF"},
        {"LF style", "a\r\nb\r\n", TextEncoding::Gbk, LineBreaks::Lf, "a\nb\n"},
        {"LF style in UTF-16", "a\r\n", TextEncoding::Utf16Le, LineBreaks::Lf,
         kLeBom + std::string("a\0\n\0", 4)},
        {"empty text writes nothing, not even a mark", "", TextEncoding::Utf8, LineBreaks::CrLf,
         ""},
    };
    for (const EncodeCase& c : cases)
        EXPECT_EQ(encodeText(G(c.textUtf8), c.encoding, c.style), c.bytes) << c.what;
}

// What encodeText gave when it turned the line breaks first and encoded the
// text whole.
std::optional<std::string> encodedWhole(std::string_view text, TextEncoding encoding,
                                        LineBreaks lineBreaks, Unwritable unwritable) {
    const std::string gbk = lineBreaks == LineBreaks::Lf ? crLfToLf(text) : std::string(text);
    if (charsetNameOf(encoding).empty()) return gbk;
    Unencodable lost;
    const auto chars =
        unwritable == Unwritable::Reference ? UnencodableChars::Reference : UnencodableChars::Count;
    const auto bytes = encodeGbkExactly(gbk, charsetNameOf(encoding), chars, lost);
    if (lost.count > 0 && unwritable == Unwritable::Refuse) return std::nullopt;
    return std::string(byteOrderMarkOf(encoding)) + bytes.value_or("");
}

// Line breaks are turned in the encoded bytes, and Big5 texts are encoded in
// pieces: over any bytes, long enough for several pieces, the result is the
// same.
TEST(EncodeText, AnyBytesGiveWhatTurningLineBreaksFirstGave) {
    const std::vector<std::string> fragments = {G("中文"),
                                                G("這是"),
                                                G("软"),
                                                "ab",
                                                "\r\n",
                                                "\r",
                                                "\n",
                                                "\x81",
                                                "\xFF",
                                                "\x81\x30",
                                                "\x81\x30\x81\x30",
                                                "\x81\r\n",
                                                "\x81\x30\r\n",
                                                G("\U0001F600")};
    std::mt19937 random(27);
    std::string text;
    while (text.size() < (std::size_t{9} << 17))
        text += fragments[random() % fragments.size()];
    for (const TextEncoding encoding :
         {TextEncoding::Gbk, TextEncoding::Utf8, TextEncoding::Utf16Le, TextEncoding::Utf16Be,
          TextEncoding::Big5, TextEncoding::Big5Hkscs}) {
        for (const LineBreaks lineBreaks : {LineBreaks::CrLf, LineBreaks::Lf}) {
            for (const Unwritable unwritable : {Unwritable::Reference, Unwritable::Refuse}) {
                EXPECT_EQ(encodeText(text, encoding, lineBreaks, unwritable),
                          encodedWhole(text, encoding, lineBreaks, unwritable))
                    << static_cast<int>(encoding) << " " << static_cast<int>(lineBreaks);
            }
        }
    }
}

struct UnwritableCase {
    const char* what;
    std::string textUtf8;
    TextEncoding encoding;
    std::string referenced;  // the bytes with Unwritable::Reference
    std::string reason;      // why Unwritable::Refuse writes nothing
};

TEST(EncodeText, CharactersTheEncodingCannotHoldAreReferencedOrRefused) {
    const std::vector<UnwritableCase> cases = {
        {"simplified characters", "软件", TextEncoding::Big5, "&#x8F6F;\xA5\xF3",
         "输出编码 Big5 无法表示字符“软”（U+8F6F）"},
        {"variants and a no-break space", "爲啓页图\u00A0", TextEncoding::Big5,
         "&#x7232;&#x5553;&#x9875;&#x56FE;&#xA0;",
         "输出编码 Big5 无法表示 5 个字符，第一个是“爲”（U+7232）"},
        // Found by fuzzing: Big5 skips these characters, and the text's GBK
        // bytes used to be written into the Big5 file instead.
        {"characters Big5 skips", "\uFE0F這", TextEncoding::Big5, "&#xFE0F;\xB3\x6F",
         "输出编码 Big5 无法表示字符“\uFE0F”（U+FE0F）"},
        {"a character Big5 drops", "a\u00ADb", TextEncoding::Big5, "a&#xAD;b",
         "输出编码 Big5 无法表示字符“\u00AD”（U+00AD）"},
        {"one HKSCS writes as a look-alike", "\uE000", TextEncoding::Big5Hkscs, "&#xE000;",
         "输出编码 Big5-HKSCS 无法表示字符“\uE000”（U+E000）"},
    };
    for (const UnwritableCase& c : cases) {
        std::string reason;
        EXPECT_EQ(encodeText(G(c.textUtf8), c.encoding, LineBreaks::CrLf, Unwritable::Reference),
                  c.referenced)
            << c.what;
        EXPECT_EQ(
            encodeText(G(c.textUtf8), c.encoding, LineBreaks::CrLf, Unwritable::Refuse, &reason),
            std::nullopt)
            << c.what;
        EXPECT_EQ(reason, c.reason) << c.what;
    }
}

struct ResultCase {
    const char* what;
    std::string path;
    std::string textUtf8;
    TextEncoding encoding;
    TextEncoding input;
    std::string bytes;   // empty when refused
    std::string reason;  // why it was refused
};

TEST(ResultBytes, DeclareTheirEncodingAndReferenceOrRefuseWhatItCannotHold) {
    const TextEncoding big5 = TextEncoding::Big5;
    const TextEncoding utf8 = TextEncoding::Utf8;
    const TextEncoding gbk = TextEncoding::Gbk;
    const std::vector<ResultCase> cases = {
        {"an HTML page", "a.htm", "<meta charset=\"utf-8\">软件", big5, utf8,
         "<meta charset=\"Big5\">&#x8F6F;\xA5\xF3", ""},
        {"plain text", "a.txt", "软件", big5, utf8, "", "输出编码 Big5 无法表示字符“软”（U+8F6F）"},
        {"an HTML fragment in a .txt", "a.txt", "<p>软</p>", big5, utf8, "<p>&#x8F6F;</p>", ""},
        {"a gzip page", "a.HTML.gz", "软", big5, utf8, "&#x8F6F;", ""},
        {"GBK names GB18030", "a.htm", "<meta charset=utf-8>中", gbk, utf8,
         "<meta charset=GB18030>\xD6\xD0", ""},
        {"the input's own encoding keeps its declaration", "a.htm", "<meta charset=utf-8>中",
         TextEncoding::Detect, gbk, "<meta charset=utf-8>\xD6\xD0", ""},
        {"each declaration in its place", "a.htm",
         "<meta charset=gbk>\r\n中<meta content='text/html; charset=gbk'>", TextEncoding::Utf8, gbk,
         kUtf8Bom + "<meta charset=UTF-8>\r\n中<meta content='text/html; charset=UTF-8'>", ""},
        {"UTF-16 names UTF-16", "a.xml", "<?xml encoding='gbk'?>", TextEncoding::Utf16Le, gbk,
         kLeBom + utf16le("<?xml encoding='UTF-16'?>"), ""},
    };
    for (const ResultCase& c : cases) {
        std::string reason;
        const ResultFormat format{c.encoding, LineBreaks::CrLf, c.input, false};
        EXPECT_EQ(resultBytes(c.path, G(c.textUtf8), format, reason).value_or(""), c.bytes)
            << c.what;
        EXPECT_EQ(reason, c.reason) << c.what;
        // Compressed, the same bytes.
        const ResultFormat packed{c.encoding, LineBreaks::CrLf, c.input, true};
        const std::optional<std::string> gz = resultBytes(c.path, G(c.textUtf8), packed, reason);
        EXPECT_EQ(gz ? gunzip(*gz).value_or("?") : "", c.bytes) << c.what;
    }
}

TEST(ResultBytes, ABig5ResultReadsBackAsBig5) {
    const ResultFormat big5{TextEncoding::Big5, LineBreaks::Lf, TextEncoding::Utf8, false};
    std::string reason;
    const std::string page = "<head><meta charset=utf-8></head>\n這";
    const TextFile file =
        decodeText(*resultBytes("a.htm", G(page), big5, reason), TextEncoding::Detect);
    EXPECT_EQ(file.detected, TextEncoding::Big5);
    EXPECT_EQ(U(file.text), "<head><meta charset=Big5></head>\r\n這");
}

TEST(WriteTextFile, WritesAWholeNewFileOrReplacesAnOldOne) {
    TempFolder folder;
    const std::string path = folder.write("r.txt", "old content that is longer");
    EXPECT_TRUE(writeTextFile(path, G("新"), TextEncoding::Utf8));
    EXPECT_EQ(readBytes(path), kUtf8Bom + "新");
    EXPECT_TRUE(writeTextFile(folder.file("new.txt"), "x", TextEncoding::Gbk));
    EXPECT_EQ(readBytes(folder.file("new.txt")), "x");
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"new.txt", "r.txt"}));
}

}  // namespace
}  // namespace lct
