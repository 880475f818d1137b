#include "platform/script_converter.h"

#include <opencc/Config.hpp>
#include <opencc/Conversion.hpp>
#include <opencc/ConversionChain.hpp>
#include <opencc/Converter.hpp>
#include <opencc/DictGroup.hpp>
#include <opencc/Exception.hpp>
#include <opencc/Lexicon.hpp>
#include <opencc/MaxMatchSegmentation.hpp>
#include <opencc/SimpleConverter.hpp>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <exception>
#include <list>
#include <unordered_map>
#include <unordered_set>

#include "platform/charset.h"

namespace lct {

// The tables of one OpenCC configuration shaped like s2t.json and t2s.json:
// segmentation by maximum forward match over one dictionary S, then a chain of
// one conversion over a group of dictionaries D1..Dn. OpenCC turns a run of
// text into segments: each longest key of S found at a position is a segment
// of its own, and the characters between such keys form a segment together.
// The conversion then matches, at each position of a segment and inside it
// only, the longest key of the first Di that has a key there.
//
// The tables give the same results in one pass:
//  - a key of S becomes its conversion, worked out once when building;
//  - a character between keys of S becomes the first value of the first Di
//    that has it as a key, or stays.
// The second rule is exact when every key of the Di of more than one character
// is also a key of S: such a key cannot start where S found none. Building
// refuses any other shape (the converter then calls OpenCC instead), and also
// keys of S holding NUL, LF or the raw-byte points, which end runs.
//
// Keys live in one trie over code points. The first characters are found in a
// table indexed by the code point; deeper edges in an open-addressing hash
// keyed by (node, code point), so that a step costs one probe.
class ScriptTables {
  public:
    /// nullptr, with the reason in `why`, for a shape the tables do not cover.
    /// OpenCC's exceptions pass through: the caller catches them.
    static std::unique_ptr<const ScriptTables> build(const opencc::Converter& converter,
                                                     std::string& why);

    /// Appends the conversion of `utf8` to `out`, with the length-keeping rule
    /// of convertKeepingLength; false when `utf8` is not valid UTF-8.
    bool convert(std::string_view utf8, std::string& out) const;

  private:
    struct Piece {
        std::uint32_t offset = 0;  ///< in pool_
        std::uint32_t size = 0;    ///< bytes
        std::int32_t delta = 0;    ///< code points gained against the matched key
    };
    struct Node {
        std::int32_t phrase = -1;  ///< the conversion of the key of S that ends here
        std::int32_t single = -1;  ///< first characters: their conversion between keys of S
        bool hasChildren = false;
    };
    struct Edge {
        std::uint64_t key;
        std::uint32_t child;
    };
    static constexpr std::uint64_t kNoEdge = ~std::uint64_t{0};

    static std::uint64_t edgeKey(std::uint32_t node, char32_t cp) {
        return (std::uint64_t{node} << 21) | cp;
    }
    std::size_t slotOf(std::uint64_t key) const {
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> edgeShift_);
    }
    std::uint32_t childOf(std::uint32_t node, char32_t cp) const;
    std::uint32_t firstNode(char32_t cp) const { return cp < 0x10000 ? bmp_[cp] : childOf(0, cp); }
    void appendPiece(std::int32_t piece, std::string& out) const {
        const Piece& p = pieces_[static_cast<std::size_t>(piece)];
        out.append(pool_, p.offset, p.size);
    }
    void convertOneByOne(const unsigned char* p, const unsigned char* end, std::string& out) const;

    // Building.
    std::uint32_t addChild(std::uint32_t node, char32_t cp,
                           std::unordered_map<std::uint64_t, std::uint32_t>& edges);
    std::int32_t addPiece(const std::string& value, std::size_t keyLength);
    void compileEdges(const std::unordered_map<std::uint64_t, std::uint32_t>& edges);

    std::vector<std::uint32_t> bmp_ = std::vector<std::uint32_t>(0x10000, 0);
    std::vector<Node> nodes_ = std::vector<Node>(1);  // node 0 is the root
    std::vector<Edge> edges_;
    std::size_t edgeMask_ = 0;
    int edgeShift_ = 64;
    std::vector<Piece> pieces_;
    std::string pool_;
    std::array<bool, 0x80> plainAscii_{};  // ASCII that ends no run and starts no key
};

namespace {

constexpr char32_t kRawBytePoints = 0x10FF00;  // U+10FF00 + byte: a byte that was not GBK

const char* configName(ScriptDirection direction) {
    return direction == ScriptDirection::TraditionalToSimplified ? "t2s.json" : "s2t.json";
}

unsigned byteAt(std::string_view s, std::size_t i) {
    return static_cast<unsigned char>(s[i]);
}

std::size_t sequenceSize(std::string_view s, std::size_t i) {
    const unsigned lead = byteAt(s, i);
    std::size_t n = 1;
    if (lead >= 0xF0) {
        n = 4;
    } else if (lead >= 0xE0) {
        n = 3;
    } else if (lead >= 0xC0) {
        n = 2;
    }
    return std::min(n, s.size() - i);
}

bool isContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// The code point that starts at `p` and its size in bytes; 0 when the bytes
// there are not a valid UTF-8 sequence (overlong forms, surrogates and cut
// sequences included).
std::size_t decodeUtf8(const unsigned char* p, const unsigned char* end, char32_t& cp) {
    const unsigned lead = p[0];
    if (lead < 0x80) {
        cp = lead;
        return 1;
    }
    const std::ptrdiff_t left = end - p;
    if (lead >= 0xC2 && lead <= 0xDF) {
        if (left < 2 || !isContinuation(p[1])) return 0;
        cp = static_cast<char32_t>(((lead & 0x1Fu) << 6) | (p[1] & 0x3Fu));
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (left < 3 || !isContinuation(p[1]) || !isContinuation(p[2])) return 0;
        cp = static_cast<char32_t>(((lead & 0x0Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu));
        if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (left < 4 || !isContinuation(p[1]) || !isContinuation(p[2]) || !isContinuation(p[3]))
            return 0;
        cp = static_cast<char32_t>(((lead & 0x07u) << 18) | ((p[1] & 0x3Fu) << 12) |
                                   ((p[2] & 0x3Fu) << 6) | (p[3] & 0x3Fu));
        if (cp < 0x10000 || cp > 0x10FFFF) return 0;
        return 4;
    }
    return 0;
}

// The code points of `utf8`; nullopt when it is not valid UTF-8.
std::optional<std::vector<char32_t>> codePoints(std::string_view utf8) {
    std::vector<char32_t> out;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = p + utf8.size();
    while (p < end) {
        char32_t cp = 0;
        const std::size_t n = decodeUtf8(p, end, cp);
        if (n == 0) return std::nullopt;
        out.push_back(cp);
        p += n;
    }
    return out;
}

// NUL stops OpenCC's segmentation (it reads C strings), and the private-use
// points that stand for raw bytes must come back exactly: both are copied
// around OpenCC instead of going through it.
bool passesThrough(std::string_view s, std::size_t i) {
    if (s[i] == '\0') return true;
    return i + 3 < s.size() && byteAt(s, i) == 0xF4 && byteAt(s, i + 1) == 0x8F &&
           (byteAt(s, i + 2) & 0xFC) == 0xBC;
}

bool convertRun(std::string_view run, const PieceConverter& convertPiece, std::string& out) {
    std::optional<std::string> whole = convertPiece(run);
    if (!whole) return false;
    if (utf8Length(*whole) == utf8Length(run)) {
        out += *whole;
        return true;
    }
    // A phrase mapping changed the length: map this run one character at a
    // time, so that positions counted in characters stay valid.
    for (std::size_t i = 0; i < run.size();) {
        const std::size_t n = sequenceSize(run, i);
        const std::string_view ch = run.substr(i, n);
        std::optional<std::string> one = convertPiece(ch);
        if (!one) return false;
        out += utf8Length(*one) == 1 ? std::string_view(*one) : ch;
        i += n;
    }
    return true;
}

// The dictionaries of `dict` in the order in which a group consults them: a
// group answers with the first of its dictionaries that has a match, so
// nested groups flatten into one list.
void flattenDicts(const opencc::DictPtr& dict, std::vector<opencc::DictPtr>& out) {
    if (const auto group = std::dynamic_pointer_cast<opencc::DictGroup>(dict)) {
        for (const opencc::DictPtr& inner : group->GetDicts())
            flattenDicts(inner, out);
    } else if (dict) {
        out.push_back(dict);
    }
}

// The segmentation dictionary and the conversions' dictionaries of a loaded
// configuration, in that order.
std::vector<opencc::DictPtr> allDicts(const opencc::Converter& converter) {
    std::vector<opencc::DictPtr> dicts;
    if (const auto segmentation =
            std::dynamic_pointer_cast<opencc::MaxMatchSegmentation>(converter.GetSegmentation()))
        flattenDicts(segmentation->GetDict(), dicts);
    for (const opencc::ConversionPtr& conversion : converter.GetConversionChain()->GetConversions())
        flattenDicts(conversion->GetDict(), dicts);
    return dicts;
}

}  // namespace

std::uint32_t ScriptTables::childOf(std::uint32_t node, char32_t cp) const {
    const std::uint64_t key = edgeKey(node, cp);
    for (std::size_t slot = slotOf(key);; slot = (slot + 1) & edgeMask_) {
        const Edge& edge = edges_[slot];
        if (edge.key == key) return edge.child;
        if (edge.key == kNoEdge) return 0;
    }
}

std::uint32_t ScriptTables::addChild(std::uint32_t node, char32_t cp,
                                     std::unordered_map<std::uint64_t, std::uint32_t>& edges) {
    std::uint32_t* slot = nullptr;
    if (node == 0 && cp < 0x10000) {
        slot = &bmp_[cp];
    } else {
        slot = &edges[edgeKey(node, cp)];
    }
    if (*slot == 0) {
        *slot = static_cast<std::uint32_t>(nodes_.size());
        nodes_[node].hasChildren = true;
        nodes_.emplace_back();
    }
    return *slot;
}

std::int32_t ScriptTables::addPiece(const std::string& value, std::size_t keyLength) {
    Piece piece;
    piece.offset = static_cast<std::uint32_t>(pool_.size());
    piece.size = static_cast<std::uint32_t>(value.size());
    piece.delta =
        static_cast<std::int32_t>(utf8Length(value)) - static_cast<std::int32_t>(keyLength);
    pool_ += value;
    pieces_.push_back(piece);
    return static_cast<std::int32_t>(pieces_.size() - 1);
}

void ScriptTables::compileEdges(const std::unordered_map<std::uint64_t, std::uint32_t>& edges) {
    const std::size_t capacity = std::bit_ceil(std::max<std::size_t>(16, edges.size() * 2));
    edges_.assign(capacity, Edge{kNoEdge, 0});
    edgeMask_ = capacity - 1;
    edgeShift_ = 64 - std::countr_zero(capacity);
    for (const auto& [key, child] : edges) {
        std::size_t slot = slotOf(key);
        while (edges_[slot].key != kNoEdge)
            slot = (slot + 1) & edgeMask_;
        edges_[slot] = Edge{key, child};
    }
}

std::unique_ptr<const ScriptTables> ScriptTables::build(const opencc::Converter& converter,
                                                        std::string& why) {
    const auto segmentation =
        std::dynamic_pointer_cast<opencc::MaxMatchSegmentation>(converter.GetSegmentation());
    std::vector<opencc::DictPtr> segmentDicts;
    if (segmentation) flattenDicts(segmentation->GetDict(), segmentDicts);
    if (segmentDicts.size() != 1) {
        why = "the segmentation is not a maximum match over one dictionary";
        return nullptr;
    }
    const std::list<opencc::ConversionPtr> conversions =
        converter.GetConversionChain()->GetConversions();
    if (conversions.size() != 1) {
        why = "the conversion chain does not hold exactly one conversion";
        return nullptr;
    }
    const opencc::ConversionPtr& conversion = conversions.front();
    std::vector<opencc::DictPtr> groupDicts;
    flattenDicts(conversion->GetDict(), groupDicts);
    const opencc::DictPtr& segmentDict = segmentDicts.front();
    // The usual case: the group starts with the segmentation's dictionary, so
    // each of its keys converts to its own first value.
    const bool groupStartsWithSegments = !groupDicts.empty() && groupDicts.front() == segmentDict;

    auto tables = std::make_unique<ScriptTables>();
    std::unordered_map<std::uint64_t, std::uint32_t> edges;
    for (const std::unique_ptr<opencc::DictEntry>& entry : *segmentDict->GetLexicon()) {
        const std::string key = entry->Key();
        const std::optional<std::vector<char32_t>> cps = codePoints(key);
        if (!cps || cps->empty()) {
            why = "a segmentation key is not valid UTF-8";
            return nullptr;
        }
        std::uint32_t node = 0;
        for (char32_t cp : *cps) {
            if (cp == 0 || cp == '\n' || cp >= kRawBytePoints) {
                why = "a segmentation key holds a character that ends runs";
                return nullptr;
            }
            node = tables->addChild(node, cp, edges);
        }
        const std::string value =
            groupStartsWithSegments ? entry->GetDefault() : conversion->Convert(key);
        tables->nodes_[node].phrase = tables->addPiece(value, cps->size());
    }
    tables->compileEdges(edges);  // the walks below look keys of S up

    for (const opencc::DictPtr& dict : groupDicts) {
        if (dict == segmentDict) continue;  // never matches between keys of S
        for (const std::unique_ptr<opencc::DictEntry>& entry : *dict->GetLexicon()) {
            const std::string key = entry->Key();
            const std::optional<std::vector<char32_t>> cps = codePoints(key);
            if (!cps || cps->empty()) {
                why = "a conversion key is not valid UTF-8";
                return nullptr;
            }
            if (cps->size() == 1) {
                const std::uint32_t node = tables->addChild(0, cps->front(), edges);
                // The first dictionary of the group that has the key wins.
                if (tables->nodes_[node].single < 0)
                    tables->nodes_[node].single = tables->addPiece(entry->GetDefault(), 1);
                continue;
            }
            std::uint32_t node = 0;
            for (char32_t cp : *cps) {
                node = node == 0 ? tables->firstNode(cp) : tables->childOf(node, cp);
                if (node == 0) break;
            }
            if (node == 0 || tables->nodes_[node].phrase < 0) {
                why = "a conversion key of several characters is not a segmentation key";
                return nullptr;
            }
        }
    }
    tables->compileEdges(edges);  // first characters outside the BMP may have been added
    for (unsigned b = 1; b < 0x80; ++b)
        tables->plainAscii_[b] = b != '\n' && tables->bmp_[b] == 0;
    return tables;
}

void ScriptTables::convertOneByOne(const unsigned char* p, const unsigned char* end,
                                   std::string& out) const {
    while (p < end) {
        char32_t cp = 0;
        const std::size_t n = std::max<std::size_t>(1, decodeUtf8(p, end, cp));
        const std::uint32_t node = firstNode(cp);
        std::int32_t piece = -1;
        if (node != 0) piece = nodes_[node].phrase >= 0 ? nodes_[node].phrase : nodes_[node].single;
        if (piece >= 0 && pieces_[static_cast<std::size_t>(piece)].delta == 0) {
            appendPiece(piece, out);
        } else {
            out.append(reinterpret_cast<const char*>(p), n);
        }
        p += n;
    }
}

bool ScriptTables::convert(std::string_view utf8, std::string& out) const {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = p + utf8.size();
    // Bytes from copyFrom to p are kept as they are and not yet written. A run
    // (as in convertKeepingLength) starts at runStart, its output at runOut;
    // runDelta is the change of its length in code points so far.
    const unsigned char* copyFrom = p;
    const unsigned char* runStart = p;
    std::size_t runOut = out.size();
    std::int64_t runDelta = 0;
    auto flushCopy = [&] {
        out.append(reinterpret_cast<const char*>(copyFrom), static_cast<std::size_t>(p - copyFrom));
        copyFrom = p;
    };
    auto endRun = [&] {
        flushCopy();
        if (runDelta != 0) {
            out.resize(runOut);
            convertOneByOne(runStart, p, out);
            runDelta = 0;
        }
        runStart = p;
        runOut = out.size();
    };
    while (p < end) {
        if (*p < 0x80 && plainAscii_[*p]) {
            ++p;
            continue;
        }
        char32_t cp = 0;
        const std::size_t n = decodeUtf8(p, end, cp);
        if (n == 0) return false;
        if (cp == 0 || cp >= kRawBytePoints) {
            endRun();
            p += n;
            flushCopy();
            runStart = p;
            runOut = out.size();
            continue;
        }
        const unsigned char* next = p + n;
        const std::uint32_t first = firstNode(cp);
        if (first != 0) {
            // The longest key of S that starts here.
            std::int32_t piece = nodes_[first].phrase;
            const unsigned char* pieceEnd = next;
            std::uint32_t node = first;
            for (const unsigned char* q = next; nodes_[node].hasChildren && q < end;) {
                char32_t c = 0;
                const std::size_t m = decodeUtf8(q, end, c);
                if (m == 0) break;
                node = childOf(node, c);
                if (node == 0) break;
                q += m;
                if (nodes_[node].phrase >= 0) {
                    piece = nodes_[node].phrase;
                    pieceEnd = q;
                }
            }
            if (piece < 0) piece = nodes_[first].single;
            if (piece >= 0) {
                flushCopy();
                appendPiece(piece, out);
                runDelta += pieces_[static_cast<std::size_t>(piece)].delta;
                next = pieceEnd;
                copyFrom = next;
            }
        }
        p = next;
        if (cp == '\n') endRun();
    }
    endRun();
    return true;
}

ScriptConverter::ScriptConverter(ScriptDirection direction, ScriptMatching matching)
    : ScriptConverter(std::string(configName(direction)), matching) {}

ScriptConverter::ScriptConverter(const std::string& configName, ScriptMatching matching) {
    try {
        if (matching == ScriptMatching::Tables) {
            opencc::Config config;
            const opencc::ConverterPtr converter = config.NewFromFile(configName);
            std::string why;
            tables_ = ScriptTables::build(*converter, why);
            if (tables_) return;
        }
        opencc_ = std::make_unique<opencc::SimpleConverter>(configName);
    } catch (const opencc::Exception& e) {
        error_ = e.what();
    } catch (const std::exception& e) {
        error_ = e.what();
    } catch (...) {
        error_ = "OpenCC failed";
    }
    if (!error_.empty()) tables_.reset();
}

ScriptConverter::~ScriptConverter() = default;
ScriptConverter::ScriptConverter(ScriptConverter&&) noexcept = default;
ScriptConverter& ScriptConverter::operator=(ScriptConverter&&) noexcept = default;

std::optional<std::string> ScriptConverter::convert(std::string_view utf8,
                                                    std::string* error) const {
    std::string why;
    std::optional<std::string> out;
    if (tables_) {
        out.emplace();
        out->reserve(utf8.size() + utf8.size() / 8);
        if (!tables_->convert(utf8, *out)) {
            out.reset();
            why = "the text is not valid UTF-8";
        }
    } else if (opencc_) {
        const PieceConverter piece = [&](std::string_view text) -> std::optional<std::string> {
            try {
                return opencc_->Convert(text.data(), text.size());
            } catch (const opencc::Exception& e) {
                why = e.what();
            } catch (const std::exception& e) {
                why = e.what();
            } catch (...) {
                why = "OpenCC failed";
            }
            return std::nullopt;
        };
        out = convertKeepingLength(utf8, piece);
    } else {
        why = error_;
    }
    if (error) *error = out ? std::string() : why;
    return out;
}

const ScriptConverter& scriptConverter(ScriptDirection direction) {
    if (direction == ScriptDirection::TraditionalToSimplified) {
        static const ScriptConverter t2s(ScriptDirection::TraditionalToSimplified);
        return t2s;
    }
    static const ScriptConverter s2t(ScriptDirection::SimplifiedToTraditional);
    return s2t;
}

std::vector<std::pair<std::string, std::string>> scriptDictionaryEntries(
    ScriptDirection direction) {
    std::vector<std::pair<std::string, std::string>> entries;
    try {
        opencc::Config config;
        const opencc::ConverterPtr converter = config.NewFromFile(configName(direction));
        std::unordered_set<std::string> seen;
        for (const opencc::DictPtr& dict : allDicts(*converter)) {
            for (const std::unique_ptr<opencc::DictEntry>& entry : *dict->GetLexicon()) {
                std::string key = entry->Key();
                if (seen.insert(key).second)
                    entries.emplace_back(std::move(key), entry->GetDefault());
            }
        }
    } catch (...) {
        entries.clear();
    }
    return entries;
}

std::optional<std::string> convertKeepingLength(std::string_view utf8,
                                                const PieceConverter& convertPiece) {
    std::string out;
    out.reserve(utf8.size() + utf8.size() / 8);
    std::size_t runStart = 0;
    auto flush = [&](std::size_t end) {
        const bool okay =
            end == runStart || convertRun(utf8.substr(runStart, end - runStart), convertPiece, out);
        runStart = end;
        return okay;
    };
    for (std::size_t i = 0; i < utf8.size();) {
        if (passesThrough(utf8, i)) {
            if (!flush(i)) return std::nullopt;
            const std::size_t n = utf8[i] == '\0' ? 1 : 4;
            out.append(utf8.substr(i, n));
            i += n;
            runStart = i;
            continue;
        }
        const std::size_t n = sequenceSize(utf8, i);
        i += n;
        // Lines are converted one by one, so that a fallback to single
        // characters stays local to the line that needed it.
        if (utf8[i - n] == '\n' && !flush(i)) return std::nullopt;
    }
    if (!flush(utf8.size())) return std::nullopt;
    return out;
}

}  // namespace lct
