#include "regex/escape.h"

#include "platform/charset.h"

namespace lct {
namespace {

// Bytes of the character at `i` as the regex object decodes it (GB18030):
// a lead byte 81..FE takes the byte after it only when that byte can be a
// trail byte (40..7E, 80..FE), and a four-byte sequence is one character.
// Anything else is a byte of its own, so an ASCII special character after a
// stray lead byte is escaped: unescaped, the pattern would read it as syntax.
std::size_t patternCharSize(std::string_view text, std::size_t i) {
    if (!isGbLeadByte(byteAt(text, i)) || i + 1 >= text.size()) return 1;
    if (isGbTrailByte(byteAt(text, i + 1))) return 2;
    return gbkCharSize(text, i) == 4 ? 4 : 1;
}

bool isStrayLead(std::string_view text, std::size_t i, std::size_t size) {
    return size == 1 && isGbLeadByte(byteAt(text, i));
}

// Backslash comes first in every set, so escaping in one pass gives what
// replacing the set's characters one after the other gives.
std::string escapeSet(std::string_view text, std::string_view specials, bool wildcards) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    bool afterStrayLead = false;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = patternCharSize(text, i);
        if (n == 1) {
            const char c = text[i];
            if (specials.find(c) != std::string_view::npos) {
                // A backslash right after a stray lead byte would be read as
                // its trail byte; an empty group keeps the two apart.
                if (afterStrayLead) out += "(?:)";
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
        afterStrayLead = isStrayLead(text, i, n);
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
