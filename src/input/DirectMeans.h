#pragma once

#include <cstdint>

// Mean of series[first..last]: the entries added in index order to a double
// that starts at 0, divided by their count, rounded to single precision.
// This is the running average's definition of every mean; the faster
// routines must give its bits. A mean that is not a number is
// kCanonicalNaN: which of two NaNs a sum passes on depends on the order the
// compiler gives the operands of an addition, and the side-by-side sums
// order them otherwise than the one-at-a-time sum.
float meanOf(const float* series, std::int64_t first, std::int64_t last);

// means[t] = meanOf(series, first + t, first + t + window - 1) for t in
// [0, count). Reads series[first .. first + count + window - 2] only. means
// is either series + first (each mean is formed before it is stored, and
// none reads an entry before its own) or apart from what is read.
void directMeans(
    const float* series, std::int64_t first, std::int64_t count, std::int64_t window, float* means);
