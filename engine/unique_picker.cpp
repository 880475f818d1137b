#include "engine/unique_picker.h"

#include <utility>

namespace lct {

int UniquePicker::pick(Random& random, int low, int high) {
    if (remaining_ == 0) {
        if (low > high) std::swap(low, high);
        low_ = low;
        remaining_ = static_cast<std::int64_t>(high) - low + 1;
        moved_.clear();
    }
    // Fisher-Yates over the virtual array low_ .. low_+remaining_-1: the drawn
    // slot takes the value of the last slot, which then leaves the pool.
    const std::int64_t slot = random.between(0, remaining_ - 1);
    const std::int64_t last = remaining_ - 1;
    const std::int64_t value = valueAt(slot);
    if (slot != last) moved_[slot] = valueAt(last);
    moved_.erase(last);
    --remaining_;
    return static_cast<int>(value);
}

void UniquePicker::reset() {
    remaining_ = 0;
    moved_.clear();
}

std::int64_t UniquePicker::valueAt(std::int64_t slot) const {
    const auto it = moved_.find(slot);
    return it != moved_.end() ? it->second : low_ + slot;
}

}  // namespace lct
