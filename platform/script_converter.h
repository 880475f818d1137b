#pragma once
// Conversion between simplified and traditional Chinese with OpenCC's
// dictionaries.
//
// Texts here are UTF-8 (the engine decodes its GBK texts first). Every
// conversion keeps the number of code points: where OpenCC's phrase mapping
// would change the length of a line, that line is converted one character at a
// time instead, and a character whose mapping is not one character stays as it
// is. NUL and the private-use code points U+10FF00..U+10FFFF (bytes that were
// not valid GBK) are never converted and come back unchanged.
//
// Two ways give the same results. OpenCC's own converter, called once per run
// of text between line ends, NULs and private-use points, is the reference.
// The converter's own tables, built once from the same dictionaries, match the
// whole text in one pass (several times faster) and are what the program uses.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace opencc {
class SimpleConverter;
}

namespace lct {

enum class ScriptDirection {
    TraditionalToSimplified,  ///< OpenCC "t2s.json"
    SimplifiedToTraditional,  ///< OpenCC "s2t.json"
};

/// How a ScriptConverter finds what to convert.
enum class ScriptMatching {
    /// Its own tables, built from the configuration's dictionaries: a
    /// maximum forward match over the segmentation dictionary, then the
    /// conversion's dictionaries in their order, as OpenCC does.
    Tables,
    /// One OpenCC call per run of text: the way of reference.
    OpenccCalls,
};

class ScriptTables;

/// A converter for one direction. Building it loads the dictionaries (tens of
/// milliseconds): build one per direction and reuse it (see scriptConverter()).
/// Nothing throws: a missing configuration leaves the object not ok(), and then
/// every conversion gives nullopt. Once built it holds no mutable state, so
/// several threads may convert with one converter at the same time.
class ScriptConverter {
  public:
    explicit ScriptConverter(ScriptDirection direction,
                             ScriptMatching matching = ScriptMatching::Tables);
    /// A converter over any OpenCC configuration (a bare name is looked up
    /// in OpenCC's data folder). With Tables, a configuration whose shape the
    /// tables do not cover (see script_converter.cpp) is served by OpenCC
    /// calls instead; matching() says which way is in use.
    explicit ScriptConverter(const std::string& configName,
                             ScriptMatching matching = ScriptMatching::Tables);
    ~ScriptConverter();
    ScriptConverter(ScriptConverter&&) noexcept;
    ScriptConverter& operator=(ScriptConverter&&) noexcept;
    ScriptConverter(const ScriptConverter&) = delete;
    ScriptConverter& operator=(const ScriptConverter&) = delete;

    bool ok() const { return tables_ != nullptr || opencc_ != nullptr; }
    /// Why building failed; empty when it did not.
    const std::string& error() const { return error_; }
    /// The way the converter works (it may differ from the one asked for).
    ScriptMatching matching() const {
        return tables_ ? ScriptMatching::Tables : ScriptMatching::OpenccCalls;
    }

    /// `utf8` converted, with as many code points as it has (see the file
    /// comment). nullopt when the converter is not ok() or the text is not
    /// valid UTF-8; `error`, when given, then says why and is emptied
    /// otherwise.
    [[nodiscard]] std::optional<std::string> convert(std::string_view utf8,
                                                     std::string* error = nullptr) const;

  private:
    std::unique_ptr<const ScriptTables> tables_;
    std::unique_ptr<opencc::SimpleConverter> opencc_;
    std::string error_;
};

/// The process's converter for `direction` (its own tables), built on first
/// use and kept; safe to call from several threads.
const ScriptConverter& scriptConverter(ScriptDirection direction);

/// Every key of the dictionaries that `direction`'s configuration uses, each
/// once, with its first value: phrases and characters, in both scripts between
/// them. Empty when OpenCC's data is missing. Tests and benchmarks build their
/// texts from these.
std::vector<std::pair<std::string, std::string>> scriptDictionaryEntries(ScriptDirection direction);

/// Converts a piece of UTF-8 text without NUL and without U+10FF00.. code
/// points; nullopt on failure.
using PieceConverter = std::function<std::optional<std::string>(std::string_view)>;

/// The length-keeping conversion of the OpenCC calls, over any piece
/// converter: `utf8` is cut into lines (each ending after LF) and runs between
/// NUL and U+10FF00.. code points, which are copied; each run is converted
/// whole, or character by character when its length changed (a character
/// whose conversion is not one code point is copied). nullopt when
/// `convertPiece` fails.
[[nodiscard]] std::optional<std::string> convertKeepingLength(std::string_view utf8,
                                                              const PieceConverter& convertPiece);

}  // namespace lct
