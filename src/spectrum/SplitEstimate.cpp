#include "spectrum/SplitEstimate.h"

#include "core/FloatBuffer.h"
#include "core/Parallel.h"
#include "core/Tuning.h"
#include "spectrum/BitReversal.h"
#include "spectrum/PeriodogramBins.h"
#include "spectrum/SplitFft.h"

#include <algorithm>
#include <cstdint>

namespace {

// Bins per piece of a round of the periodogram's addition, at least.
constexpr std::size_t kSmallestBinPiece = std::size_t { 1 } << 12;

// The segment's mean, and (for the first segment) the walk to the twiddle
// starts, which needs no data and runs beside it; in rounds, the mean one
// sum in sample order on one thread. Returns false when asked to stop.
bool meanAndWalk(const float* segment, SegmentLoad& own, FftSplit& split, bool walk,
    const StageProgress& progress)
{
    const std::int64_t length = own.length;
    const std::int64_t round = static_cast<std::int64_t>(tuning::kPolledRoundElements);
    double sum = 0.0;
    std::int64_t next = own.subtractMean ? 1 : length + 1;
    bool walked = !walk;
    while (next <= length || !walked) {
        const std::int64_t end = std::min(length + 1, next + round);
        runTasks(2, [&](std::size_t i) {
            if (i == 0 && next <= length)
                sum = addSamples(sum, segment, next, end);
            else if (i == 1 && !walked)
                walked = split.walkSomeStarts(static_cast<long>(round));
        });
        next = std::max(next, end);
        if (!progress.at(own.subtractMean ? static_cast<double>(next - 1) / length : 0.0))
            return false;
    }
    if (own.subtractMean)
        own.mean = static_cast<float>(sum / static_cast<double>(length));
    return true;
}

// Writes a zero to every page of work[0..count), in rounds: the first load
// writes its entries in bit-reversed order, so its first round alone would
// touch nearly every page, and the system clears each page it hands out
// (hundreds of milliseconds for the largest buffers).
// Each piece is at least a large page of them: two threads touching one
// large page would wait for each other's fault.
bool touchPages(float* work, std::size_t count, const StageProgress& progress)
{
    constexpr std::size_t kPageFloats = 1024;
    constexpr std::size_t kLargePagePages = 512;
    const std::size_t round = std::max(tuning::kPolledRoundElements / kPageFloats,
        kLargePagePages * static_cast<std::size_t>(std::max(parallelThreads(), 1)));
    return runInPolledRanges(count / kPageFloats + 1, kLargePagePages, round, progress,
        [&](std::size_t first, std::size_t end) {
            for (std::size_t page = first; page < end; ++page)
                if (page * kPageFloats < count)
                    work[page * kPageFloats] = 0.0f;
        });
}

} // namespace

bool worthSplittingSegments(int M)
{
    return longEnoughToSplit(segmentLog2(SegmentLoad { 2 * M, 0, nullptr, 0.0f, false }));
}

bool addPeriodogramsOfSplitTransforms(const float* series, int M, int S, int K,
    const SegmentLoad& load, int amplitudeOutput, float* psd, const StageProgress& progress)
{
    const int length = 2 * M;
    FloatBuffer work;
    if (!work.allocate(2 * static_cast<std::size_t>(length) + 1))
        return false;
    float* w = work.data();
    const int log2n = segmentLog2(load);
    FftSplit split;
    split.plan(log2n, parallelThreads());
    const std::uint32_t tiles = bitReversalTiles(log2n);
    const std::size_t roundTiles = std::max<std::size_t>(
        tuning::kPolledRoundElements * tiles / static_cast<std::size_t>(length), 1);
    // Fractions of one segment: mean 1/2, load 1/2, passes log2n, bins 1.
    const double steps = log2n + 2.0;
    if (!touchPages(w, work.size(), { progress.step, progress.from, progress.from }))
        return true;

    for (int k = 0; k < K; ++k) {
        const float* segment = series + static_cast<std::int64_t>(k) * S;
        const double from = progress.from + (progress.to - progress.from) * k / K;
        const double span = (progress.to - progress.from) / K;
        auto stage = [&](double a, double b) {
            return StageProgress { progress.step, from + span * a / steps,
                from + span * b / steps };
        };
        SegmentLoad own = load;
        if (!meanAndWalk(segment, own, split, k == 0, stage(0.0, 0.5)))
            break;
        w[0] = 0.0f;
        if (!runInPolledRanges(
                tiles, 1, roundTiles, stage(0.5, 1.0), [&](std::size_t first, std::size_t end) {
                    loadSegmentTiles(w, segment, own, static_cast<std::uint32_t>(first),
                        static_cast<std::uint32_t>(end));
                }))
            break;
        const StageProgress passes = stage(1.0, 1.0 + log2n);
        if (!runSplitPasses(w + 1, split, 1, [&](double done) { return passes.at(done / log2n); }))
            break;
        if (!runInPolledRanges(static_cast<std::size_t>(M) + 1, kSmallestBinPiece,
                tuning::kPolledRoundElements, stage(1.0 + log2n, steps),
                [&](std::size_t first, std::size_t end) {
                    addPeriodogramBins(
                        psd, w, M, static_cast<int>(first), static_cast<int>(end), amplitudeOutput);
                }))
            break;
    }
    return true;
}
