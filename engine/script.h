#pragma once
// Conversion of GBK texts between simplified and traditional Chinese and
// between the standards of the mainland, Taiwan and Hong Kong.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/script_converter.h"

namespace lct {

/// Which way a text is converted; the values are the item indexes of the main
/// window's conversion list, each OpenCC's chain of the name given.
enum class ScriptConversion {
    None = 0,
    ToSimplified = 1,       ///< traditional to simplified, "t2s"
    ToTraditional = 2,      ///< simplified to traditional, "s2t"
    ToTaiwan = 3,           ///< "s2tw"
    ToTaiwanPhrases = 4,    ///< "s2twp"
    ToHongKong = 5,         ///< "s2hk"
    FromTaiwan = 6,         ///< "tw2s"
    FromTaiwanPhrases = 7,  ///< "tw2sp"
    FromHongKong = 8,       ///< "hk2s"
    Last = FromHongKong,
};

/// 0-based character ranges [begin, end) of a text, sorted and not
/// overlapping.
using CharacterSpans = std::vector<std::pair<std::size_t, std::size_t>>;

/// `text` (GBK) converted the way `conversion` says (None returns it
/// unchanged). ToSimplified and ToTraditional give as many characters as
/// `text` has; the others may change the length. Bytes that are not valid
/// GBK come back as they were, and a converted character that GBK lacks
/// becomes its GB18030 four-byte sequence. When the conversion is unavailable
/// the text comes back unchanged and `error`, when given, says why; otherwise
/// `error` is emptied. `spans`, when given, are moved to where their text
/// went; a range that starts or ends inside a converted phrase takes in the
/// whole phrase, and ranges that then overlap become one. Safe to call from
/// several threads.
std::string convertScript(std::string_view text, ScriptConversion conversion,
                          std::string* error = nullptr, CharacterSpans* spans = nullptr);

/// The same with a given converter, for comparing it with others.
std::string convertScript(std::string_view text, const ScriptConverter& converter,
                          std::string* error = nullptr, CharacterSpans* spans = nullptr);

/// convertScript appending to `out`.
void appendScript(std::string_view text, ScriptConversion conversion, std::string& out,
                  std::string* error = nullptr, CharacterSpans* spans = nullptr);
void appendScript(std::string_view text, const ScriptConverter& converter, std::string& out,
                  std::string* error = nullptr, CharacterSpans* spans = nullptr);

}  // namespace lct
