#include "engine/link_targets.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gbk.h"

namespace lct {
namespace {

struct SelfLinkRow {
    const char* site;
    const char* page;
    const char* address;
    bool own;
};

// Whether a keyword with `address` links the page to itself.
TEST(LinkTargets, FindsThePageOwnAddressInEveryForm) {
    const SelfLinkRow rows[] = {
        {"https://example.com/", "docs/a.html", "https://example.com/docs/a.html", true},
        {"https://example.com", "docs/a.html", "https://example.com/docs/a.html", true},
        {"https://example.com/", "docs/a.html", "HTTP://Example.COM/docs/a.html#part", true},
        {"https://example.com/", "docs/a.html", "https://example.com/docs/A.html", false},
        {"https://example.com/", "docs/a.html", "https://example.org/docs/a.html", false},
        {"https://example.com/", "docs/a.html", "https://example.com/docs/a.html?x=1", false},
        {"https://example.com/", "docs/a.html", "/docs/a.html", true},
        {"https://example.com/", "docs/a.html", "//example.com/docs/a.html/", true},
        {"https://example.com/", "docs/a.html", "docs/a.html", false},
        {"https://example.com/", "docs/a.html", "#a", false},
        {"https://example.com/blog/", "a.html", "/blog/a.html", true},
        {"https://example.com/blog/", "a.html", "/a.html", false},
        {"https://example.com/", "docs/index.html", "https://example.com/docs/", true},
        {"https://example.com/", "docs/index.htm", "/docs#top", true},
        {"https://example.com/", "docs/index.html", "/docs/index.html", true},
        {"https://example.com/", "docs/index.html", "/", false},
        {"https://example.com/", "index.html", "/", true},
        {"https://example.com/", "index.html", "https://example.com", true},
        {"https://example.com/", "docs/page.html", "/docs/", false},
        {"https://example.com/", "文档/甲.html", "/%E6%96%87%E6%A1%A3/%E7%94%B2.html", true},
        {"https://example.com/", "文档/甲.html", "https://example.com/文档/甲.html", true},
        {"https://example.com/", "a b#1.html", "/a%20b%231.html", true},
        {"", "docs/a.html", "docs/a.html", true},
        {"", "docs/a.html", "/docs/a.html", true},
        {"", "docs/a.html", "https://example.com/docs/a.html", false},
        {"https://example.com/", "docs/a.html", "", false},
    };
    for (const SelfLinkRow& row : rows) {
        const std::vector<std::string> addresses{"/other", test::G(row.address)};
        LinkTargets targets(addresses, row.site);
        const std::vector<std::int32_t> own = targets.linkingTo(row.page);
        EXPECT_EQ(own, row.own ? std::vector<std::int32_t>{1} : std::vector<std::int32_t>{})
            << row.site << " " << row.page << " " << row.address;
    }
}

TEST(LinkTargets, KeywordsWithAddressesOfOnePageShareATarget) {
    const std::vector<std::string> addresses{"/a", "", "/b", "/a/", "/A", "/a#x", "#x"};
    EXPECT_EQ(LinkTargets(addresses).targetOfEachKeyword(),
              (std::vector<std::int32_t>{0, -1, 1, 0, 2, 0, -1}));
    // On the site's own host an address and its site-relative form are one page.
    const std::vector<std::string> mixed{
        "https://Example.com/a/",      "/a", "//example.com/a#x",
        "https://example.community/a", "/",  "https://example.com"};
    EXPECT_EQ(LinkTargets(mixed).targetOfEachKeyword(),
              (std::vector<std::int32_t>{0, 1, 0, 2, 3, 4}));
    EXPECT_EQ(LinkTargets(mixed, "https://example.com/blog/").targetOfEachKeyword(),
              (std::vector<std::int32_t>{0, 0, 0, 1, 2, 2}));
    const std::vector<std::string> none;
    EXPECT_TRUE(LinkTargets(none).targetOfEachKeyword().empty());
}

}  // namespace
}  // namespace lct
