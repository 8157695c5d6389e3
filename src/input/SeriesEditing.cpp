#include "input/SeriesEditing.h"

#include "core/Parallel.h"
#include "core/Tuning.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
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

// Mean of series[first..last], summed in double precision in index order.
float meanOf(const float* series, std::int64_t first, std::int64_t last)
{
    double sum = 0.0;
    for (std::int64_t k = first; k <= last; ++k)
        sum += series[k];
    return static_cast<float>(sum / static_cast<double>(last - first + 1));
}

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
        means[lane] = static_cast<float>(sums[lane] / static_cast<double>(window));
}

// Overwrites series[first..last] with the means of their windows, in
// ascending order. The means of a group of lanes are all formed before any
// of them is stored, so each reads input values only.
void averageRange(float* series, std::int64_t first, std::int64_t last, std::int64_t window)
{
    std::int64_t i = first;
    for (float means[LANES]; i + LANES - 1 <= last; i += LANES) {
        lanesOfMeans(series, i, window, means);
        std::memcpy(series + i, means, sizeof means);
    }
    for (; i <= last; ++i)
        series[i] = meanOf(series, i, i + window - 1);
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
            float* const into = held.data() + p * lead;
            for (std::int64_t i = heldStart(p); i < partStart(p + 1); ++i)
                into[i - heldStart(p)] = meanOf(series, i, i + window - 1);
        });
        // Parts not yet begun when a stop is asked for stay undone.
        std::atomic<bool> stopping { false };
        runTasks(
            static_cast<std::size_t>(parts),
            [&](std::size_t task) {
                if (stopping.load(std::memory_order_relaxed))
                    return;
                const auto p = static_cast<std::int64_t>(task);
                averageRange(series, partStart(p), heldStart(p) - 1, window);
                std::copy_n(
                    held.data() + p * lead, partStart(p + 1) - heldStart(p), series + heldStart(p));
            },
            [&](std::size_t finished) {
                if (!report.advance(static_cast<double>(finished) / static_cast<double>(parts + 1)))
                    stopping.store(true, std::memory_order_relaxed);
            });
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
