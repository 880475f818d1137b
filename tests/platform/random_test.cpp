#include "platform/random.h"

#include <gtest/gtest.h>

#include <vector>

namespace lct {
namespace {

std::vector<std::int64_t> draws(Random& r, int n) {
    std::vector<std::int64_t> out;
    for (int i = 0; i < n; ++i)
        out.push_back(r.between(0, 1'000'000));
    return out;
}

TEST(Random, SameSeedSameDraws) {
    Random a(42), b(42);
    EXPECT_EQ(draws(a, 50), draws(b, 50));
}

TEST(Random, ReseedKeepsAFixedSeedReproducible) {
    Random a(7), b(7);
    a.reseed();
    EXPECT_EQ(draws(a, 20), draws(b, 20));
}

TEST(Random, ClockSeededGeneratorsDiffer) {
    Random a, b;
    EXPECT_NE(draws(a, 20), draws(b, 20));
    const auto before = draws(a, 20);
    a.reseed();
    EXPECT_NE(draws(a, 20), before);
}

TEST(Random, BetweenStaysInBounds) {
    Random r(1);
    for (int i = 0; i < 1000; ++i) {
        const auto v = r.between(-3, 3);
        ASSERT_GE(v, -3);
        ASSERT_LE(v, 3);
    }
    EXPECT_EQ(r.between(5, 5), 5);
}

}  // namespace
}  // namespace lct
