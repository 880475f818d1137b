#include "engine/markup_regions.h"

#include <array>
#include <string>

#include "engine/chars.h"
#include "platform/ascii.h"

namespace lct {
namespace {

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isNameByte(char c) {
    return isAsciiLetter(c) || (c >= '0' && c <= '9');
}

// The first character at or after `from` (a character start) that is `stop1`
// or `stop2`; text.size() when there is none. Double-byte characters are
// stepped over whole, eight bytes at a time where they can be.
std::size_t nextOf(std::string_view text, std::size_t from, char stop1, char stop2) {
    std::size_t i = from;
    for (;;) {
        i = skipPlainAscii(text, i, stop1, stop2);
        if (i >= text.size()) return text.size();
        if (text[i] == stop1 || text[i] == stop2) return i;
        const std::size_t pairs = skipDoubleBytes(text, i);
        i = pairs != i ? pairs : i + charSize(text, i);
    }
}

// The kinds of element whose content is one region.
enum class Element { None, Link, RawText, Heading };

// The tag name that starts at `at` (lower case, at most 16 bytes), and where it ends.
std::string_view tagName(std::string_view text, std::size_t at, std::array<char, 16>& buffer,
                         std::size_t& nameEnd) {
    std::size_t n = 0;
    std::size_t i = at;
    while (i < text.size() && isNameByte(text[i])) {
        if (n < buffer.size()) buffer[n++] = toLowerAscii(text[i]);
        ++i;
    }
    nameEnd = i;
    return i - at <= buffer.size() ? std::string_view(buffer.data(), n) : std::string_view();
}

Element elementOf(std::string_view name) {
    if (name == "a") return Element::Link;
    if (name == "script" || name == "style" || name == "textarea" || name == "title")
        return Element::RawText;
    if (name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6')
        return Element::Heading;
    return Element::None;
}

// The end of the tag whose name ends at `from`: one past its ">", skipping
// values quoted right after "="; text.size() when it is not closed.
std::size_t tagEnd(std::string_view text, std::size_t from) {
    std::size_t i = from;
    for (;;) {
        i = nextOf(text, i, '>', '=');
        if (i >= text.size()) return text.size();
        if (text[i] == '>') return i + 1;
        ++i;  // past "="
        while (i < text.size() &&
               (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
            ++i;
        if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
            const char quote = text[i];
            i = nextOf(text, i + 1, quote, quote);
            if (i >= text.size()) return text.size();
            ++i;
        }
    }
}

// One past the end tag "</name …>" of an element whose start tag ended at
// `from`; text.size() when there is none.
std::size_t elementEnd(std::string_view text, std::size_t from, std::string_view name) {
    std::array<char, 16> buffer{};
    for (std::size_t i = nextOf(text, from, '<', '<'); i < text.size();
         i = nextOf(text, i + 1, '<', '<')) {
        if (i + 1 >= text.size() || text[i + 1] != '/') continue;
        std::size_t nameEnd = 0;
        if (tagName(text, i + 2, buffer, nameEnd) == name) return tagEnd(text, nameEnd);
    }
    return text.size();
}

}  // namespace

std::vector<ByteRange> markupRegions(std::string_view text, bool markup, bool headings) {
    std::vector<ByteRange> regions;
    if (!markup && !headings) return regions;
    const auto add = [&regions](std::size_t begin, std::size_t end) {
        if (!regions.empty() && regions.back().end == begin)
            regions.back().end = end;
        else
            regions.push_back({begin, end});
    };
    std::array<char, 16> buffer{};
    std::size_t i = nextOf(text, 0, '<', '<');
    while (i < text.size()) {
        const std::size_t lt = i;
        const char c = lt + 1 < text.size() ? text[lt + 1] : '\0';
        if (c == '!' && text.substr(lt, 4) == "<!--") {
            const std::size_t close = text.find("-->", lt + 4);
            const std::size_t end = close == std::string_view::npos ? text.size() : close + 3;
            if (markup) add(lt, end);
            i = nextOf(text, end, '<', '<');
            continue;
        }
        const bool endTag = c == '/' && lt + 2 < text.size() && isAsciiLetter(text[lt + 2]);
        if (!(isAsciiLetter(c) || endTag || c == '!' || c == '?')) {
            i = nextOf(text, lt + 1, '<', '<');  // a "<" of the text
            continue;
        }
        std::size_t nameEnd = lt + 1;
        std::string_view name;
        if (isAsciiLetter(c)) name = tagName(text, lt + 1, buffer, nameEnd);
        std::size_t end = tagEnd(text, nameEnd);
        const Element element = elementOf(name);
        const bool whole = (element == Element::Link && markup) || element == Element::RawText ||
                           (element == Element::Heading && headings);
        if (whole) {
            const std::string copy(name);
            end = elementEnd(text, end, copy);
        }
        if (markup || (whole && element == Element::Heading)) add(lt, end);
        i = nextOf(text, end, '<', '<');
    }
    return regions;
}

}  // namespace lct
