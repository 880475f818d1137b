#include "settings/gbk_scan.h"

#include <cstring>

#include "platform/charset.h"

namespace lct::settings_detail {

std::size_t findAtBoundary(std::string_view text, std::string_view needle, std::size_t from) {
    std::size_t i = from;
    while (i < text.size()) {
        // Jump to the next byte match, then walk the boundaries up to it: a hit
        // that a character straddles is passed over and the search goes on from
        // the boundary after that character. `i` only grows, so this is linear.
        const std::size_t hit = findBytes(text, needle, i);
        if (hit == std::string_view::npos) return hit;
        while (i < hit)
            i += gbkCharSize(text, i);
        if (i == hit) return hit;
    }
    return std::string_view::npos;
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

std::size_t findBytes(std::string_view text, std::string_view needle, std::size_t from) {
    if (needle.empty() || from >= text.size() || text.size() - from < needle.size())
        return std::string_view::npos;
    const void* hit = memmem(text.data() + from, text.size() - from, needle.data(), needle.size());
    if (!hit) return std::string_view::npos;
    return static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
}

}  // namespace lct::settings_detail
