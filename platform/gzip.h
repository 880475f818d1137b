#pragma once
// Decompressing and compressing gzip files (zlib).

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace lct {

/// Largest decompressed size accepted: an article file never comes near it,
/// and a stream that expands beyond it is refused instead of filling memory.
constexpr std::size_t kMaxGunzipBytes = std::size_t{1} << 30;

/// True when `bytes` start with the gzip signature 1F 8B.
bool hasGzipSignature(std::string_view bytes);

/// Why a stream could not be decompressed.
enum class GunzipFailure {
    None,
    Damaged,   ///< cut short, corrupt, or followed by something other than gzip members
    TooLarge,  ///< it would decompress to more than the limit
};

/// The complete decompressed content of a gzip stream of one or more members.
/// nullopt when the stream is damaged or cut short, when anything but further
/// gzip members follows a member, or when the output would exceed
/// `maxOutput` bytes: a caller never sees a partial decompression, and `why`
/// (when given) tells which. Memory stays bounded by the output's own size:
/// the stream is inflated once to measure it (a stream beyond the limit costs
/// no memory at all), then into a string of exactly that size. `eachBlock`
/// (when given) is called once per output block of either pass, so that a
/// long inflation can let a window process its pending messages.
[[nodiscard]] std::optional<std::string> gunzip(std::string_view bytes,
                                                std::size_t maxOutput = kMaxGunzipBytes,
                                                GunzipFailure* why = nullptr,
                                                const std::function<void()>& eachBlock = {});

/// `bytes` as one gzip member (zlib's default level, no file name or time in
/// the header), which gunzip gives back whole. nullopt only when zlib cannot
/// get its memory.
[[nodiscard]] std::optional<std::string> gzipCompress(std::string_view bytes);

}  // namespace lct
