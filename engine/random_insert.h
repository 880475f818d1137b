#pragma once
// The random-position inserter: puts slot texts (items, or one text several
// times) at distinct random character positions of a text, every N
// characters, or next to symbols, keeping clear of English words when asked.
// Content insertion, title insertion and shuffle-replace mode all use it.

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/insert_options.h"
#include "engine/keep_alive.h"
#include "platform/random.h"

namespace lct {

struct RandomInsertion {
    /// Keep items out of English words: a position on an ASCII letter moves
    /// to the nearest space (or, in a text without spaces, before the word),
    /// and the item is followed by a space.
    bool avoidWords = false;
    /// When at least 1, slot i goes after character step × i instead of a
    /// random position.
    long long step = 0;
    /// Symbol groups ("|"-separated, \n escape): when the text holds any of
    /// them, slots go next to randomly chosen occurrences, each occurrence
    /// used once before any repeats, and at most one slot per occurrence.
    std::string symbols;
    SymbolMode symbolMode = SymbolMode::Before;
    /// When set, receives the byte range [begin, end) of each slot text in the
    /// result, in text order (appended; the spaces around an item are not
    /// part of it).
    std::vector<std::pair<std::size_t, std::size_t>>* spans = nullptr;
    /// Called once per slot placed, to let the caller's window breathe.
    KeepAlive keepAlive;
    /// The text is read for the last time (its caller owns it and drops it):
    /// its pages go back to the system as it is copied, and it holds zeros
    /// afterwards (platform/memory.h).
    bool lastRead = false;
};

/// `text` with the items inserted, in slot order from the start of the text to
/// its end, whatever order the positions were drawn in. An empty text gives "".
/// Linear in the text length plus n log n in the number of items.
std::string insertRandom(std::string_view text, std::span<const std::string> items,
                         const RandomInsertion& how, Random& random);

/// The count form: `single` inserted `count` times (a count below 1 counts as 1).
std::string insertRandom(std::string_view text, std::string_view single, int count,
                         const RandomInsertion& how, Random& random);

}  // namespace lct
