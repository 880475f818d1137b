#pragma once
// Splitting one batch across machines: `--shard K/N` keeps the K-th of N
// disjoint parts of the file list, chosen by a hash of each file's path
// relative to the folder it was listed from, so that a file stays in its part
// whatever else is added, and whatever folder the share is mounted at.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lct::cli {

struct Shard {
    std::uint32_t index = 1;  ///< K, 1-based
    std::uint32_t count = 1;  ///< N
};

/// "K/N" with 1 ≤ K ≤ N; nullopt for anything else.
std::optional<Shard> parseShard(std::string_view text);

/// The part (1..count) that the file with key `key` belongs to. The key is
/// the path relative to the folder argument it was listed from, or the base
/// name of a file given on its own.
std::uint32_t partOf(std::string_view key, std::uint32_t count);

/// The seed of part `shard` of a run seeded with `seed`: every part draws
/// reproducibly, and differently from the others.
std::uint64_t seedOfPart(std::uint64_t seed, const Shard& shard);

}  // namespace lct::cli
