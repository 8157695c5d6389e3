#pragma once

#include <cstddef>

// Lowest and highest of `count` (at least one) floats, and whether any of
// them is not a number; low and high mean nothing then. Which of two equal
// values (0 and -0) is kept is not fixed.
struct ValueRange {
    float low = 0.0f;
    float high = 0.0f;
    bool notANumber = false;
};

ValueRange valueRange(const float* values, std::size_t count);
