#include "files/link_map.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gbk.h"
#include "platform/charset.h"
#include "temp_folder.h"

namespace lct {
namespace {

using test::G;

struct KeywordRow {
    std::string page;  // UTF-8; GBK when handed over
    std::string keyword;
    PageKeywordSource from = PageKeywordSource::Title;
};

TEST(PageKeyword, TakesTheTitleAsAReaderSeesItLessTheSiteName) {
    constexpr auto h1 = PageKeywordSource::FirstHeading;
    const std::vector<KeywordRow> rows = {
        {"<html><head><TITLE>软件包</TITLE>", "软件包"},
        {"<title lang=zh>\r\n  软件包  \t管理\r\n</title>", "软件包 管理"},
        {"<title>软件包 - 示例站</title>", "软件包"},
        {"<title>图层 | 帮助 | 示例站</title>", "图层"},
        {"<title>图层 _ 示例站</title>", "图层"},
        {"<title>图层——示例站</title>", "图层"},
        {"<title>图层－示例站</title>", "图层"},
        {"<title>C - 语言 - 示例站</title>", "C - 语言"},  // "C" alone is too short
        {"<title>A-B 手册</title>", "A-B 手册"},
        {"<title>&lt;b&gt; &amp; &quot;x&quot;&nbsp;&#20013;&#x6587;&copy;&#150;&bogus;</title>",
         "<b> & \"x\"\u00A0中文©–&bogus;"},
        {"<title>&nbsp;　软件包&#9;&#10;</title>", "软件包"},
        {"<title>包<b>管理</b>器</title>", "包管理器"},
        {"<!-- <title>旧</title> --><script>t='<title>脚本</title>'</script><title>新</title>",
         "新"},
        {"<titles>x</titles><title>真</title>", "真"},
        {"<title>  </title>", ""},
        {"<title>没有结束", ""},
        {"<p>没有标题</p>", ""},
        {"<title>网站</title><h1 class=\"t\">第一章<small> 入门</small></h1><h1>二</h1>",
         "第一章 入门", h1},
    };
    for (const KeywordRow& row : rows)
        EXPECT_EQ(pageKeyword(G(row.page), row.from), row.keyword) << row.page;
}

TEST(LinkMap, ReadsEveryEncodingAndSaysWhatItLeftOut) {
    test::TempFolder site;
    const std::string page = "<title>软件包 - 站</title>";
    const std::vector<std::string> paths = {
        site.write("a.htm", G("<title>图层</title>")),
        site.write("b.htm", "\xEF\xBB\xBF" + page),
        site.write("c.htm.gz", test::gzipMember("<meta charset=utf-8><title>首页</title>")),
        site.write("d.htm",
                   "\xFF\xFE" + *convertCharset("<title>繁體</title>", "UTF-8", "UTF-16LE")),
        site.write("e.htm", page),
        site.write("f.htm", "<h1>无题</h1>"),
        site.file("missing.htm"),
    };
    LinkMapRequest request;
    request.paths = paths;
    request.relativePaths = {"a.htm", "docs/b.htm", "c.htm.gz", "d.htm"};
    request.baseUrl = "https://example.com";
    request.jobs = 3;
    const LinkMap map = buildLinkMap(request);
    EXPECT_EQ(linkMapText(map, "\n"),
              "图层\thttps://example.com/a.htm\n软件包\thttps://example.com/docs/b.htm\n"
              "首页\thttps://example.com/c.htm.gz\n繁體\thttps://example.com/d.htm\n");
    ASSERT_EQ(map.skipped.size(), 3u);
    EXPECT_EQ(map.skipped[0].why, LinkMapSkip::Why::Duplicate);
    EXPECT_EQ(map.skipped[0].firstPath, paths[1]);
    EXPECT_EQ(map.skipped[1].why, LinkMapSkip::Why::Untitled);
    EXPECT_EQ(map.skipped[2].why, LinkMapSkip::Why::Unreadable);
    EXPECT_EQ(map.skipped[2].path, paths[6]);
}

}  // namespace
}  // namespace lct
