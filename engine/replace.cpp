#include "engine/replace.h"

#include <vector>

#include "engine/chars.h"
#include "engine/lists.h"
#include "regex/regex_object.h"

namespace lct {

std::string replaceByLists(std::string_view text, std::string_view matchList,
                           std::string_view replacementList, bool caseSensitive, int count,
                           const KeepAlive& keepAlive) {
    const std::vector<std::string> matches = splitList(matchList, "|");
    std::vector<std::string> replacements = splitList(replacementList, "|");
    replacements.resize(matches.size());
    const int limit = count >= 1 ? count : 0;
    std::string result(text);
    for (std::size_t i = 0; i < matches.size(); ++i) {
        if (matches[i].empty()) continue;
        result = replaceText(result, matches[i], replacements[i], caseSensitive, limit);
        keepAlive();
    }
    return result;
}

std::string replaceByRegex(std::string_view text, std::string_view pattern,
                           std::string_view replacement, bool ignoreCase, int count,
                           std::string* error) {
    if (error) error->clear();
    RegexObject regex;
    if (!regex.create(pattern, ignoreCase, true, count < 1)) {
        if (error) {
            *error = regex.error();
            if (regex.errorOffset() >= 0)
                *error += " (at character " + std::to_string(regex.errorOffset() + 1) + ")";
        }
        return std::string(text);
    }
    std::string result = regex.replace(text, replacement);
    if (regex.runFailed()) {
        // The engine's empty result would empty the article: keep the text.
        if (error) *error = regex.error();
        return std::string(text);
    }
    return result;
}

}  // namespace lct
