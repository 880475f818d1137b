#pragma once
// Monotonic time for elapsed-time reports and seeding.

#include <cstdint>

namespace lct {

/// Milliseconds of a monotonic clock; only differences are meaningful.
std::int64_t tickCount();

}  // namespace lct
