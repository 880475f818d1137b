#pragma once
// Conversion between simplified and traditional Chinese over OpenCC.
//
// Texts here are UTF-8 (the engine decodes its GBK texts first). Every
// conversion keeps the number of code points: where OpenCC's phrase mapping
// would change the length of a line, that line is converted one character at a
// time instead, and a character whose mapping is not one character stays as it
// is. NUL and the private-use code points U+10FF00..U+10FFFF (bytes that were
// not valid GBK) never reach OpenCC and come back unchanged.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace opencc {
class SimpleConverter;
}

namespace lct {

enum class ScriptDirection {
    TraditionalToSimplified,  ///< OpenCC "t2s.json"
    SimplifiedToTraditional,  ///< OpenCC "s2t.json"
};

/// One OpenCC converter for one direction. Building it loads the dictionaries
/// (slow): build one per direction and reuse it (see scriptConverter()).
/// Nothing throws: a missing configuration leaves the object not ok(), and
/// then every conversion gives nullopt. For the one window thread: convert
/// records its failure in the object.
class ScriptConverter {
  public:
    explicit ScriptConverter(ScriptDirection direction);
    /// A converter over any OpenCC configuration (a bare name is looked up
    /// in OpenCC's data folder).
    explicit ScriptConverter(const std::string& configName);
    ~ScriptConverter();
    ScriptConverter(ScriptConverter&&) noexcept;
    ScriptConverter& operator=(ScriptConverter&&) noexcept;
    ScriptConverter(const ScriptConverter&) = delete;
    ScriptConverter& operator=(const ScriptConverter&) = delete;

    bool ok() const { return converter_ != nullptr; }
    /// Why building or the last conversion failed; empty when nothing failed.
    const std::string& error() const { return error_; }

    /// `utf8` converted, with as many code points as it has (see the file
    /// comment). nullopt when the converter is not ok() or OpenCC rejects the
    /// text (invalid UTF-8).
    [[nodiscard]] std::optional<std::string> convert(std::string_view utf8) const;

  private:
    std::unique_ptr<opencc::SimpleConverter> converter_;
    mutable std::string error_;
};

/// The process's converter for `direction`, built on first use and kept.
const ScriptConverter& scriptConverter(ScriptDirection direction);

/// Converts a piece of UTF-8 text without NUL and without U+10FF00.. code
/// points; nullopt on failure.
using PieceConverter = std::function<std::optional<std::string>(std::string_view)>;

/// The length-keeping conversion behind ScriptConverter::convert, over any
/// piece converter: `utf8` is cut into lines (each ending after LF) and runs
/// between NUL and U+10FF00.. code points, which are copied; each run is
/// converted whole, or character by character when its length changed (a
/// character whose conversion is not one code point is copied). nullopt when
/// `convertPiece` fails.
[[nodiscard]] std::optional<std::string> convertKeepingLength(std::string_view utf8,
                                                              const PieceConverter& convertPiece);

}  // namespace lct
