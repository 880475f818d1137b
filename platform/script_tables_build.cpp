#include "platform/script_tables.h"

#include <algorithm>
#include <bit>
#include <span>
#include <unordered_set>

#include "platform/charset.h"
#include "platform/utf8.h"

namespace lct {
namespace {

// The trie while it is built: nodes, and their children in an open-addressing
// map keyed by (node, code point).
class TrieBuilder {
  public:
    static constexpr std::uint32_t kNone = ~std::uint32_t{0};
    struct Node {
        std::uint32_t piece = kNone;  // into the pool
        std::uint8_t level = ScriptKeyTable::kNoLevel;
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

// Decodes `utf8` into `out`; false when it is not valid UTF-8.
bool decode(std::string_view utf8, std::vector<char32_t>& out) {
    out.clear();
    for (std::size_t i = 0; i < utf8.size();) {
        const Utf8Char c = readUtf8(utf8, i);
        if (c.size == 0) return false;
        out.push_back(c.cp);
        i += c.size;
    }
    return true;
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

std::size_t entriesOf(const ScriptLevels& levels) {
    std::size_t count = 0;
    for (const auto& level : levels)
        for (const ScriptDictionaryPtr& dictionary : level)
            count += dictionary->entries.size();
    return count;
}

}  // namespace

// Fills one ScriptKeyTable: keys are added, then laid out by finish().
class ScriptKeyTableBuilder {
  public:
    explicit ScriptKeyTableBuilder(std::size_t expectedKeys) : trie_(expectedKeys * 2) {}

    /// Adds `key` converting to `value` at `level`, unless the key is there
    /// already at a level as low. False, with the reason in `why`, for a key
    /// or value that the tables cannot hold.
    bool add(std::string_view key, std::string_view value, std::uint8_t level, std::string& why) {
        if (!decode(key, cps_) || cps_.empty()) return fail(why, "a key is empty or not UTF-8");
        if (!decode(value, valueCps_)) return fail(why, "a value is not UTF-8");
        std::uint32_t node = 0;
        for (char32_t cp : cps_) {
            if (cp == 0 || cp == '\n' || cp >= kRawByteBase)
                return fail(why, "a key holds a character that ends runs");
            node = trie_.addChild(node, cp);
        }
        TrieBuilder::Node& entry = trie_[node];
        if (entry.level <= level) return true;
        const long delta = static_cast<long>(valueCps_.size()) - static_cast<long>(cps_.size());
        if (value.size() > 0xFFFF || delta < -0x8000 || delta > 0x7FFF)
            return fail(why, "a value is too long");
        if (entry.piece == TrieBuilder::kNone) ++table_.keys_;
        const ScriptKeyTable::PieceHeader h{static_cast<std::uint16_t>(value.size()),
                                            static_cast<std::int16_t>(delta)};
        entry.piece = static_cast<std::uint32_t>(table_.pool_.size());
        entry.level = level;
        std::vector<char>& pool = table_.pool_;
        pool.insert(pool.end(), reinterpret_cast<const char*>(&h),
                    reinterpret_cast<const char*>(&h) + sizeof h);
        pool.insert(pool.end(), value.begin(), value.end());
        return true;
    }

    ScriptKeyTable finish() {
        const std::vector<TrieBuilder::Edge> edges = trie_.edgesByParent();
        layOutChildren(edges);
        table_.readOwnArrays();  // entries read the pool, and then the pages
        fillFirsts(edges);
        table_.readOwnArrays();
        for (unsigned b = 1; b < 0x80; ++b) {
            const ScriptKeyTable::First& first = table_.firstOf(static_cast<char32_t>(b));
            table_.plainAscii_[b] = b != '\n' && first.children.offset == ScriptKeyTable::kNone &&
                                    first.piece == ScriptKeyTable::kNone;
        }
        return std::move(table_);
    }

  private:
    using Edges = std::vector<TrieBuilder::Edge>;
    using First = ScriptKeyTable::First;
    using Children = ScriptKeyTable::Children;
    using Slot = ScriptKeyTable::Slot;
    static constexpr char32_t kNoChar = ScriptKeyTable::kNoChar;

    static bool fail(std::string& why, const char* reason) {
        why = reason;
        return false;
    }

    // Each node's children below the root into a table of their own, and the
    // bits of the pairs that start keys.
    void layOutChildren(const Edges& edges) {
        table_.children_.assign(trie_.size(), Children{});
        std::vector<char32_t> firstCp(trie_.size(), kNoChar);  // of the root's children
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
        const std::size_t pairBits = std::bit_ceil(std::max<std::size_t>(4096, pairCount * 16));
        table_.slots_.reserve(slotCount);
        table_.pairs_.assign(pairBits / 64, 0);
        table_.pairShift_ = 64 - std::countr_zero(pairBits);
        for (std::size_t from = 0, to = 0; from < edges.size(); from = to) {
            to = familyEnd(edges, from);
            const std::uint32_t parent = edges[from].parent();
            if (parent != 0) addFamily(edges, from, to, firstCp[parent]);
        }
    }

    // The children edges[from..to) of one parent (whose key starts with
    // `firstCp`, or kNoChar) into a table of slots.
    void addFamily(const Edges& edges, std::size_t from, std::size_t to, char32_t firstCp) {
        std::vector<Slot>& slots = table_.slots_;
        const std::size_t size = slotsFor(to - from);
        Children children;
        children.offset = static_cast<std::uint32_t>(slots.size());
        children.mask = static_cast<std::uint32_t>(size - 1);
        slots.resize(slots.size() + size);
        for (std::size_t e = from; e < to; ++e) {
            const char32_t cp = edges[e].character();
            const TrieBuilder::Node& child = trie_[edges[e].child];
            std::uint32_t i = ScriptKeyTable::slotHash(cp) & children.mask;
            while (slots[children.offset + i].cp != kNoChar)
                i = (i + 1) & children.mask;
            slots[children.offset + i] =
                Slot{cp, child.hasChildren ? edges[e].child : 0, child.piece, child.level};
            if (firstCp != kNoChar) {
                const ScriptKeyTable::PairBits bits = table_.pairBits(firstCp, cp);
                table_.pairs_[bits.word] |= bits.mask;
            }
        }
        table_.children_[edges[from].parent()] = children;
    }

    // The entry of every character that starts a key.
    void fillFirsts(const Edges& edges) {
        for (const TrieBuilder::Edge& edge : edges) {
            if (edge.parent() != 0) break;
            const char32_t cp = edge.character();
            const First first = entryOf(edge.child);
            if (cp >= 0x10000) {
                table_.astral_.push_back({cp, first});
                continue;
            }
            std::uint32_t& page = table_.pageOf_[cp >> 8];
            if (page == 0) {
                page = static_cast<std::uint32_t>(table_.pages_.size());
                table_.pages_.emplace_back();
            }
            table_.pages_[page][cp & 0xFF] = first;
        }
        std::sort(table_.astral_.begin(), table_.astral_.end(),
                  [](const auto& a, const auto& b) { return a.cp < b.cp; });
    }

    First entryOf(std::uint32_t number) const {
        const TrieBuilder::Node& node = trie_[number];
        First first;
        first.children = table_.children_[number];
        first.piece = node.piece;
        first.level = node.level;
        if (node.piece != ScriptKeyTable::kNone) {
            const ScriptKeyTable::PieceHeader h = table_.header(node.piece);
            if (h.size <= first.bytes.size() && h.delta == 0) {
                std::memcpy(first.bytes.data(), table_.pool_.data() + node.piece + sizeof h,
                            h.size);
                first.size = static_cast<std::uint8_t>(h.size);
            }
        }
        return first;
    }

    TrieBuilder trie_;
    ScriptKeyTable table_;
    std::vector<char32_t> cps_;       // the key at hand, decoded
    std::vector<char32_t> valueCps_;  // its value, decoded
};

// The steps of ScriptTables::build, over the tables it fills.
class ScriptTablesBuilder {
  public:
    ScriptTablesBuilder(const ScriptChain& chain, std::string& why) : chain_(chain), why_(why) {}

    std::unique_ptr<const ScriptTables> build() {
        std::unique_ptr<ScriptTables> tables(new ScriptTables);
        tables_ = tables.get();
        if (!buildNormalization()) return nullptr;
        tables_->noteNormalizationLead();
        std::vector<ScriptKeyTable> conversions;
        for (const ScriptLevels& levels : chain_.conversions) {
            conversions.emplace_back();
            if (!tableOf(levels, 0, conversions.back())) return nullptr;
        }
        if (!chain_.segmentation) {
            // One segment: the first conversion scans, the others follow.
            if (!conversions.empty()) {
                tables->scan_ = std::move(conversions.front());
                conversions.erase(conversions.begin());
            }
            tables->gap_ = std::move(conversions);
        } else if (!buildSegments(conversions)) {
            return nullptr;
        }
        return tables;
    }

  private:
    bool fail(const char* why) {
        why_ = why;
        return false;
    }

    // The matcher of `levels`, their first at level `base`.
    bool tableOf(const ScriptLevels& levels, std::size_t base, ScriptKeyTable& out) {
        if (base + levels.size() >= ScriptKeyTable::kNoLevel) return fail("too many levels");
        ScriptKeyTableBuilder builder(entriesOf(levels));
        for (std::size_t level = 0; level < levels.size(); ++level)
            for (const ScriptDictionaryPtr& dictionary : levels[level])
                for (const auto& [key, value] : dictionary->entries)
                    if (!builder.add(key, value, static_cast<std::uint8_t>(base + level), why_))
                        return false;
        out = builder.finish();
        return true;
    }

    // The normalization's matchers, and the bits of the first two bytes of
    // their keys. A text keeps its places through it: every key and value is
    // one character.
    bool buildNormalization() {
        tables_->normalizationPairs_.assign(0x10000 / 64, 0);
        for (const ScriptLevels& levels : chain_.normalization) {
            for (const auto& level : levels) {
                for (const ScriptDictionaryPtr& dictionary : level) {
                    for (const auto& [key, value] : dictionary->entries) {
                        if (utf8Length(key) != 1 || utf8Length(value) != 1)
                            return fail("a normalization maps more than one character");
                        tables_->normalizeAlways_ = tables_->normalizeAlways_ || key.size() == 1;
                        const unsigned pair =
                            (byteAt(key, 0) << 8) | (key.size() > 1 ? byteAt(key, 1) : 0u);
                        tables_->normalizationPairs_[pair >> 6] |= std::uint64_t{1} << (pair & 63);
                    }
                }
            }
            tables_->normalization_.emplace_back();
            if (!tableOf(levels, 0, tables_->normalization_.back())) return false;
        }
        return true;
    }

    // What the conversions make of `text` as a segment of its own.
    static std::string convertWhole(std::string text, std::span<const ScriptKeyTable> conversions) {
        for (const ScriptKeyTable& conversion : conversions) {
            std::string next;
            ScriptTables::convertBy(conversion, text, next);
            text = std::move(next);
        }
        return text;
    }

    // The scan over the segmentation's keys, each converted by the whole
    // chain, and the gap matchers.
    bool buildSegments(std::vector<ScriptKeyTable>& conversions) {
        const ScriptLevels& segmentation = *chain_.segmentation;
        const std::size_t firstGapLevel = segmentation.size();
        if (firstGapLevel >= ScriptKeyTable::kNoLevel) return fail("too many levels");
        std::unordered_set<std::string_view> segmentKeys;
        const std::size_t gapEntries =
            chain_.conversions.empty() ? 0 : entriesOf(chain_.conversions.front());
        ScriptKeyTableBuilder scan(entriesOf(segmentation) + gapEntries);
        for (std::size_t level = 0; level < segmentation.size(); ++level) {
            for (const ScriptDictionaryPtr& dictionary : segmentation[level]) {
                for (const auto& [key, value] : dictionary->entries) {
                    if (!segmentKeys.insert(key).second) continue;
                    // Keys that the conversions cannot take fail below.
                    const std::string whole = convertWhole(key, conversions);
                    if (!scan.add(key, whole, static_cast<std::uint8_t>(level), why_)) return false;
                }
            }
        }
        const bool merged = !chain_.conversions.empty() &&
                            convertsOneByOne(chain_.conversions.front(), segmentKeys);
        if (merged) {
            const ScriptLevels& first = chain_.conversions.front();
            if (firstGapLevel + first.size() >= ScriptKeyTable::kNoLevel)
                return fail("too many levels");
            for (std::size_t level = 0; level < first.size(); ++level)
                for (const ScriptDictionaryPtr& dictionary : first[level])
                    for (const auto& [key, value] : dictionary->entries)
                        if (!segmentKeys.contains(key) &&
                            !scan.add(key, value, static_cast<std::uint8_t>(firstGapLevel + level),
                                      why_))
                            return false;
            conversions.erase(conversions.begin());
        }
        tables_->scan_ = scan.finish();
        tables_->segmentLevels_ = static_cast<std::uint8_t>(firstGapLevel);
        tables_->gap_ = std::move(conversions);
        return true;
    }

    // True when, besides the segmentation's keys, `levels` has only keys of
    // one character that starts no ideographic description sequence: between
    // segments such a conversion maps character by character, at the places
    // where segmenting looked.
    static bool convertsOneByOne(const ScriptLevels& levels,
                                 const std::unordered_set<std::string_view>& segmentKeys) {
        for (const auto& level : levels) {
            for (const ScriptDictionaryPtr& dictionary : level) {
                for (const auto& [key, value] : dictionary->entries) {
                    if (segmentKeys.contains(key)) continue;
                    const Utf8Char c = readUtf8(key, 0);
                    if (c.size == 0 || c.size != key.size() || (c.cp >= 0x2FF0 && c.cp <= 0x2FFF))
                        return false;
                }
            }
        }
        return true;
    }

    const ScriptChain& chain_;
    std::string& why_;
    ScriptTables* tables_ = nullptr;
};

std::unique_ptr<const ScriptTables> ScriptTables::build(const ScriptChain& chain,
                                                        std::string& why) {
    return ScriptTablesBuilder(chain, why).build();
}

}  // namespace lct
