#pragma once
// Conversion between simplified and traditional Chinese, and between the
// standards of the mainland, Taiwan and Hong Kong, by OpenCC's conversion
// chains and dictionaries. The program carries them (data/opencc, embedded at
// build time) and converts with its own tables, built from them when the
// program is built (make_script_tables), or on first use by a build that
// could not run its generator.
//
// Texts here are UTF-8 (the engine decodes its GBK texts first). A text is
// converted in runs: each ends after a line feed, and NUL and the private-use
// code points U+10FF00..U+10FFFF (bytes that were not valid GBK) are never
// converted and come back unchanged. Each run converts as OpenCC converts it
// as a text of its own, with one rule more for the conversions that keep
// every text's length in code points (ScriptLength::Kept): a run whose
// length changed is converted one character at a time, and a character
// whose conversion is not one character stays as it is.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/script_chain.h"

namespace lct {

/// OpenCC's chains that the program offers.
enum class ScriptDirection {
    TraditionalToSimplified,    ///< "t2s"
    SimplifiedToTraditional,    ///< "s2t"
    SimplifiedToTaiwan,         ///< "s2tw": Taiwan's standard characters
    SimplifiedToTaiwanPhrases,  ///< "s2twp": the same with Taiwan's words
    SimplifiedToHongKong,       ///< "s2hk"
    TaiwanToSimplified,         ///< "tw2s"
    TaiwanPhrasesToSimplified,  ///< "tw2sp": the mainland's words as well
    HongKongToSimplified,       ///< "hk2s"
};
inline constexpr int kScriptDirections = 8;

/// OpenCC's name of the chain of `direction` ("s2twp").
std::string_view scriptChainName(ScriptDirection direction);

/// Whether a conversion keeps every text's length in code points: the two
/// plain directions do, the regional ones may change it (U盘 → 隨身碟).
enum class ScriptLength { Free, Kept };

class ScriptTables;

/// A converter for one chain. Building it from a chain builds the tables
/// (tens of milliseconds); from a direction it copies those the build made (a
/// millisecond or two). Build one per chain and reuse it (see
/// scriptConverter()). Nothing throws: a chain that cannot be read or held
/// leaves the object not ok(), and then every conversion gives nullopt. Once
/// built it holds no mutable state, so several threads may convert with one
/// converter at the same time.
class ScriptConverter {
  public:
    /// The chain of `direction` from the data the program carries, its
    /// tables as the build made them; the length is kept for t2s and s2t.
    explicit ScriptConverter(ScriptDirection direction);
    ScriptConverter(const ScriptChain& chain, ScriptLength length);
    /// The chain of the OpenCC configuration file at `path`, whose
    /// dictionaries (text form) are in the same folder.
    static ScriptConverter fromFile(const std::string& path, ScriptLength length);
    ~ScriptConverter();
    ScriptConverter(ScriptConverter&&) noexcept;
    ScriptConverter& operator=(ScriptConverter&&) noexcept;
    ScriptConverter(const ScriptConverter&) = delete;
    ScriptConverter& operator=(const ScriptConverter&) = delete;

    bool ok() const { return tables_ != nullptr; }
    /// Why building failed; empty when it did not.
    const std::string& error() const { return error_; }
    bool keepsLength() const { return length_ == ScriptLength::Kept; }

    /// `utf8` converted (see the file comment). nullopt when the converter
    /// is not ok() or the text is not valid UTF-8; `error`, when given, then
    /// says why and is emptied otherwise. `offsets`, when given, receives
    /// where each piece of the text went.
    [[nodiscard]] std::optional<std::string> convert(std::string_view utf8,
                                                     std::string* error = nullptr,
                                                     ScriptOffsets* offsets = nullptr) const;

    /// convert() appending to `out`: false, with `out` as it was, where
    /// convert() gives nullopt.
    [[nodiscard]] bool append(std::string_view utf8, std::string& out, std::string* error = nullptr,
                              ScriptOffsets* offsets = nullptr) const;

  private:
    explicit ScriptConverter(std::string error);

    std::unique_ptr<const ScriptTables> tables_;
    ScriptLength length_ = ScriptLength::Free;
    std::string error_;
};

/// The process's converter for `direction`, built on first use and kept;
/// safe to call from several threads.
const ScriptConverter& scriptConverter(ScriptDirection direction);

/// The chain of `direction` from the data the program carries; nullopt, with
/// the reason in `why`, when it cannot be read.
std::optional<ScriptChain> scriptChain(ScriptDirection direction, std::string& why);

/// Every key of the dictionaries of `direction`'s chain, each once, with its
/// first value: phrases and characters, in both scripts between them. Tests
/// and benchmarks build their texts from these.
std::vector<std::pair<std::string, std::string>> scriptDictionaryEntries(ScriptDirection direction);

}  // namespace lct
