#include "engine/title_insertion.h"

#include <algorithm>
#include <cassert>

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

}  // namespace

std::string insertIntoTitle(std::string_view title, const std::vector<std::string>& items,
                            const InsertOptions& options, InsertRunState& run, Random& random,
                            std::vector<std::pair<std::size_t, std::size_t>>* spans, bool* capped,
                            const KeepAlive& keepAlive) {
    if (items.empty()) return std::string(title);
    if (options.titleType == TitleType::Random) {
        RandomInsertion how;
        how.avoidWords = options.avoidWords;
        how.spans = spans;
        how.keepAlive = keepAlive;
        const bool once = options.titleOnce || options.contentType == ContentType::EveryN ||
                          options.contentType == ContentType::EveryNChunks;
        if (once) return insertRandom(title, items.front(), 1, how, random);
        return insertRandom(title, items, how, random);
    }
    if (options.titleType < TitleType::Before || options.titleType > TitleType::Replace)
        return std::string(title);

    // An item before the title goes in front of everything so far. The items
    // and separators that go in front are kept as views and written in
    // reverse at the end, instead of copying the growing title once per item.
    // The views stay valid: items and the run's separator list do not change
    // here, and without separators the current one is never reassigned.
    std::vector<std::pair<std::string_view, std::string_view>> front;  // item, separator
    std::string back = options.titleType == TitleType::Replace ? std::string() : std::string(title);
    const std::size_t count = options.titleOnce ? 1 : items.size();
    const auto separators = static_cast<int>(run.titleSeparators.size());
    std::size_t frontSize = 0;
    std::vector<std::pair<std::size_t, std::size_t>> backSpans;  // in `back`
    OutputBudget budget(outputAllowance(title.size()));
    for (std::size_t i = 0; i < count; ++i) {
        keepAlive();
        std::string_view separator = run.currentSeparator;
        if (separators > 0) {
            const std::string& drawn = run.titleSeparators[static_cast<std::size_t>(
                run.separatorPicker.pick(random, 1, separators) - 1)];
            run.currentSeparator = drawn;
            separator = drawn;
        }
        const std::string& item = items[i];
        if (!budget.take(itemCost(item) + separator.size())) {
            if (capped) *capped = true;
            break;
        }
        TitleType type = options.titleType;
        if (type == TitleType::BeforeOrAfter)
            type = randomInt(random, 1, 10000) < 5000 ? TitleType::Before : TitleType::After;
        switch (type) {
            case TitleType::Before:
                front.emplace_back(item, separator);
                frontSize += item.size() + separator.size();
                break;
            case TitleType::After:
                back += separator;
                backSpans.emplace_back(back.size(), back.size() + item.size());
                back += item;
                break;
            default:  // TitleType::Replace
                if (!back.empty()) back += separator;
                backSpans.emplace_back(back.size(), back.size() + item.size());
                back += item;
                break;
        }
    }
    std::string result;
    result.reserve(frontSize + back.size());
    for (auto piece = front.rbegin(); piece != front.rend(); ++piece) {
        if (spans) spans->emplace_back(result.size(), result.size() + piece->first.size());
        result.append(piece->first).append(piece->second);
    }
    if (spans) {
        for (const auto& [begin, end] : backSpans)
            spans->emplace_back(frontSize + begin, frontSize + end);
    }
    result += back;
    return result;
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
    // Fixed patterns: failing to compile one is a fault of the program.
    RegexObject separator;
    [[maybe_unused]] const bool separatorCompiled =
        separator.create(sentenceSeparatorPattern(defaultSentenceSeparators()));
    assert(separatorCompiled);
    RegexObject blank;
    [[maybe_unused]] const bool blankCompiled = blank.create(blankLinePattern());
    assert(blankCompiled);

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
