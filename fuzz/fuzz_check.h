#pragma once
// What every fuzz target uses to state a property: a failed check prints the
// condition and aborts, so that libFuzzer keeps the input as a crash.

#include <cstdio>
#include <cstdlib>
#include <string_view>

#define LCT_FUZZ_CHECK(condition)                                                              \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)

namespace lct::fuzz {

/// The fuzzer's input as bytes.
inline std::string_view bytesOf(const unsigned char* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace lct::fuzz
