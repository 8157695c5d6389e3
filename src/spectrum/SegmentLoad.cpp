#include "spectrum/SegmentLoad.h"

#include "spectrum/BitReversal.h"
#include "spectrum/DataWindow.h"

#include <cstdint>

#include <sys/mman.h>

float segmentMean(const float* values, int n)
{
    double sum = 0.0;
    for (int i = 1; i <= n; ++i)
        sum += values[i];
    return static_cast<float>(sum / n);
}

void loadSegment(float* work, const float* segment, const SegmentLoad& load)
{
    work[0] = 0.0f;
    loadSegmentTiles(work, segment, load, 0, bitReversalTiles(segmentLog2(load)));
}

int segmentLog2(const SegmentLoad& load)
{
    int log2n = 0;
    while ((1 << log2n) < load.length)
        ++log2n;
    return log2n;
}

void loadSegmentTiles(float* work, const float* segment, const SegmentLoad& load,
    std::uint32_t firstTile, std::uint32_t endTile)
{
    const int log2n = segmentLog2(load);
    float* c = work + 1;
    const float* samples = segment + 1;
    const bool taper = isTaperingWindow(load.windowType);
    forEachBitReversalInTiles(
        log2n, false, firstTile, endTile, [&](std::uint32_t j, std::uint32_t r) {
            float value = samples[j];
            if (load.subtractMean)
                value -= load.mean;
            if (load.weights)
                value = static_cast<float>(load.weights[j] * value);
            else if (taper)
                value = static_cast<float>(
                    dataWindowWeight(load.windowType, static_cast<int>(j), load.length) * value);
            c[2 * r] = value;
            c[2 * r + 1] = 0.0f;
        });
}

void adviseLargePages(float* work, std::size_t count)
{
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kLargePage = std::uintptr_t { 1 } << 21;
    const std::uintptr_t begin
        = (reinterpret_cast<std::uintptr_t>(work) + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(work + count) & ~(kLargePage - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)work;
    (void)count;
#endif
}
