#include "regex/escape.h"

#include "platform/charset.h"

namespace lct {
namespace {

// Backslash comes first in every set, so escaping in one pass gives what
// replacing the set's characters one after the other gives.
std::string escapeSet(std::string_view text, std::string_view specials, bool wildcards) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = gbkCharSize(text, i);
        if (n == 1) {
            const char c = text[i];
            if (specials.find(c) != std::string_view::npos) {
                out.push_back('\\');
                out.push_back(c);
            } else if (wildcards && c == '*') {
                out += ".*";
            } else if (wildcards && c == '?') {
                out += ".?";
            } else {
                out.push_back(c);
            }
        } else {
            out.append(text.substr(i, n));
        }
        i += n;
    }
    return out;
}

}  // namespace

std::string escapeAll(std::string_view text) {
    return escapeSet(text, R"(\^$+.{}[]=()?*|")", false);
}

std::string escapeKeepAlternation(std::string_view text) {
    return escapeSet(text, R"(\^$+.{}[]=()?*")", false);
}

std::string escapeKeepGroups(std::string_view text) {
    return escapeSet(text, R"(\^$+.{}[]=?*")", false);
}

std::string wildcardToPattern(std::string_view text) {
    return escapeSet(text, R"(\^$+.{}[]=()-")", true);
}

}  // namespace lct
