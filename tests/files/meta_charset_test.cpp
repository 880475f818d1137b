#include "files/meta_charset.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lct {
namespace {

struct MetaCase {
    const char* what;
    std::string page;
    MetaCharset expected;
};

TEST(DetectMetaCharset, FindsTheDeclarationInEveryQuoteFormAndLetterCase) {
    const std::vector<MetaCase> cases = {
        {"unquoted", "<head><meta content=\"text/html; charset=UTF-8\"></head>", MetaCharset::Utf8},
        {"double quotes", "<head><meta charset=\"utf-8\"></head>", MetaCharset::Utf8},
        {"single quotes", "<head><meta charset='Utf-8'></head>", MetaCharset::Utf8},
        {"upper-case tags", "<HEAD><META CHARSET=UTF-8></HEAD>", MetaCharset::Utf8},
        {"Big5 in lower case", "<head><meta charset=big5></head>", MetaCharset::Big5},
        {"Big5 quoted", "<head><meta charset=\"BIG5\"></head>", MetaCharset::Big5},
        {"HKSCS quoted", "<head><meta charset=\"Big5-HKSCS\"></head>", MetaCharset::Big5Hkscs},
        {"HKSCS single-quoted", "<head><meta charset='big5-hkscs'></head>", MetaCharset::Big5Hkscs},
        {"HKSCS unquoted reads as Big5", "<head><meta charset=Big5-HKSCS></head>",
         MetaCharset::Big5},
        {"GBK is not among the charsets", "<head><meta charset=gbk></head>", MetaCharset::None},
        {"spaces around = are not a declaration", "<meta charset = utf-8>", MetaCharset::None},
        {"no meta tag", "<html><body>charset=utf-8</body></html>", MetaCharset::None},
        {"empty", "", MetaCharset::None},
    };
    for (const MetaCase& c : cases)
        EXPECT_EQ(detectMetaCharset(c.page), c.expected) << c.what;
}

TEST(DetectMetaCharset, ScansTagByTag) {
    const std::vector<MetaCase> cases = {
        {"no head section: the whole page", "<html><meta charset=utf-8><body>", MetaCharset::Utf8},
        {"a first meta without charset does not stop the scan",
         "<head><meta name=keywords content=x><meta charset=big5></head>", MetaCharset::Big5},
        {"a meta with nothing before its > stops the scan",
         "<head><meta><meta charset=utf-8></head>", MetaCharset::None},
        {"the first declaring tag wins", "<meta charset=big5><meta charset=utf-8>",
         MetaCharset::Big5},
        {"within one tag UTF-8 is tried first", "<meta charset=big5 charset=utf-8>",
         MetaCharset::Utf8},
        {"only the head section is scanned when it has one",
         "<head><title>t</title></head><body><meta charset=utf-8></body>", MetaCharset::None},
        {"an empty head section means the whole page", "<head></head><meta charset=utf-8>",
         MetaCharset::Utf8},
        {"a head without its end means the whole page", "<head><meta charset=utf-8>",
         MetaCharset::Utf8},
        {"<head ...> with attributes is no head section",
         "<head lang=zh><meta charset=utf-8></head>", MetaCharset::Utf8},
    };
    for (const MetaCase& c : cases)
        EXPECT_EQ(detectMetaCharset(c.page), c.expected) << c.what;
}

TEST(DetectMetaCharset, FindsTagsRightAfterMultiByteCharacters) {
    // UTF-8 "题" (E9 A2 98) right before "<meta": a GBK reading would pair 98
    // with "<" and miss the tag.
    EXPECT_EQ(detectMetaCharset("<head><title>题</title>题<meta charset=utf-8></head>"),
              MetaCharset::Utf8);
}

TEST(DeclareCharset, ChangesOnlyTheValuesOfDeclarations) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"<meta charset=\"utf-8\">", "<meta charset=\"Big5\">"},
        {"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; Charset=gb2312\">a",
         "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; Charset=Big5\">a"},
        {"<meta\ncharset = 'UTF-8' /><meta charset=gbk>",
         "<meta\ncharset = 'Big5' /><meta charset=Big5>"},
        {"<?xml version=\"1.0\" encoding=\"utf-8\"?><p/>",
         "<?xml version=\"1.0\" encoding=\"Big5\"?><p/>"},
        {"<p><?xml encoding=\"utf-8\"?>", "<p><?xml encoding=\"utf-8\"?>"},
        {"<meta data-charset=x><metadata charset=x>", "<meta data-charset=x><metadata charset=x>"},
        // 81 63 is one GBK character: no "charset" there.
        {"<meta content=\"\x81\x63harset=utf-8\">", "<meta content=\"\x81\x63harset=utf-8\">"},
        {"charset=utf-8 <b>no meta</b>", "charset=utf-8 <b>no meta</b>"},
    };
    for (const auto& [page, declared] : cases)
        EXPECT_EQ(declareCharset(page, "Big5"), declared) << page;
}

TEST(EncodingOfMetaCharset, MapsToFileEncodings) {
    EXPECT_EQ(encodingOfMetaCharset(MetaCharset::Utf8), TextEncoding::Utf8);
    EXPECT_EQ(encodingOfMetaCharset(MetaCharset::Big5), TextEncoding::Big5);
    EXPECT_EQ(encodingOfMetaCharset(MetaCharset::Big5Hkscs), TextEncoding::Big5Hkscs);
    EXPECT_EQ(encodingOfMetaCharset(MetaCharset::None), TextEncoding::Detect);
}

}  // namespace
}  // namespace lct
