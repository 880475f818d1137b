#include "platform/script_converter.h"

#include <opencc/SimpleConverter.hpp>

#include <algorithm>
#include <exception>

#include "platform/charset.h"

namespace lct {
namespace {

const char* configName(ScriptDirection direction) {
    return direction == ScriptDirection::TraditionalToSimplified ? "t2s.json" : "s2t.json";
}

unsigned byteAt(std::string_view s, std::size_t i) {
    return static_cast<unsigned char>(s[i]);
}

std::size_t sequenceSize(std::string_view s, std::size_t i) {
    const unsigned lead = byteAt(s, i);
    std::size_t n = 1;
    if (lead >= 0xF0) {
        n = 4;
    } else if (lead >= 0xE0) {
        n = 3;
    } else if (lead >= 0xC0) {
        n = 2;
    }
    return std::min(n, s.size() - i);
}

// NUL stops OpenCC's segmentation (it reads C strings), and the private-use
// points that stand for raw bytes must come back exactly: both are copied
// around OpenCC instead of going through it.
bool passesThrough(std::string_view s, std::size_t i) {
    if (s[i] == '\0') return true;
    return i + 3 < s.size() && byteAt(s, i) == 0xF4 && byteAt(s, i + 1) == 0x8F &&
           (byteAt(s, i + 2) & 0xFC) == 0xBC;
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

ScriptConverter::ScriptConverter(ScriptDirection direction)
    : ScriptConverter(std::string(configName(direction))) {}

ScriptConverter::ScriptConverter(const std::string& configName) {
    try {
        converter_ = std::make_unique<opencc::SimpleConverter>(configName);
    } catch (const std::exception& e) {
        error_ = e.what();
    } catch (...) {
        error_ = "OpenCC failed";
    }
}

ScriptConverter::~ScriptConverter() = default;
ScriptConverter::ScriptConverter(ScriptConverter&&) noexcept = default;
ScriptConverter& ScriptConverter::operator=(ScriptConverter&&) noexcept = default;

std::optional<std::string> ScriptConverter::convert(std::string_view utf8) const {
    if (!converter_) return std::nullopt;
    const PieceConverter piece = [this](std::string_view text) -> std::optional<std::string> {
        try {
            return converter_->Convert(text.data(), text.size());
        } catch (const std::exception& e) {
            error_ = e.what();
        } catch (...) {
            error_ = "OpenCC failed";
        }
        return std::nullopt;
    };
    error_.clear();
    return convertKeepingLength(utf8, piece);
}

const ScriptConverter& scriptConverter(ScriptDirection direction) {
    if (direction == ScriptDirection::TraditionalToSimplified) {
        static const ScriptConverter t2s(ScriptDirection::TraditionalToSimplified);
        return t2s;
    }
    static const ScriptConverter s2t(ScriptDirection::SimplifiedToTraditional);
    return s2t;
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
