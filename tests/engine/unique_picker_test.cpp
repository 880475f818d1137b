#include "engine/unique_picker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

namespace lct {
namespace {

TEST(UniquePicker, DrawsEveryValueOnceBeforeRepeating) {
    Random random(11);
    UniquePicker picker;
    std::vector<int> first, second;
    for (int i = 0; i < 3; ++i)
        first.push_back(picker.pick(random, 1, 3));
    for (int i = 0; i < 3; ++i)
        second.push_back(picker.pick(random, 1, 3));
    std::sort(first.begin(), first.end());
    std::sort(second.begin(), second.end());
    EXPECT_EQ(first, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(second, (std::vector<int>{1, 2, 3}));
}

TEST(UniquePicker, TheRangeCountsOnlyWhenThePoolRefills) {
    Random random(5);
    UniquePicker picker;
    picker.pick(random, 1, 2);
    const int second = picker.pick(random, 10, 20);  // still from 1..2
    EXPECT_TRUE(second == 1 || second == 2);
    EXPECT_EQ(picker.remaining(), 0);
    const int third = picker.pick(random, 10, 20);
    EXPECT_GE(third, 10);
    EXPECT_LE(third, 20);
}

TEST(UniquePicker, ResetStartsANewOrder) {
    Random random(9);
    UniquePicker picker;
    picker.pick(random, 1, 5);
    picker.reset();
    EXPECT_EQ(picker.remaining(), 0);
    std::set<int> values;
    for (int i = 0; i < 5; ++i)
        values.insert(picker.pick(random, 1, 5));
    EXPECT_EQ(values.size(), 5u);
}

TEST(UniquePicker, ReversedAndSingleRanges) {
    Random random(2);
    UniquePicker picker;
    std::set<int> values;
    for (int i = 0; i < 3; ++i)
        values.insert(picker.pick(random, 3, 1));
    EXPECT_EQ(values, (std::set<int>{1, 2, 3}));
    UniquePicker single;
    EXPECT_EQ(single.pick(random, 4, 4), 4);
    EXPECT_EQ(single.pick(random, 4, 4), 4);
}

TEST(UniquePicker, HugeRangesCostOnlyWhatIsDrawn) {
    Random random(1);
    UniquePicker picker;
    std::set<int> values;
    for (int i = 0; i < 1000; ++i)
        values.insert(picker.pick(random, 1, 2'000'000'000));
    EXPECT_EQ(values.size(), 1000u);
    EXPECT_GE(*values.begin(), 1);
    EXPECT_EQ(picker.remaining(), 2'000'000'000LL - 1000);
}

TEST(UniquePicker, OrdersAreUniform) {
    // Each of the 6 orders of three values should come up about equally often.
    Random random(12345);
    UniquePicker picker;
    std::map<std::vector<int>, int> orders;
    constexpr int kRounds = 6000;
    for (int r = 0; r < kRounds; ++r) {
        std::vector<int> order;
        for (int i = 0; i < 3; ++i)
            order.push_back(picker.pick(random, 1, 3));
        ++orders[order];
    }
    ASSERT_EQ(orders.size(), 6u);
    for (const auto& [order, n] : orders) {
        EXPECT_GT(n, 800);
        EXPECT_LT(n, 1200);
    }
}

}  // namespace
}  // namespace lct
