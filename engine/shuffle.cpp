#include "engine/shuffle.h"

#include <algorithm>
#include <vector>

#include "engine/chars.h"
#include "engine/lists.h"
#include "engine/patterns.h"
#include "engine/unique_picker.h"

namespace lct {
namespace {

// One slot of the shuffle: the piece before a symbol occurrence and the
// symbol itself (empty for the tail), as byte ranges of the text.
struct Slot {
    std::string_view piece;
    std::string_view symbol;
    bool blank = false;
};

struct Record {
    int position = 0;        // character position of the symbol
    std::size_t symbol = 0;  // index into the symbol list
};

constexpr int kRecordsPerBreath = 256;

// The occurrences of the symbols in text order; at one position the symbol
// listed first comes first.
std::vector<Record> recordsOf(std::string_view text, const std::vector<std::string>& symbols,
                              const KeepAlive& keepAlive) {
    std::vector<Record> records;
    for (std::size_t s = 0; s < symbols.size(); ++s) {
        for (const int position : findAllChars(text, symbols[s]))
            records.push_back({position, s});
        keepAlive();
    }
    std::stable_sort(records.begin(), records.end(),
                     [](const Record& a, const Record& b) { return a.position < b.position; });
    return records;
}

// The text cut into pieces, each with the symbol that ends it (the last piece
// has none); none when the text holds no symbol.
std::vector<Slot> slotsOf(std::string_view text, const std::vector<std::string>& symbols,
                          const KeepAlive& keepAlive) {
    const std::vector<Record> records = recordsOf(text, symbols, keepAlive);
    std::vector<Slot> slots;
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
        const std::size_t pieceBegin = index.offset(start);
        const std::size_t symbolBegin = index.offset(r.position);
        start = r.position + charCount(symbol);
        const std::size_t symbolEnd = index.offset(start);
        slots.push_back({text.substr(pieceBegin, symbolBegin - pieceBegin),
                         text.substr(symbolBegin, symbolEnd - symbolBegin), false});
    }
    if (start <= index.count()) slots.push_back({text.substr(index.offset(start)), {}, false});
    for (Slot& slot : slots)
        slot.blank = isBlank(slot.piece);
    return slots;
}

// The pieces dealt to the slots in random order; blank pieces keep their
// places, every symbol stays where it was.
std::string dealPieces(const std::vector<Slot>& slots, std::size_t size, Random& random,
                       const KeepAlive& keepAlive) {
    std::vector<std::string_view> movable;
    for (const Slot& slot : slots) {
        if (!slot.blank) movable.push_back(slot.piece);
    }
    std::string out;
    out.reserve(size);
    UniquePicker picker;
    const int movableCount = static_cast<int>(movable.size());
    int done = 0;
    for (const Slot& slot : slots) {
        if (slot.blank) {
            out += slot.piece;
        } else {
            const int drawn = picker.pick(random, 1, movableCount);
            out += movable[static_cast<std::size_t>(drawn - 1)];
        }
        out += slot.symbol;
        if (++done % kRecordsPerBreath == 0) keepAlive();
    }
    return out;
}

}  // namespace

std::string shuffleText(std::string_view text, std::string_view symbolsText, Random& random,
                        const KeepAlive& keepAlive) {
    std::vector<std::string> symbols = splitSymbolList(symbolsText);
    if (!hasLineBreakEscape(symbolsText)) symbols.emplace_back("\r\n");
    const std::vector<Slot> slots = slotsOf(text, symbols, keepAlive);
    if (slots.empty()) return std::string(text);
    std::string out = dealPieces(slots, text.size(), random, keepAlive);
    if (out.empty()) return std::string(text);
    return out;
}

}  // namespace lct
