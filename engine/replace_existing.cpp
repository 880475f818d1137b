#include "engine/replace_existing.h"

#include <algorithm>
#include <array>
#include <bit>
#include <compare>
#include <iterator>
#include <map>
#include <numeric>
#include <span>

#include "engine/chars.h"
#include "engine/markup_regions.h"
#include "platform/bytes.h"

namespace lct {
namespace {

constexpr std::size_t kBytesPerBreath = 16 * 1024;
constexpr std::size_t kKeywordsPerBreath = 256;

// A character of the engine's model (engine/chars.h: CR LF is one) as a
// code: one- and two-byte characters below kShortCodes (a byte, CR LF, or
// the pair), four-byte sequences as their four bytes (0x81308130 or more).
// Keywords and contents are read alike, so a keyword matches where its
// characters are the content's, which is where its bytes occur starting and
// ending at character boundaries.
constexpr std::uint32_t kCrLfCode = 0x100;
constexpr std::uint32_t kPairCodes = 0x101;  // + (lead - 0x80) * 256 + trail
constexpr std::uint32_t kShortCodes = kPairCodes + 0x80 * 0x100;

// A free slot of a node's child table (no character has this class).
constexpr std::uint32_t kNoClass = 0xFFFFFFFF;

// Multiplies two classes into the bit of pairBits_ that stands for them.
constexpr std::uint64_t kPairHash = 0x9E3779B97F4A7C15u;

// The flags of a node's shape above its depth.
constexpr std::uint32_t kStartsWord = 1u << 30;
constexpr std::uint32_t kEndsWord = 1u << 31;
constexpr std::uint32_t kDepth = kStartsWord - 1;

// Where a class starts looking in a child table of `mask` + 1 slots.
inline std::uint32_t slotIndex(std::uint32_t cls, std::uint32_t mask) {
    return static_cast<std::uint32_t>((std::uint64_t{cls} * 0x9E3779B97F4A7C15u) >> 40) & mask;
}

struct Character {
    std::uint32_t code = 0;
    std::size_t size = 0;
};

inline Character characterAt(std::string_view text, std::size_t i) {
    const unsigned b = byteAt(text, i);
    const std::size_t n = text.size();
    if (b < 0x80) {
        if (b == '\r' && i + 1 < n && text[i + 1] == '\n') return {kCrLfCode, 2};
        return {b, 1};
    }
    if (i + 1 >= n) return {b, 1};
    const unsigned t = byteAt(text, i + 1);
    if (i + 3 < n && isGbDigitByte(t) && isGbLeadByte(b) && isGbLeadByte(byteAt(text, i + 2)) &&
        isGbDigitByte(byteAt(text, i + 3)))
        return {b << 24 | t << 16 | byteAt(text, i + 2) << 8 | byteAt(text, i + 3), 4};
    return {kPairCodes + ((b - 0x80) << 8 | t), 2};
}

// Whether a hit is an occurrence under the rules: clear of every region left
// alone, and, for whole words, touching no ASCII letter or digit where its
// keyword starts (ends) with one. Hits are asked about in the order of their
// ends.
class OccurrenceTest {
  public:
    OccurrenceTest(std::string_view content, std::vector<ByteRange> regions, bool wholeWords)
        : content_(content), regions_(std::move(regions)), wholeWords_(wholeWords) {}

    // `afterByte`: the character before `begin` is a single byte.
    bool allows(std::size_t begin, std::size_t end, bool startsWord, bool endsWord,
                bool afterByte) {
        return clearOfRegions(begin, end) &&
               (!wholeWords_ || whole(begin, end, startsWord, endsWord, afterByte));
    }

    const std::vector<ByteRange>& regions() const { return regions_; }

  private:
    bool clearOfRegions(std::size_t begin, std::size_t end) {
        // regions[0, below_) begin before the current end: only the last of
        // them can overlap a hit that ends there (they are sorted and disjoint).
        while (below_ < regions_.size() && regions_[below_].begin < end)
            ++below_;
        return below_ == 0 || regions_[below_ - 1].end <= begin;
    }

    bool whole(std::size_t begin, std::size_t end, bool startsWord, bool endsWord,
               bool afterByte) const {
        // After the end, a byte below 0x80 is a character of its own.
        if (startsWord && afterByte && isAsciiAlnum(content_[begin - 1])) return false;
        return !(endsWord && end < content_.size() && isAsciiAlnum(content_[end]));
    }

    std::string_view content_;
    std::vector<ByteRange> regions_;
    bool wholeWords_;
    std::size_t below_ = 0;
};

// The keywords in list order take their occurrences among `hits` (in text
// order within each keyword): left to right, each after the end of the one
// it took before, and none that overlaps what an earlier keyword took (that
// text is no longer there for it to match). The taken ones in text order;
// `found` gets the keywords that took any.
template <typename Taken>
std::vector<Taken> takeInListOrder(std::vector<Taken> hits, std::vector<std::int32_t>& found,
                                   const KeepAlive& keepAlive) {
    std::stable_sort(hits.begin(), hits.end(),
                     [](const Taken& a, const Taken& b) { return a.keyword < b.keyword; });
    std::map<std::size_t, Taken> taken;  // by begin; never overlapping
    std::size_t groups = 0;
    for (std::size_t g = 0; g < hits.size();) {
        const std::int32_t k = hits[g].keyword;
        std::size_t ownEnd = 0;
        bool any = false;
        for (; g < hits.size() && hits[g].keyword == k; ++g) {
            const Taken& hit = hits[g];
            if (hit.begin < ownEnd) continue;
            const auto after = taken.lower_bound(hit.end);
            if (after != taken.begin() && std::prev(after)->second.end > hit.begin) continue;
            taken.emplace_hint(after, hit.begin, hit);
            ownEnd = hit.end;
            any = true;
        }
        if (any) found.push_back(k);
        if (++groups % kKeywordsPerBreath == 0) keepAlive();
    }
    std::vector<Taken> inTextOrder;
    inTextOrder.reserve(taken.size());
    for (const auto& entry : taken)
        inTextOrder.push_back(entry.second);
    return inTextOrder;
}

// The limits, in text order: an occurrence past its keyword's limit, its
// target's or the text's is dropped, and a keyword left without one loses its
// number.
template <typename Taken>
void keepWithinLimits(std::vector<Taken>& taken, std::vector<std::int32_t>& found,
                      const ReplaceRules& rules, std::size_t keywordCount,
                      const std::vector<std::int32_t>& targets) {
    std::vector<int> replaced(keywordCount, 0);
    std::vector<int> linked(rules.perAddressLimit > 0 ? targets.size() : 0, 0);
    std::vector<Taken> kept;
    kept.reserve(taken.size());
    for (const Taken& t : taken) {
        if (rules.totalLimit > 0 && static_cast<int>(kept.size()) >= rules.totalLimit) break;
        const auto k = static_cast<std::size_t>(t.keyword);
        int& own = replaced[k];
        if (rules.perKeywordLimit > 0 && own >= rules.perKeywordLimit) continue;
        // Targets are numbered below the number of keywords that have them.
        const auto target = static_cast<std::size_t>(k < linked.size() ? targets[k] : -1);
        if (target < linked.size() && linked[target]++ >= rules.perAddressLimit) continue;
        ++own;
        kept.push_back(t);
    }
    taken = std::move(kept);
    std::erase_if(
        found, [&replaced](std::int32_t k) { return replaced[static_cast<std::size_t>(k)] == 0; });
}
// Sorts `entries` by their `head`, of which the low `bits` count, keeping
// the order of equal heads: a radix sort, eleven bits at a time.
template <typename Entry>
void sortByHead(std::vector<Entry>& entries, unsigned bits) {
    std::vector<Entry> other(entries.size());
    constexpr unsigned kDigit = 11;
    constexpr std::uint64_t kMask = (1u << kDigit) - 1;
    for (unsigned shift = 0; shift < bits; shift += kDigit) {
        std::array<std::size_t, kMask + 2> at{};
        for (const Entry& e : entries)
            ++at[(e.head >> shift & kMask) + 1];
        std::partial_sum(at.begin(), at.end(), at.begin());
        for (const Entry& e : entries)
            other[at[e.head >> shift & kMask]++] = e;
        entries.swap(other);
    }
}
}  // namespace

ExistingKeywordReplacer::ExistingKeywordReplacer(const std::vector<std::string>& plainKeywords,
                                                 KeepAlive keepAlive)
    : keepAlive_(std::move(keepAlive)), keywords_(plainKeywords) {
    std::vector<std::size_t> firstClass;
    std::vector<std::uint8_t> edges;
    const std::vector<std::uint32_t> classes = classify(firstClass, edges);
    std::vector<std::int32_t> parentOf;
    std::vector<std::uint32_t> classOfNode;
    std::vector<std::int32_t> keywordAt;
    buildTrie(classes, firstClass, parentOf, classOfNode, keywordAt);
    placeNodes(parentOf, classOfNode, keywordAt, edges);
    linkFailures(parentOf, classOfNode);
}

std::vector<std::uint32_t> ExistingKeywordReplacer::classify(std::vector<std::size_t>& firstClass,
                                                             std::vector<std::uint8_t>& edges) {
    // Each keyword's character codes, one after the other; firstClass[k] is
    // where keyword k's begin.
    std::vector<std::uint32_t> codes;
    std::size_t bytes = 0;
    for (const std::string& keyword : keywords_)
        bytes += keyword.size();
    codes.reserve(bytes);
    firstClass.assign(keywords_.size() + 1, 0);
    edges.assign(keywords_.size(), 0);
    for (std::size_t k = 0; k < keywords_.size(); ++k) {
        firstClass[k] = codes.size();
        const std::string& keyword = keywords_[k];
        if (!keyword.empty() && isAsciiAlnum(keyword.front())) edges[k] |= kStartsWord >> 24;
        Character c;
        for (std::size_t i = 0; i < keyword.size(); i += c.size) {
            c = characterAt(keyword, i);
            codes.push_back(c.code);
        }
        // Whether the last character is an ASCII letter or digit (not the
        // trail byte of a double-byte character, nor the digit that ends a
        // four-byte sequence).
        if (c.size == 1 && c.code < 0x80 && isAsciiAlnum(static_cast<char>(c.code)))
            edges[k] |= kEndsWord >> 24;
        longestChars_ = std::max(longestChars_, codes.size() - firstClass[k]);
    }
    firstClass.back() = codes.size();

    // Short codes take the classes first, so that they all fit 16 bits.
    shortClass_.assign(kShortCodes, 0);
    std::uint32_t classes = 1;
    for (const std::uint32_t code : codes) {
        if (code < kShortCodes && shortClass_[code] == 0)
            shortClass_[code] = static_cast<std::uint16_t>(classes++);
    }
    for (const std::uint32_t code : codes) {
        if (code >= kShortCodes && longClass_.try_emplace(code, classes).second) ++classes;
    }
    for (std::uint32_t& code : codes)
        code = classOf(code);
    rootNext_.assign(classes, 0);
    return codes;
}

inline std::uint32_t ExistingKeywordReplacer::classOf(std::uint32_t code) const {
    if (code < kShortCodes) return shortClass_[code];
    if (longClass_.empty()) return 0;
    const auto it = longClass_.find(code);
    return it == longClass_.end() ? 0 : it->second;
}

void ExistingKeywordReplacer::buildTrie(const std::vector<std::uint32_t>& classes,
                                        const std::vector<std::size_t>& firstClass,
                                        std::vector<std::int32_t>& parentOf,
                                        std::vector<std::uint32_t>& classOfNode,
                                        std::vector<std::int32_t>& keywordAt) {
    // In the order of their classes, the keywords that share a prefix stand
    // together, so the trie is built a depth at a time by one pass over the
    // keywords long enough: a keyword makes a new node at depth d unless the
    // keyword before it in that order has the same first d classes. The
    // nodes come out numbered by depth, the children of one node together
    // and in the order of their parents. Identical keywords meet at one
    // node, which keeps the first of them in list order (the later ones can
    // never take anything: every occurrence overlaps one the first took).
    const auto word = [&](std::int32_t k) {
        const auto i = static_cast<std::size_t>(k);
        return std::span<const std::uint32_t>(classes.data() + firstClass[i],
                                              firstClass[i + 1] - firstClass[i]);
    };
    // Each keyword carries its first three classes packed into one number,
    // which orders most keywords without looking at their classes again.
    const auto bits = static_cast<unsigned>(std::bit_width(rootNext_.size()));
    const std::uint64_t group = (std::uint64_t{1} << bits) - 1;
    struct Entry {
        std::uint64_t head = 0;
        std::int32_t keyword = 0;
        std::uint32_t length = 0;
    };
    std::vector<Entry> entries;
    entries.reserve(keywords_.size());
    for (std::size_t k = 0; k < keywords_.size(); ++k) {
        const auto w = word(static_cast<std::int32_t>(k));
        if (w.empty()) continue;
        std::uint64_t head = 0;
        for (std::size_t j = 0; j < 3; ++j)
            head = head << bits | (j < w.size() ? w[j] : 0);
        entries.push_back(
            {head, static_cast<std::int32_t>(k), static_cast<std::uint32_t>(w.size())});
    }
    sortByHead(entries, 3 * bits);
    // Equal heads in list order; those with more than three classes are
    // ordered by the rest.
    const auto byWord = [&](const Entry& a, const Entry& b) {
        const auto x = word(a.keyword);
        const auto y = word(b.keyword);
        const auto c =
            std::lexicographical_compare_three_way(x.begin(), x.end(), y.begin(), y.end());
        return c != 0 ? c < 0 : a.keyword < b.keyword;
    };
    for (std::size_t e = 0; e < entries.size();) {
        std::size_t end = e + 1;
        bool longer = entries[e].length > 3;
        for (; end < entries.size() && entries[end].head == entries[e].head; ++end)
            longer = longer || entries[end].length > 3;
        if (longer)
            std::sort(entries.begin() + static_cast<std::ptrdiff_t>(e),
                      entries.begin() + static_cast<std::ptrdiff_t>(end), byWord);
        e = end;
    }

    // Each keyword's common prefix with the one before it.
    const std::size_t count = entries.size();
    std::vector<std::uint32_t> shared(count, 0);
    for (std::size_t e = 1; e < count; ++e) {
        const Entry& a = entries[e - 1];
        const Entry& b = entries[e];
        const std::uint64_t differ = a.head ^ b.head;
        if (differ != 0) {
            shared[e] = static_cast<std::uint32_t>(
                (std::countl_zero(differ) - (64 - 3 * static_cast<int>(bits))) /
                static_cast<int>(bits));
        } else if (a.length <= 3 || b.length <= 3) {
            shared[e] = std::min(a.length, b.length);
        } else {
            const auto x = word(a.keyword);
            const auto y = word(b.keyword);
            shared[e] = static_cast<std::uint32_t>(
                std::mismatch(x.begin(), x.end(), y.begin(), y.end()).first - x.begin());
        }
    }
    parentOf.assign(1, -1);
    classOfNode.assign(1, 0);
    keywordAt.assign(1, -1);
    const std::size_t most = classes.size() + 1;
    parentOf.reserve(most);
    classOfNode.reserve(most);
    keywordAt.reserve(most);
    // The keywords still long enough (indices into entries, in order), and
    // each one's node at the depth before.
    std::vector<std::uint32_t> active(count);
    std::iota(active.begin(), active.end(), 0u);
    std::vector<std::int32_t> nodeOf(count, 0);
    for (std::uint32_t depth = 1; !active.empty(); ++depth) {
        std::size_t kept = 0;
        std::uint32_t before = 0;  // the keyword handled before, if any
        bool any = false;
        for (const std::uint32_t e : active) {
            const Entry& entry = entries[e];
            if (any && before + 1 == e && shared[e] >= depth) {
                nodeOf[e] = nodeOf[before];
            } else {
                parentOf.push_back(nodeOf[e]);
                classOfNode.push_back(
                    depth <= 3
                        ? static_cast<std::uint32_t>(entry.head >> (bits * (3 - depth)) & group)
                        : classes[firstClass[static_cast<std::size_t>(entry.keyword)] + depth - 1]);
                keywordAt.push_back(-1);
                nodeOf[e] = static_cast<std::int32_t>(parentOf.size() - 1);
            }
            before = e;
            any = true;
            if (entry.length == depth) {
                std::int32_t& end = keywordAt[static_cast<std::size_t>(nodeOf[e])];
                if (end < 0) end = entry.keyword;
            } else {
                active[kept++] = e;
            }
        }
        active.resize(kept);
    }
}

void ExistingKeywordReplacer::placeNodes(std::vector<std::int32_t>& parentOf,
                                         std::vector<std::uint32_t>& classOfNode,
                                         std::vector<std::int32_t>& keywordAt,
                                         const std::vector<std::uint8_t>& edges) {
    const std::size_t count = parentOf.size();
    nodes_.assign(count, Node{});
    for (std::size_t v = 1; v < count; ++v) {
        Node& node = nodes_[v];
        node.shape = (nodes_[static_cast<std::size_t>(parentOf[v])].shape & kDepth) + 1;
        node.keyword = keywordAt[v];
        if (node.keyword >= 0)
            node.shape |= std::uint32_t{edges[static_cast<std::size_t>(node.keyword)]} << 24;
    }
    std::vector<std::int32_t>().swap(keywordAt);

    // Each node's table holds at least twice its children (a power of two),
    // so that a search for a missing child, the common case, stops after a
    // slot or two. Slot 0 stays free: the table of every node without
    // children.
    std::vector<std::uint32_t> children(count, 0);
    for (std::size_t v = 1; v < count; ++v)
        ++children[static_cast<std::size_t>(parentOf[v])];
    std::size_t used = 1;
    for (std::size_t v = 1; v < count; ++v) {
        if (children[v] == 0) continue;
        const std::size_t size = std::bit_ceil(std::size_t{2} * children[v]);
        nodes_[v].base = static_cast<std::uint32_t>(used);
        nodes_[v].mask = static_cast<std::uint32_t>(size - 1);
        used += size;
    }
    std::vector<std::uint32_t>().swap(children);
    slots_.assign(used, Slot{kNoClass, 0});
    // Eight bits or more per pair of characters in the keywords.
    pairShift_ = 64 - 6;
    while ((std::uint64_t{1} << (64 - pairShift_)) < 8 * count && pairShift_ > 64 - 22)
        --pairShift_;
    pairBits_.assign((std::size_t{1} << (64 - pairShift_)) / 64, 0);
    for (std::size_t v = 1; v < count; ++v) {
        const auto parent = static_cast<std::size_t>(parentOf[v]);
        const std::uint32_t cls = classOfNode[v];
        if (parent == 0) {
            rootNext_[cls] = static_cast<std::int32_t>(v);
            continue;
        }
        Node& p = nodes_[parent];
        p.children |= std::uint64_t{1} << (cls % 64);
        const std::size_t bit = pairBit(classOfNode[parent], cls);
        pairBits_[bit / 64] |= std::uint64_t{1} << (bit % 64);
        std::uint32_t at = slotIndex(cls, p.mask);
        while (slots_[p.base + at].cls != kNoClass)
            at = (at + 1) & p.mask;
        slots_[p.base + at] = {cls, static_cast<std::int32_t>(v)};
    }
}

void ExistingKeywordReplacer::linkFailures(const std::vector<std::int32_t>& parentOf,
                                           const std::vector<std::uint32_t>& classOfNode) {
    // In the order of depth, so that a node's failure target is linked
    // before it.
    for (std::size_t v = 1; v < nodes_.size(); ++v) {
        const auto parent = static_cast<std::size_t>(parentOf[v]);
        const std::int32_t fail = parent == 0 ? 0 : next(nodes_[parent].fail, classOfNode[v]);
        nodes_[v].fail = fail;
        nodes_[v].output = nodes_[v].keyword >= 0 ? static_cast<std::int32_t>(v)
                                                  : nodes_[static_cast<std::size_t>(fail)].output;
    }
}

inline std::size_t ExistingKeywordReplacer::pairBit(std::uint32_t before, std::uint32_t cls) const {
    return static_cast<std::size_t>((std::uint64_t{before} << 32 | cls) * kPairHash >> pairShift_);
}

inline std::int32_t ExistingKeywordReplacer::child(const Node& node, std::uint32_t cls) const {
    for (std::uint32_t at = slotIndex(cls, node.mask);; at = (at + 1) & node.mask) {
        const Slot& slot = slots_[node.base + at];
        if (slot.cls == cls) return slot.child;
        if (slot.cls == kNoClass) return 0;
    }
}

inline std::int32_t ExistingKeywordReplacer::next(std::int32_t node, std::uint32_t cls) const {
    if (cls == 0) return 0;
    while (node != 0) {
        const Node& n = nodes_[static_cast<std::size_t>(node)];
        if (n.children >> (cls % 64) & 1) {
            const std::int32_t c = child(n, cls);
            if (c != 0) return c;
        }
        node = n.fail;
    }
    return rootNext_[cls];
}

std::vector<ExistingKeywordReplacer::Taken> ExistingKeywordReplacer::hits(std::string_view content,
                                                                          const ReplaceRules& rules,
                                                                          bool markup) const {
    std::vector<Taken> found;
    if (nodes_.size() == 1) return found;
    OccurrenceTest test(content,
                        markup ? markupRegions(content, rules.avoidMarkup, rules.avoidHeadings)
                               : std::vector<ByteRange>(),
                        rules.wholeWords);
    // Where the last characters began, enough of them to find where the
    // longest keyword begins and the character before it.
    const std::size_t ring = std::bit_ceil(std::min(longestChars_, content.size()) + 1);
    std::vector<std::size_t> starts(ring, 0);
    const std::size_t ringMask = ring - 1;
    // The tables, read once for the whole loop.
    const Node* const nodes = nodes_.data();
    const std::uint16_t* const shortClass = shortClass_.data();
    const std::int32_t* const rootNext = rootNext_.data();
    const std::uint64_t* const pairBits = pairBits_.data();
    const unsigned pairShift = pairShift_;
    std::size_t* const startOf = starts.data();
    std::size_t read = 0;  // characters
    std::size_t breath = kBytesPerBreath;
    std::int32_t state = 0;
    std::uint32_t last = 0;  // the class of the character before
    // No occurrence overlaps a region left alone, so the characters that
    // start in one are passed over: the search starts afresh after it, and
    // only where its last character begins is kept.
    const std::vector<ByteRange>& regions = test.regions();
    std::size_t region = 0;
    for (std::size_t i = 0; i < content.size();) {
        while (region < regions.size() && regions[region].end <= i)
            ++region;
        if (region < regions.size() && regions[region].begin <= i) {
            std::size_t lastStart = i;
            for (; i < regions[region].end && i < content.size(); i += characterAt(content, i).size)
                lastStart = i;
            startOf[read++ & ringMask] = lastStart;
            state = 0;
            last = 0;
            while (i >= breath) {
                keepAlive_();
                breath += kBytesPerBreath;
            }
            continue;
        }
        const Character c = characterAt(content, i);
        const std::uint32_t cls = c.code < kShortCodes ? shortClass[c.code] : classOf(c.code);
        startOf[read++ & ringMask] = i;
        i += c.size;
        // Where no keyword holds the two characters one after the other, the
        // search cannot be deeper than this one.
        const std::uint64_t pair = (std::uint64_t{last} << 32 | cls) * kPairHash >> pairShift;
        state = (pairBits[pair / 64] >> (pair % 64) & 1) != 0 ? next(state, cls) : rootNext[cls];
        last = cls;
        for (std::int32_t t = nodes[state].output; t > 0;) {
            const Node& hit = nodes[t];
            const std::size_t chars = hit.shape & kDepth;
            const std::size_t begin = startOf[(read - chars) & ringMask];
            const bool afterByte =
                read > chars && startOf[(read - chars - 1) & ringMask] + 1 == begin;
            if (test.allows(begin, i, (hit.shape & kStartsWord) != 0, (hit.shape & kEndsWord) != 0,
                            afterByte))
                found.push_back({begin, i, hit.keyword});
            t = nodes[hit.fail].output;
        }
        if (i >= breath) {
            keepAlive_();
            breath += kBytesPerBreath;
        }
    }
    return found;
}

std::vector<ExistingKeywordReplacer::Taken> ExistingKeywordReplacer::take(
    std::string_view content, std::vector<std::int32_t>& found, const ReplaceRules& rules,
    bool markup, std::span<const std::int32_t> skipped) const {
    found.clear();
    std::vector<Taken> all = hits(content, rules, markup);
    if (!skipped.empty()) {
        std::erase_if(all, [skipped](const Taken& t) {
            return std::binary_search(skipped.begin(), skipped.end(), t.keyword);
        });
    }
    std::vector<Taken> taken = takeInListOrder(std::move(all), found, keepAlive_);
    if (rules.perKeywordLimit > 0 || rules.totalLimit > 0 ||
        (rules.perAddressLimit > 0 && !targets_.empty()))
        keepWithinLimits(taken, found, rules, keywords_.size(), targets_);
    return taken;
}

ExistingKeywords ExistingKeywordReplacer::find(std::string_view content, const ReplaceRules& rules,
                                               bool markup) const {
    std::vector<std::int32_t> found;
    const std::vector<Taken> taken = take(content, found, rules, markup);
    ExistingKeywords result;
    for (const std::int32_t k : found)
        result.found.push_back(k + 1);
    // Byte offsets to character positions, in one walk.
    std::size_t offset = 0;
    int position = 1;
    for (const Taken& t : taken) {
        while (offset < t.begin) {
            offset += charSize(content, offset);
            ++position;
        }
        const int length = charCount(content.substr(t.begin, t.end - t.begin));
        result.occurrences.push_back({position, length, t.keyword + 1});
    }
    return result;
}

std::string ExistingKeywordReplacer::replace(std::string_view content,
                                             const std::vector<std::string>& keywordLines,
                                             KeywordSupply& supply, std::string_view title,
                                             const ReplaceRules& rules, bool markup,
                                             ReplaceOutcome* outcome,
                                             std::span<const std::int32_t> skipped) const {
    std::vector<std::int32_t> found;
    const std::vector<Taken> taken = take(content, found, rules, markup, skipped);
    if (outcome) {
        outcome->replaced = static_cast<int>(taken.size());
        outcome->spans.clear();
        outcome->perKeyword.clear();
    }
    if (taken.empty()) return std::string(content);
    const bool spans = outcome && outcome->wantSpans;
    if (spans) outcome->spans.reserve(taken.size());

    // One template per found keyword, drawn in the order of the numbering;
    // each template drawn is filled with the title once.
    std::vector<std::string> items;
    items.reserve(found.size());
    std::unordered_map<int, TitledTemplate> titled;
    for (const std::int32_t k : found) {
        const auto index = static_cast<std::size_t>(k);
        const std::string& line =
            index < keywordLines.size() ? keywordLines[index] : keywords_[index];
        const int number = supply.pickTemplate();
        auto at = titled.find(number);
        if (at == titled.end())
            at = titled.try_emplace(number, supply.templateAt(number), title).first;
        items.push_back(at->second.fill(line, supply.addressAt(index)));
        if (items.size() % kKeywordsPerBreath == 0) keepAlive_();
    }

    // The items go straight into the new text: nothing they contain is
    // searched again, and no marker stands in the text in between.
    std::string out;
    out.reserve(content.size() + content.size() / 4);
    std::size_t copied = 0;
    // Where each found keyword stands in outcome->perKeyword, once it has a place.
    std::vector<std::size_t> countAt(outcome ? found.size() : 0, found.size());
    for (const Taken& t : taken) {
        out.append(content.substr(copied, t.begin - copied));
        const auto number = static_cast<std::size_t>(
            std::lower_bound(found.begin(), found.end(), t.keyword) - found.begin());
        if (outcome) {
            if (countAt[number] == found.size()) {
                countAt[number] = outcome->perKeyword.size();
                outcome->perKeyword.emplace_back(t.keyword, 0);
            }
            ++outcome->perKeyword[countAt[number]].second;
        }
        if (spans) outcome->spans.emplace_back(out.size(), out.size() + items[number].size());
        out += items[number];
        copied = t.end;
    }
    out.append(content.substr(copied));
    return out;
}

std::string replaceExistingKeywords(std::string_view content,
                                    const std::vector<std::string>& plainKeywords,
                                    const std::vector<std::string>& keywordLines,
                                    KeywordSupply& supply, std::string_view title,
                                    const ReplaceRules& rules) {
    return ExistingKeywordReplacer(plainKeywords)
        .replace(content, keywordLines, supply, title, rules);
}

}  // namespace lct
