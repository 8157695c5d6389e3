#pragma once

#include <cstdint>
#include <string>

// Values of a series that are no finite numbers (nan, inf, empty fields),
// over a 1-based series[1..n].
struct NonFiniteValues {
    std::uint64_t count = 0;
    std::uint64_t first = 0; // the first such sample, 0 when there is none
};

inline constexpr const char* MESSAGE_NOT_FINITE
    = "The series holds %1 values that are not finite numbers (the first at sample %2)";
inline constexpr const char* MESSAGE_FILLED = "%1 missing values filled by linear interpolation";

NonFiniteValues findNonFinite(const float* series, std::uint64_t n);

// MESSAGE_NOT_FINITE filled in.
std::string nonFiniteMessage(const NonFiniteValues& values);
// MESSAGE_FILLED filled in.
std::string filledMessage(std::uint64_t filled);

// Fills each run of values that are not finite linearly between the finite
// values on either side of it (computed in double, rounded once to float);
// a run at either end takes the nearest finite value. Returns how many
// values were filled: 0 when all or none are finite, the series then
// unchanged.
std::uint64_t fillGapsLinearly(float* series, std::uint64_t n);
