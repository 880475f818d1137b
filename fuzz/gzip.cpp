// The gzip reader: single and multi-member streams, truncated ones, trailing
// garbage and streams that expand far beyond their size.
//
// Checks: a failure always says why and a success says nothing; a success
// never passes the output limit, and the same stream with a limit one byte
// short of its output fails as too large (or as damaged, when zlib refuses
// it); the output compressed again (as two members) decompresses to itself.

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "platform/gzip.h"
#include "platform/gzip_zlib.h"

namespace {

constexpr std::size_t kLimit = std::size_t{1} << 22;

// `data` as one gzip member at the fastest level.
std::string gzipMember(std::string_view data) {
    z_stream s{};
    LCT_FUZZ_CHECK(deflateInit2(&s, 1, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) == Z_OK);
    std::string out(deflateBound(&s, static_cast<uLong>(data.size())) + 32, '\0');
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    s.avail_in = static_cast<uInt>(data.size());
    s.next_out = reinterpret_cast<Bytef*>(out.data());
    s.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&s, Z_FINISH);
    LCT_FUZZ_CHECK(status == Z_STREAM_END);
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

void checkRecompressed(const std::string& plain) {
    const std::size_t half = plain.size() / 2;
    const std::string stream = gzipMember(std::string_view(plain).substr(0, half)) +
                               gzipMember(std::string_view(plain).substr(half));
    lct::GunzipFailure why = lct::GunzipFailure::Damaged;
    const std::optional<std::string> again = lct::gunzip(stream, kLimit, &why);
    LCT_FUZZ_CHECK(again.has_value() && *again == plain);
    LCT_FUZZ_CHECK(why == lct::GunzipFailure::None);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = lct::fuzz::bytesOf(data, size);
    (void)lct::hasGzipSignature(bytes);

    lct::GunzipFailure why = lct::GunzipFailure::None;
    const std::optional<std::string> plain = lct::gunzip(bytes, kLimit, &why, [] {});
    if (!plain) {
        LCT_FUZZ_CHECK(why != lct::GunzipFailure::None);
        return 0;
    }
    LCT_FUZZ_CHECK(why == lct::GunzipFailure::None);
    LCT_FUZZ_CHECK(plain->size() <= kLimit);
    LCT_FUZZ_CHECK(lct::hasGzipSignature(bytes));

    const std::optional<std::string> exact = lct::gunzip(bytes, plain->size());
    LCT_FUZZ_CHECK(exact.has_value() && *exact == *plain);
    if (!plain->empty()) {
        lct::GunzipFailure tight = lct::GunzipFailure::None;
        LCT_FUZZ_CHECK(!lct::gunzip(bytes, plain->size() - 1, &tight).has_value());
        // zlib tells why a stream that does not fit fails, and it refuses a
        // few that libdeflate reads: one of those may fail as damaged.
        const bool zlibReads = lct::inflateGzipWithZlib(bytes, kLimit) == lct::GunzipFailure::None;
        LCT_FUZZ_CHECK(tight == lct::GunzipFailure::TooLarge ||
                       (!zlibReads && tight == lct::GunzipFailure::Damaged));
    }
    checkRecompressed(*plain);
    return 0;
}
