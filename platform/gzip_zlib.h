#pragma once
// gzip through zlib's streaming interface, one block of output at a time.
// gunzip (platform/gzip.h) inflates whole members in memory with libdeflate,
// which is faster; zlib's way needs no room for the output, so gunzip asks it
// which failure a stream has once the output would reach the limit, and the
// tests and benchmarks compare the two.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/gzip.h"

namespace lct {

/// Inflates every member of `bytes` with zlib, handing each output block of
/// at most 64 KB to `eachBlock` (when set), and stops with TooLarge before the
/// total would pass `maxOutput`. Fails exactly as gunzip does, and finds the
/// same output; without `eachBlock` it only measures, in constant memory.
GunzipFailure inflateGzipWithZlib(std::string_view bytes, std::size_t maxOutput,
                                  const std::function<void(std::string_view)>& eachBlock = {});

/// gunzip's result through inflateGzipWithZlib, its blocks appended to a
/// growing string.
[[nodiscard]] std::optional<std::string> gunzipWithZlib(std::string_view bytes,
                                                        std::size_t maxOutput = kMaxGunzipBytes,
                                                        GunzipFailure* why = nullptr);

/// `bytes` as one gzip member made by zlib at `level` (-1: zlib's default,
/// 6), with no file name or time in the header. nullopt only when zlib cannot
/// get its memory.
[[nodiscard]] std::optional<std::string> gzipCompressWithZlib(std::string_view bytes,
                                                              int level = -1);

}  // namespace lct
