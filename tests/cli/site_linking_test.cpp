// A small site linked as a user would: `linkmap` builds the map from the
// pages' titles, then one recursive replace-mode batch links every page to
// the others' pages and never to itself.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "cli/cli_runner.h"

namespace lct {
namespace {

namespace fs = std::filesystem;
using test::run;

struct Page {
    std::string path;     // relative to the site folder
    std::string keyword;  // the page's name: its <title> before the site's name
    std::string suffix;   // what a site puts after the name in its titles
    std::string body;     // mentions other pages (and itself) by keyword
};

const std::vector<Page> kSite = {
    {"index.html", "首页", " - 示例站", "首页介绍软件包和图层，另见常见问题。"},
    {"docs/packages.html", "软件包", " | 示例站",
     "软件包依赖图层吗？见常见问题，再看常见问题，返回首页。"},
    {"docs/gimp/layers.html", "图层", " _ 示例站", "每个图层来自软件包；图层可以隐藏。"},
    {"faq/index.html", "常见问题", "——示例站",
     "软件包和软件包里的图层，见首页，常见问题到此为止。"},
};

const std::map<std::string, std::string> kAddress = {
    {"首页", "https://example.com/index.html"},
    {"软件包", "https://example.com/docs/packages.html"},
    {"图层", "https://example.com/docs/gimp/layers.html"},
    {"常见问题", "https://example.com/faq/index.html"},
};

std::string html(const Page& page) {
    return "<html><head><meta charset=\"utf-8\"><title>" + page.keyword + page.suffix +
           "</title></head><body><p>" + page.body + "</p></body></html>\n";
}

int occurrences(const std::string& text, const std::string& part) {
    int n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

class SiteLinking : public test::CliTest {};

TEST_F(SiteLinking, LinkmapThenBatchLinksEveryPageToTheOthersOnly) {
    const fs::path site = dir / "site";
    for (const Page& page : kSite) {
        fs::create_directories((site / page.path).parent_path());
        write("site/" + page.path, html(page));
    }
    const std::string ini = (dir / "none.ini").string();

    const test::Result map = run({"linkmap", "--ini", ini, "--recursive", "--base-url",
                                  "https://example.com/", site.string()});
    ASSERT_EQ(map.status, 0) << map.err;
    for (const auto& [keyword, address] : kAddress)
        EXPECT_EQ(occurrences(map.out, keyword + "\t" + address + "\n"), 1) << map.out;
    write("map.tsv", map.out);

    const test::Result batch = run({"batch", "--ini", ini, "--recursive", "--mode", "replace",
                                    "--set", "编辑框关键词列表=@" + (dir / "map.tsv").string(),
                                    "--set", "编辑框再组合关键词=<a href=\"#网址#\">*</a>", "--set",
                                    "编辑框本站网址=https://example.com/", "--set",
                                    "编辑框每个网址最多链接=1", site.string()});
    ASSERT_EQ(batch.status, 0) << batch.err;

    for (const Page& page : kSite) {
        SCOPED_TRACE(page.path);
        const std::string result = slurp(site / "关键词插入结果" / page.path);
        ASSERT_FALSE(result.empty());
        for (const auto& [keyword, address] : kAddress) {
            const std::string link = "<a href=\"" + address + "\">" + keyword + "</a>";
            const bool mentioned = page.body.find(keyword) != std::string::npos;
            EXPECT_EQ(occurrences(result, link), mentioned && keyword != page.keyword ? 1 : 0)
                << result;
        }
        EXPECT_EQ(occurrences(result, "https://example.com/" + page.path), 0) << result;
    }
}

}  // namespace
}  // namespace lct
