#pragma once
// The elapsed-time text of a batch summary.

#include <cstdint>
#include <string>

namespace lct {

/// GBK text of a duration: one number, rounded to 2 decimals and written
/// without trailing zeros, and the largest unit it reaches: 毫秒 below 1000 ms,
/// then 秒 below 60, 分 below 60, 时 below 24, 天 below 30, 月 (30 days) below
/// 12, else 年 (12 months); a value within 1e-7 below a limit reaches it. The
/// unit follows a space: "1.5 秒". A negative duration counts as 0.
std::string elapsedText(std::int64_t milliseconds);

}  // namespace lct
