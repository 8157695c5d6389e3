#include "spectrum/SegmentLoad.h"

#include "spectrum/BitReversal.h"
#include "spectrum/DataWindow.h"
#include "spectrum/FftPasses.h"
#include "spectrum/FirstPass.h"

#include <cstdint>

float segmentMean(const float* values, int n)
{
    return static_cast<float>(addSamples(0.0, values, 1, std::int64_t { n } + 1) / n);
}

double addSamples(double sum, const float* values, std::int64_t first, std::int64_t end)
{
    for (std::int64_t i = first; i < end; ++i)
        sum += values[i];
    return sum;
}

void segmentMeans(const float* values, std::int64_t shift, int n, int first, int end, float* means)
{
    int k = first;
    for (; k + 4 <= end; k += 4) {
        const float* a = values + k * shift;
        const float* b = a + shift;
        const float* c = b + shift;
        const float* d = c + shift;
        double sumA = 0.0, sumB = 0.0, sumC = 0.0, sumD = 0.0;
        for (int i = 1; i <= n; ++i) {
            sumA += a[i];
            sumB += b[i];
            sumC += c[i];
            sumD += d[i];
        }
        means[k] = static_cast<float>(sumA / n);
        means[k + 1] = static_cast<float>(sumB / n);
        means[k + 2] = static_cast<float>(sumC / n);
        means[k + 3] = static_cast<float>(sumD / n);
    }
    for (; k < end; ++k)
        means[k] = segmentMean(values + k * shift, n);
}

int segmentLog2(const SegmentLoad& load)
{
    int log2n = 0;
    while ((1 << log2n) < load.length)
        ++log2n;
    return log2n;
}

namespace {

enum Weighting { NOT_TAPERED, TABLE_WEIGHTS, COMPUTED_WEIGHTS, COMPUTED_HANNING };

// Sample j after mean removal and taper, as removeMean and applyDataWindow
// leave it.
template <bool subtractMean, Weighting weighting>
inline float taperedSample(const float* samples, std::uint32_t j, const SegmentLoad& load)
{
    float value = samples[j];
    if constexpr (subtractMean)
        value -= load.mean;
    if constexpr (weighting == TABLE_WEIGHTS)
        value = static_cast<float>(load.weights[j] * value);
    else if constexpr (weighting == COMPUTED_WEIGHTS)
        value = static_cast<float>(
            dataWindowWeight(load.windowType, static_cast<int>(j), load.length) * value);
    else if constexpr (weighting == COMPUTED_HANNING)
        value = static_cast<float>(hanningWeight(static_cast<int>(j), load.length) * value);
    return value;
}

template <bool subtractMean, Weighting weighting>
void loadTiles(float* c, const float* samples, const SegmentLoad& load, int log2n,
    std::uint32_t firstTile, std::uint32_t endTile)
{
    if (log2n == 1) {
        if (firstTile == 0 && endTile > 0)
            realFirstButterfly(c, taperedSample<subtractMean, weighting>(samples, 0, load),
                taperedSample<subtractMean, weighting>(samples, 1, load));
        return;
    }
    forEachBitReversalPairOfSamples(
        log2n, firstTile, endTile,
        [&](std::size_t j) {
            return taperedSample<subtractMean, weighting>(
                samples, static_cast<std::uint32_t>(j), load);
        },
        [c](std::size_t r, float a, float b) { realFirstButterfly(c + 2 * r, a, b); },
        [&](std::size_t k) {
            // A row is 2^kTileLog2 samples, 128 bytes, and as many weights.
            __builtin_prefetch(samples + k);
            __builtin_prefetch(samples + k + 16);
            if constexpr (weighting == TABLE_WEIGHTS)
                for (int line = 0; line < 4; ++line)
                    __builtin_prefetch(load.weights + k + 8 * line);
        });
}

// The tapered samples in sample order, each with a zero imaginary value.
template <bool subtractMean, Weighting weighting>
void loadInOrder(float* c, const float* samples, const SegmentLoad& load)
{
    const auto length = static_cast<std::uint32_t>(load.length);
    for (std::uint32_t j = 0; j < length; ++j) {
        c[2 * j] = taperedSample<subtractMean, weighting>(samples, j, load);
        c[2 * j + 1] = 0.0f;
    }
}

// run.template operator()<subtractMean, weighting>() for the load's own.
template <typename Run> void withLoadKind(const SegmentLoad& load, Run&& run)
{
    const auto weighted = [&]<bool subtractMean>() {
        if (load.weights)
            run.template operator()<subtractMean, TABLE_WEIGHTS>();
        else if (load.windowType == HANNING_WINDOW)
            run.template operator()<subtractMean, COMPUTED_HANNING>();
        else if (isTaperingWindow(load.windowType))
            run.template operator()<subtractMean, COMPUTED_WEIGHTS>();
        else
            run.template operator()<subtractMean, NOT_TAPERED>();
    };
    if (load.subtractMean)
        weighted.template operator()<true>();
    else
        weighted.template operator()<false>();
}

} // namespace

void loadSegmentTiles(float* work, const float* segment, const SegmentLoad& load,
    std::uint32_t firstTile, std::uint32_t endTile)
{
    const int log2n = segmentLog2(load);
    if (log2n < 1)
        return;
    withLoadKind(load, [&]<bool subtractMean, Weighting weighting>() {
        loadTiles<subtractMean, weighting>(work + 1, segment + 1, load, log2n, firstTile, endTile);
    });
}

int loadSegment(float* work, const float* segment, const SegmentLoad& load)
{
    work[0] = 0.0f;
    const int log2n = segmentLog2(load);
    if (fftHasFusedFirstPasses(log2n)) {
        withLoadKind(load, [&]<bool subtractMean, Weighting weighting>() {
            loadInOrder<subtractMean, weighting>(work + 1, segment + 1, load);
        });
        return fftReverseWithFirstPasses(work + 1, log2n).passes;
    }
    loadSegmentTiles(work, segment, load, 0, bitReversalTiles(log2n));
    return 1;
}
