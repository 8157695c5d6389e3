#include "spectrum/SplitEstimate.h"

#include "core/FloatBuffer.h"
#include "core/Parallel.h"
#include "core/Tuning.h"
#include "spectrum/BitReversal.h"
#include "spectrum/HugePages.h"
#include "spectrum/PeriodogramBins.h"
#include "spectrum/SplitFft.h"

#include <algorithm>
#include <cstdint>

bool worthSplittingSegments(int M)
{
    return longEnoughToSplit(segmentLog2(SegmentLoad { 2 * M, 0, nullptr, 0.0f, false }));
}

bool addPeriodogramsOfSplitTransforms(const float* series, int M, int S, int K,
    const SegmentLoad& load, int amplitudeOutput, float* psd, StepProgress& progress)
{
    const int length = 2 * M;
    FloatBuffer work;
    if (!work.allocate(2 * static_cast<std::size_t>(length) + 1))
        return false;
    float* w = work.data();
    adviseHugePages(w, work.size() * sizeof(float));
    const int log2n = segmentLog2(load);
    const int threads = parallelThreads();
    FftSplit split;
    split.plan(log2n, threads);
    const std::uint32_t tiles = bitReversalTiles(log2n);
    const std::uint32_t loadPieces = std::min<std::uint32_t>(
        tiles, static_cast<std::uint32_t>(threads * tuning::kPiecesPerThread));
    // Fractions of one segment: load 1, passes log2n, bins 1.
    const double stepsPerSegment = log2n + 2.0;

    // A request to stop is heard between the stages of a segment and between
    // the passes of its transform, so that one long transform need not run
    // to its end.
    for (int k = 0; k < K && !progress.cancelled(); ++k) {
        const float* segment = series + static_cast<std::int64_t>(k) * S;
        SegmentLoad own = load;
        // The mean is one sum in sample order and cannot be shared; the walk
        // to the twiddle starts needs no data and runs beside it.
        runTasks(k == 0            ? 2
                : own.subtractMean ? 1
                                   : 0,
            [&](std::size_t i) {
                if (i == 0 && own.subtractMean)
                    own.mean = segmentMean(segment, length);
                else if (i == 1)
                    split.walkStarts();
            });
        w[0] = 0.0f;
        runTasks(loadPieces, [&](std::size_t i) {
            const std::uint32_t piece = static_cast<std::uint32_t>(i);
            loadSegmentTiles(w, segment, own,
                static_cast<std::uint32_t>(std::uint64_t { piece } * tiles / loadPieces),
                static_cast<std::uint32_t>(std::uint64_t { piece + 1 } * tiles / loadPieces));
        });
        if (!progress.advance((k + 1.0 / stepsPerSegment) / K))
            break;
        const bool transformed = runSplitPasses(w + 1, split, 1, [&](int passesDone) {
            return progress.advance((k + (1.0 + passesDone) / stepsPerSegment) / K);
        });
        if (!transformed)
            break;
        const int binPieces = threads * static_cast<int>(tuning::kPiecesPerThread);
        runTasks(static_cast<std::size_t>(binPieces), [&](std::size_t i) {
            const int first = static_cast<int>(static_cast<std::int64_t>(i) * (M + 1) / binPieces);
            const int end
                = static_cast<int>(static_cast<std::int64_t>(i + 1) * (M + 1) / binPieces);
            addPeriodogramBins(psd, w, M, first, end, amplitudeOutput);
        });
        progress.advance(static_cast<double>(k + 1) / K);
    }
    return true;
}
