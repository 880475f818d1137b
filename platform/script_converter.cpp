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
#include <cstring>
#include <exception>
#include <list>
#include <unordered_set>

#include "platform/charset.h"
#include "platform/utf8.h"

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
// Keys live in one trie over code points. Each character has an entry in a
// table indexed by the code point (a sorted list above the BMP): its
// conversion as a key of S, its conversion between keys of S (held in the
// entry itself when it is one character), and its children. The children of a
// node sit together in a small open-addressing table of their own; a slot
// holds what its node converts to, so a step of the walk reads one slot. Most
// characters start keys of S, but few pairs do: a bit filter over the pairs
// that start keys spares most characters the look at their children, and
// needs no other load first. Longer conversions live in one pool, each behind
// a header with its size and the change of length it makes.
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
    static constexpr std::uint32_t kNone = ~std::uint32_t{0};
    static constexpr char32_t kNoChar = ~char32_t{0};

    struct PieceHeader {
        std::uint16_t size;  ///< bytes that follow
        std::int16_t delta;  ///< code points gained against the matched key
    };
    struct Children {
        std::uint32_t offset = kNone;  ///< of the first slot in slots_; kNone for none
        std::uint32_t mask = 0;        ///< slots - 1 (a power of two)
    };
    struct Slot {
        char32_t cp = kNoChar;         ///< kNoChar for a free slot
        std::uint32_t node = 0;        ///< into children_; 0 when no key goes on
        std::uint32_t phrase = kNone;  ///< the conversion of the key of S that ends here
    };
    struct First {
        Children children;
        std::uint32_t phrase = kNone;  ///< the conversion of this character as a key of S
        std::uint32_t single = kNone;  ///< its conversion between keys of S
        std::array<char, 4> bytes{};   ///< the same when it is one code point
        std::uint8_t size = 0;         ///< bytes of it in `bytes`; 0 when it is not there
    };

    static std::uint32_t slotHash(char32_t cp) {
        const std::uint32_t h = std::uint32_t{cp} * 0x9E3779B1u;
        return h ^ (h >> 16);
    }
    const Slot* findChild(const Children& children, char32_t cp) const {
        std::uint32_t i = slotHash(cp) & children.mask;
        for (std::uint32_t probes = 0; probes <= children.mask; ++probes) {
            const Slot& slot = slots_[children.offset + i];
            if (slot.cp == cp) return &slot;
            if (slot.cp == kNoChar) return nullptr;
            i = (i + 1) & children.mask;
        }
        return nullptr;
    }
    std::uint64_t pairBit(char32_t first, char32_t second) const {
        return (((std::uint64_t{first} << 21) | second) * 0x9E3779B97F4A7C15ull) >> pairShift_;
    }
    /// False when no key of S starts with `first` and `second`.
    bool mayStartKey(char32_t first, char32_t second) const {
        const std::uint64_t bit = pairBit(first, second);
        return (pairs_[bit >> 6] >> (bit & 63)) & 1;
    }
    const First& firstOf(char32_t cp) const;
    PieceHeader header(std::uint32_t piece) const {
        PieceHeader h;
        std::memcpy(&h, pool_.data() + piece, sizeof h);
        return h;
    }
    /// Appends a piece and gives the change of length it makes.
    int appendPiece(std::uint32_t piece, std::string& out) const {
        const PieceHeader h = header(piece);
        out.append(pool_, piece + sizeof h, h.size);
        return h.delta;
    }
    /// Appends the conversion of a character between keys of S.
    int appendSingle(const First& first, std::string& out) const {
        if (first.size == 0) return appendPiece(first.single, out);
        out.append(first.bytes.data(), first.size);
        return 0;
    }
    void convertOneByOne(const unsigned char* p, const unsigned char* end, std::string& out) const;

    std::vector<First> bmp_ = std::vector<First>(0x10000);
    std::vector<std::pair<char32_t, First>> astral_;  // the characters above the BMP, sorted
    First none_;                                      // of the characters that start nothing
    std::vector<Children> children_;                  // of each deeper node, by its number
    std::vector<Slot> slots_;
    std::vector<std::uint64_t> pairs_;  // bits of pairBit() for the first two characters of keys
    int pairShift_ = 64;
    std::string pool_;
    std::array<bool, 0x80> plainAscii_{};  // ASCII that ends no run and starts no key
};

namespace {

const char* configName(ScriptDirection direction) {
    return direction == ScriptDirection::TraditionalToSimplified ? "t2s.json" : "s2t.json";
}

// The bytes of the character at `i`, cut at the end of `s`.
std::size_t sequenceSize(std::string_view s, std::size_t i) {
    return std::min(utf8SequenceSize(byteAt(s, i)), s.size() - i);
}

// NUL stops OpenCC's segmentation (it reads C strings), and the private-use
// points that stand for raw bytes must come back exactly: both are copied
// around OpenCC instead of going through it.
bool passesThrough(std::string_view s, std::size_t i) {
    return s[i] == '\0' || isRawBytePoint(s, i);
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

const ScriptTables::First& ScriptTables::firstOf(char32_t cp) const {
    if (cp < 0x10000) return bmp_[cp];
    const auto at = std::lower_bound(astral_.begin(), astral_.end(), cp,
                                     [](const auto& entry, char32_t c) { return entry.first < c; });
    return at != astral_.end() && at->first == cp ? at->second : none_;
}

namespace {

// The trie while it is built: nodes, and their children in an open-addressing
// map keyed by (node, code point).
class TrieBuilder {
  public:
    static constexpr std::uint32_t kNone = ~std::uint32_t{0};
    struct Node {
        std::uint32_t phrase = kNone;  // into the pool
        std::uint32_t single = kNone;
        bool hasChildren = false;
    };
    struct Edge {
        std::uint64_t key;  // edgeKey(parent, code point); kNoKey when free
        std::uint32_t child;
    };
    static constexpr std::uint64_t kNoKey = ~std::uint64_t{0};

    explicit TrieBuilder(std::size_t expectedNodes) {
        nodes_.reserve(expectedNodes + 1);
        nodes_.emplace_back();  // the root
        edges_.assign(std::bit_ceil(std::max<std::size_t>(64, expectedNodes * 2)), Edge{kNoKey, 0});
    }

    static std::uint64_t edgeKey(std::uint32_t node, char32_t cp) {
        return (std::uint64_t{node} << 21) | cp;
    }
    std::uint32_t child(std::uint32_t node, char32_t cp) const {
        return edges_[find(edgeKey(node, cp))].child;
    }
    std::uint32_t addChild(std::uint32_t node, char32_t cp) {
        const std::uint64_t key = edgeKey(node, cp);
        std::size_t slot = find(key);
        if (edges_[slot].key == key) return edges_[slot].child;
        if ((edgeCount_ + 1) * 2 > edges_.size()) {
            grow();
            slot = find(key);
        }
        const auto child = static_cast<std::uint32_t>(nodes_.size());
        edges_[slot] = Edge{key, child};
        ++edgeCount_;
        nodes_[node].hasChildren = true;
        nodes_.emplace_back();
        return child;
    }
    Node& operator[](std::uint32_t node) { return nodes_[node]; }
    std::size_t size() const { return nodes_.size(); }
    /// Every edge, grouped by parent in the order of the parents' numbers.
    std::vector<Edge> edgesByParent() const {
        std::vector<std::uint32_t> start(nodes_.size() + 1, 0);
        for (const Edge& e : edges_)
            if (e.key != kNoKey) ++start[(e.key >> 21) + 1];
        for (std::size_t i = 1; i < start.size(); ++i)
            start[i] += start[i - 1];
        std::vector<Edge> edges(edgeCount_);
        for (const Edge& e : edges_)
            if (e.key != kNoKey) edges[start[e.key >> 21]++] = e;
        return edges;
    }

  private:
    // The slot of `key`, or the free slot where it would go (child 0).
    std::size_t find(std::uint64_t key) const {
        const std::size_t mask = edges_.size() - 1;
        std::size_t slot = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 32) & mask;
        while (edges_[slot].key != key && edges_[slot].key != kNoKey)
            slot = (slot + 1) & mask;
        return slot;
    }
    void grow() {
        std::vector<Edge> old(edges_.size() * 2, Edge{kNoKey, 0});
        old.swap(edges_);
        for (const Edge& e : old)
            if (e.key != kNoKey) edges_[find(e.key)] = e;
    }

    std::vector<Node> nodes_;
    std::vector<Edge> edges_;
    std::size_t edgeCount_ = 0;
};

// Decodes `utf8` into `out`; false when it is not valid UTF-8 or empty.
bool decodeKey(std::string_view utf8, std::vector<char32_t>& out) {
    out.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = p + utf8.size();
    while (p < end) {
        const Utf8Char c = readUtf8(p, end);
        if (c.size == 0) return false;
        out.push_back(c.cp);
        p += c.size;
    }
    return !out.empty();
}

}  // namespace

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
    std::string& pool = tables->pool_;
    auto addPiece = [&](const std::string& value, std::size_t keyLength) {
        const long delta = static_cast<long>(utf8Length(value)) - static_cast<long>(keyLength);
        if (value.size() > 0xFFFF || delta < -0x8000 || delta > 0x7FFF) {
            why = "a value is too long";
            return kNone;
        }
        const PieceHeader h{static_cast<std::uint16_t>(value.size()),
                            static_cast<std::int16_t>(delta)};
        const auto offset = static_cast<std::uint32_t>(pool.size());
        pool.append(reinterpret_cast<const char*>(&h), sizeof h);
        pool += value;
        return offset;
    };

    const opencc::LexiconPtr segmentKeys = segmentDict->GetLexicon();
    TrieBuilder trie(segmentKeys->Length() * 2);
    std::vector<char32_t> cps;
    for (const std::unique_ptr<opencc::DictEntry>& entry : *segmentKeys) {
        const std::string key = entry->Key();
        if (!decodeKey(key, cps)) {
            why = "a segmentation key is not valid UTF-8";
            return nullptr;
        }
        std::uint32_t node = 0;
        for (char32_t cp : cps) {
            if (cp == 0 || cp == '\n' || cp >= kRawByteBase) {
                why = "a segmentation key holds a character that ends runs";
                return nullptr;
            }
            node = trie.addChild(node, cp);
        }
        const std::string value =
            groupStartsWithSegments ? entry->GetDefault() : conversion->Convert(key);
        trie[node].phrase = addPiece(value, cps.size());
        if (trie[node].phrase == kNone) return nullptr;
    }

    for (const opencc::DictPtr& dict : groupDicts) {
        if (dict == segmentDict) continue;  // never matches between keys of S
        for (const std::unique_ptr<opencc::DictEntry>& entry : *dict->GetLexicon()) {
            if (!decodeKey(entry->Key(), cps)) {
                why = "a conversion key is not valid UTF-8";
                return nullptr;
            }
            if (cps.size() == 1) {
                const std::uint32_t node = trie.addChild(0, cps.front());
                // The first dictionary of the group that has the key wins.
                if (trie[node].single == kNone) {
                    trie[node].single = addPiece(entry->GetDefault(), 1);
                    if (trie[node].single == kNone) return nullptr;
                }
                continue;
            }
            std::uint32_t node = 0;
            for (char32_t cp : cps) {
                node = trie.child(node, cp);
                if (node == 0) break;
            }
            if (node == 0 || trie[node].phrase == kNone) {
                why = "a conversion key of several characters is not a segmentation key";
                return nullptr;
            }
        }
    }

    // Each node's children into a table of their own, the root's first.
    const std::vector<TrieBuilder::Edge> edges = trie.edgesByParent();
    tables->children_.assign(trie.size(), Children{});
    std::vector<char32_t> firstCp(trie.size(), kNoChar);  // of the root's children
    std::size_t pairCount = 0;
    for (const auto& [key, child] : edges) {
        if (key >> 21 != 0 && firstCp[key >> 21] != kNoChar) ++pairCount;
        if (key >> 21 == 0) firstCp[child] = static_cast<char32_t>(key & 0x1FFFFF);
    }
    const std::size_t pairBits = std::bit_ceil(std::max<std::size_t>(4096, pairCount * 8));
    auto slotsFor = [](std::size_t children) {
        return children == 1 ? std::size_t{1} : std::bit_ceil(children * 2);
    };
    std::size_t slotCount = 0;
    for (std::size_t from = 0, to = 0; from < edges.size(); from = to) {
        while (to < edges.size() && edges[to].key >> 21 == edges[from].key >> 21)
            ++to;
        if (edges[from].key >> 21 != 0) slotCount += slotsFor(to - from);
    }
    tables->slots_.reserve(slotCount);
    tables->pairs_.assign(pairBits / 64, 0);
    tables->pairShift_ = 64 - std::countr_zero(pairBits);
    for (std::size_t from = 0; from < edges.size();) {
        const auto parent = static_cast<std::uint32_t>(edges[from].key >> 21);
        std::size_t to = from;
        while (to < edges.size() && edges[to].key >> 21 == parent)
            ++to;
        if (parent == 0) {
            from = to;
            continue;
        }
        const std::size_t size = slotsFor(to - from);
        Children children;
        children.offset = static_cast<std::uint32_t>(tables->slots_.size());
        children.mask = static_cast<std::uint32_t>(size - 1);
        tables->slots_.resize(tables->slots_.size() + size);
        for (std::size_t e = from; e < to; ++e) {
            const auto cp = static_cast<char32_t>(edges[e].key & 0x1FFFFF);
            const std::uint32_t child = edges[e].child;
            std::uint32_t i = slotHash(cp) & children.mask;
            while (tables->slots_[children.offset + i].cp != kNoChar)
                i = (i + 1) & children.mask;
            tables->slots_[children.offset + i] =
                Slot{cp, trie[child].hasChildren ? child : 0, trie[child].phrase};
            if (firstCp[parent] != kNoChar) {
                const std::uint64_t bit = tables->pairBit(firstCp[parent], cp);
                tables->pairs_[bit >> 6] |= std::uint64_t{1} << (bit & 63);
            }
        }
        tables->children_[parent] = children;
        from = to;
    }
    for (const auto& [key, child] : edges) {
        if (key >> 21 != 0) break;
        const auto cp = static_cast<char32_t>(key & 0x1FFFFF);
        const TrieBuilder::Node& node = trie[child];
        First first;
        first.children = tables->children_[child];
        first.phrase = node.phrase;
        first.single = node.single;
        if (node.single != kNone) {
            const PieceHeader h = tables->header(node.single);
            if (h.size <= first.bytes.size() && h.delta == 0) {
                std::memcpy(first.bytes.data(), tables->pool_.data() + node.single + sizeof h,
                            h.size);
                first.size = static_cast<std::uint8_t>(h.size);
            }
        }
        if (cp < 0x10000) {
            tables->bmp_[cp] = first;
        } else {
            tables->astral_.emplace_back(cp, first);
        }
    }
    std::sort(tables->astral_.begin(), tables->astral_.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (unsigned b = 1; b < 0x80; ++b)
        tables->plainAscii_[b] = b != '\n' && tables->bmp_[b].children.offset == kNone &&
                                 tables->bmp_[b].phrase == kNone && tables->bmp_[b].single == kNone;
    return tables;
}

void ScriptTables::convertOneByOne(const unsigned char* p, const unsigned char* end,
                                   std::string& out) const {
    while (p < end) {
        const Utf8Char c = readUtf8(p, end);
        const std::size_t n = std::max<std::size_t>(1, c.size);
        const First& first = firstOf(c.cp);
        const std::uint32_t piece = first.phrase != kNone ? first.phrase : first.single;
        if (piece != kNone && header(piece).delta == 0) {
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
        const Utf8Char read = readUtf8(p, end);
        const char32_t cp = read.cp;
        const std::size_t n = read.size;
        if (n == 0) return false;
        if (cp == 0 || cp >= kRawByteBase) {
            endRun();
            p += n;
            flushCopy();
            runStart = p;
            runOut = out.size();
            continue;
        }
        const First& first = firstOf(cp);
        const unsigned char* next = p + n;
        // The longest key of S that starts here.
        std::uint32_t piece = first.phrase;
        const unsigned char* pieceEnd = next;
        const Children* children = first.children.offset != kNone ? &first.children : nullptr;
        for (const unsigned char* q = next; children && q < end;) {
            const auto [c, m] = readUtf8(q, end);
            if (m == 0) break;
            if (children == &first.children && !mayStartKey(cp, c)) break;
            const Slot* slot = findChild(*children, c);
            if (!slot) break;
            q += m;
            if (slot->phrase != kNone) {
                piece = slot->phrase;
                pieceEnd = q;
            }
            children = slot->node != 0 ? &children_[slot->node] : nullptr;
        }
        if (piece != kNone) {
            flushCopy();
            runDelta += appendPiece(piece, out);
            next = pieceEnd;
            copyFrom = next;
        } else if (first.single != kNone) {
            flushCopy();
            runDelta += appendSingle(first, out);
            copyFrom = next;
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
