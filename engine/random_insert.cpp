#include "engine/random_insert.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "engine/chars.h"
#include "engine/draws.h"
#include "engine/lists.h"
#include "engine/unique_picker.h"
#include "platform/bytes.h"
#include "platform/memory.h"

namespace lct {
namespace {

// Lower-case ASCII letters or the space: the characters an item must not be
// glued to when words are avoided.
constexpr std::string_view kWordCharacters = "97,122;32";

// A text read for the last time goes back to the system a megabyte at a
// time behind the copy.
constexpr std::size_t kReleaseStep = std::size_t{1} << 20;

// A cut c is the gap after character c (0 is before the first character). The
// spaces that keep an item apart from its neighbours travel with the cut, not
// with the slot, because slots are dealt to the cuts in text order.
struct Cut {
    long long position = 0;
    std::size_t offset = 0;  // of the gap in the text's bytes, once drawn
    bool spaceBefore = false;
    bool spaceAfter = false;
};

int codeOf(std::string_view ch) {
    if (ch.size() != 1) return -1;  // double-byte characters and CR LF count as no letter
    return static_cast<unsigned char>(toLowerAscii(ch[0]));
}

bool isLetter(std::string_view ch) {
    const int code = codeOf(ch);
    return code != 32 && inRanges(code, kWordCharacters);
}

// Where words are avoided, a random cut on a letter moves out of its word.
// The spaces and the starts of the letter runs are found once per text, so
// that each cut costs a binary search: a text of one long word (minified data)
// would otherwise cost a walk back to the start of the word for every item.
class WordGuard {
  public:
    explicit WordGuard(const CharIndex& index) : index_(index) {}

    // Moves `cut` out of a word and notes the space the item needs after it.
    void apply(Cut& cut) {
        const auto c = static_cast<int>(cut.position);
        const std::string_view ch = index_.at(c);
        if (!inRanges(codeOf(ch), kWordCharacters)) return;
        if (ch != " ") cut.position = nearestSpace(c);
        cut.spaceAfter = true;
    }

  private:
    // `c` is a letter.
    int nearestSpace(int c) {
        if (!spacesFound_) findSpaces();
        const auto forward = std::lower_bound(spaces_.begin(), spaces_.end(), c);
        const bool hasForward = forward != spaces_.end();
        const bool hasBackward = forward != spaces_.begin();
        if (hasBackward && hasForward) {
            const int back = *std::prev(forward);
            return c - back < *forward - c ? back : *forward;
        }
        if (hasBackward) return *std::prev(forward);
        if (hasForward) return *forward;
        // No space anywhere: go before the word, so the item and its space
        // stand in front of it instead of inside it. The last run that starts
        // at or before the letter c is the run that holds it.
        if (!runsFound_) findRuns();
        const auto run = std::upper_bound(runStarts_.begin(), runStarts_.end(), c);
        return *std::prev(run) - 1;
    }

    void findSpaces() {
        index_.forEach([this](int p, std::string_view ch) {
            if (ch == " ") spaces_.push_back(p);
        });
        spacesFound_ = true;
    }

    void findRuns() {
        bool previousIsLetter = false;
        index_.forEach([&](int p, std::string_view ch) {
            const bool letter = isLetter(ch);
            if (letter && !previousIsLetter) runStarts_.push_back(p);
            previousIsLetter = letter;
        });
        runsFound_ = true;
    }

    const CharIndex& index_;
    std::vector<int> spaces_;
    bool spacesFound_ = false;
    std::vector<int> runStarts_;  // first position of every run of letters
    bool runsFound_ = false;
};

struct Occurrence {
    int position;
    int length;  // characters of the symbol
};

std::vector<Occurrence> findOccurrences(std::string_view text, std::string_view symbols) {
    std::vector<Occurrence> found;
    if (symbols.empty()) return found;
    for (const std::string& symbol : splitSymbolList(symbols)) {
        const int length = charCount(symbol);
        for (int p : findAllChars(text, symbol))
            found.push_back({p, length});
    }
    return found;
}

// The cut next to a symbol occurrence: before or after it as the mode says
// (either side drawn by `sidePicker`), with a space on a side where a word
// would touch the item when words are avoided.
Cut cutAtSymbol(const Occurrence& o, const CharIndex& index, const RandomInsertion& how,
                UniquePicker& sidePicker, Random& random) {
    const bool after =
        how.symbolMode == SymbolMode::After ||
        (how.symbolMode == SymbolMode::EitherSide && sidePicker.pick(random, 1, 2) == 1);
    Cut cut;
    cut.position = after ? o.position + o.length - 1 : o.position - 1;
    if (how.avoidWords) {
        // The item stays next to its symbol, but is kept apart from a word
        // on either side by a space.
        cut.spaceBefore = isLetter(index.at(static_cast<int>(cut.position)));
        cut.spaceAfter = isLetter(index.at(static_cast<int>(cut.position) + 1));
    }
    return cut;
}

// Where the `n` slots go, in text order: next to randomly chosen symbol
// occurrences (each used once before any repeats), every `how.step`
// characters, or at distinct random positions.
std::vector<Cut> drawCuts(const CharIndex& index, std::size_t n,
                          const std::vector<Occurrence>& occurrences, const RandomInsertion& how,
                          Random& random) {
    const int length = index.count();
    const auto g = static_cast<int>(occurrences.size());
    random.reseed();
    UniquePicker positions;
    UniquePicker occurrencePicker;
    UniquePicker sidePicker;
    WordGuard words(index);
    std::vector<Cut> cuts;
    cuts.reserve(n);
    for (std::size_t i = 1; i <= n; ++i) {
        how.keepAlive();
        if (g > 0) {
            const Occurrence& o =
                occurrences[static_cast<std::size_t>(occurrencePicker.pick(random, 1, g) - 1)];
            cuts.push_back(cutAtSymbol(o, index, how, sidePicker, random));
            continue;
        }
        Cut cut;
        cut.position = how.step >= 1
                           ? std::min<long long>(how.step * static_cast<long long>(i), length)
                           : positions.pick(random, 1, length);
        if (how.avoidWords) words.apply(cut);
        cuts.push_back(cut);
    }
    std::stable_sort(cuts.begin(), cuts.end(),
                     [](const Cut& a, const Cut& b) { return a.position < b.position; });
    return cuts;
}

using SlotText = std::function<std::string_view(std::size_t)>;

std::string insertSlots(std::string_view text, std::size_t slots, const SlotText& slotText,
                        const RandomInsertion& how, Random& random) {
    std::vector<Cut> cuts;
    std::size_t n = 0;
    {
        // The index is needed to draw the cuts, not to copy: it goes first.
        const CharIndex index(text);
        if (index.count() == 0) return {};
        const std::vector<Occurrence> occurrences = findOccurrences(text, how.symbols);
        n = occurrences.empty() ? slots : std::min(slots, occurrences.size());
        cuts = drawCuts(index, n, occurrences, how, random);
        for (Cut& cut : cuts)
            cut.offset = index.offset(static_cast<int>(cut.position + 1));
    }

    // The slots' own sizes: the first one times n could be far off.
    std::size_t extra = 0;
    for (std::size_t j = 0; j < n; ++j)
        extra += slotText(j).size() + 2;
    std::string out;
    out.reserve(text.size() + extra);
    std::size_t copied = 0;    // the text before this is in `out`
    std::size_t released = 0;  // and before this given back
    const auto copyTo = [&](std::size_t end) {
        while (copied < end) {
            const std::size_t step =
                how.lastRead ? std::min(end - copied, kReleaseStep) : end - copied;
            out.append(text.substr(copied, step));
            copied += step;
            if (how.lastRead && copied - released >= kReleaseStep) {
                releaseReadBytes(text, released, copied);
                released = copied;
            }
        }
    };
    for (std::size_t j = 0; j < cuts.size(); ++j) {
        copyTo(cuts[j].offset);
        if (cuts[j].spaceBefore) out.push_back(' ');
        const std::string_view slot = slotText(j);
        if (how.spans) how.spans->emplace_back(out.size(), out.size() + slot.size());
        out.append(slot);
        if (cuts[j].spaceAfter) out.push_back(' ');
    }
    copyTo(text.size());
    return out;
}

}  // namespace

std::string insertRandom(std::string_view text, std::span<const std::string> items,
                         const RandomInsertion& how, Random& random) {
    if (items.empty()) return std::string(text);
    return insertSlots(
        text, items.size(), [&](std::size_t i) -> std::string_view { return items[i]; }, how,
        random);
}

std::string insertRandom(std::string_view text, std::string_view single, int count,
                         const RandomInsertion& how, Random& random) {
    const auto slots = static_cast<std::size_t>(std::max(count, 1));
    return insertSlots(
        text, slots, [&](std::size_t) { return single; }, how, random);
}

}  // namespace lct
