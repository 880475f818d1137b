#include "engine/lists.h"

#include "engine/chars.h"

namespace lct {
namespace {

bool escapeAt(std::string_view text, std::size_t i) {
    return text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n';
}

}  // namespace

std::vector<std::string> splitList(std::string_view text, std::string_view separator) {
    std::vector<std::string> pieces;
    if (text.empty()) return pieces;
    if (separator.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    // matchesAt's test, with the separator's last character found once.
    std::size_t lastStart = 0;
    for (std::size_t j = 0; j < separator.size(); j += charSize(separator, j))
        lastStart = j;
    const auto separatorAt = [&](std::size_t at) {
        return text.size() - at >= separator.size() &&
               text.compare(at, separator.size(), separator) == 0 &&
               at + lastStart + charSize(text, at + lastStart) == at + separator.size();
    };
    std::size_t pieceStart = 0;
    std::size_t i = 0;
    const char first = separator.front();
    const bool asciiFirst = static_cast<unsigned char>(first) < 0x80;
    while (i < text.size()) {
        // Plain ASCII that cannot begin the separator is passed in bulk (a CR
        // stops it: CR LF is one character).
        // A double-byte or four-byte character cannot begin it either.
        if (asciiFirst) {
            if (byteAt(text, i) >= 0x80) {
                i += gbkCharSize(text, i);
                continue;
            }
            i = skipPlainAscii(text, i, first, '\r');
            if (i >= text.size()) break;
        }
        if (text[i] == first && separatorAt(i)) {
            pieces.emplace_back(text.substr(pieceStart, i - pieceStart));
            i += separator.size();
            pieceStart = i;
        } else {
            i += charSize(text, i);
        }
    }
    if (pieceStart < text.size()) pieces.emplace_back(text.substr(pieceStart));
    return pieces;
}

bool hasLineBreakEscape(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); i += charSize(text, i)) {
        if (escapeAt(text, i)) return true;
    }
    return false;
}

std::string expandLineBreakEscapes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (escapeAt(text, i)) {
            out += "\r\n";
            i += 2;
            continue;
        }
        const std::size_t n = charSize(text, i);
        out.append(text.substr(i, n));
        i += n;
    }
    return out;
}

std::vector<std::string> splitSymbolList(std::string_view text) {
    return splitList(expandLineBreakEscapes(text), "|");
}

}  // namespace lct
