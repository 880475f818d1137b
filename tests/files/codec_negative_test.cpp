// Invalid and hostile input for the text file codec: nothing may crash, hang,
// lose bytes of a file or replace a file with less than it held.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "files/paths.h"
#include "files/text_file.h"
#include "gbk.h"
#include "temp_folder.h"

namespace lct {
namespace {

using test::G;
using test::gzipMember;
using test::readBytes;
using test::TempFolder;

const std::string kGbkReplacement = G("\uFFFD");

class CodecNegativeTest : public ::testing::Test {
  protected:
    TextFile read(std::string_view bytes, TextEncoding requested = TextEncoding::Detect) {
        return readTextFile(folder_.write("input", bytes), requested);
    }

    TempFolder folder_;
};

TEST_F(CodecNegativeTest, UnreadablePathsGiveEmptyTextAndNoEncoding) {
    const std::string fifo = folder_.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path :
         {folder_.file("missing.txt"), folder_.path(), fifo, std::string()}) {
        const TextFile file = readTextFile(path, TextEncoding::Detect);
        EXPECT_EQ(file.text, "") << path;
        EXPECT_EQ(file.detected, TextEncoding::Detect) << path;
    }
}

TEST_F(CodecNegativeTest, NulBytesDoNotCutTheText) {
    const std::string bytes("head\0\x01\x02 tail\xFF", 12);
    const TextFile file = read(bytes);
    EXPECT_EQ(file.text, bytes);
    EXPECT_EQ(file.detected, TextEncoding::Gbk);
    const std::string out = folder_.file("out");
    ASSERT_TRUE(writeTextFile(out, file.text, file.detected, file.lineBreaks));
    EXPECT_EQ(readBytes(out), bytes);
}

TEST_F(CodecNegativeTest, MetaCharsetAfterANulIsNotSeen) {
    const std::string bytes = std::string("\0<meta charset=utf-8>", 21) + G("中文");
    EXPECT_EQ(read(bytes).detected, TextEncoding::Gbk);
}

TEST_F(CodecNegativeTest, Utf8MetaOverGbkBytesReadsAsGbk) {
    const std::string page = "<head><meta charset=\"utf-8\"></head>" + G("这是一篇中文文章");
    const TextFile file = read(page);
    EXPECT_EQ(file.detected, TextEncoding::Gbk);
    EXPECT_EQ(file.text, page);
}

TEST_F(CodecNegativeTest, OverlongUtf8ThatPassesTheTestReadsAsGbk) {
    const std::string bytes =
        "a\xC0\xAF"
        "b";
    const TextFile file = read(bytes);
    EXPECT_EQ(file.detected, TextEncoding::Gbk);
    EXPECT_EQ(file.text, bytes);
}

TEST_F(CodecNegativeTest, InvalidBytesAfterAUtf8MarkBecomeReplacementCharacters) {
    const TextFile file = read(
        "\xEF\xBB\xBF"
        "a\xFF"
        "b");
    EXPECT_EQ(file.detected, TextEncoding::Utf8);
    EXPECT_EQ(file.text, "a" + kGbkReplacement + "b");
}

TEST_F(CodecNegativeTest, OddByteCountInUtf16EndsWithAReplacementCharacter) {
    const TextFile file =
        read(std::string("\xFF\xFE"
                         "a\0b",
                         5));
    EXPECT_EQ(file.detected, TextEncoding::Utf16Le);
    EXPECT_EQ(file.text, "a" + kGbkReplacement);
}

TEST_F(CodecNegativeTest, ForcedUtf16OverOneByte) {
    const TextFile file = read("x", TextEncoding::Utf16Le);
    EXPECT_EQ(file.text, "");
    EXPECT_EQ(file.detected, TextEncoding::Utf16Le);
}

TEST_F(CodecNegativeTest, ForcedBig5OverBytesBig5Lacks) {
    const TextFile file = read(
        "\xFF\xFF"
        "a\x81",
        TextEncoding::Big5);
    EXPECT_EQ(file.detected, TextEncoding::Big5);
    EXPECT_NE(file.text.find('a'), std::string::npos);
}

TEST_F(CodecNegativeTest, GzipSignatureWithoutAStreamStaysAsItIs) {
    for (const std::string& bytes : {std::string("\x1F\x8B"), std::string("\x1F\x8B garbage"),
                                     gzipMember("complete") + "trailing bytes"}) {
        const std::string path = folder_.write("g", bytes);
        const TextFile file = readTextFile(path, TextEncoding::Detect);
        EXPECT_EQ(file.text, bytes);
        EXPECT_EQ(file.detected, TextEncoding::Gbk);
        EXPECT_EQ(readBytes(path), bytes);
    }
    EXPECT_EQ(folder_.names(), std::vector<std::string>{"g"});
}

TEST_F(CodecNegativeTest, LoneLeadByteAndLineBreaksRoundTrip) {
    for (const std::string& bytes :
         {std::string("abc\x81"), std::string("\x81\nx\n"), std::string("\x81\r\nx")}) {
        const TextFile file = read(bytes);
        const std::string out = folder_.file("out");
        ASSERT_TRUE(writeTextFile(out, file.text, file.detected, file.lineBreaks));
        EXPECT_EQ(readBytes(out), bytes);
    }
}

TEST_F(CodecNegativeTest, WritesIntoAFolderThatCannotBeCreatedFail) {
    folder_.write("blocker", "a file where the result folder should go");
    const std::string results = folder_.file("blocker/关键词插入结果/");
    EXPECT_FALSE(createFolderPath(results));
    EXPECT_FALSE(writeTextFile(results + "a.txt", G("内容"), TextEncoding::Utf8));
    EXPECT_EQ(readBytes(folder_.file("blocker")), "a file where the result folder should go");
}

TEST_F(CodecNegativeTest, EmptyPathWritesNothing) {
    EXPECT_FALSE(writeTextFile("", "text", TextEncoding::Gbk));
}

TEST_F(CodecNegativeTest, OutOfRangeEncodingValuesAreSafe) {
    const TextFile file = read(G("中文"), static_cast<TextEncoding>(42));
    EXPECT_EQ(file.detected, TextEncoding::Gbk);
    EXPECT_EQ(encodeText(G("中文"), static_cast<TextEncoding>(-3), LineBreaks::CrLf), G("中文"));
}

}  // namespace
}  // namespace lct
