#pragma once
// Random draws of the engine: bounded integers and number-range tests. Every
// draw goes through the run's generator (platform/random.h); the
// non-repeating choice is UniquePicker (engine/unique_picker.h).

#include <string_view>

#include "platform/random.h"

namespace lct {

/// A uniform integer between a and b inclusive; a negative bound counts as 0;
/// reversed bounds are swapped.
int randomInt(Random& random, int a, int b);

/// True when `value` lies in one of the terms of `ranges`: terms separated by
/// ";", each either "low,high" (inclusive) or a single number. Malformed terms
/// match nothing.
bool inRanges(int value, std::string_view ranges);

}  // namespace lct
