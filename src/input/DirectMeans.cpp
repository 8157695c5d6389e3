#include "input/DirectMeans.h"

#include "core/CanonicalNaN.h"

#include <cstring>

float meanOf(const float* series, std::int64_t first, std::int64_t last)
{
    double sum = 0.0;
    for (std::int64_t k = first; k <= last; ++k)
        sum += series[k];
    return canonicalNaN(static_cast<float>(sum / static_cast<double>(last - first + 1)));
}

namespace {

// Sixteen sums side by side, each its own chain of additions in index
// order as meanOf forms it: the processor adds them at once instead of
// waiting on one chain. Written with the compiler's vector types, since
// whether it finds the vectors in a plain loop of lanes depends on what is
// around the loop; without AVX each type is two SSE registers. Everything
// below is inlined into the variants, which compile it for their own
// instruction set.
using Doubles = double __attribute__((vector_size(32)));
using Floats = float __attribute__((vector_size(16)));
using Masks = int __attribute__((vector_size(16)));
constexpr std::int64_t LANES = 16;

[[gnu::always_inline]] inline Floats loadFloats(const float* from)
{
    Floats values;
    std::memcpy(&values, from, sizeof values);
    return values;
}

[[gnu::always_inline]] inline void storeMeans(const Doubles& sums, double divisor, float* into)
{
    Floats means = __builtin_convertvector(sums / divisor, Floats);
    const Masks notNumber = means != means;
    means
        = notNumber ? Floats { kCanonicalNaN, kCanonicalNaN, kCanonicalNaN, kCanonicalNaN } : means;
    std::memcpy(into, &means, sizeof means);
}

[[gnu::always_inline]] inline void lanesOfMeans(
    const float* entries, std::int64_t window, float* means)
{
    Doubles sums[4] = {};
    for (std::int64_t k = 0; k < window; ++k) {
        for (int part = 0; part < 4; ++part)
            sums[part] += __builtin_convertvector(loadFloats(entries + k + 4 * part), Doubles);
    }
    const auto divisor = static_cast<double>(window);
    for (int part = 0; part < 4; ++part)
        storeMeans(sums[part], divisor, means + 4 * part);
}

[[gnu::always_inline]] inline void meansOfLanes(
    const float* series, std::int64_t first, std::int64_t count, std::int64_t window, float* means)
{
    std::int64_t t = 0;
    for (float formed[LANES]; t + LANES <= count; t += LANES) {
        lanesOfMeans(series + first + t, window, formed);
        std::memcpy(means + t, formed, sizeof formed);
    }
    for (; t < count; ++t)
        means[t] = meanOf(series, first + t, first + t + window - 1);
}

void meansBaseline(
    const float* series, std::int64_t first, std::int64_t count, std::int64_t window, float* means)
{
    meansOfLanes(series, first, count, window, means);
}

__attribute__((target("avx2"))) void meansAvx2(
    const float* series, std::int64_t first, std::int64_t count, std::int64_t window, float* means)
{
    meansOfLanes(series, first, count, window, means);
}

} // namespace

void directMeans(
    const float* series, std::int64_t first, std::int64_t count, std::int64_t window, float* means)
{
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2)
        meansAvx2(series, first, count, window, means);
    else
        meansBaseline(series, first, count, window, means);
}
