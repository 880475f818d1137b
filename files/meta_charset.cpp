#include "files/meta_charset.h"

#include <algorithm>
#include <array>
#include <optional>

#include "platform/bytes.h"
#include "platform/charset.h"

namespace lct {
namespace {

bool sameNoCase(char a, char b) {
    return toLowerAscii(a) == toLowerAscii(b);
}

// The page is still undecoded (UTF-8, Big5 or GBK), so the search goes byte by
// byte rather than by GBK characters: "<" can never be the trail byte of a
// double-byte character in any of them, so a marker that starts with it is
// only found where the page really has it.
std::size_t findNoCase(std::string_view text, std::string_view pattern, std::size_t from) {
    if (from > text.size()) return std::string_view::npos;
    // A page without a head is searched to its end: a marker that starts
    // with no letter is looked for by memchr, and compared only there.
    if (!pattern.empty() && !isAsciiLetter(pattern[0])) {
        for (std::size_t at = text.find(pattern[0], from); at != std::string_view::npos;
             at = text.find(pattern[0], at + 1)) {
            const std::string_view here = text.substr(at, pattern.size());
            if (here.size() == pattern.size() &&
                std::equal(here.begin(), here.end(), pattern.begin(), sameNoCase))
                return at;
        }
        return std::string_view::npos;
    }
    const auto it = std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(),
                                pattern.begin(), pattern.end(), sameNoCase);
    if (it == text.end()) return std::string_view::npos;
    return static_cast<std::size_t>(it - text.begin());
}

bool containsNoCase(std::string_view text, std::string_view pattern) {
    return findNoCase(text, pattern, 0) != std::string_view::npos;
}

// The text between the next `left` at or after `from` and the next `right`
// after it; `from` moves past `right`.
std::optional<std::string_view> between(std::string_view text, std::string_view left,
                                        std::string_view right, std::size_t& from) {
    const std::size_t l = findNoCase(text, left, from);
    if (l == std::string_view::npos) return std::nullopt;
    const std::size_t begin = l + left.size();
    const std::size_t r = findNoCase(text, right, begin);
    if (r == std::string_view::npos) return std::nullopt;
    from = r + right.size();
    return text.substr(begin, r - begin);
}

struct Declaration {
    MetaCharset charset;
    std::array<std::string_view, 3> forms;
};

// Tried in this order; the first list with a form inside the tag wins.
constexpr std::array kDeclarations = {
    Declaration{MetaCharset::Utf8, {"charset=UTF-8", "charset=\"UTF-8\"", "charset='UTF-8'"}},
    Declaration{MetaCharset::Big5, {"charset=Big5", "charset=\"Big5\"", "charset='Big5'"}},
    Declaration{MetaCharset::Big5Hkscs,
                {"charset=Big5-HKSCS", "charset=\"Big5-HKSCS\"", "charset='Big5-HKSCS'"}},
};

}  // namespace

MetaCharset detectMetaCharset(std::string_view bytes, const KeepAlive& keepAlive) {
    std::size_t from = 0;
    const std::optional<std::string_view> head = between(bytes, "<head>", "</head>", from);
    const std::string_view scope = head && !head->empty() ? *head : bytes;
    std::size_t next = 0;
    for (;;) {
        const std::optional<std::string_view> tag = between(scope, "<meta", ">", next);
        if (!tag || tag->empty()) return MetaCharset::None;
        for (const Declaration& d : kDeclarations) {
            for (std::string_view form : d.forms) {
                if (containsNoCase(*tag, form)) return d.charset;
            }
        }
        keepAlive();
    }
}

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

bool isNameChar(char c) {
    return isAsciiAlnum(c) || c == '-' || c == '_';
}

bool isValueChar(char c) {
    return isNameChar(c) || c == '.' || c == ':';
}

bool startsWithNoCase(std::string_view text, std::size_t at, std::string_view word) {
    return text.size() - at >= word.size() &&
           std::equal(word.begin(), word.end(), text.begin() + static_cast<std::ptrdiff_t>(at),
                      sameNoCase);
}

// Where the value of `name` = value starts and ends within `area` of `text`,
// for the first such name from `from` on that stands alone (no name character
// right before it); the search goes character by character, since the letters
// of a name can be trail bytes of GBK characters. nullopt when none.
std::optional<std::pair<std::size_t, std::size_t>> findValue(std::string_view text,
                                                             std::size_t from, std::size_t end,
                                                             std::string_view name) {
    bool afterName = false;  // the character before i is one of a name
    for (std::size_t i = from, size = 1; i < end;
         afterName = size == 1 && isNameChar(text[i]), i += size) {
        size = std::max<std::size_t>(gbkCharSize(text, i), 1);
        if (afterName || !startsWithNoCase(text.substr(0, end), i, name)) continue;
        std::size_t k = i + name.size();
        while (k < end && isBlank(text[k]))
            ++k;
        if (k == end || text[k] != '=') continue;
        ++k;
        while (k < end && isBlank(text[k]))
            ++k;
        if (k < end && (text[k] == '"' || text[k] == '\'')) ++k;
        std::size_t valueEnd = k;
        while (valueEnd < end && isValueChar(text[valueEnd]))
            ++valueEnd;
        if (valueEnd > k) return std::make_pair(k, valueEnd);
    }
    return std::nullopt;
}

}  // namespace

std::vector<std::pair<std::size_t, std::size_t>> charsetDeclarations(std::string_view gbk) {
    std::vector<std::pair<std::size_t, std::size_t>> values;
    std::size_t copied = 0;  // where the last value ends
    const auto replace = [&](std::size_t begin, std::size_t end) {
        values.emplace_back(begin, end);
        copied = end;
    };
    if (startsWithNoCase(gbk, 0, "<?xml")) {
        const std::size_t end = gbk.find("?>");
        if (end != std::string_view::npos) {
            if (const auto value = findValue(gbk, 5, end, "encoding"))
                replace(value->first, value->second);
        }
    }
    // "<" and ">" are never trail bytes of a GBK character: a byte search finds
    // only real ones.
    for (std::size_t open = gbk.find('<'); open != std::string_view::npos;
         open = gbk.find('<', open + 1)) {
        if (open < copied || !startsWithNoCase(gbk, open, "<meta") || open + 5 >= gbk.size() ||
            !(isBlank(gbk[open + 5]) || gbk[open + 5] == '/'))
            continue;
        const std::size_t close = gbk.find('>', open);
        const std::size_t end = close == std::string_view::npos ? gbk.size() : close;
        for (std::size_t from = open + 5;;) {
            const auto value = findValue(gbk, from, end, "charset");
            if (!value) break;
            replace(value->first, value->second);
            from = value->second;
        }
        open = end - 1;
    }
    return values;
}

std::string declareCharset(std::string_view gbk, std::string_view charset) {
    std::string out;
    std::size_t copied = 0;  // gbk up to here is in `out`
    for (const auto& [begin, end] : charsetDeclarations(gbk)) {
        out.append(gbk.substr(copied, begin - copied));
        out.append(charset);
        copied = end;
    }
    if (copied == 0) return std::string(gbk);
    out.append(gbk.substr(copied));
    return out;
}

TextEncoding encodingOfMetaCharset(MetaCharset charset) {
    switch (charset) {
        case MetaCharset::Utf8:
            return TextEncoding::Utf8;
        case MetaCharset::Big5:
            return TextEncoding::Big5;
        case MetaCharset::Big5Hkscs:
            return TextEncoding::Big5Hkscs;
        case MetaCharset::None:
            break;
    }
    return TextEncoding::Detect;
}

}  // namespace lct
