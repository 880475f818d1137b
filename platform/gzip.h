#pragma once
// Decompressing and compressing gzip files in memory (libdeflate).

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
/// (when given) tells which. Each member is inflated once, into room that
/// starts at the size the stream's trailer gives (the whole output for a
/// single member). While the first member does not fit, the room doubles up to
/// `maxOutput` and the member is inflated again; when a later one does not,
/// zlib measures the rest without keeping it and the room takes exactly that.
/// A stream beyond the limit thus fails having held at most `maxOutput` bytes
/// of output. `eachBlock` (when given) is called after each try at a member,
/// so that a window can process its pending messages between them. A member whose header checksum
/// or some of whose Huffman codes are damaged may still be read, when its content passes the
/// trailer's CRC-32 and length.
[[nodiscard]] std::optional<std::string> gunzip(std::string_view bytes,
                                                std::size_t maxOutput = kMaxGunzipBytes,
                                                GunzipFailure* why = nullptr,
                                                const std::function<void()>& eachBlock = {});

/// `bytes` as one gzip member (no file name or time in the header), which
/// gunzip gives back whole. nullopt only when there is no memory for it.
[[nodiscard]] std::optional<std::string> gzipCompress(std::string_view bytes);

}  // namespace lct
