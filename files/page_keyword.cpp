#include "files/page_keyword.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <optional>
#include <unordered_map>

#include "platform/bytes.h"
#include "platform/charset.h"

namespace lct {
namespace {

// ---- Finding the element, in the article's GBK bytes. "<", ">", "-" and "/"
// are never a GBK trail byte, so a search for them finds only themselves, and
// the ASCII letters right after a "<" start at a character boundary.

bool namedAt(std::string_view text, std::size_t at, std::string_view name) {
    if (text.size() - at < name.size() ||
        !equalsIgnoringAsciiCase(text.substr(at, name.size()), name))
        return false;
    if (at + name.size() == text.size()) return true;
    const char next = text[at + name.size()];
    return next == '>' || next == '/' || next == ' ' || next == '\t' || next == '\r' ||
           next == '\n' || next == '\f';
}

// Where the end tag "</name" first stands at or after `from`; npos when nowhere.
std::size_t endTagAt(std::string_view text, std::size_t from, std::string_view name) {
    for (std::size_t at = text.find("</", from); at != std::string_view::npos;
         at = text.find("</", at + 2)) {
        if (namedAt(text, at + 2, name)) return at;
    }
    return std::string_view::npos;
}

// The raw content of the first element `name` outside comments, scripts and
// styles; nullopt when there is none or it is not closed.
std::optional<std::string_view> firstElement(std::string_view text, std::string_view name) {
    std::size_t at = text.find('<');
    while (at != std::string_view::npos) {
        std::size_t next = at + 1;
        if (text.substr(at, 4) == "<!--") {
            const std::size_t end = text.find("-->", at + 4);
            if (end == std::string_view::npos) return std::nullopt;
            next = end + 3;
        } else if (namedAt(text, at + 1, "script") || namedAt(text, at + 1, "style")) {
            const std::string_view raw = namedAt(text, at + 1, "script") ? "script" : "style";
            next = endTagAt(text, at + 1, raw);
            if (next == std::string_view::npos) return std::nullopt;
        } else if (namedAt(text, at + 1, name)) {
            const std::size_t open = text.find('>', at);
            if (open == std::string_view::npos) return std::nullopt;
            const std::size_t close = endTagAt(text, open + 1, name);
            if (close == std::string_view::npos) return std::nullopt;
            return text.substr(open + 1, close - open - 1);
        }
        at = text.find('<', next);
    }
    return std::nullopt;
}

// ---- Making its text, in UTF-8.

// `utf8` without its tags: a "<" that opens one (followed by a letter, "/",
// "!" or "?") up to the next ">".
std::string withoutTags(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char next = i + 1 < utf8.size() ? utf8[i + 1] : '\0';
        if (utf8[i] == '<' && (isAsciiLetter(next) || next == '/' || next == '!' || next == '?')) {
            const std::size_t end = utf8.find('>', i);
            if (end == std::string_view::npos) break;
            i = end;
        } else {
            out.push_back(utf8[i]);
        }
    }
    return out;
}

bool isBlankByte(unsigned char c) {
    return c <= 0x20 || c == 0x7F;
}

// `s` without blanks (spaces, U+00A0, U+3000) at either end.
std::string_view trimmed(std::string_view s) {
    constexpr std::string_view kBlanks[] = {" ", "\xC2\xA0", "\xE3\x80\x80"};
    for (bool cut = true; cut;) {
        cut = false;
        for (std::string_view blank : kBlanks) {
            if (s.starts_with(blank)) {
                s.remove_prefix(blank.size());
                cut = true;
            }
            if (s.ends_with(blank)) {
                s.remove_suffix(blank.size());
                cut = true;
            }
        }
    }
    return s;
}

// Every run of ASCII blanks and control characters as one space, and blanks
// trimmed at both ends.
std::string tidyBlanks(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    bool blank = false;
    for (const char c : utf8) {
        if (isBlankByte(static_cast<unsigned char>(c))) {
            blank = true;
            continue;
        }
        if (blank && !out.empty()) out.push_back(' ');
        blank = false;
        out.push_back(c);
    }
    return std::string(trimmed(out));
}

constexpr std::string_view kSiteNameSeparators[] = {" - ", " | ", " _ ", "——", "－"};

// `keyword` cut before the first site-name separator that leaves at least two
// characters before it.
std::string withoutSiteName(std::string keyword) {
    for (std::size_t at = 0; at < keyword.size(); ++at) {
        for (std::string_view separator : kSiteNameSeparators) {
            if (keyword.compare(at, separator.size(), separator) != 0) continue;
            const std::string_view kept = trimmed(std::string_view(keyword).substr(0, at));
            if (utf8Length(kept) >= 2) return std::string(kept);
        }
    }
    return keyword;
}

// ---- Character references.

// HTML 4's named references: Latin-1 from U+00A0 on, Greek from U+0391 and
// U+03B1 on (U+03A2 has none), then the others one by one.
constexpr std::string_view kLatin1[] = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};
constexpr std::string_view kGreekCapitals[] = {
    "Alpha", "Beta",   "Gamma",   "Delta", "Epsilon", "Zeta",    "Eta",  "Theta", "Iota",
    "Kappa", "Lambda", "Mu",      "Nu",    "Xi",      "Omicron", "Pi",   "Rho",   "",
    "Sigma", "Tau",    "Upsilon", "Phi",   "Chi",     "Psi",     "Omega"};
constexpr std::string_view kGreekSmall[] = {
    "alpha", "beta",   "gamma",   "delta", "epsilon", "zeta",    "eta",  "theta", "iota",
    "kappa", "lambda", "mu",      "nu",    "xi",      "omicron", "pi",   "rho",   "sigmaf",
    "sigma", "tau",    "upsilon", "phi",   "chi",     "psi",     "omega"};
struct NamedReference {
    std::string_view name;
    char32_t cp;
};
constexpr NamedReference kOtherNames[] = {
    {"quot", 34},     {"amp", 38},      {"apos", 39},      {"lt", 60},        {"gt", 62},
    {"OElig", 338},   {"oelig", 339},   {"Scaron", 352},   {"scaron", 353},   {"Yuml", 376},
    {"fnof", 402},    {"circ", 710},    {"tilde", 732},    {"thetasym", 977}, {"upsih", 978},
    {"piv", 982},     {"ensp", 8194},   {"emsp", 8195},    {"thinsp", 8201},  {"zwnj", 8204},
    {"zwj", 8205},    {"lrm", 8206},    {"rlm", 8207},     {"ndash", 8211},   {"mdash", 8212},
    {"lsquo", 8216},  {"rsquo", 8217},  {"sbquo", 8218},   {"ldquo", 8220},   {"rdquo", 8221},
    {"bdquo", 8222},  {"dagger", 8224}, {"Dagger", 8225},  {"bull", 8226},    {"hellip", 8230},
    {"permil", 8240}, {"prime", 8242},  {"Prime", 8243},   {"lsaquo", 8249},  {"rsaquo", 8250},
    {"oline", 8254},  {"frasl", 8260},  {"euro", 8364},    {"image", 8465},   {"weierp", 8472},
    {"real", 8476},   {"trade", 8482},  {"alefsym", 8501}, {"larr", 8592},    {"uarr", 8593},
    {"rarr", 8594},   {"darr", 8595},   {"harr", 8596},    {"crarr", 8629},   {"lArr", 8656},
    {"uArr", 8657},   {"rArr", 8658},   {"dArr", 8659},    {"hArr", 8660},    {"forall", 8704},
    {"part", 8706},   {"exist", 8707},  {"empty", 8709},   {"nabla", 8711},   {"isin", 8712},
    {"notin", 8713},  {"ni", 8715},     {"prod", 8719},    {"sum", 8721},     {"minus", 8722},
    {"lowast", 8727}, {"radic", 8730},  {"prop", 8733},    {"infin", 8734},   {"ang", 8736},
    {"and", 8743},    {"or", 8744},     {"cap", 8745},     {"cup", 8746},     {"int", 8747},
    {"there4", 8756}, {"sim", 8764},    {"cong", 8773},    {"asymp", 8776},   {"ne", 8800},
    {"equiv", 8801},  {"le", 8804},     {"ge", 8805},      {"sub", 8834},     {"sup", 8835},
    {"nsub", 8836},   {"sube", 8838},   {"supe", 8839},    {"oplus", 8853},   {"otimes", 8855},
    {"perp", 8869},   {"sdot", 8901},   {"lceil", 8968},   {"rceil", 8969},   {"lfloor", 8970},
    {"rfloor", 8971}, {"lang", 9001},   {"rang", 9002},    {"loz", 9674},     {"spades", 9824},
    {"clubs", 9827},  {"hearts", 9829}, {"diams", 9830},
};

const std::unordered_map<std::string_view, char32_t>& namedReferences() {
    static const auto table = [] {
        std::unordered_map<std::string_view, char32_t> names;
        const auto addRun = [&names](const auto& run, char32_t first) {
            for (std::size_t i = 0; i < std::size(run); ++i) {
                if (!run[i].empty()) names.emplace(run[i], first + static_cast<char32_t>(i));
            }
        };
        addRun(kLatin1, 0xA0);
        addRun(kGreekCapitals, 0x391);
        addRun(kGreekSmall, 0x3B1);
        for (const NamedReference& other : kOtherNames)
            names.emplace(other.name, other.cp);
        return names;
    }();
    return table;
}

// What browsers read numeric references to C1 codes as: Windows-1252.
constexpr std::array<char16_t, 32> kWindows1252 = {
    0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021, 0x2C6,  0x2030, 0x160,
    0x2039, 0x152,  0x8D,   0x17D,  0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};

bool isHexLetter(char c) {
    const char lower = toLowerAscii(c);
    return lower >= 'a' && lower <= 'f';
}

char32_t characterOfNumber(std::uint32_t n) {
    if (n >= 0x80 && n <= 0x9F) return kWindows1252[n - 0x80];
    if (n == 0 || (n >= 0xD800 && n <= 0xDFFF) || n > 0x10FFFF) return 0xFFFD;
    return n;
}

// Decodes the reference at `at` (an "&") into `out`; the bytes it took, 0 for none.
std::size_t decodeReferenceAt(std::string_view s, std::size_t at, std::string& out) {
    if (s.substr(at, 2) == "&#") {
        const bool hex = at + 2 < s.size() && (s[at + 2] == 'x' || s[at + 2] == 'X');
        const std::size_t digits = at + (hex ? 3 : 2);
        std::uint64_t n = 0;
        const char* end = s.data() + s.size();
        auto [stop, ec] = std::from_chars(s.data() + digits, end, n, hex ? 16 : 10);
        if (stop == s.data() + digits) return 0;
        // A number too large for any character still ends at its last digit.
        if (ec == std::errc::result_out_of_range) n = 0x110000;
        while (stop != end && (isAsciiDigit(*stop) || (hex && isHexLetter(*stop))))
            ++stop;
        appendUtf8(
            characterOfNumber(static_cast<std::uint32_t>(std::min<std::uint64_t>(n, 0x110000))),
            out);
        std::size_t taken = static_cast<std::size_t>(stop - (s.data() + at));
        if (stop != end && *stop == ';') ++taken;
        return taken;
    }
    const std::size_t semicolon = s.find(';', at + 1);
    if (semicolon == std::string_view::npos || semicolon - at > 10) return 0;
    const auto found = namedReferences().find(s.substr(at + 1, semicolon - at - 1));
    if (found == namedReferences().end()) return 0;
    appendUtf8(found->second, out);
    return semicolon - at + 1;
}

}  // namespace

std::string decodeCharacterReferences(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t taken = utf8[i] == '&' ? decodeReferenceAt(utf8, i, out) : 0;
        if (taken > 0) {
            i += taken;
        } else {
            out.push_back(utf8[i++]);
        }
    }
    return out;
}

std::string pageKeyword(std::string_view gbkText, PageKeywordSource from) {
    const std::optional<std::string_view> element =
        firstElement(gbkText, from == PageKeywordSource::Title ? "title" : "h1");
    if (!element) return {};
    const std::string text = decodeCharacterReferences(withoutTags(gbkToUtf8(*element)));
    return withoutSiteName(tidyBlanks(text));
}

}  // namespace lct
