#include "platform/random.h"

#include <atomic>
#include <chrono>

namespace lct {
namespace {

std::uint64_t clockSeed() {
    static std::atomic<std::uint64_t> counter{0};
    const auto now = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    // splitmix64 of the clock and the counter, so that close seeds still differ widely.
    std::uint64_t z = now + 0x9E3779B97F4A7C15ull * (counter.fetch_add(1) + 1);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

}  // namespace

Random::Random() : engine_(clockSeed()) {}

Random::Random(std::uint64_t seed) : engine_(seed), fixedSeed_(true) {}

Random::Random(std::optional<std::uint64_t> seed)
    : engine_(seed ? *seed : clockSeed()), fixedSeed_(seed.has_value()) {}

void Random::reseed() {
    if (!fixedSeed_) engine_.seed(clockSeed());
}

std::int64_t Random::between(std::int64_t low, std::int64_t high) {
    return std::uniform_int_distribution<std::int64_t>(low, high)(engine_);
}

}  // namespace lct
