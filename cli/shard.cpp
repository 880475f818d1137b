#include "cli/shard.h"

#include <charconv>

namespace lct::cli {
namespace {

std::optional<std::uint32_t> number(std::string_view text) {
    std::uint32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// splitmix64's finaliser: spreads every input bit over the whole result.
std::uint64_t mix(std::uint64_t x) {
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9u;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBu;
    return x ^ (x >> 31);
}

}  // namespace

std::optional<Shard> parseShard(std::string_view text) {
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const auto index = number(text.substr(0, slash));
    const auto count = number(text.substr(slash + 1));
    if (!index || !count || *index < 1 || *index > *count) return std::nullopt;
    return Shard{*index, *count};
}

std::uint32_t partOf(std::string_view key, std::uint32_t count) {
    if (count <= 1) return 1;
    std::uint64_t hash = 14695981039346656037u;  // FNV-1a over the bytes of the key
    for (const char c : key)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
    return static_cast<std::uint32_t>(mix(hash) % count) + 1;
}

std::uint64_t seedOfPart(std::uint64_t seed, const Shard& shard) {
    if (shard.count <= 1) return seed;
    return mix(seed ^ mix((std::uint64_t{shard.count} << 32) | shard.index));
}

}  // namespace lct::cli
