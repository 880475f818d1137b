#pragma once
// The unique picker, the system's non-repeating random choice. Every draw goes
// through the run's generator (platform/random.h).

#include <cstdint>
#include <unordered_map>

#include "platform/random.h"

namespace lct {

/// Draws the integers of a range in random order without repetition, and
/// starts a new random order when all are drawn. The range given to `pick` is
/// only used when the pool is refilled. Memory and time per draw do not depend
/// on the size of the range (the pool is a virtual shuffled array: only the
/// slots that draws have disturbed are stored).
class UniquePicker {
  public:
    /// The next value of the current order; refills the pool with low..high
    /// (swapped when reversed) when it is empty.
    int pick(Random& random, int low, int high);
    /// Empties the pool: the next pick starts a new order.
    void reset();
    /// Values left before the pool refills.
    std::int64_t remaining() const { return remaining_; }

  private:
    std::int64_t valueAt(std::int64_t slot) const;

    std::int64_t low_ = 0;
    std::int64_t remaining_ = 0;
    std::unordered_map<std::int64_t, std::int64_t> moved_;
};

}  // namespace lct
