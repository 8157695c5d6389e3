#pragma once

#include <cstdint>

// The longest window and the most means of one call of slidingMeans: with
// them no sum of a block's samples in its fixed-point units can reach 2^63.
inline constexpr std::int64_t kMostSlidingWindow = 16384;
inline constexpr std::int64_t kMostSlidingMeans = 16384;

// The means of directMeans (same arguments, same bits), each formed from the
// one before by adding the sample that enters the window and taking away the
// one that leaves it, so that the time does not grow with the window. That
// is exact only when every partial sum of every window is exact in double
// precision, and the routine first proves it from the samples; when it
// cannot (a NaN or an infinity among them, or magnitudes too far apart for
// their sums to keep every bit) it returns false and writes nothing.
bool slidingMeans(
    const float* series, std::int64_t first, std::int64_t count, std::int64_t window, float* means);
