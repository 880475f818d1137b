#include "platform/script_converter.h"

#include <opencc/Config.hpp>
#include <opencc/Converter.hpp>
#include <opencc/Dict.hpp>
#include <opencc/Exception.hpp>
#include <opencc/Lexicon.hpp>
#include <opencc/SimpleConverter.hpp>

#include <algorithm>
#include <exception>
#include <unordered_set>

#include "platform/charset.h"
#include "platform/script_tables.h"
#include "platform/utf8.h"

namespace lct {
namespace {

const char* configName(ScriptDirection direction) {
    return direction == ScriptDirection::TraditionalToSimplified ? "t2s.json" : "s2t.json";
}

// The bytes of the character at `i`, cut at the end of `s`.
std::size_t sequenceSize(std::string_view s, std::size_t i) {
    return std::min(utf8SequenceSize(byteAt(s, i)), s.size() - i);
}

// NUL stops OpenCC's segmentation (it reads C strings), and the private-use
// points that stand for raw bytes must come back exactly: both are copied
// around OpenCC instead of going through it.
bool passesThrough(std::string_view s, std::size_t i) {
    return s[i] == '\0' || isRawBytePoint(s, i);
}

bool convertRun(std::string_view run, const PieceConverter& convertPiece, std::string& out) {
    std::optional<std::string> whole = convertPiece(run);
    if (!whole) return false;
    if (utf8Length(*whole) == utf8Length(run)) {
        out += *whole;
        return true;
    }
    // A phrase mapping changed the length: map this run one character at a
    // time, so that positions counted in characters stay valid.
    for (std::size_t i = 0; i < run.size();) {
        const std::size_t n = sequenceSize(run, i);
        const std::string_view ch = run.substr(i, n);
        std::optional<std::string> one = convertPiece(ch);
        if (!one) return false;
        out += utf8Length(*one) == 1 ? std::string_view(*one) : ch;
        i += n;
    }
    return true;
}

}  // namespace

ScriptConverter::ScriptConverter(ScriptDirection direction, ScriptMatching matching)
    : ScriptConverter(std::string(configName(direction)), matching) {}

ScriptConverter::ScriptConverter(const std::string& configName, ScriptMatching matching) {
    try {
        if (matching == ScriptMatching::Tables) {
            opencc::Config config;
            const opencc::ConverterPtr converter = config.NewFromFile(configName);
            std::string why;
            tables_ = ScriptTables::build(*converter, why);
            if (tables_) return;
        }
        opencc_ = std::make_unique<opencc::SimpleConverter>(configName);
    } catch (const opencc::Exception& e) {
        error_ = e.what();
    } catch (const std::exception& e) {
        error_ = e.what();
    } catch (...) {
        error_ = "OpenCC failed";
    }
    if (!error_.empty()) tables_.reset();
}

ScriptConverter::~ScriptConverter() = default;
ScriptConverter::ScriptConverter(ScriptConverter&&) noexcept = default;
ScriptConverter& ScriptConverter::operator=(ScriptConverter&&) noexcept = default;

std::optional<std::string> ScriptConverter::convert(std::string_view utf8,
                                                    std::string* error) const {
    std::string why;
    std::optional<std::string> out;
    if (tables_) {
        out.emplace();
        out->reserve(utf8.size() + utf8.size() / 8);
        if (!tables_->convert(utf8, *out)) {
            out.reset();
            why = "the text is not valid UTF-8";
        }
    } else if (opencc_) {
        const PieceConverter piece = [&](std::string_view text) -> std::optional<std::string> {
            try {
                return opencc_->Convert(text.data(), text.size());
            } catch (const opencc::Exception& e) {
                why = e.what();
            } catch (const std::exception& e) {
                why = e.what();
            } catch (...) {
                why = "OpenCC failed";
            }
            return std::nullopt;
        };
        out = convertKeepingLength(utf8, piece);
    } else {
        why = error_;
    }
    if (error) *error = out ? std::string() : why;
    return out;
}

const ScriptConverter& scriptConverter(ScriptDirection direction) {
    if (direction == ScriptDirection::TraditionalToSimplified) {
        static const ScriptConverter t2s(ScriptDirection::TraditionalToSimplified);
        return t2s;
    }
    static const ScriptConverter s2t(ScriptDirection::SimplifiedToTraditional);
    return s2t;
}

std::vector<std::pair<std::string, std::string>> scriptDictionaryEntries(
    ScriptDirection direction) {
    std::vector<std::pair<std::string, std::string>> entries;
    try {
        opencc::Config config;
        const opencc::ConverterPtr converter = config.NewFromFile(configName(direction));
        std::unordered_set<std::string> seen;
        for (const opencc::DictPtr& dict : configurationDicts(*converter)) {
            for (const std::unique_ptr<opencc::DictEntry>& entry : *dict->GetLexicon()) {
                std::string key = entry->Key();
                if (seen.insert(key).second)
                    entries.emplace_back(std::move(key), entry->GetDefault());
            }
        }
    } catch (...) {
        entries.clear();
    }
    return entries;
}

std::optional<std::string> convertKeepingLength(std::string_view utf8,
                                                const PieceConverter& convertPiece) {
    std::string out;
    out.reserve(utf8.size() + utf8.size() / 8);
    std::size_t runStart = 0;
    auto flush = [&](std::size_t end) {
        const bool okay =
            end == runStart || convertRun(utf8.substr(runStart, end - runStart), convertPiece, out);
        runStart = end;
        return okay;
    };
    for (std::size_t i = 0; i < utf8.size();) {
        if (passesThrough(utf8, i)) {
            if (!flush(i)) return std::nullopt;
            const std::size_t n = utf8[i] == '\0' ? 1 : 4;
            out.append(utf8.substr(i, n));
            i += n;
            runStart = i;
            continue;
        }
        const std::size_t n = sequenceSize(utf8, i);
        i += n;
        // Lines are converted one by one, so that a fallback to single
        // characters stays local to the line that needed it.
        if (utf8[i - n] == '\n' && !flush(i)) return std::nullopt;
    }
    if (!flush(utf8.size())) return std::nullopt;
    return out;
}

}  // namespace lct
