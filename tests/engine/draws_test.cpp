#include "engine/draws.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace lct {
namespace {

TEST(RandomInt, ClampsNegativeBoundsAndSwapsReversedOnes) {
    Random random(3);
    std::set<int> seen;
    for (int i = 0; i < 2000; ++i) {
        const int v = randomInt(random, 100, 20);
        ASSERT_GE(v, 20);
        ASSERT_LE(v, 100);
        const int w = randomInt(random, -5, 3);
        ASSERT_GE(w, 0);
        ASSERT_LE(w, 3);
        seen.insert(w);
    }
    EXPECT_EQ(seen, (std::set<int>{0, 1, 2, 3}));
    EXPECT_EQ(randomInt(random, -7, -2), 0);
}

struct RangeCase {
    int value;
    const char* ranges;
    bool expected;
};

TEST(InRanges, MatchesRangesAndSingleNumbers) {
    const std::vector<RangeCase> cases = {
        {97, "97,122;32", true},   {122, "97,122;32", true}, {109, "97,122;32", true},
        {32, "97,122;32", true},   {96, "97,122;32", false}, {65, "97,122;32", false},
        {-20, "97,122;32", false}, {5, "", false},           {5, "x;5", true},
        {5, "1,;5,9", true},       {0, "1,", false},         {3, " 1 , 4 ", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(inRanges(c.value, c.ranges), c.expected) << c.value;
}

}  // namespace
}  // namespace lct
