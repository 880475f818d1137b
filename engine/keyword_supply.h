#pragma once
// Keyword supply: the user's keyword list and recombination templates become
// the items that the inserters place into titles and contents.
//
// A keyword is one line of the keyword list, or the part of the line before
// its first TAB when the line gives the keyword's address after the TAB
// (engine/link_targets.h). A template is a text in which "**" or "#标题#" stands
// for the article title, "*" or "#关键词#" for the keyword and "#网址#" for the
// keyword's address; an item is a filled template, or the bare keyword when
// the template is empty. All texts are GBK.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/keep_alive.h"
#include "engine/unique_picker.h"
#include "platform/random.h"

namespace lct {

/// How item sets are drawn: the options of the main window that keyword
/// supply reads.
struct ItemSetOptions {
    int callMode = 0;  ///< 组合框调用方式: 0 不重复随机, 1 自然随机, 2 顺序调用
    bool useCountRange = true;      ///< 选择框插入次数
    int countFrom = 0;              ///< 编辑框次数1
    int countTo = 0;                ///< 编辑框次数2
    bool differentEachTime = true;  ///< 选择框每次不同
};

/// The most items one item set holds, and the most bytes they take: far
/// beyond any ordinary count, so that a count of two billion stops there
/// instead of exhausting memory.
constexpr int kMaxSetItems = 1'000'000;
constexpr std::size_t kMaxSetBytes = std::size_t{64} << 20;

/// The keyword lines of a keyword text: split at CR LF; inner empty lines
/// stay as empty keywords, a trailing empty line is dropped.
std::vector<std::string> loadKeywords(std::string_view keywordText);

/// The template list of a template text: split at "|" without escape
/// processing; one empty template when the split gives no piece.
std::vector<std::string> splitTemplates(std::string_view text);

/// `tmpl` with, in this order, every "**" replaced by "#标题#", every "*" by
/// "#关键词#", every "#标题#" by `title` and every "#关键词#" by `keyword`
/// (case-sensitive, all occurrences). An empty template gives "".
/// Every "#网址#" of the template itself becomes `address`: the template is
/// cut there and each piece filled on its own, so the address is never
/// searched for the other marks, and a title or keyword that holds "#网址#"
/// keeps it. A template without "#网址#" is filled exactly as before.
std::string buildItem(std::string_view tmpl, std::string_view title, std::string_view keyword,
                      std::string_view address = {});

/// A template filled with one title, ready for many keywords: fill() gives
/// what buildItem gives for the same template and title, without searching
/// the template again for each keyword.
class TitledTemplate {
  public:
    TitledTemplate(std::string_view tmpl, std::string_view title);
    /// buildItem(tmpl, title, keyword, address).
    std::string fill(std::string_view keyword, std::string_view address) const;

  private:
    enum class Gap : std::uint8_t { None, Keyword, Address };
    // The template's own text, cut where a keyword or an address goes: each
    // piece ends at `end` in text_ and is followed by its gap.
    struct Piece {
        std::size_t end = 0;
        Gap gap = Gap::None;
    };
    void addFilled(std::string_view piece, std::string_view title);

    std::string text_;
    std::vector<Piece> pieces_;
};

/// The run-level keyword state: keyword lines, templates, the two pickers and
/// the sequential index. Created once per run; across the articles of a run
/// the non-repeating orders and the sequential walk continue.
class KeywordSupply {
  public:
    /// Every draw goes through `random`, which must outlive the supply; long
    /// loops let the caller's window breathe through `keepAlive`.
    explicit KeywordSupply(Random& random, KeepAlive keepAlive = {})
        : random_(random), keepAlive_(std::move(keepAlive)) {}

    /// Takes the keyword lines: a line with a TAB gives its keyword and its
    /// address (link_map.h), one without gives a keyword without an address.
    void setKeywords(std::vector<std::string> lines);
    /// Parses the templates and resets the template picker.
    void parseTemplates(std::string_view text);
    /// Replace-existing mode: the keywords joined by CR LF with every tag
    /// removed, split again at CR LF and sized to the keyword count.
    void buildPlainKeywords();

    /// Starts a new non-repeating keyword order.
    void resetKeywordPicker() { keywordPicker_.reset(); }
    /// Starts the sequential walk of call mode 2 again at the first keyword.
    void resetSequence() { sequentialIndex_ = 0; }

    /// One keyword by the call mode: 0 non-repeating random, 1 random with
    /// repeats, 2 in list order (wrapping); any other mode counts as 0. A
    /// keyword left out (excludeKeywords) is passed over as if drawn. "" when
    /// there is none to pick.
    std::string pickKeyword(int callMode);

    /// Leaves the keywords `numbers` (0-based) out of every pick until the
    /// next call: an article must not link to itself. With none left out the
    /// picks are exactly those of a supply that never left any out.
    void excludeKeywords(std::vector<std::int32_t> numbers);
    /// False when every keyword is left out. (A list without keywords gives
    /// items with an empty keyword, as an empty line does.)
    bool canPick() const {
        return keywordLines_.empty() || excluded_.size() < keywordLines_.size();
    }
    /// A template number 1..template count from the non-repeating picker.
    int pickTemplate();
    const std::string& templateAt(int number) const;

    /// The item set of one article: `count` items (at least 1) when
    /// `useCount`, else a size drawn from the options' count range (at least
    /// 1). A keyword is picked for the first item, and for every further item
    /// when `newSet` is on or (without useCount) the options ask for a
    /// different keyword each time; otherwise items reuse the previous keyword.
    /// A template is picked for every item.
    /// Only what would exhaust memory is cut: the set holds at most
    /// kMaxSetItems items, and stops before an item whose itemCost
    /// (output_budget.h) would take the set past `maxCost` bytes (at most
    /// kMaxSetBytes; a loop passes what a line may still take). A cut sets
    /// `*capped` (when given); a set within the bounds is exactly the set
    /// that an unbounded count gives, draw for draw.
    /// A set stops before its first item when every keyword is left out.
    std::vector<std::string> makeItemSet(const ItemSetOptions& options, bool useCount, int count,
                                         bool newSet, std::string_view title,
                                         std::size_t maxCost = kMaxSetBytes,
                                         bool* capped = nullptr);
    /// One item with a freshly picked keyword and template; "" when every
    /// keyword is left out (ask canPick first).
    std::string makeSingleItem(const ItemSetOptions& options, std::string_view title);

    /// The keyword (0-based) whose item has the text `item`, among the items
    /// made since forgetItems; the first one, when several keywords made the
    /// same text (a template without "*"). -1 when none did.
    std::int32_t keywordOfItem(std::string_view item) const;
    /// Forgets the items made so far: an article starts.
    void forgetItems() { madeBy_.clear(); }

    /// The keyword of each line.
    const std::vector<std::string>& keywordLines() const { return keywordLines_; }
    /// The address of each keyword ("" for none); empty when no line had one.
    const std::vector<std::string>& addresses() const { return addresses_; }
    /// The address of keyword `index` (0-based); "" for none.
    const std::string& addressAt(std::size_t index) const;
    const std::vector<std::string>& templates() const { return templates_; }
    const std::vector<std::string>& plainKeywords() const { return plainKeywords_; }
    int sequentialIndex() const { return sequentialIndex_; }
    Random& random() { return random_; }

  private:
    // Looks up item texts by view.
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };

    // The keyword number (1-based) the call mode draws, exclusions aside.
    int drawNumber(int callMode);
    // A keyword (0-based) that is not left out; -1 when there is none (no
    // keywords, or all left out).
    std::int32_t pickNumber(int callMode);
    bool isExcluded(std::int32_t keyword) const;
    // The item of keyword `keyword` (0-based) with template `templateNumber`,
    // noted as made by it.
    std::string itemFor(int templateNumber, std::string_view title, std::int32_t keyword);

    Random& random_;
    KeepAlive keepAlive_;
    std::vector<std::string> keywordLines_;
    std::vector<std::string> addresses_;
    std::vector<std::int32_t> excluded_;  // ascending, distinct, in range
    std::unordered_map<std::string, std::int32_t, TextHash, std::equal_to<>> madeBy_;
    std::vector<std::string> templates_{std::string()};
    std::vector<std::string> plainKeywords_;
    UniquePicker templatePicker_;
    UniquePicker keywordPicker_;
    int sequentialIndex_ = 0;
};

}  // namespace lct
