#include "input/DirectMeans.h"

#include "spectrum/CanonicalNaN.h"

float meanOf(const float* series, std::int64_t first, std::int64_t last)
{
    double sum = 0.0;
    for (std::int64_t k = first; k <= last; ++k)
        sum += series[k];
    return canonicalNaN(static_cast<float>(sum / static_cast<double>(last - first + 1)));
}

namespace {

// Means of the windows starting at first .. first+LANES-1, each its own sum
// in index order, as meanOf forms it: the sums are independent, so the
// processor adds them side by side instead of waiting on one chain.
constexpr int LANES = 8;

void lanesOfMeans(const float* series, std::int64_t first, std::int64_t window, float* means)
{
    double sums[LANES] = {};
    const float* entries = series + first;
    for (std::int64_t k = 0; k < window; ++k) {
        for (int lane = 0; lane < LANES; ++lane)
            sums[lane] += entries[k + lane];
    }
    for (int lane = 0; lane < LANES; ++lane)
        means[lane] = canonicalNaN(static_cast<float>(sums[lane] / static_cast<double>(window)));
}

} // namespace

void directMeans(
    const float* series, std::int64_t first, std::int64_t count, std::int64_t window, float* means)
{
    std::int64_t t = 0;
    for (; t + LANES <= count; t += LANES)
        lanesOfMeans(series, first + t, window, means + t);
    for (; t < count; ++t)
        means[t] = meanOf(series, first + t, first + t + window - 1);
}
