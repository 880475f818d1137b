#pragma once
// A link map made from a site: one line per article, its keyword (the text
// of its title, files/page_keyword.h) and its address (the site's base
// address followed by the article's path, engine/site_address.h). What
// `lancitong-cli linkmap` prints and what the window's "从文件夹生成链接表…"
// puts into the keyword list, which replace mode then links with.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/article_file.h"
#include "engine/keep_alive.h"
#include "files/page_keyword.h"

namespace lct {

/// The articles to map and how.
struct LinkMapRequest {
    std::vector<std::string> paths;  ///< the articles, in order
    /// Parallel to paths: each article's path relative to the folder it was
    /// listed from; a missing or empty one is the article's name.
    std::vector<std::string> relativePaths;
    std::string baseUrl;  ///< UTF-8; empty gives relative addresses
    PageKeywordSource from = PageKeywordSource::Title;
    TextEncoding encoding = TextEncoding::Detect;  ///< as the batch reads them
    unsigned jobs = 1;  ///< threads: more read ahead of the caller, as a batch does
};

/// One line of the map (UTF-8).
struct LinkMapLine {
    std::string keyword;
    std::string address;
};

/// An article that gave no line, and why.
struct LinkMapSkip {
    enum class Why {
        Unreadable,  ///< `detail` holds the reason (UTF-8)
        Untitled,    ///< no element of the asked kind, or only blanks in it
        Duplicate,   ///< `detail` holds the keyword, `firstPath` the article that gave it
    };
    Why why = Why::Unreadable;
    std::string path;
    std::string detail;
    std::string firstPath;
};

struct LinkMap {
    std::vector<LinkMapLine> lines;    ///< in article order
    std::vector<LinkMapSkip> skipped;  ///< in article order
    bool stopped = false;              ///< `proceed` said no before the last article
};

/// Reads every article of the request (through the codec, gzip included,
/// never changing a file) and makes its line: the page's keyword and its
/// address. An article that cannot be read, that has no keyword, or whose
/// keyword an earlier article gave (the first one wins) is skipped with the
/// reason. `proceed` is asked before each article (false stops the map where
/// it is); `keepAlive` lets the caller's window breathe while it reads.
LinkMap buildLinkMap(const LinkMapRequest& request, const std::function<bool()>& proceed = {},
                     const KeepAlive& keepAlive = {});

/// The map's lines, each "keyword<TAB>address" followed by `lineBreak`.
std::string linkMapText(const LinkMap& map, std::string_view lineBreak);

}  // namespace lct
