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
    std::string out;
    appendScript(text, conversion, out, error, spans);
    return out;
}

std::string convertScript(std::string_view text, const ScriptConverter& converter,
                          std::string* error, CharacterSpans* spans) {
    std::string out;
    appendScript(text, converter, out, error, spans);
    return out;
}

void appendScript(std::string_view text, ScriptConversion conversion, std::string& out,
                  std::string* error, CharacterSpans* spans) {
    if (conversion == ScriptConversion::None) {
        if (error) error->clear();
        out += text;
        return;
    }
    // The directions follow the list's order, from its second item on.
    const auto direction = static_cast<ScriptDirection>(static_cast<int>(conversion) - 1);
    appendScript(text, scriptConverter(direction), out, error, spans);
}

void appendScript(std::string_view text, const ScriptConverter& converter, std::string& out,
                  std::string* error, CharacterSpans* spans) {
    // The UTF-8 forms of a text before and after converting, kept by the
    // thread from one text to the next while they are small: a big text
    // comes in pieces, and fresh memory for each would cost more than the
    // decoding into it.
    constexpr std::size_t kKept = std::size_t{4} << 20;
    thread_local std::string before;
    thread_local std::string after;
    thread_local std::string converted;  // GBK again
    before.clear();
    after.clear();
    converted.clear();
    // Preserve keeps every byte that is not valid GBK (the tag guard's 0xFF
    // placeholders, a cut character) as a private-use point that the
    // converter copies and utf8ToGbk turns back into the byte: one character
    // of the text is one code point.
    appendGbkAsUtf8(text, InvalidBytes::Preserve, before);
    after.reserve(before.size() + before.size() / 8);
    std::string why;
    ScriptOffsets offsets;
    const bool moving = spans && !spans->empty() && !converter.keepsLength();
    if (converter.append(before, after, &why, moving ? &offsets : nullptr)) {
        if (error) error->clear();
        if (moving) moveSpans(offsets, *spans);
        // Encoded apart and then appended: the encoder grows its output a
        // block at a time, which would make `out`, reserved by the caller
        // for the whole text, double its room near its end.
        appendUtf8AsGbk(after, converted);
        if (out.empty() && out.capacity() < converted.size())
            out.swap(converted);  // a whole text, taken over rather than copied
        else
            out += converted;
    } else {
        if (error) *error = why.empty() ? "script conversion failed" : why;
        out += text;
    }
    for (std::string* buffer : {&before, &after, &converted})
        if (buffer->capacity() > kKept) std::string().swap(*buffer);
}

}  // namespace lct
