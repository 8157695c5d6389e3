#include "spectrum/SegmentBatches.h"

#include "core/FloatBuffer.h"
#include "core/Parallel.h"
#include "core/TaskBuffers.h"
#include "core/Tuning.h"
#include "spectrum/Fft.h"
#include "spectrum/PeriodogramBins.h"
#include "spectrum/RangeTasks.h"

#include <algorithm>
#include <atomic>
#include <cstdint>

namespace {

// The periodograms of one batch are kept in at most this many floats (4
// MiB), so that they are still in the cache when they are added and their
// pages are not new to the process for most of the batches.
constexpr std::size_t kBatchPeriodogramFloats = std::size_t { 1 } << 20;
// Bins per piece of the addition of a batch's periodograms, at least.
constexpr std::size_t kSmallestSumPiece = std::size_t { 1 } << 12;

} // namespace

bool worthBatching(int M, int K)
{
    return parallelThreads() > 1 && K > 1 && M <= tuning::kLargestBatchedSize
        && static_cast<std::int64_t>(K) * 2 * M >= tuning::kSmallestBatchedSamples;
}

bool addPeriodogramsInBatches(const float* series, int M, int S, int K, const SegmentLoad& load,
    const FftFactors& factors, int amplitudeOutput, float* psd, const StageProgress& progress)
{
    const int threads = std::clamp(parallelThreads(), 1, std::min(K, tuning::kMostBatchWorkers));
    const std::size_t slot = static_cast<std::size_t>(M) + 1;
    const std::size_t batchFloats = std::min(tuning::kBatchFloats, kBatchPeriodogramFloats);
    const int largestBatch
        = static_cast<int>(std::clamp<std::size_t>(batchFloats / slot, threads, K));
    const int batches = (K + largestBatch - 1) / largestBatch;
    const int batch = (K + batches - 1) / batches;
    const int length = 2 * M;

    TaskBuffers<FloatBuffer> pool;
    FloatBuffer periodograms;
    FloatBuffer means;
    const std::size_t workFloats = 2 * static_cast<std::size_t>(length) + 1;
    if (!pool.allocate(static_cast<std::size_t>(threads),
            [&](FloatBuffer& work) { return work.allocate(workFloats); })
        || !periodograms.allocate(slot * batch) || !means.allocate(static_cast<std::size_t>(batch)))
        return false;

    // A request to stop leaves the tasks of the batch that have not begun
    // undone; the psd is then of no use.
    std::atomic<bool> stopping { false };
    for (int k0 = 0; k0 < K && !progress.step.cancelled(); k0 += batch) {
        const int count = std::min(batch, K - k0);
        if (load.subtractMean) {
            // Four segments to a task (see segmentMeans).
            const float* first = series + static_cast<std::int64_t>(k0) * S;
            runTasks(static_cast<std::size_t>(count + 3) / 4, [&](std::size_t g) {
                const int begin = static_cast<int>(4 * g);
                segmentMeans(first, S, length, begin, std::min(begin + 4, count), means.data());
            });
        }
        runTasks(
            static_cast<std::size_t>(count),
            [&](std::size_t i) {
                if (stopping.load(std::memory_order_relaxed))
                    return;
                const float* segment = series + static_cast<std::int64_t>(k0 + i) * S;
                SegmentLoad own = load;
                if (own.subtractMean)
                    own.mean = means[i];
                TaskBuffers<FloatBuffer>::Lease lease = pool.lend();
                float* work = lease.buffer().data();
                const int passes = loadSegment(work, segment, own);
                complexFftPassesFrom(work, length, passes, factors);
                writePeriodogram(periodograms.data() + i * slot, work, M, amplitudeOutput);
            },
            [&](std::size_t finished) {
                if (!progress.at(static_cast<double>(k0 + finished) / K))
                    stopping.store(true, std::memory_order_relaxed);
            });
        if (progress.step.cancelled())
            break;
        // Each bin adds the batch's periodograms in segment order, so the
        // bins may be shared among the threads.
        runInRanges(slot, kSmallestSumPiece, [&](std::size_t first, std::size_t end) {
            for (int i = 0; i < count; ++i) {
                const float* power = periodograms.data() + static_cast<std::size_t>(i) * slot;
                for (std::size_t j = first; j < end; ++j)
                    psd[j] = psd[j] + power[j];
            }
        });
    }
    return true;
}
