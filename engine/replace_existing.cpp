#include "engine/replace_existing.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <numeric>

#include "engine/chars.h"
#include "engine/markup_regions.h"
#include "platform/bytes.h"

namespace lct {
namespace {

constexpr std::size_t kBytesPerBreath = 16 * 1024;
constexpr std::size_t kKeywordsPerBreath = 256;

std::size_t commonPrefix(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t i = 0;
    while (i < n && a[i] == b[i])
        ++i;
    return i;
}

// Where the characters of `text` begin (and its end): matches must begin and
// end there, so that a keyword never takes half of a character.
std::vector<bool> characterBoundaries(std::string_view text) {
    std::vector<bool> boundary(text.size() + 1, false);
    for (std::size_t i = 0; i < text.size(); i += charSize(text, i))
        boundary[i] = true;
    boundary[text.size()] = true;
    return boundary;
}

// Whether the last character of `text` is an ASCII letter or digit (and not
// the trail byte of a double-byte character, nor the digit that ends a
// four-byte sequence).
bool endsWithAsciiAlnum(std::string_view text) {
    std::size_t last = 0;
    for (std::size_t i = 0; i < text.size(); i += charSize(text, i))
        last = i;
    return !text.empty() && last + 1 == text.size() && isAsciiAlnum(text[last]);
}

// Whether a hit is an occurrence under the rules: clear of every region left
// alone, and, for whole words, touching no ASCII letter or digit where its
// keyword starts (ends) with one. Hits are asked about in the order of their
// ends.
class OccurrenceTest {
  public:
    OccurrenceTest(std::string_view content, const std::vector<bool>& boundary,
                   std::vector<ByteRange> regions, bool wholeWords)
        : content_(content),
          boundary_(boundary),
          regions_(std::move(regions)),
          wholeWords_(wholeWords) {}

    bool allows(std::size_t begin, std::size_t end, bool startsWord, bool endsWord) {
        return clearOfRegions(begin, end) &&
               (!wholeWords_ || whole(begin, end, startsWord, endsWord));
    }

  private:
    bool clearOfRegions(std::size_t begin, std::size_t end) {
        // regions[0, below_) begin before the current end: only the last of
        // them can overlap a hit that ends there (they are sorted and disjoint).
        while (below_ < regions_.size() && regions_[below_].begin < end)
            ++below_;
        return below_ == 0 || regions_[below_ - 1].end <= begin;
    }

    bool whole(std::size_t begin, std::size_t end, bool startsWord, bool endsWord) const {
        // A byte before the start that begins a character of its own is a
        // one-byte character; after the end, a byte below 0x80 is one.
        if (startsWord && begin > 0 && boundary_[begin - 1] && isAsciiAlnum(content_[begin - 1]))
            return false;
        return !(endsWord && end < content_.size() && isAsciiAlnum(content_[end]));
    }

    std::string_view content_;
    const std::vector<bool>& boundary_;
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
}  // namespace

ExistingKeywordReplacer::ExistingKeywordReplacer(const std::vector<std::string>& plainKeywords,
                                                 KeepAlive keepAlive)
    : keepAlive_(std::move(keepAlive)), keywords_(plainKeywords), rootNext_(256, 0) {
    lengths_.reserve(keywords_.size());
    startsWord_.reserve(keywords_.size());
    endsWord_.reserve(keywords_.size());
    for (const std::string& k : keywords_) {
        lengths_.push_back(k.size());
        startsWord_.push_back(!k.empty() && isAsciiAlnum(k.front()));
        endsWord_.push_back(endsWithAsciiAlnum(k));
    }
    std::vector<std::int32_t> parentOf;
    std::vector<unsigned char> byteOf;
    buildTrie(parentOf, byteOf);
    groupEdges(parentOf, byteOf);
    linkFailures();
}

void ExistingKeywordReplacer::buildTrie(std::vector<std::int32_t>& parentOf,
                                        std::vector<unsigned char>& byteOf) {
    // Inserting the keywords in byte order lets the trie be built along one
    // path: a new keyword shares with all earlier ones exactly its common
    // prefix with the one before, and every node receives its children in
    // increasing byte order. Identical keywords meet at one node, which keeps
    // the first of them in list order (the later ones can never take
    // anything: every occurrence overlaps one the first took).
    std::vector<std::int32_t> order;
    for (std::size_t k = 0; k < keywords_.size(); ++k) {
        if (!keywords_[k].empty()) order.push_back(static_cast<std::int32_t>(k));
    }
    std::sort(order.begin(), order.end(), [this](std::int32_t a, std::int32_t b) {
        const int c =
            keywords_[static_cast<std::size_t>(a)].compare(keywords_[static_cast<std::size_t>(b)]);
        return c != 0 ? c < 0 : a < b;
    });

    nodes_.emplace_back();
    parentOf.assign(1, -1);
    byteOf.assign(1, 0);
    std::vector<std::int32_t> path{0};
    std::string_view previous;
    for (const std::int32_t k : order) {
        const std::string& keyword = keywords_[static_cast<std::size_t>(k)];
        const std::size_t shared = commonPrefix(keyword, previous);
        path.resize(shared + 1);
        for (std::size_t j = shared; j < keyword.size(); ++j) {
            const auto node = static_cast<std::int32_t>(nodes_.size());
            nodes_.emplace_back();
            parentOf.push_back(path.back());
            byteOf.push_back(static_cast<unsigned char>(keyword[j]));
            path.push_back(node);
        }
        Node& end = nodes_[static_cast<std::size_t>(path.back())];
        if (end.keyword < 0) end.keyword = k;
        previous = keyword;
    }
}

void ExistingKeywordReplacer::groupEdges(const std::vector<std::int32_t>& parentOf,
                                         const std::vector<unsigned char>& byteOf) {
    // A stable counting sort by parent keeps each node's children in byte order.
    const std::size_t nodeCount = nodes_.size();
    std::vector<std::uint32_t> degree(nodeCount + 1, 0);
    for (std::size_t v = 1; v < nodeCount; ++v)
        ++degree[static_cast<std::size_t>(parentOf[v]) + 1];
    std::partial_sum(degree.begin(), degree.end(), degree.begin());
    edges_.resize(nodeCount - 1);
    for (std::size_t u = 0; u < nodeCount; ++u) {
        nodes_[u].edgeBegin = degree[u];
        nodes_[u].edgeEnd = degree[u];
    }
    for (std::size_t v = 1; v < nodeCount; ++v) {
        Node& parent = nodes_[static_cast<std::size_t>(parentOf[v])];
        edges_[parent.edgeEnd++] = {byteOf[v], static_cast<std::int32_t>(v)};
    }
    for (std::uint32_t e = nodes_[0].edgeBegin; e < nodes_[0].edgeEnd; ++e)
        rootNext_[edges_[e].byte] = edges_[e].child;
}

void ExistingKeywordReplacer::linkFailures() {
    // Breadth first, so that a node's failure target is linked before it.
    std::vector<std::int32_t> queue;
    queue.reserve(nodes_.size());
    queue.push_back(0);
    for (std::size_t head = 0; head < queue.size(); ++head) {
        const std::int32_t u = queue[head];
        const Node& from = nodes_[static_cast<std::size_t>(u)];
        for (std::uint32_t e = from.edgeBegin; e < from.edgeEnd; ++e) {
            const Edge edge = edges_[e];
            const std::int32_t fail =
                u == 0 ? 0 : next(nodes_[static_cast<std::size_t>(u)].fail, edge.byte);
            Node& v = nodes_[static_cast<std::size_t>(edge.child)];
            v.fail = fail;
            const Node& f = nodes_[static_cast<std::size_t>(fail)];
            v.dict = f.keyword >= 0 ? fail : f.dict;
            queue.push_back(edge.child);
        }
    }
}

std::int32_t ExistingKeywordReplacer::child(std::int32_t node, unsigned char byte) const {
    if (node == 0) return rootNext_[byte];
    const Node& n = nodes_[static_cast<std::size_t>(node)];
    const auto first = edges_.begin() + n.edgeBegin;
    const auto last = edges_.begin() + n.edgeEnd;
    const auto it = std::lower_bound(first, last, byte,
                                     [](const Edge& e, unsigned char b) { return e.byte < b; });
    return it != last && it->byte == byte ? it->child : 0;
}

std::int32_t ExistingKeywordReplacer::next(std::int32_t node, unsigned char byte) const {
    for (;;) {
        const std::int32_t c = child(node, byte);
        if (c != 0 || node == 0) return c;
        node = nodes_[static_cast<std::size_t>(node)].fail;
    }
}

std::vector<ExistingKeywordReplacer::Taken> ExistingKeywordReplacer::hits(std::string_view content,
                                                                          const ReplaceRules& rules,
                                                                          bool markup) const {
    const std::vector<bool> boundary = characterBoundaries(content);
    OccurrenceTest test(content, boundary,
                        markup ? markupRegions(content, rules.avoidMarkup, rules.avoidHeadings)
                               : std::vector<ByteRange>(),
                        rules.wholeWords);
    std::vector<Taken> found;
    std::int32_t state = 0;
    for (std::size_t i = 0; i < content.size(); ++i) {
        state = next(state, static_cast<unsigned char>(content[i]));
        const Node& at = nodes_[static_cast<std::size_t>(state)];
        for (std::int32_t t = at.keyword >= 0 ? state : at.dict; t > 0;
             t = nodes_[static_cast<std::size_t>(t)].dict) {
            const auto k = static_cast<std::size_t>(nodes_[static_cast<std::size_t>(t)].keyword);
            const std::size_t end = i + 1;
            const std::size_t begin = end - lengths_[k];
            if (boundary[begin] && boundary[end] &&
                test.allows(begin, end, startsWord_[k], endsWord_[k]))
                found.push_back({begin, end, static_cast<std::int32_t>(k)});
        }
        if ((i + 1) % kBytesPerBreath == 0) keepAlive_();
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

    // One template per found keyword, drawn in the order of the numbering.
    std::vector<std::string> items;
    items.reserve(found.size());
    for (const std::int32_t k : found) {
        const auto index = static_cast<std::size_t>(k);
        const std::string& line =
            index < keywordLines.size() ? keywordLines[index] : keywords_[index];
        items.push_back(buildItem(supply.templateAt(supply.pickTemplate()), title, line,
                                  supply.addressAt(index)));
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
