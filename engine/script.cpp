#include "engine/script.h"

#include <algorithm>

#include "platform/charset.h"

namespace lct {
namespace {

// Moves each range through a conversion: its start to the output place of the
// last piece that starts at or before it, its end to that of the first piece
// that ends at or after it. Ranges that then overlap (two of them in one
// phrase) become one, so that the ranges stay sorted and apart.
void moveSpans(const ScriptOffsets& offsets, CharacterSpans& spans) {
    if (offsets.empty()) return;
    CharacterSpans moved;
    moved.reserve(spans.size());
    for (auto [begin, end] : spans) {
        const auto after =
            std::upper_bound(offsets.begin(), offsets.end(), begin,
                             [](std::size_t at, const auto& offset) { return at < offset.first; });
        begin = std::prev(after)->second;
        const auto from =
            std::lower_bound(offsets.begin(), offsets.end(), end,
                             [](const auto& offset, std::size_t at) { return offset.first < at; });
        end = std::max(begin, from != offsets.end() ? from->second : offsets.back().second);
        if (!moved.empty() && begin < moved.back().second)
            moved.back().second = std::max(moved.back().second, end);
        else
            moved.emplace_back(begin, end);
    }
    spans = std::move(moved);
}

}  // namespace

std::string convertScript(std::string_view text, ScriptConversion conversion, std::string* error,
                          CharacterSpans* spans) {
    if (conversion == ScriptConversion::None) {
        if (error) error->clear();
        return std::string(text);
    }
    // The directions follow the list's order, from its second item on.
    const auto direction = static_cast<ScriptDirection>(static_cast<int>(conversion) - 1);
    return convertScript(text, scriptConverter(direction), error, spans);
}

std::string convertScript(std::string_view text, const ScriptConverter& converter,
                          std::string* error, CharacterSpans* spans) {
    // Preserve keeps every byte that is not valid GBK (the tag guard's 0xFF
    // placeholders, a cut character) as a private-use point that the
    // converter copies and utf8ToGbk turns back into the byte: one character
    // of the text is one code point.
    std::string why;
    ScriptOffsets offsets;
    const bool moving = spans && !spans->empty() && !converter.keepsLength();
    const std::optional<std::string> converted = converter.convert(
        gbkToUtf8(text, InvalidBytes::Preserve), &why, moving ? &offsets : nullptr);
    if (!converted) {
        if (error) *error = why.empty() ? "script conversion failed" : why;
        return std::string(text);
    }
    if (error) error->clear();
    if (moving) moveSpans(offsets, *spans);
    return utf8ToGbk(*converted);
}

}  // namespace lct
