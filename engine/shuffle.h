#pragma once
// Shuffling the sentences of a text (GBK).

#include <string>
#include <string_view>

#include "engine/keep_alive.h"
#include "platform/random.h"

namespace lct {

/// `text` with its pieces permuted. `symbolsText` is a "|" list of symbols
/// (backslash-n stands for a line break; without that escape a line break is a
/// symbol too). Every occurrence of a symbol (ASCII letters compared without
/// case) ends a piece, and the text after the last symbol is a piece with no
/// symbol. Each slot keeps its own symbol; the non-blank pieces are permuted
/// among the non-blank slots, each used once, and blank pieces (spaces, tabs,
/// ideographic spaces, line breaks, or nothing) stay where they are. Where two
/// symbol occurrences overlap, the one that begins first (the earlier in the
/// list at the same position) ends the piece and the other is ordinary text.
/// A text without any symbol comes back unchanged. Draws go through `random`;
/// the caller's window breathes through `keepAlive` every few hundred pieces.
std::string shuffleText(std::string_view text, std::string_view symbolsText, Random& random,
                        const KeepAlive& keepAlive = {});

}  // namespace lct
