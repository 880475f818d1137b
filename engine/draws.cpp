#include "engine/draws.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <utility>

namespace lct {
namespace {

std::optional<long long> parseNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

}  // namespace

int randomInt(Random& random, int a, int b) {
    a = std::max(a, 0);
    b = std::max(b, 0);
    if (a > b) std::swap(a, b);
    return static_cast<int>(random.between(a, b));
}

bool inRanges(int value, std::string_view ranges) {
    while (!ranges.empty()) {
        const std::size_t end = ranges.find(';');
        const std::string_view term = ranges.substr(0, end);
        ranges = end == std::string_view::npos ? std::string_view() : ranges.substr(end + 1);
        const std::size_t comma = term.find(',');
        if (comma == std::string_view::npos) {
            if (const auto single = parseNumber(term); single && *single == value) return true;
            continue;
        }
        const auto low = parseNumber(term.substr(0, comma));
        const auto high = parseNumber(term.substr(comma + 1));
        if (low && high && *low <= value && value <= *high) return true;
    }
    return false;
}

}  // namespace lct
