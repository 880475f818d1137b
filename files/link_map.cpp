#include "files/link_map.h"

#include <unordered_map>

#include "engine/batch_files.h"
#include "engine/site_address.h"
#include "files/run_services.h"

namespace lct {

LinkMap buildLinkMap(const LinkMapRequest& request, const std::function<bool()>& proceed,
                     const KeepAlive& keepAlive) {
    LinkMap map;
    FileRunServices services;
    BatchFiles files(services, request.paths, request.encoding,
                     request.jobs > 1 ? request.jobs - 1 : 0, keepAlive);
    // Each keyword and the article that gave it.
    std::unordered_map<std::string, std::size_t> given;
    for (std::size_t i = 0; i < request.paths.size(); ++i) {
        if (proceed && !proceed()) {
            map.stopped = true;
            break;
        }
        const std::string& path = request.paths[i];
        const ArticleFile article = files.take(i);
        if (!article.error.empty()) {
            map.skipped.push_back({LinkMapSkip::Why::Unreadable, path, article.error, {}});
            continue;
        }
        std::string keyword = pageKeyword(article.text, request.from);
        if (keyword.empty()) {
            map.skipped.push_back({LinkMapSkip::Why::Untitled, path, {}, {}});
            continue;
        }
        const auto [first, added] = given.emplace(keyword, i);
        if (!added) {
            map.skipped.push_back(
                {LinkMapSkip::Why::Duplicate, path, keyword, request.paths[first->second]});
            continue;
        }
        const bool named = i < request.relativePaths.size() && !request.relativePaths[i].empty();
        const std::string relative =
            named ? request.relativePaths[i] : path.substr(path.rfind('/') + 1);
        map.lines.push_back({std::move(keyword), siteAddress(request.baseUrl, relative)});
    }
    files.finish();
    return map;
}

std::string linkMapText(const LinkMap& map, std::string_view lineBreak) {
    std::string text;
    for (const LinkMapLine& line : map.lines) {
        text += line.keyword;
        text += '\t';
        text += line.address;
        text += lineBreak;
    }
    return text;
}

}  // namespace lct
