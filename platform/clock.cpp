#include "platform/clock.h"

#include <chrono>

namespace lct {

std::int64_t tickCount() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace lct
