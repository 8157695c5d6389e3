#pragma once

#include <cstdint>

// The time step that a column of times gives: the median of the steps
// between successive values of times[1..n].
struct TimeStep {
    // False with fewer than two values, a step that is not finite or a median
    // step that is not positive.
    bool found = false;
    double step = 0.0;
    // Some step differs from the median by more than STEP_TOLERANCE of it.
    bool uneven = false;
};

inline constexpr double STEP_TOLERANCE = 0.01;
inline constexpr const char* MESSAGE_UNEVEN_STEPS
    = "The time steps differ from their median by more than 1 %";

TimeStep medianTimeStep(const float* times, std::uint64_t n);
// For times that a float holds too coarsely (days since an epoch, say).
TimeStep medianTimeStep(const double* times, std::uint64_t n);
