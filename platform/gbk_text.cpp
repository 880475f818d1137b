#include "platform/gbk_text.h"

#include <cstring>

namespace lct {

std::size_t findBytes(std::string_view text, std::string_view needle, std::size_t from) {
    if (needle.empty() || from >= text.size() || text.size() - from < needle.size())
        return std::string_view::npos;
    const void* hit = memmem(text.data() + from, text.size() - from, needle.data(), needle.size());
    if (!hit) return std::string_view::npos;
    return static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
}

std::size_t findAtBoundary(std::string_view text, std::string_view needle, std::size_t from) {
    return findAtBoundary(text, needle, from,
                          [text](std::size_t i) { return i + gbkCharSize(text, i); });
}

std::string replaceAtBoundaries(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    if (from.empty()) return std::string(text);
    out.reserve(text.size());
    std::size_t done = 0;
    for (;;) {
        const std::size_t hit = findAtBoundary(text, from, done);
        if (hit == std::string_view::npos) break;
        out.append(text, done, hit - done);
        out += to;
        done = hit + from.size();
    }
    out.append(text, done);
    return out;
}

std::vector<std::string> splitAtBoundaries(std::string_view text, std::string_view separator) {
    std::vector<std::string> pieces;
    if (text.empty()) return pieces;
    std::size_t done = 0;
    for (;;) {
        const std::size_t hit = findAtBoundary(text, separator, done);
        if (hit == std::string_view::npos) break;
        pieces.emplace_back(text.substr(done, hit - done));
        done = hit + separator.size();
    }
    pieces.emplace_back(text.substr(done));
    return pieces;
}

}  // namespace lct
