#include "engine/title_insertion.h"

#include <algorithm>

#include "engine/chars.h"
#include "engine/draws.h"
#include "engine/lists.h"
#include "engine/output_budget.h"
#include "engine/patterns.h"
#include "engine/random_insert.h"
#include "engine/tag_guard.h"
#include "engine/unique_picker.h"
#include "platform/charset.h"
#include "regex/escape.h"
#include "regex/regex_object.h"

namespace lct {
namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kDotSpace = ". ";

const std::string& defaultSentenceSeparators() {
    static const std::string set = utf8ToGbk(",，。！!？?;；<>/:：()='. {}《》（）、‘’- \"“”\r\n");
    return set;
}

const std::string& pieceMark() {
    static const std::string mark = utf8ToGbk("[⊥]");
    return mark;
}

std::string_view trimSpaces(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

using Spans = std::vector<std::pair<std::size_t, std::size_t>>;

// Title type 0: the items at random positions; only the first, once, when
// the title takes one item or the content type walks by characters.
std::string insertAtRandom(std::string_view title, const std::vector<std::string>& items,
                           const InsertOptions& options, Random& random, Spans* spans,
                           const KeepAlive& keepAlive) {
    RandomInsertion how;
    how.avoidWords = options.avoidWords;
    how.spans = spans;
    how.keepAlive = keepAlive;
    const bool once = options.titleOnce || options.contentType == ContentType::EveryN ||
                      options.contentType == ContentType::EveryNChunks;
    if (once) return insertRandom(title, items.front(), 1, how, random);
    return insertRandom(title, items, how, random);
}

// The separator before the next item: drawn from the run's list when it has
// one, else the one drawn last ("" until then). It stays valid: the list does
// not change, and without one the current separator is never reassigned.
std::string_view nextSeparator(InsertRunState& run, Random& random) {
    const auto separators = static_cast<int>(run.titleSeparators.size());
    if (separators == 0) return run.currentSeparator;
    const std::string& drawn = run.titleSeparators[static_cast<std::size_t>(
        run.separatorPicker.pick(random, 1, separators) - 1)];
    run.currentSeparator = drawn;
    return drawn;
}

// A title that items join on either side. An item before the title goes in
// front of everything so far: the items and separators that go in front are
// kept as views and written in reverse at the end, instead of copying the
// growing title once per item.
class TitleAround {
  public:
    explicit TitleAround(std::string_view title) : back_(title) {}

    // `side` is Before, After or Replace (which joins after what is there, with
    // no separator before the first item).
    void add(TitleType side, std::string_view item, std::string_view separator) {
        if (side == TitleType::Before) {
            front_.emplace_back(item, separator);
            frontSize_ += item.size() + separator.size();
            return;
        }
        if (side == TitleType::After || !back_.empty()) back_ += separator;
        backSpans_.emplace_back(back_.size(), back_.size() + item.size());
        back_ += item;
    }

    // The whole title; `spans`, when given, receives each item's range.
    std::string text(Spans* spans) const {
        std::string result;
        result.reserve(frontSize_ + back_.size());
        for (auto piece = front_.rbegin(); piece != front_.rend(); ++piece) {
            if (spans) spans->emplace_back(result.size(), result.size() + piece->first.size());
            result.append(piece->first).append(piece->second);
        }
        if (spans) {
            for (const auto& [begin, end] : backSpans_)
                spans->emplace_back(frontSize_ + begin, frontSize_ + end);
        }
        result += back_;
        return result;
    }

  private:
    std::vector<std::pair<std::string_view, std::string_view>> front_;  // item, separator
    std::size_t frontSize_ = 0;
    std::string back_;
    Spans backSpans_;  // in back_
};
}  // namespace

std::string insertIntoTitle(std::string_view title, const std::vector<std::string>& items,
                            const InsertOptions& options, InsertRunState& run, Random& random,
                            std::vector<std::pair<std::size_t, std::size_t>>* spans, bool* capped,
                            const KeepAlive& keepAlive) {
    if (items.empty()) return std::string(title);
    if (options.titleType == TitleType::Random)
        return insertAtRandom(title, items, options, random, spans, keepAlive);
    if (options.titleType < TitleType::Before || options.titleType > TitleType::Replace)
        return std::string(title);

    TitleAround around(options.titleType == TitleType::Replace ? std::string_view() : title);
    const std::size_t count = options.titleOnce ? 1 : items.size();
    OutputBudget budget(outputAllowance(title.size()));
    for (std::size_t i = 0; i < count; ++i) {
        keepAlive();
        const std::string_view separator = nextSeparator(run, random);
        const std::string& item = items[i];
        if (!budget.take(itemCost(item) + separator.size())) {
            if (capped) *capped = true;
            break;
        }
        TitleType side = options.titleType;
        if (side == TitleType::BeforeOrAfter)
            side = randomInt(random, 1, 10000) < 5000 ? TitleType::Before : TitleType::After;
        around.add(side, item, separator);
    }
    return around.text(spans);
}

std::string sentenceSeparatorPattern(std::string_view separators) {
    const bool hasLineBreak = containsText(separators, kLineBreak);
    const bool hasDotSpace = containsText(separators, kDotSpace);
    std::string set = replaceText(separators, kLineBreak, "");
    set = replaceText(set, kDotSpace, "");
    std::string pattern = "[";
    pattern += wildcardToPattern(set);
    pattern += ']';
    if (hasLineBreak) pattern += R"(|\r\n|\r|\n)";
    if (hasDotSpace) pattern += R"(|\. )";
    return pattern;
}

std::string pickSentence(std::string_view text, int minimum, std::string_view mustContain,
                         Random& random, const KeepAlive& keepAlive) {
    RegexObject separator(sentenceSeparatorPattern(defaultSentenceSeparators()));
    RegexObject blank(blankLinePattern());

    std::string prepared = TagGuard::strip(text, keepAlive);
    std::string trimmed = blank.replace(prepared, "");
    if (!blank.runFailed()) prepared = std::move(trimmed);
    std::string marked = separator.replace(prepared, pieceMark());
    if (!separator.runFailed()) prepared = std::move(marked);
    const std::vector<std::string> pieces = splitList(prepared, pieceMark());
    if (pieces.empty()) return {};

    const auto count = static_cast<int>(pieces.size());
    UniquePicker order;
    for (int tried = 0; tried < count; ++tried) {
        keepAlive();
        const std::string_view piece =
            trimSpaces(pieces[static_cast<std::size_t>(order.pick(random, 1, count) - 1)]);
        if (piece.empty()) continue;
        if (minimum > 0 && charCount(piece) < minimum) continue;
        if (!mustContain.empty() && !containsText(piece, mustContain)) continue;
        return std::string(piece);
    }
    return pieces[static_cast<std::size_t>(randomInt(random, 1, count) - 1)];
}

std::string finishTitle(std::string_view title) {
    static const std::vector<std::pair<std::string, std::string>> kFullWidth = {
        {"\\", utf8ToGbk("＼")}, {"/", utf8ToGbk("／")}, {":", utf8ToGbk("：")},
        {"*", utf8ToGbk("＊")},  {"?", utf8ToGbk("？")}, {"|", utf8ToGbk("｜")},
        {"<", utf8ToGbk("＜")},  {">", utf8ToGbk("＞")},
    };
    std::string result(title);
    for (const auto& [from, to] : kFullWidth)
        result = replaceText(result, from, to);
    result = replaceText(result, "\"", "");
    result = replaceText(result, kLineBreak, "");
    for (const char* control : {"\r", "\n", "\t"})
        result = replaceText(result, control, "");
    return result;
}

}  // namespace lct
