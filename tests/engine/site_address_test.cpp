#include "engine/site_address.h"

#include <gtest/gtest.h>

#include "gbk.h"

namespace lct {
namespace {

TEST(SiteAddress, IsTheBaseFollowedByTheRelativePath) {
    EXPECT_EQ(siteAddress("https://example.com/", "docs/index.html"),
              "https://example.com/docs/index.html");
    EXPECT_EQ(siteAddress("https://example.com", "文档/入门.html"),
              "https://example.com/文档/入门.html");
    EXPECT_EQ(siteAddress("", "a.html"), "a.html");
    EXPECT_EQ(siteAddress("/", test::G("新闻") + ".htm"), "/新闻.htm");  // a GBK name
    EXPECT_EQ(siteAddress("/", "a b#1?\"<{`}>\t.html"), "/a%20b%231%3F%22%3C%7B%60%7D%3E%09.html");
}

}  // namespace
}  // namespace lct
