#include "platform/gzip_zlib.h"

#define ZLIB_CONST
#include <zlib.h>

#include <algorithm>
#include <array>
#include <memory>

namespace lct {
namespace {

constexpr std::size_t kChunk = 64 * 1024;

struct InflateEnder {
    void operator()(z_stream* s) const { inflateEnd(s); }
};

struct DeflateEnder {
    void operator()(z_stream* s) const { deflateEnd(s); }
};

}  // namespace

GunzipFailure inflateGzipWithZlib(std::string_view bytes, std::size_t maxOutput,
                                  const std::function<void(std::string_view)>& eachBlock) {
    if (!hasGzipSignature(bytes)) return GunzipFailure::Damaged;
    z_stream stream{};
    // 15 + 32: the largest window, with the gzip header recognised automatically.
    if (inflateInit2(&stream, 15 + 32) != Z_OK) return GunzipFailure::Damaged;
    const std::unique_ptr<z_stream, InflateEnder> guard(&stream);

    std::array<unsigned char, kChunk> buffer{};
    std::size_t fed = 0;    // bytes handed to zlib so far
    std::size_t total = 0;  // bytes produced so far
    for (;;) {
        if (stream.avail_in == 0 && fed < bytes.size()) {
            const std::size_t n = std::min(kChunk, bytes.size() - fed);
            stream.next_in = reinterpret_cast<const Bytef*>(bytes.data() + fed);
            stream.avail_in = static_cast<uInt>(n);
            fed += n;
        }
        stream.next_out = buffer.data();
        stream.avail_out = static_cast<uInt>(buffer.size());
        const int rc = inflate(&stream, Z_NO_FLUSH);
        const std::size_t produced = buffer.size() - stream.avail_out;
        if (produced > maxOutput - total) return GunzipFailure::TooLarge;
        total += produced;
        if (eachBlock) eachBlock({reinterpret_cast<const char*>(buffer.data()), produced});

        if (rc == Z_STREAM_END) {
            const std::size_t consumed = fed - stream.avail_in;
            if (consumed == bytes.size()) return GunzipFailure::None;
            // Another member may follow; anything else would be lost when the
            // file is replaced by its decompressed form, so it is refused.
            if (!hasGzipSignature(bytes.substr(consumed))) return GunzipFailure::Damaged;
            if (inflateReset(&stream) != Z_OK) return GunzipFailure::Damaged;
            continue;
        }
        // A stream cut short never reaches its end: zlib just asks for more
        // input (Z_BUF_ERROR once nothing is left to feed).
        if (rc != Z_OK) return GunzipFailure::Damaged;
    }
}

std::optional<std::string> gunzipWithZlib(std::string_view bytes, std::size_t maxOutput,
                                          GunzipFailure* why) {
    std::string out;
    const GunzipFailure failure =
        inflateGzipWithZlib(bytes, maxOutput, [&](std::string_view block) { out += block; });
    if (why) *why = failure;
    if (failure != GunzipFailure::None) return std::nullopt;
    return out;
}

std::optional<std::string> gzipCompressWithZlib(std::string_view bytes, int level) {
    z_stream stream{};
    // 15 + 16: the largest window, with a gzip header and trailer.
    if (deflateInit2(&stream, level, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return std::nullopt;
    const std::unique_ptr<z_stream, DeflateEnder> guard(&stream);

    std::string out;
    // Text shrinks, so the bound for a piece at a time is room enough for most
    // files; the loop grows the string when it is not.
    out.resize(deflateBound(&stream, static_cast<uLong>(std::min(bytes.size(), kChunk))) +
               bytes.size() / 2);
    std::size_t fed = 0;
    std::size_t written = 0;
    for (;;) {
        if (stream.avail_in == 0 && fed < bytes.size()) {
            // avail_in is 32 bits wide: a huge text goes in in pieces.
            const std::size_t n = std::min<std::size_t>(bytes.size() - fed, 1u << 30);
            stream.next_in = reinterpret_cast<const Bytef*>(bytes.data() + fed);
            stream.avail_in = static_cast<uInt>(n);
            fed += n;
        }
        if (written == out.size()) out.resize(out.size() + out.size() / 2 + kChunk);
        const std::size_t room = std::min<std::size_t>(out.size() - written, 1u << 30);
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + written);
        stream.avail_out = static_cast<uInt>(room);
        const int flush = fed == bytes.size() ? Z_FINISH : Z_NO_FLUSH;
        const int rc = deflate(&stream, flush);
        written += room - stream.avail_out;
        if (rc == Z_STREAM_END) break;
        if (rc != Z_OK && rc != Z_BUF_ERROR) return std::nullopt;
    }
    out.resize(written);
    return out;
}

}  // namespace lct
