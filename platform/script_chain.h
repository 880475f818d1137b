#pragma once
// An OpenCC conversion configuration as the script converter's tables take
// it: which dictionaries segment a text and which convert it, in which order,
// with each dictionary's entries. Read from a configuration's JSON and the text
// form of its dictionaries (see readScriptChain), or put together by hand.
//
// How OpenCC works with it: a normalization, when there is one, converts the
// whole text first. Then the segmentation, when there is one, cuts the text:
// at each position the longest key of its dictionaries that starts there is a
// segment of its own, and the characters where none starts form segments
// between them; without a segmentation the whole text is one segment. Each
// conversion of the chain in turn converts every segment (the previous
// conversion's output of it) on its own: at each position it puts the value
// of the longest key found there and goes on after that key, or copies one
// character (or an ideographic description sequence, whole) and goes on.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lct {

/// One dictionary: each key (UTF-8) with its first value, in the file's order.
struct ScriptDictionary {
    std::vector<std::pair<std::string, std::string>> entries;
};
using ScriptDictionaryPtr = std::shared_ptr<const ScriptDictionary>;

/// A dictionary group as matching consults it, level by level: at a position
/// the first level that holds a key starting there answers with its longest
/// such key. A level is one dictionary, or several taken as one (OpenCC's
/// "union" groups): on a key that more than one of them holds, the first one's
/// value counts.
using ScriptLevels = std::vector<std::vector<ScriptDictionaryPtr>>;

struct ScriptChain {
    std::vector<ScriptLevels> normalization;  ///< conversions before segmenting
    std::optional<ScriptLevels> segmentation;
    std::vector<ScriptLevels> conversions;
};

/// Where the pieces of a conversion went: pairs (code points of the input,
/// code points of the output), both increasing, from (0, 0) to the two
/// lengths. The input between two pairs became the output between them; the
/// input inside such a stretch (a phrase) has no place of its own.
using ScriptOffsets = std::vector<std::pair<std::size_t, std::size_t>>;

/// The entries of an OpenCC text dictionary: lines "key<TAB>value value…",
/// lines that start with '#' and empty lines skipped, a UTF-8 byte-order mark
/// and CR before LF allowed. On a key that comes twice, the first line counts.
/// nullopt, with the line in `why`, when a line has no tab or an empty key.
[[nodiscard]] std::optional<ScriptDictionary> parseScriptDictionary(std::string_view text,
                                                                    std::string& why);

/// The bytes of a file named in a configuration; nullopt when it is missing.
using ScriptFileSource = std::function<std::optional<std::string>(const std::string& name)>;

/// The chain of an OpenCC configuration (its JSON text). A dictionary of type
/// "text" is read from the file it names, one of type "ocd2" from the text
/// form of the same name ("X.ocd2" from "X.txt"); groups may be "short_circuit"
/// (their members are levels one after another) or "union" of dictionaries
/// (one level); the only segmentation is "mmseg". Dictionaries that may show
/// as tofu are included, as OpenCC does by default. nullopt, with the reason
/// in `why`, for anything else or a file that is missing or malformed.
[[nodiscard]] std::optional<ScriptChain> readScriptChain(std::string_view configJson,
                                                         const ScriptFileSource& files,
                                                         std::string& why);

}  // namespace lct
