#include "input/SeriesEditing.h"

#include "core/Parallel.h"
#include "core/Tuning.h"
#include "input/DirectMeans.h"
#include "input/SlidingMeans.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <thread>
#include <utility>
#include <vector>

int cutSegment(AnalysisState& state, int from, int to)
{
    const std::int64_t n = state.sampleCount;
    if (from < 1 || from > to || to > n || static_cast<std::size_t>(to) >= state.series.size())
        return 1;
    const int size = to - from + 1;
    float* const series = state.series.data();
    // memmove: the samples keep their exact bits, NaN payloads included.
    std::memmove(series + 1, series + from, static_cast<std::size_t>(size) * sizeof(float));
    state.sampleCount = static_cast<unsigned>(size);
    state.isOriginal = 0;
    return 0;
}

namespace {

// Below this window the direct sums cost less than proving the sliding sum
// exact.
constexpr std::int64_t kSlidingFromWindow = 24;
// About this many additions of the direct sums between two stop checks.
constexpr std::int64_t kBlockAdditions = std::int64_t { 1 } << 24;
// A block the proof refuses is halved while its halves keep at least this
// many means, so that one odd sample sends only its neighbourhood to the
// direct sums.
constexpr std::int64_t kSmallestHalf = 512;

std::int64_t blockMeansFor(std::int64_t window)
{
    return std::clamp<std::int64_t>(kBlockAdditions / window, 1, kMostSlidingMeans);
}

// means[t] for the windows starting at first .. first+count-1, as
// directMeans forms them; count is at most kMostSlidingMeans.
void windowMeans(
    const float* series, std::int64_t first, std::int64_t count, std::int64_t window, float* means)
{
    if (window >= kSlidingFromWindow && window <= kMostSlidingWindow) {
        if (slidingMeans(series, first, count, window, means))
            return;
        if (count >= 2 * std::max(window, kSmallestHalf)) {
            const std::int64_t half = count / 2;
            windowMeans(series, first, half, window, means);
            windowMeans(series, first + half, count - half, window, means + half);
            return;
        }
    }
    directMeans(series, first, count, window, means);
}

} // namespace

int runningAverage(float* series, unsigned n, int w, const ProgressCallback& progress)
{
    StepProgress report(progress, PROGRESS_AVERAGE);
    if (report.cancelled())
        return STEP_CANCELLED;
    if (series == nullptr || w < 1)
        return 0;
    const std::int64_t count = n;
    const std::int64_t window = w;
    const std::int64_t means = count - window; // entries 1..means take whole windows
    if (means > 0) {
        // The parts run at once, so the last window-1 means of a part, which
        // read the next part's entries, are formed before any part stores
        // anything and stored by their own part at its end.
        const std::int64_t parts = std::clamp<std::int64_t>(
            means / tuning::kAverageTaskSamples, 1, tuning::kAverageMostTasks);
        const std::int64_t lead = window - 1;
        std::vector<float> held(static_cast<std::size_t>(parts * lead));
        const auto partStart = [&](std::int64_t p) { return 1 + means * p / parts; };
        const auto heldStart
            = [&](std::int64_t p) { return std::max(partStart(p), partStart(p + 1) - lead); };
        runTasks(static_cast<std::size_t>(parts), [&](std::size_t task) {
            const auto p = static_cast<std::int64_t>(task);
            windowMeans(series, heldStart(p), partStart(p + 1) - heldStart(p), window,
                held.data() + p * lead);
        });
        // Each block's means are formed before any is stored, and the later
        // blocks read only entries after it. The calling thread asks whether
        // to go on between its blocks, the others hear its answer at their
        // next block; parts not yet begun stay undone.
        std::atomic<bool> stopping { false };
        std::atomic<std::int64_t> done { 0 };
        const auto caller = std::this_thread::get_id();
        const auto goOn = [&] {
            if (std::this_thread::get_id() == caller
                && !report.advance(static_cast<double>(done.load(std::memory_order_relaxed))
                    / static_cast<double>(count)))
                stopping.store(true, std::memory_order_relaxed);
            return !stopping.load(std::memory_order_relaxed);
        };
        const std::int64_t block = blockMeansFor(window);
        runTasks(
            static_cast<std::size_t>(parts),
            [&](std::size_t task) {
                const auto p = static_cast<std::int64_t>(task);
                float formed[kMostSlidingMeans];
                for (std::int64_t i = partStart(p); i < heldStart(p); i += block) {
                    if (!goOn())
                        return;
                    const std::int64_t size = std::min(block, heldStart(p) - i);
                    if (window < kSlidingFromWindow) {
                        directMeans(series, i, size, window, series + i);
                    } else {
                        windowMeans(series, i, size, window, formed);
                        std::copy_n(formed, size, series + i);
                    }
                    done.fetch_add(size, std::memory_order_relaxed);
                }
                std::copy_n(
                    held.data() + p * lead, partStart(p + 1) - heldStart(p), series + heldStart(p));
                done.fetch_add(partStart(p + 1) - heldStart(p), std::memory_order_relaxed);
            },
            [&](std::size_t) { goOn(); });
        if (report.cancelled())
            return STEP_CANCELLED;
    }
    // Ascending order: each mean reads only entries at or after its own
    // index, which are still the input values.
    for (std::int64_t j = std::max<std::int64_t>(1, count - window + 1); j < count; ++j)
        series[j] = meanOf(series, j, count);
    return 0;
}

int runningAverageOfSeries(
    AnalysisState& state, int w, const ProgressCallback& progress, FloatBuffer* replaced)
{
    // A record left without a buffer by a failed allocation still counts
    // its samples; only the entries that exist are smoothed.
    const std::size_t entries = state.series.size();
    const unsigned held = entries == 0
        ? 0u
        : (entries - 1 < state.sampleCount ? static_cast<unsigned>(entries - 1)
                                           : state.sampleCount);
    FloatBuffer averaged;
    if (entries > 0) {
        if (!averaged.allocate(entries)) {
            StepProgress report(progress, PROGRESS_AVERAGE);
            return 1;
        }
        std::copy_n(state.series.data(), entries, averaged.data());
    }
    const int status = runningAverage(averaged.data(), held, w, progress);
    if (status != 0)
        return status;
    if (entries > 0) {
        if (replaced)
            std::swap(*replaced, state.series);
        state.series = std::move(averaged);
    }
    state.isOriginal = 0;
    return 0;
}
