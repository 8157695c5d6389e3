#include "spectrum/SegmentBatches.h"

#include "core/FloatBuffer.h"
#include "core/Parallel.h"
#include "spectrum/Fft.h"
#include "spectrum/PeriodogramBins.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <thread>

namespace {

// Starting a thread costs about as much as transforming 2^15 samples.
constexpr std::int64_t kSmallestBatchedSamples = std::int64_t { 1 } << 18;
// Work buffers beyond the first are kept small: larger transforms are split
// among the threads instead (see SplitEstimate).
constexpr int kLargestBatchedSize = 1 << 21;
// Periodograms kept for one batch, at most (16 MiB).
constexpr std::size_t kBatchFloats = std::size_t { 1 } << 22;
constexpr int kMaxWorkers = 16;

// Work buffers, one per thread at a time: a task takes a free one.
class WorkPool {
public:
    bool allocate(int count, std::size_t floats)
    {
        m_count = count;
        for (int w = 0; w < count; ++w) {
            if (!m_buffers[w].allocate(floats))
                return false;
        }
        return true;
    }
    // More tasks than buffers never run at once, so a buffer is free soon.
    int acquire()
    {
        for (;;) {
            for (int w = 0; w < m_count; ++w) {
                bool expected = false;
                if (m_busy[w].compare_exchange_strong(expected, true, std::memory_order_acquire))
                    return w;
            }
            std::this_thread::yield();
        }
    }
    void release(int w) { m_busy[w].store(false, std::memory_order_release); }
    float* buffer(int w) { return m_buffers[w].data(); }

private:
    int m_count = 0;
    FloatBuffer m_buffers[kMaxWorkers];
    std::atomic<bool> m_busy[kMaxWorkers] {};
};

} // namespace

bool worthBatching(int M, int K)
{
    return parallelThreads() > 1 && K > 1 && M <= kLargestBatchedSize
        && static_cast<std::int64_t>(K) * 2 * M >= kSmallestBatchedSamples;
}

bool addPeriodogramsInBatches(const float* series, int M, int S, int K, const SegmentLoad& load,
    const FftFactors& factors, int amplitudeOutput, float* psd, StepProgress& progress)
{
    const int threads = std::clamp(parallelThreads(), 1, std::min(K, kMaxWorkers));
    const std::size_t slot = static_cast<std::size_t>(M) + 1;
    const int largestBatch
        = static_cast<int>(std::clamp<std::size_t>(kBatchFloats / slot, threads, K));
    const int batches = (K + largestBatch - 1) / largestBatch;
    const int batch = (K + batches - 1) / batches;
    const int length = 2 * M;

    WorkPool pool;
    FloatBuffer periodograms;
    FloatBuffer means;
    if (!pool.allocate(threads, 2 * static_cast<std::size_t>(length) + 1)
        || !periodograms.allocate(slot * batch) || !means.allocate(static_cast<std::size_t>(batch)))
        return false;

    for (int k0 = 0; k0 < K; k0 += batch) {
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
                const float* segment = series + static_cast<std::int64_t>(k0 + i) * S;
                SegmentLoad own = load;
                if (own.subtractMean)
                    own.mean = means[i];
                const int w = pool.acquire();
                float* work = pool.buffer(w);
                loadSegment(work, segment, own);
                complexFftPassesFrom(work, length, 1, factors);
                writePeriodogram(periodograms.data() + i * slot, work, M, amplitudeOutput);
                pool.release(w);
            },
            [&](std::size_t finished) {
                progress.advance(static_cast<double>(k0 + finished) / K);
            });
        for (int i = 0; i < count; ++i) {
            const float* power = periodograms.data() + static_cast<std::size_t>(i) * slot;
            for (std::size_t j = 0; j < slot; ++j)
                psd[j] = psd[j] + power[j];
        }
    }
    return true;
}
