#include "files/elapsed.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gbk.h"

namespace lct {
namespace {

using test::U;

struct ElapsedCase {
    std::int64_t ms;
    std::string text;  // UTF-8
};

TEST(ElapsedText, PicksTheLargestUnitReached) {
    constexpr std::int64_t kSecond = 1000;
    constexpr std::int64_t kMinute = 60 * kSecond;
    constexpr std::int64_t kHour = 60 * kMinute;
    constexpr std::int64_t kDay = 24 * kHour;
    constexpr std::int64_t kMonth = 30 * kDay;
    const std::vector<ElapsedCase> cases = {
        {523, "523 毫秒"},
        {1500, "1.5 秒"},
        {90000, "1.5 分"},
        {5400000, "1.5 时"},
        {0, "0 毫秒"},
        {999, "999 毫秒"},
        {1000, "1 秒"},
        {1234, "1.23 秒"},
        {1235, "1.24 秒"},  // rounded half away from zero
        {59990, "59.99 秒"},
        {59999, "60 秒"},  // below the limit, then rounded
        {kMinute, "1 分"},
        {kHour, "1 时"},
        {kDay, "1 天"},
        {36 * kHour, "1.5 天"},
        {kMonth, "1 月"},
        {45 * kDay, "1.5 月"},
        {12 * kMonth, "1 年"},
        {18 * kMonth, "1.5 年"},
        {10 * 12 * kMonth + 1, "10 年"},
        {-5, "0 毫秒"},
    };
    for (const ElapsedCase& c : cases)
        EXPECT_EQ(U(elapsedText(c.ms)), c.text) << c.ms;
}

TEST(ElapsedText, LargestDurationStaysANumber) {
    const std::string text = U(elapsedText(INT64_MAX));
    EXPECT_EQ(text.substr(text.size() - 4), " 年");
    EXPECT_EQ(text.substr(0, 4), "2965");  // about 2.9 hundred million years
}

}  // namespace
}  // namespace lct
