#include "files/meta_charset.h"

#include <algorithm>
#include <array>
#include <optional>

#include "form/pending_messages.h"
#include "platform/ascii.h"

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

MetaCharset detectMetaCharset(std::string_view bytes) {
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
        processPendingMessages();
    }
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
