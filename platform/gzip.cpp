#include "platform/gzip.h"

#include <libdeflate.h>

#include <algorithm>
#include <memory>
#include <new>

#include "platform/bytes.h"
#include "platform/gzip_zlib.h"

namespace lct {
namespace {

// libdeflate's level for results: its fastest, whose files stay within about
// 2.5 % of zlib's default level on web pages (bench/gzip_bench) at three to
// four times its speed; level 4 would save another 1 % at half the speed, and
// compressing is most of what a batch of gzip files costs.
constexpr int kLevel = 1;

// Deflate's densest form expands about 1032 times: no stream says more.
constexpr std::size_t kMaxExpansion = 1032;
// The least room a member that did not fit is given next.
constexpr std::size_t kLeastRoom = 64 * 1024;

struct DecompressorFreer {
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

struct CompressorFreer {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

// The room to inflate into first. A gzip stream ends with the size of its
// last member (modulo 2^32): for a single member, the usual file, that is the
// whole output, which then needs no other room and no second try.
std::size_t firstRoom(std::string_view bytes, std::size_t maxOutput) {
    if (bytes.size() < 4) return 0;
    const std::size_t at = bytes.size() - 4;
    const std::size_t said = byteAt(bytes, at) | byteAt(bytes, at + 1) << 8 |
                             byteAt(bytes, at + 2) << 16 |
                             static_cast<std::size_t>(byteAt(bytes, at + 3)) << 24;
    const std::size_t most =
        bytes.size() > maxOutput / kMaxExpansion ? maxOutput : bytes.size() * kMaxExpansion;
    return std::min(said, most);
}

// Twice the room, at least kLeastRoom and at most the limit. The old buffer is
// freed first, so that the output never holds more than the limit.
void grow(std::string& out, std::size_t maxOutput) {
    const std::size_t size =
        out.size() > maxOutput / 2 ? maxOutput : std::max(out.size() * 2, kLeastRoom);
    std::string().swap(out);
    out.resize(std::min(size, maxOutput));
}

}  // namespace

bool hasGzipSignature(std::string_view bytes) {
    return bytes.size() >= 2 && byteAt(bytes, 0) == 0x1F && byteAt(bytes, 1) == 0x8B;
}

std::optional<std::string> gunzip(std::string_view bytes, std::size_t maxOutput, GunzipFailure* why,
                                  const std::function<void()>& eachBlock) {
    auto failed = [&](GunzipFailure failure) -> std::optional<std::string> {
        if (why) *why = failure;
        return std::nullopt;
    };
    if (!hasGzipSignature(bytes)) return failed(GunzipFailure::Damaged);
    const std::unique_ptr<libdeflate_decompressor, DecompressorFreer> inflater(
        libdeflate_alloc_decompressor());
    if (!inflater) return failed(GunzipFailure::Damaged);

    std::string out(firstRoom(bytes, maxOutput), '\0');
    std::size_t pos = 0;      // the member being inflated starts here
    std::size_t written = 0;  // output of the members before it
    bool measured = false;    // the room holds all the rest, as zlib measured it
    while (pos < bytes.size()) {
        const std::string_view member = bytes.substr(pos);
        std::size_t used = 0;
        std::size_t produced = 0;
        const libdeflate_result rc = libdeflate_gzip_decompress_ex(
            inflater.get(), member.data(), member.size(), out.data() + written,
            out.size() - written, &used, &produced);
        if (eachBlock) eachBlock();
        if (rc == LIBDEFLATE_INSUFFICIENT_SPACE && written == 0 && out.size() < maxOutput) {
            grow(out, maxOutput);  // the member again, with more room
            continue;
        }
        if (rc == LIBDEFLATE_INSUFFICIENT_SPACE && !measured) {
            // Growing would copy what the members before gave, and then hold
            // it twice: zlib measures the rest in constant memory instead, so
            // that a stream beyond the limit fails before any more is taken.
            std::size_t rest = 0;
            const GunzipFailure zlib = inflateGzipWithZlib(
                member, maxOutput - written, [&](std::string_view block) { rest += block.size(); });
            if (zlib != GunzipFailure::None) return failed(zlib);
            std::string room;
            room.reserve(written + rest);  // exactly that: no spare capacity
            room.append(out, 0, written);
            room.resize(written + rest);
            out.swap(room);
            measured = true;
            continue;
        }
        if (rc != LIBDEFLATE_SUCCESS) {
            // zlib tells which failure it is: libdeflate may find a stream cut
            // short before its output passes the limit, and reads on as if
            // zeros followed where zlib stops.
            const GunzipFailure zlib = inflateGzipWithZlib(member, maxOutput - written);
            return failed(zlib == GunzipFailure::None ? GunzipFailure::Damaged : zlib);
        }
        written += produced;
        pos += used;
        // Another member may follow; anything else would be lost when the file
        // is replaced by its decompressed form, so it is refused.
        if (pos < bytes.size() && !hasGzipSignature(bytes.substr(pos)))
            return failed(GunzipFailure::Damaged);
    }
    out.resize(written);
    if (why) *why = GunzipFailure::None;
    return out;
}

std::optional<std::string> gzipCompress(std::string_view bytes) {
    // Kept for the thread's later results: making one costs about what
    // compressing a small page does.
    thread_local const std::unique_ptr<libdeflate_compressor, CompressorFreer> deflater(
        libdeflate_alloc_compressor(kLevel));
    if (!deflater) return std::nullopt;
    // Room for the worst case at once, so that text that does not shrink is
    // never compressed twice; left uninitialised, so that only the pages
    // written are touched, and copied out at the size it took.
    const std::size_t bound = libdeflate_gzip_compress_bound(deflater.get(), bytes.size());
    const std::unique_ptr<char[]> room(new (std::nothrow) char[bound]);
    if (!room) return std::nullopt;
    const std::size_t size =
        libdeflate_gzip_compress(deflater.get(), bytes.data(), bytes.size(), room.get(), bound);
    if (size == 0) return std::nullopt;
    return std::string(room.get(), size);
}

}  // namespace lct
