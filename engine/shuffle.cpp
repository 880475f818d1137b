#include "engine/shuffle.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "engine/chars.h"
#include "engine/lists.h"
#include "engine/patterns.h"

namespace lct {
namespace {

// One slot of the shuffle: the piece before a symbol occurrence, which
// starts where the slot before ends, and the symbol itself (empty for the
// tail), as byte offsets of the text. A big text has a slot every few dozen
// bytes: they are kept small, in 32 bits for any text shorter than 4 GiB.
template <typename Offset>
struct Slot {
    Offset pieceEnd = 0;  // where the symbol begins
    Offset symbolEnd = 0;
};

struct Record {
    int position = 0;          // character position of the symbol
    std::uint32_t symbol = 0;  // index into the symbol list
};

constexpr int kRecordsPerBreath = 256;

// The occurrences of the symbols in text order; at one position the symbol
// listed first comes first.
std::vector<Record> recordsOf(std::string_view text, const std::vector<std::string>& symbols,
                              const KeepAlive& keepAlive) {
    std::vector<Record> records;
    for (std::size_t s = 0; s < symbols.size(); ++s) {
        for (const int position : findAllChars(text, symbols[s]))
            records.push_back({position, static_cast<std::uint32_t>(s)});
        keepAlive();
    }
    // By position, then in the list's order: what a stable sort by position
    // gives, without its buffer.
    std::sort(records.begin(), records.end(), [](const Record& a, const Record& b) {
        return a.position != b.position ? a.position < b.position : a.symbol < b.symbol;
    });
    return records;
}

// The text cut into pieces, each with the symbol that ends it (the last piece
// has none); none when the text holds no symbol.
template <typename Offset>
std::vector<Slot<Offset>> slotsOf(std::string_view text, const std::vector<std::string>& symbols,
                                  const KeepAlive& keepAlive) {
    const std::vector<Record> records = recordsOf(text, symbols, keepAlive);
    std::vector<Slot<Offset>> slots;
    if (records.empty()) return slots;
    const CharIndex index(text);
    slots.reserve(records.size() + 1);
    int start = 1;  // first character of the next piece
    for (const Record& r : records) {
        // An occurrence that begins inside the symbol of the previous slot
        // (overlapping symbols, or a symbol listed twice) is ordinary text:
        // cutting there would write those characters twice.
        if (r.position < start) continue;
        const std::string& symbol = symbols[r.symbol];
        const std::size_t symbolBegin = index.offset(r.position);
        start = r.position + charCount(symbol);
        slots.push_back(
            {static_cast<Offset>(symbolBegin), static_cast<Offset>(index.offset(start))});
    }
    const auto end = static_cast<Offset>(text.size());
    if (start <= index.count()) slots.push_back({end, end});
    return slots;
}

// The pieces dealt to the slots of `text` in random order; blank pieces keep
// their places, every symbol stays where it was. The draws are those of a
// UniquePicker over the movable pieces, made over a plain array of them: a
// big text has a million, which the picker's map of moved values would hold
// at ten times the size.
template <typename Offset>
std::string dealPieces(std::string_view text, const std::vector<Slot<Offset>>& slots,
                       Random& random, const KeepAlive& keepAlive) {
    const auto pieceOf = [&](std::size_t i) {
        const std::size_t begin = i == 0 ? 0 : slots[i - 1].symbolEnd;
        return text.substr(begin, slots[i].pieceEnd - begin);
    };
    // The slots whose pieces move, in text order: the pool of a Fisher-Yates
    // draw, whose drawn entry takes the last one's value as the pool shrinks.
    std::vector<std::uint32_t> pool;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        if (!isBlank(pieceOf(i))) pool.push_back(static_cast<std::uint32_t>(i));
    }
    std::string out;
    out.reserve(text.size());
    auto remaining = static_cast<std::int64_t>(pool.size());
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const std::string_view piece = pieceOf(i);
        if (!isBlank(piece)) {
            const auto drawn = static_cast<std::size_t>(random.between(0, remaining - 1));
            const auto last = static_cast<std::size_t>(--remaining);
            out += pieceOf(pool[drawn]);
            pool[drawn] = pool[last];
        } else {
            out += piece;
        }
        out += text.substr(slots[i].pieceEnd, slots[i].symbolEnd - slots[i].pieceEnd);
        if ((i + 1) % kRecordsPerBreath == 0) keepAlive();
    }
    return out;
}

template <typename Offset>
std::string shuffleWith(std::string_view text, const std::vector<std::string>& symbols,
                        Random& random, const KeepAlive& keepAlive) {
    const std::vector<Slot<Offset>> slots = slotsOf<Offset>(text, symbols, keepAlive);
    if (slots.empty()) return std::string(text);
    std::string out = dealPieces(text, slots, random, keepAlive);
    if (out.empty()) return std::string(text);
    return out;
}

}  // namespace

std::string shuffleText(std::string_view text, std::string_view symbolsText, Random& random,
                        const KeepAlive& keepAlive) {
    std::vector<std::string> symbols = splitSymbolList(symbolsText);
    if (!hasLineBreakEscape(symbolsText)) symbols.emplace_back("\r\n");
    if (text.size() <= std::numeric_limits<std::uint32_t>::max())
        return shuffleWith<std::uint32_t>(text, symbols, random, keepAlive);
    return shuffleWith<std::size_t>(text, symbols, random, keepAlive);
}

}  // namespace lct
