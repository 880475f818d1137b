// Inputs for the batch and memory scripts, the same bytes on every machine
// and in every locale (a fixed generator, characters from data/):
//   make_corpus articles FOLDER COUNT [KIND]   COUNT articles of about 8 KB, the kinds in
//                                              the shares below, or all of one KIND;
//                                              prints "KIND COUNT" per kind
//   make_corpus article FILE BYTES KIND        one article of about BYTES
//   make_corpus text FILE BYTES simplified|traditional
//                                              plain UTF-8 text (LF) of about BYTES
//   make_corpus keywords FILE COUNT            COUNT distinct words of 2 to 4 characters
//                                              drawn as the articles' text is, UTF-8, LF
// The text is random: the 498 most used characters seven draws in ten, any
// of the 2,500 common ones otherwise, in sentences with punctuation, a few
// English words and numbers, links and bold runs, in paragraphs.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/charset.h"
#include "platform/gzip.h"
#include "platform/script_converter.h"

namespace {

namespace fs = std::filesystem;

enum class Kind { Gbk, Gb18030, Utf8Bom, Utf8Meta, Utf8, Utf16Le, Utf16Be, Big5, Gzip };

struct KindInfo {
    Kind kind;
    std::string_view name;
    std::string_view charset;  // ICU name of the bytes on disk (gzip: of its content)
    std::string_view meta;     // the meta tag's charset value; empty for none
    bool crlf;
};

constexpr std::array<KindInfo, 9> kKinds{{
    {Kind::Gbk, "gbk", "gb18030", "gbk", true},
    {Kind::Gb18030, "gb18030", "gb18030", "gb18030", true},
    {Kind::Utf8Bom, "utf-8-bom", "UTF-8", "", true},
    {Kind::Utf8Meta, "utf-8-meta", "UTF-8", "utf-8", false},
    {Kind::Utf8, "utf-8", "UTF-8", "", false},
    {Kind::Utf16Le, "utf-16le", "UTF-16LE", "", true},
    {Kind::Utf16Be, "utf-16be", "UTF-16BE", "", true},
    {Kind::Big5, "big5", "Big5", "big5", true},
    {Kind::Gzip, "gzip", "UTF-8", "utf-8", false},
}};

// One cycle of twenty articles: gbk 4, utf-8 with a mark 3, plain utf-8 3,
// gb18030 2, big5 2, gzip 2, utf-8 with a meta charset 2, utf-16le 1,
// utf-16be 1; kinds spread over the cycle.
constexpr std::array<Kind, 20> kCycle{
    Kind::Gbk,  Kind::Utf8Bom,  Kind::Utf8,    Kind::Gb18030, Kind::Big5,
    Kind::Gzip, Kind::Utf8Meta, Kind::Gbk,     Kind::Utf16Le, Kind::Utf8Bom,
    Kind::Utf8, Kind::Gbk,      Kind::Gzip,    Kind::Gb18030, Kind::Utf8Meta,
    Kind::Big5, Kind::Utf8Bom,  Kind::Utf16Be, Kind::Utf8,    Kind::Gbk,
};

const KindInfo& info(Kind kind) {
    for (const KindInfo& k : kKinds)
        if (k.kind == kind) return k;
    return kKinds[0];
}

std::optional<Kind> kindNamed(std::string_view name) {
    for (const KindInfo& k : kKinds)
        if (k.name == name) return k.kind;
    return std::nullopt;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool writeFile(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// The UTF-8 characters of a one-line table file.
std::vector<std::string> characters(std::string_view utf8) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t n = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (lead > ' ') out.emplace_back(utf8.substr(i, n));
        i += n;
    }
    return out;
}

bool roundTrips(const std::string& utf8, std::string_view charset) {
    const auto bytes = lct::convertCharset(utf8, "UTF-8", charset);
    return bytes && lct::convertCharset(*bytes, charset, "UTF-8") == utf8;
}

// Character pools: the frequent characters and the common ones, simplified,
// and the same pools in traditional characters that Big5 holds.
struct Pools {
    std::vector<std::string> frequent, common, frequentBig5, commonBig5;
};

std::vector<std::string> big5Forms(const std::vector<std::string>& simplified) {
    const lct::ScriptConverter& toTraditional =
        lct::scriptConverter(lct::ScriptDirection::SimplifiedToTraditional);
    std::vector<std::string> out;
    for (const std::string& c : simplified) {
        const std::string t = toTraditional.convert(c).value_or(c);
        if (roundTrips(t, "Big5"))
            out.push_back(t);
        else if (roundTrips(c, "Big5"))
            out.push_back(c);
    }
    return out;
}

std::optional<Pools> loadPools() {
    const fs::path data = LCT_DATA_DIR;
    Pools p;
    p.frequent = characters(readFile(data / "most-common-498.txt"));
    p.common = characters(readFile(data / "common-2500.txt"));
    if (p.frequent.size() < 400 || p.common.size() < 2000) {
        std::fprintf(stderr, "make_corpus: character tables missing under %s\n", data.c_str());
        return std::nullopt;
    }
    p.frequentBig5 = big5Forms(p.frequent);
    p.commonBig5 = big5Forms(p.common);
    return p;
}

// Draws of the text. std::mt19937 gives the same numbers everywhere; the
// library's distributions may not, so ranges are taken by remainder.
class Writer {
  public:
    Writer(const Pools& pools, bool big5, std::uint32_t seed)
        : frequent_(big5 ? pools.frequentBig5 : pools.frequent),
          common_(big5 ? pools.commonBig5 : pools.common),
          rng_(seed) {}

    std::size_t below(std::size_t n) { return rng_() % n; }
    std::size_t between(std::size_t lo, std::size_t hi) { return lo + below(hi - lo + 1); }

    void character(std::string& out) {
        out += below(10) < 7 ? frequent_[below(frequent_.size())] : common_[below(common_.size())];
    }
    void word(std::string& out, std::size_t length) {
        for (std::size_t i = 0; i < length; ++i)
            character(out);
    }

    // One sentence of HTML (or of plain text) with its ending mark.
    void sentence(std::string& out, bool html, bool outsideGbk) {
        static constexpr std::array<std::string_view, 8> kLatin{"Linux", "HTML", "2026", "Qt 6",
                                                                "Wi-Fi", "CPU",  "3.5",  "OpenCC"};
        static constexpr std::array<std::string_view, 4> kEnds{"。", "。", "！", "？"};
        static constexpr std::array<std::string_view, 5> kRare{"㐀", "䶵", "𠀀", "𪚥", "😀"};
        const std::size_t clauses = between(1, 3);
        for (std::size_t c = 0; c < clauses; ++c) {
            if (c > 0) out += below(4) == 0 ? "、" : "，";
            word(out, between(3, 9));
            const std::size_t extra = below(12);
            if (extra == 0) {
                out += kLatin[below(kLatin.size())];
            } else if (extra == 1 && html) {
                out += "<a href=\"https://example.com/" + std::to_string(below(1000)) + ".html\">";
                word(out, between(2, 4));
                out += "</a>";
            } else if (extra == 2 && html) {
                out += "<strong>";
                word(out, between(2, 4));
                out += "</strong>";
            } else if (extra == 3 && outsideGbk) {
                out += kRare[below(kRare.size())];
            }
            word(out, between(2, 8));
        }
        out += kEnds[below(kEnds.size())];
    }

    std::string paragraph(bool html, bool outsideGbk) {
        std::string out = html ? "<p>" : "";
        const std::size_t sentences = between(2, 6);
        for (std::size_t s = 0; s < sentences; ++s)
            sentence(out, html, outsideGbk);
        return out + (html ? "</p>\n" : "\n");
    }

  private:
    const std::vector<std::string>& frequent_;
    const std::vector<std::string>& common_;
    std::mt19937 rng_;
};

// Bytes that `utf8` takes in the charset of `kind` (gzip: before compression).
std::size_t encodedSize(Kind kind, std::string_view utf8) {
    std::size_t ascii = 0, bmp = 0, astral = 0;
    for (unsigned char c : utf8) {
        if (c < 0x80)
            ++ascii;
        else if (c >= 0xF0)
            ++astral;
        else if (c >= 0xC0)
            ++bmp;
    }
    switch (kind) {
        case Kind::Utf8Bom:
        case Kind::Utf8Meta:
        case Kind::Utf8:
        case Kind::Gzip:
            return utf8.size();
        case Kind::Utf16Le:
        case Kind::Utf16Be:
            return 2 * ascii + 2 * bmp + 4 * astral;
        default:
            return ascii + 2 * bmp + 4 * astral;
    }
}

std::string withCrlf(std::string_view lf) {
    std::string out;
    out.reserve(lf.size() + lf.size() / 64);
    for (char c : lf) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// One HTML article of about `bytes` on disk (gzip: inflated), as UTF-8.
std::string articleText(Writer& w, Kind kind, std::size_t bytes) {
    const KindInfo& k = info(kind);
    std::string title;
    w.word(title, w.between(6, 14));
    std::string text = "<!DOCTYPE html>\n<html><head>";
    if (!k.meta.empty()) text += "<meta charset=\"" + std::string(k.meta) + "\">";
    text += "<title>" + title + "</title></head><body>\n<h1>" + title + "</h1>\n";
    const std::string tail = "</body></html>\n";
    std::size_t size = encodedSize(kind, text) + encodedSize(kind, tail);
    while (size < bytes) {
        const std::string p = w.paragraph(true, kind == Kind::Gb18030);
        size += encodedSize(kind, p);
        text += p;
    }
    return text + tail;
}

// The bytes on disk of an article given as UTF-8 with LF line breaks.
std::optional<std::string> encode(Kind kind, const std::string& utf8Lf) {
    const KindInfo& k = info(kind);
    const std::string text = k.crlf ? withCrlf(utf8Lf) : utf8Lf;
    std::optional<std::string> body = lct::convertCharset(text, "UTF-8", k.charset);
    if (!body || lct::convertCharset(*body, k.charset, "UTF-8") != text) return std::nullopt;
    switch (kind) {
        case Kind::Utf8Bom:
            return "\xEF\xBB\xBF" + *body;
        case Kind::Utf16Le:
            return "\xFF\xFE" + *body;
        case Kind::Utf16Be:
            return "\xFE\xFF" + *body;
        case Kind::Gzip:
            return lct::gzipCompress(*body);
        default:
            return body;
    }
}

std::string fileName(Kind kind, std::size_t n) {
    return "新闻" + std::to_string(n) + (kind == Kind::Gzip ? ".htm.gz" : ".htm");
}

int fail(const std::string& what) {
    std::fprintf(stderr, "make_corpus: %s\n", what.c_str());
    return 1;
}

int writeArticles(const Pools& pools, const fs::path& folder, std::size_t count,
                  std::optional<Kind> only) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    std::map<std::string_view, std::size_t> made;
    for (std::size_t i = 0; i < count; ++i) {
        const Kind kind = only ? *only : kCycle[i % kCycle.size()];
        Writer w(pools, kind == Kind::Big5, static_cast<std::uint32_t>(i + 1));
        const auto bytes = encode(kind, articleText(w, kind, 8192));
        if (!bytes) return fail("cannot encode article " + std::to_string(i));
        if (!writeFile(folder / fileName(kind, i), *bytes))
            return fail("cannot write into " + folder.string());
        ++made[info(kind).name];
    }
    for (const auto& [name, n] : made)
        std::printf("%s %zu\n", std::string(name).c_str(), n);
    return 0;
}

int writeArticle(const Pools& pools, const fs::path& file, std::size_t bytes, Kind kind) {
    Writer w(pools, kind == Kind::Big5, 1);
    const auto encoded = encode(kind, articleText(w, kind, bytes));
    if (!encoded) return fail("cannot encode the article");
    return writeFile(file, *encoded) ? 0 : fail("cannot write " + file.string());
}

int writeText(const Pools& pools, const fs::path& file, std::size_t bytes, bool traditional) {
    Writer w(pools, false, 1);
    std::string text;
    while (text.size() < bytes)
        text += w.paragraph(false, false);
    if (traditional) {
        const auto converted =
            lct::scriptConverter(lct::ScriptDirection::SimplifiedToTraditional).convert(text);
        if (!converted) return fail("cannot convert the text to traditional characters");
        text = *converted;
    }
    return writeFile(file, text) ? 0 : fail("cannot write " + file.string());
}

int writeKeywords(const Pools& pools, const fs::path& file, std::size_t count) {
    Writer w(pools, false, 7);
    std::unordered_set<std::string> seen;
    std::string out;
    for (std::size_t tries = 0; seen.size() < count && tries < 100 * count; ++tries) {
        std::string word;
        w.word(word, w.between(2, 4));
        if (seen.insert(word).second) out += word + '\n';
    }
    if (seen.size() < count) return fail("too few distinct words");
    return writeFile(file, out) ? 0 : fail("cannot write " + file.string());
}

std::optional<std::size_t> number(const char* text) {
    char* end = nullptr;
    const unsigned long long n = std::strtoull(text, &end, 10);
    if (end == text || *end != '\0' || n == 0) return std::nullopt;
    return static_cast<std::size_t>(n);
}

int usage() {
    std::fprintf(stderr,
                 "usage: make_corpus articles FOLDER COUNT [KIND]\n"
                 "       make_corpus article FILE BYTES KIND\n"
                 "       make_corpus text FILE BYTES simplified|traditional\n"
                 "       make_corpus keywords FILE COUNT\n"
                 "kinds:");
    for (const KindInfo& k : kKinds)
        std::fprintf(stderr, " %s", std::string(k.name).c_str());
    std::fprintf(stderr, "\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return usage();
    const std::string_view command = argv[1];
    const fs::path target = argv[2];
    const std::optional<std::size_t> n = number(argv[3]);
    const std::optional<Kind> kind = argc > 4 ? kindNamed(argv[4]) : std::nullopt;
    if (!n || argc > 5 || (argc == 5 && command != "text" && !kind)) return usage();
    const std::optional<Pools> pools = loadPools();
    if (!pools) return 1;
    if (command == "articles") return writeArticles(*pools, target, *n, kind);
    if (command == "article" && kind) return writeArticle(*pools, target, *n, *kind);
    if (command == "text" && argc == 5) {
        const std::string_view script = argv[4];
        if (script != "simplified" && script != "traditional") return usage();
        return writeText(*pools, target, *n, script == "traditional");
    }
    if (command == "keywords" && argc == 4) return writeKeywords(*pools, target, *n);
    return usage();
}
