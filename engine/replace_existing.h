#pragma once
// Replace-existing mode: the keywords of the keyword list that already occur
// in a content are replaced by items built from them.
//
// Keywords are searched in list order. Keyword 1 takes all its occurrences,
// left to right without overlap; keyword 2 then takes its own among what is
// left, never across or inside text that keyword 1 took; and so on. So an
// earlier keyword wins over a later one that contains it, and nothing a
// keyword is replaced by is searched again. The keywords that were found are
// numbered 1, 2, ... in list order; then, for each number in turn, a template
// is drawn from the run's template picker and the item for that keyword
// replaces every occurrence the keyword took. Occurrences are whole
// characters of the character model (engine/chars.h); comparison is
// case-sensitive. Texts are GBK.
//
// ReplaceRules narrow this down (the replace panel's options). Markup and
// headings (engine/markup_regions.h) and the whole-word rule decide where a
// keyword can occur at all: an occurrence that overlaps a region left alone,
// or that an ASCII letter or digit touches where the keyword itself starts
// (ends) with one, is no occurrence, and a later keyword may take that text.
// The limits then apply to the occurrences the keywords took, in text order:
// an occurrence past its keyword's limit, its address's limit (keywords with
// the same address count together) or the article's is left as it is (and no
// other keyword takes it). A keyword none of whose occurrences is replaced
// gets no number and draws no template. With every rule off the results are
// those of the plain search.
//
// Keywords left out of one search (an article's links to itself) are not
// searched at all there: a later keyword may take their text.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/keep_alive.h"
#include "engine/keyword_supply.h"

namespace lct {

/// The options of replace-existing mode. A default-constructed value has
/// every rule off; the window's defaults are windowDefaults().
struct ReplaceRules {
    bool avoidMarkup =
        false;  ///< 选择框替换避开标签: tags, comments, links, scripts, styles, text areas
    bool avoidHeadings = false;  ///< 选择框替换避开小标题: <h1> to <h6>
    int perKeywordLimit = 0;  ///< 编辑框替换次数上限: per keyword and text; 0 or less: all
    int totalLimit = 0;       ///< 编辑框链接总数上限: per text; 0 or less: all
    bool wholeWords = false;  ///< 选择框替换整词: ASCII letters and digits end a keyword
    /// 编辑框每个网址最多链接: per address and text, the keywords with one
    /// address together (ExistingKeywordReplacer::setTargets); 0 or less: all
    int perAddressLimit = 0;

    /// The defaults of the window's controls: markup avoided, whole words.
    static ReplaceRules windowDefaults() {
        ReplaceRules rules;
        rules.avoidMarkup = true;
        rules.wholeWords = true;
        return rules;
    }
    bool operator==(const ReplaceRules&) const = default;
};

/// What a replacement did: the number of occurrences replaced and, when
/// asked for, where their items stand in the result (byte ranges, text order).
struct ReplaceOutcome {
    int replaced = 0;
    bool wantSpans = false;
    std::vector<std::pair<std::size_t, std::size_t>> spans;  ///< [begin, end) of each item
    /// Each keyword that replaced something (0-based) and how many times, in
    /// the order of its first replacement in the text.
    std::vector<std::pair<std::int32_t, int>> perKeyword;
};

/// One occurrence taken by a keyword.
struct KeywordOccurrence {
    int position = 0;  ///< 1-based character position
    int length = 0;    ///< in characters
    int keyword = 0;   ///< 1-based index in the keyword list
};

/// What the search of one content found.
struct ExistingKeywords {
    std::vector<KeywordOccurrence> occurrences;  ///< in text order, never overlapping
    std::vector<int> found;  ///< keyword numbers that took an occurrence, in list order
};

/// The search for the plain keywords (tags removed) of one run: built once
/// (an Aho-Corasick automaton over all keywords) and used for every article;
/// each search is one pass over the content, whatever the number of keywords.
/// Empty keywords are never found. A search lets the caller's window breathe
/// through `keepAlive` every few thousand bytes and every few hundred keywords.
class ExistingKeywordReplacer {
  public:
    explicit ExistingKeywordReplacer(const std::vector<std::string>& plainKeywords,
                                     KeepAlive keepAlive = {});

    /// The occurrences that the keywords take in `content` under `rules`
    /// (`markup` false: the text holds no markup, as a title, so the markup
    /// and heading rules do not apply), and the found list.
    ExistingKeywords find(std::string_view content, const ReplaceRules& rules = {},
                          bool markup = true) const;

    /// `content` with every taken occurrence replaced by the item of its
    /// keyword: for the m-th found keyword (in list order) a template is
    /// drawn with `supply.pickTemplate()` and filled by buildItem with
    /// `title`, the keyword as written (`keywordLines`, tags included; the
    /// plain keyword when the line is missing) and its address
    /// (`supply.addressAt`). An empty template gives an empty item, so the
    /// keyword disappears. `rules` and `markup` as for find; the keywords
    /// `skipped` (0-based, ascending) are not searched; `outcome`, when
    /// given, receives what was done.
    std::string replace(std::string_view content, const std::vector<std::string>& keywordLines,
                        KeywordSupply& supply, std::string_view title,
                        const ReplaceRules& rules = {}, bool markup = true,
                        ReplaceOutcome* outcome = nullptr,
                        std::span<const std::int32_t> skipped = {}) const;

    /// The target of each keyword (0-based) for the per-address limit: keywords
    /// with the same number share one; -1 or a missing entry for none.
    void setTargets(std::vector<std::int32_t> targetOfKeyword) {
        targets_ = std::move(targetOfKeyword);
    }

    int keywordCount() const { return static_cast<int>(keywords_.size()); }

  private:
    // The automaton reads characters, not bytes: each character of the
    // keywords has a class (1, 2, ...; 0 for every character in no keyword).
    // The root has a transition for every class; every other node keeps its
    // children in a small open-addressing table of its own, and the nodes are
    // numbered by depth, so that the shallow nodes a search visits most lie
    // together at the front.
    struct Node {
        std::uint64_t children = 0;  // bit (class % 64) of each child's class
        std::int32_t fail = 0;
        std::int32_t output = 0;    // this node if a keyword ends here, else the nearest
                                    // such node on the fail chain; 0 for none
        std::uint32_t base = 0;     // the first slot of its table in slots_
        std::uint32_t mask = 0;     // the table's size less one (a power of two)
        std::int32_t keyword = -1;  // the 0-based keyword ending here, or -1
        // The node's depth (the keyword's characters), with kStartsWord and
        // kEndsWord when the keyword starts (ends) with an ASCII letter or
        // digit, for the whole-word rule.
        std::uint32_t shape = 0;
    };
    struct Slot {
        std::uint32_t cls = 0;  // kNoClass: a free slot
        std::int32_t child = 0;
    };
    struct Taken {
        std::size_t begin = 0;  // byte offsets in the content
        std::size_t end = 0;
        std::int32_t keyword = 0;  // 0-based
    };

    // The steps of building the automaton: the character classes, each
    // keyword's classes and whole-word flags (`edges`: kStartsWord and
    // kEndsWord shifted down to a byte), the trie numbered by depth (each
    // node's parent and class, and the keyword ending there), the nodes with
    // their tables, and the failure and output links.
    std::vector<std::uint32_t> classify(std::vector<std::size_t>& firstClass,
                                        std::vector<std::uint8_t>& edges);
    void buildTrie(const std::vector<std::uint32_t>& classes,
                   const std::vector<std::size_t>& firstClass, std::vector<std::int32_t>& parentOf,
                   std::vector<std::uint32_t>& classOf, std::vector<std::int32_t>& keywordAt);
    void placeNodes(std::vector<std::int32_t>& parentOf, std::vector<std::uint32_t>& classOf,
                    std::vector<std::int32_t>& keywordAt, const std::vector<std::uint8_t>& edges);
    void linkFailures(const std::vector<std::int32_t>& parentOf,
                      const std::vector<std::uint32_t>& classOf);

    std::uint32_t classOf(std::uint32_t code) const;
    std::size_t pairBit(std::uint32_t before, std::uint32_t cls) const;
    std::int32_t child(const Node& node, std::uint32_t cls) const;
    std::int32_t next(std::int32_t node, std::uint32_t cls) const;
    // Every whole-character occurrence of every keyword that the rules allow,
    // in one pass, in the order of their ends.
    std::vector<Taken> hits(std::string_view content, const ReplaceRules& rules, bool markup) const;
    // The taken occurrences in text order, and the found keywords (0-based).
    std::vector<Taken> take(std::string_view content, std::vector<std::int32_t>& found,
                            const ReplaceRules& rules, bool markup,
                            std::span<const std::int32_t> skipped = {}) const;

    KeepAlive keepAlive_;
    std::vector<std::string> keywords_;
    std::size_t longestChars_ = 0;
    std::vector<std::uint16_t> shortClass_;  // by code, for one- and two-byte characters
    std::unordered_map<std::uint32_t, std::uint32_t> longClass_;  // four-byte characters
    std::vector<Node> nodes_;             // by depth: the root, then depth 1, ...
    std::vector<std::int32_t> rootNext_;  // per class, 0 for no child
    // One bit per hash of two classes, set for every two characters that
    // follow one another in a keyword: a clear bit tells that the search
    // falls back to the depth of one character.
    std::vector<std::uint64_t> pairBits_;
    unsigned pairShift_ = 64;
    std::vector<Slot> slots_;            // the nodes' child tables, one after the other
    std::vector<std::int32_t> targets_;  // per keyword, for the per-address limit
};

/// One content with a replacer built for the call; for a run over many
/// articles, build one ExistingKeywordReplacer and keep it.
std::string replaceExistingKeywords(std::string_view content,
                                    const std::vector<std::string>& plainKeywords,
                                    const std::vector<std::string>& keywordLines,
                                    KeywordSupply& supply, std::string_view title,
                                    const ReplaceRules& rules = {});

}  // namespace lct
