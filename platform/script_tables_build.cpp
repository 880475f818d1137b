#include "platform/script_tables.h"

#include <opencc/Conversion.hpp>
#include <opencc/ConversionChain.hpp>
#include <opencc/Converter.hpp>
#include <opencc/DictGroup.hpp>
#include <opencc/Lexicon.hpp>
#include <opencc/MaxMatchSegmentation.hpp>

#include <algorithm>
#include <bit>
#include <list>

#include "platform/charset.h"
#include "platform/utf8.h"

namespace lct {
namespace {

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
        std::uint32_t parent() const { return static_cast<std::uint32_t>(key >> 21); }
        char32_t character() const { return static_cast<char32_t>(key & 0x1FFFFF); }
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
    const Node& operator[](std::uint32_t node) const { return nodes_[node]; }
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
    for (std::size_t i = 0; i < utf8.size();) {
        const Utf8Char c = readUtf8(utf8, i);
        if (c.size == 0) return false;
        out.push_back(c.cp);
        i += c.size;
    }
    return !out.empty();
}

// The slots of a table of `children` children: twice as many, a power of two.
std::size_t slotsFor(std::size_t children) {
    return children == 1 ? std::size_t{1} : std::bit_ceil(children * 2);
}

// The end of the edges of the parent of edges[from] (edges come grouped by parent).
std::size_t familyEnd(const std::vector<TrieBuilder::Edge>& edges, std::size_t from) {
    std::size_t to = from;
    while (to < edges.size() && edges[to].parent() == edges[from].parent())
        ++to;
    return to;
}

}  // namespace

std::vector<opencc::DictPtr> configurationDicts(const opencc::Converter& converter) {
    std::vector<opencc::DictPtr> dicts;
    if (const auto segmentation =
            std::dynamic_pointer_cast<opencc::MaxMatchSegmentation>(converter.GetSegmentation()))
        flattenDicts(segmentation->GetDict(), dicts);
    for (const opencc::ConversionPtr& conversion : converter.GetConversionChain()->GetConversions())
        flattenDicts(conversion->GetDict(), dicts);
    return dicts;
}

// The steps of ScriptTables::build, over the tables it fills. A step that
// meets a shape the tables do not cover says why and returns false.
class ScriptTablesBuilder {
  public:
    using Edges = std::vector<TrieBuilder::Edge>;

    ScriptTablesBuilder(const opencc::Converter& converter, std::string& why)
        : converter_(converter), why_(why) {}

    std::unique_ptr<const ScriptTables> build() {
        if (!readShape()) return nullptr;
        const opencc::LexiconPtr segmentKeys = segmentDict_->GetLexicon();
        TrieBuilder trie(segmentKeys->Length() * 2);
        if (!addSegmentKeys(*segmentKeys, trie) || !addGroupKeys(trie)) return nullptr;
        const Edges edges = trie.edgesByParent();
        layOutChildren(trie, edges);
        fillFirsts(trie, edges);
        markPlainAscii();
        return std::move(tables_);
    }

  private:
    using First = ScriptTables::First;
    using Children = ScriptTables::Children;
    using Slot = ScriptTables::Slot;
    static constexpr std::uint32_t kNone = ScriptTables::kNone;
    static constexpr char32_t kNoChar = ScriptTables::kNoChar;

    bool fail(const char* why) {
        why_ = why;
        return false;
    }

    // The segmentation's one dictionary S, and the conversion's dictionaries.
    bool readShape() {
        const auto segmentation =
            std::dynamic_pointer_cast<opencc::MaxMatchSegmentation>(converter_.GetSegmentation());
        std::vector<opencc::DictPtr> segmentDicts;
        if (segmentation) flattenDicts(segmentation->GetDict(), segmentDicts);
        if (segmentDicts.size() != 1)
            return fail("the segmentation is not a maximum match over one dictionary");
        const std::list<opencc::ConversionPtr> conversions =
            converter_.GetConversionChain()->GetConversions();
        if (conversions.size() != 1)
            return fail("the conversion chain does not hold exactly one conversion");
        conversion_ = conversions.front();
        flattenDicts(conversion_->GetDict(), groupDicts_);
        segmentDict_ = segmentDicts.front();
        // The usual case: the group starts with the segmentation's dictionary,
        // so each of its keys converts to its own first value.
        groupStartsWithSegments_ = !groupDicts_.empty() && groupDicts_.front() == segmentDict_;
        return true;
    }

    // Adds a conversion to the pool; kNone when it does not fit a header.
    std::uint32_t addPiece(const std::string& value, std::size_t keyLength) {
        const long delta = static_cast<long>(utf8Length(value)) - static_cast<long>(keyLength);
        if (value.size() > 0xFFFF || delta < -0x8000 || delta > 0x7FFF) {
            why_ = "a value is too long";
            return kNone;
        }
        const ScriptTables::PieceHeader h{static_cast<std::uint16_t>(value.size()),
                                          static_cast<std::int16_t>(delta)};
        std::string& pool = tables_->pool_;
        const auto offset = static_cast<std::uint32_t>(pool.size());
        pool.append(reinterpret_cast<const char*>(&h), sizeof h);
        pool += value;
        return offset;
    }

    // Every key of S into the trie, with its conversion.
    bool addSegmentKeys(const opencc::Lexicon& keys, TrieBuilder& trie) {
        for (const std::unique_ptr<opencc::DictEntry>& entry : keys) {
            const std::string key = entry->Key();
            if (!decodeKey(key, cps_)) return fail("a segmentation key is not valid UTF-8");
            std::uint32_t node = 0;
            for (char32_t cp : cps_) {
                if (cp == 0 || cp == '\n' || cp >= kRawByteBase)
                    return fail("a segmentation key holds a character that ends runs");
                node = trie.addChild(node, cp);
            }
            const std::string value =
                groupStartsWithSegments_ ? entry->GetDefault() : conversion_->Convert(key);
            trie[node].phrase = addPiece(value, cps_.size());
            if (trie[node].phrase == kNone) return false;
        }
        return true;
    }

    // The keys of the other dictionaries of the group: characters get their
    // conversion between keys of S; longer keys must be keys of S.
    bool addGroupKeys(TrieBuilder& trie) {
        for (const opencc::DictPtr& dict : groupDicts_) {
            if (dict == segmentDict_) continue;  // never matches between keys of S
            for (const std::unique_ptr<opencc::DictEntry>& entry : *dict->GetLexicon()) {
                if (!decodeKey(entry->Key(), cps_))
                    return fail("a conversion key is not valid UTF-8");
                const bool added =
                    cps_.size() == 1 ? addSingle(trie, entry->GetDefault()) : isSegmentKey(trie);
                if (!added) return false;
            }
        }
        return true;
    }

    bool addSingle(TrieBuilder& trie, const std::string& value) {
        const std::uint32_t node = trie.addChild(0, cps_.front());
        // The first dictionary of the group that has the key wins.
        if (trie[node].single != kNone) return true;
        trie[node].single = addPiece(value, 1);
        return trie[node].single != kNone;
    }

    bool isSegmentKey(const TrieBuilder& trie) {
        std::uint32_t node = 0;
        for (char32_t cp : cps_) {
            node = trie.child(node, cp);
            if (node == 0) break;
        }
        if (node != 0 && trie[node].phrase != kNone) return true;
        return fail("a conversion key of several characters is not a segmentation key");
    }

    // Each node's children below the root into a table of their own, and the
    // bits of the pairs that start keys.
    void layOutChildren(const TrieBuilder& trie, const Edges& edges) {
        tables_->children_.assign(trie.size(), Children{});
        std::vector<char32_t> firstCp(trie.size(), kNoChar);  // of the root's children
        std::size_t pairCount = 0;
        std::size_t slotCount = 0;
        for (std::size_t from = 0, to = 0; from < edges.size(); from = to) {
            to = familyEnd(edges, from);
            const std::uint32_t parent = edges[from].parent();
            for (std::size_t e = from; e < to; ++e) {
                if (parent == 0) firstCp[edges[e].child] = edges[e].character();
                if (parent != 0 && firstCp[parent] != kNoChar) ++pairCount;
            }
            if (parent != 0) slotCount += slotsFor(to - from);
        }
        const std::size_t pairBits = std::bit_ceil(std::max<std::size_t>(4096, pairCount * 8));
        tables_->slots_.reserve(slotCount);
        tables_->pairs_.assign(pairBits / 64, 0);
        tables_->pairShift_ = 64 - std::countr_zero(pairBits);
        for (std::size_t from = 0, to = 0; from < edges.size(); from = to) {
            to = familyEnd(edges, from);
            const std::uint32_t parent = edges[from].parent();
            if (parent != 0) addFamily(trie, edges, from, to, firstCp[parent]);
        }
    }

    // The children edges[from..to) of one parent (whose key starts with
    // `firstCp`, or kNoChar) into a table of slots.
    void addFamily(const TrieBuilder& trie, const Edges& edges, std::size_t from, std::size_t to,
                   char32_t firstCp) {
        std::vector<Slot>& slots = tables_->slots_;
        const std::size_t size = slotsFor(to - from);
        Children children;
        children.offset = static_cast<std::uint32_t>(slots.size());
        children.mask = static_cast<std::uint32_t>(size - 1);
        slots.resize(slots.size() + size);
        for (std::size_t e = from; e < to; ++e) {
            const char32_t cp = edges[e].character();
            const std::uint32_t child = edges[e].child;
            std::uint32_t i = ScriptTables::slotHash(cp) & children.mask;
            while (slots[children.offset + i].cp != kNoChar)
                i = (i + 1) & children.mask;
            slots[children.offset + i] =
                Slot{cp, trie[child].hasChildren ? child : 0, trie[child].phrase};
            if (firstCp != kNoChar) {
                const std::uint64_t bit = tables_->pairBit(firstCp, cp);
                tables_->pairs_[bit >> 6] |= std::uint64_t{1} << (bit & 63);
            }
        }
        tables_->children_[edges[from].parent()] = children;
    }

    // The entry of every character that starts a key or converts alone.
    void fillFirsts(const TrieBuilder& trie, const Edges& edges) {
        for (const TrieBuilder::Edge& edge : edges) {
            if (edge.parent() != 0) break;
            const char32_t cp = edge.character();
            if (cp < 0x10000) {
                tables_->bmp_[cp] = entryOf(trie[edge.child], edge.child);
            } else {
                tables_->astral_.emplace_back(cp, entryOf(trie[edge.child], edge.child));
            }
        }
        std::sort(tables_->astral_.begin(), tables_->astral_.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
    }

    First entryOf(const TrieBuilder::Node& node, std::uint32_t number) const {
        First first;
        first.children = tables_->children_[number];
        first.phrase = node.phrase;
        first.single = node.single;
        if (node.single != kNone) {
            const ScriptTables::PieceHeader h = tables_->header(node.single);
            if (h.size <= first.bytes.size() && h.delta == 0) {
                std::memcpy(first.bytes.data(), tables_->pool_.data() + node.single + sizeof h,
                            h.size);
                first.size = static_cast<std::uint8_t>(h.size);
            }
        }
        return first;
    }

    void markPlainAscii() {
        for (unsigned b = 1; b < 0x80; ++b) {
            const First& first = tables_->bmp_[b];
            tables_->plainAscii_[b] = b != '\n' && first.children.offset == kNone &&
                                      first.phrase == kNone && first.single == kNone;
        }
    }

    const opencc::Converter& converter_;
    std::string& why_;
    opencc::DictPtr segmentDict_;
    opencc::ConversionPtr conversion_;
    std::vector<opencc::DictPtr> groupDicts_;
    bool groupStartsWithSegments_ = false;
    std::vector<char32_t> cps_;  // the key at hand, decoded
    std::unique_ptr<ScriptTables> tables_ = std::make_unique<ScriptTables>();
};

std::unique_ptr<const ScriptTables> ScriptTables::build(const opencc::Converter& converter,
                                                        std::string& why) {
    return ScriptTablesBuilder(converter, why).build();
}

}  // namespace lct
