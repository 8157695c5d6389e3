#include "spectrum/PsdEstimator.h"

#include "core/LargePages.h"
#include "core/Limits.h"
#include "core/Progress.h"
#include "core/Tuning.h"
#include "spectrum/DataWindow.h"
#include "spectrum/Fft.h"
#include "spectrum/PeriodogramBins.h"
#include "spectrum/RangeTasks.h"
#include "spectrum/SegmentBatches.h"
#include "spectrum/SegmentLoad.h"
#include "spectrum/SpectrumPower.h"
#include "spectrum/SplitEstimate.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>
#include <new>

namespace {

// The samples an estimate on the record reads: never more than the
// buffer holds, nor more than its int length.
int samplesOf(const AnalysisState& state)
{
    const std::size_t available = state.series.empty() ? 0 : state.series.size() - 1;
    const std::size_t samples = std::min<std::size_t>(state.sampleCount, available);
    return static_cast<int>(std::min<std::size_t>(samples, INT_MAX));
}

// Transforms segment[1..2M] (already tapered) as 2M complex points with zero
// imaginary values; work has 4M+1 entries.
void transformSegment(const float* segment, float* work, int M)
{
    loadRealWithFirstPass(work, 2 * M, segment);
    complexFftPassesFrom(work, 2 * M, 1);
}

// The one-thread loop: one work buffer, segments in order.
bool addPeriodogramsOneByOne(const float* series, int M, int S, int K, const SegmentLoad& load,
    const FftFactors& factors, int amplitudeOutput, float* psd, const StageProgress& progress)
{
    const int length = 2 * M;
    FloatBuffer work;
    if (!work.allocate(2 * static_cast<std::size_t>(length) + 1))
        return false;
    SegmentLoad own = load;
    float* w = work.data();
    float means[4];
    for (int k = 0; k < K; ++k) {
        const float* segment = series + static_cast<std::int64_t>(k) * S;
        if (own.subtractMean) {
            // Four segments at a time (see segmentMeans).
            if (k % 4 == 0)
                segmentMeans(segment, S, length, 0, std::min(4, K - k), means);
            own.mean = means[k % 4];
        }
        const int passes = loadSegment(w, segment, own);
        complexFftPassesFrom(w, length, passes, factors);
        addPeriodogramBins(psd, w, M, 0, M + 1, amplitudeOutput);
        if (!progress.at(static_cast<double>(k + 1) / K))
            break;
    }
    return true;
}

} // namespace

bool estimateAccepts(int N, int M, int S, int K)
{
    // The test keeps one shift more than the K segments need; stored
    // configurations rely on exactly this limit.
    return isPowerOfTwo(M) && M <= MAX_PSD_SIZE && K >= 1 && S >= 0
        && static_cast<std::int64_t>(S) * K + 2 * static_cast<std::int64_t>(M) <= N;
}

bool estimateFits(const AnalysisState& state)
{
    return estimateAccepts(samplesOf(state), state.psdSize, state.dataShift, state.segmentCount);
}

void removeMean(float* values, int n)
{
    if (n < 1)
        return;
    const float mean = segmentMean(values, n);
    for (int i = 1; i <= n; ++i)
        values[i] -= mean;
}

int segmentPeriodogram(float* segment, float* power, int M, int windowType, int amplitudeOutput)
{
    if (!isPowerOfTwo(M) || M > MAX_PSD_SIZE)
        return 1;
    FloatBuffer work;
    if (!work.allocate(4 * static_cast<std::size_t>(M) + 1))
        return 1;
    applyDataWindow(windowType, segment, 2 * M);
    transformSegment(segment, work.data(), M);
    writePeriodogram(power, work.data(), M, amplitudeOutput);
    return 0;
}

namespace {

// The share of the estimate's fraction that its transforms take; the
// finish (average, normalization, logarithm) takes the rest.
constexpr double kTransformShare = 0.9;

// estimatePsd under a report the caller made.
int estimateWith(const float* series, int N, int windowType, int amplitudeOutput,
    int extractAverage, int M, int S, int K, int normalize, int logOutput, float* psd,
    StepProgress& report, bool* hasPower)
{
    if (report.cancelled())
        return STEP_CANCELLED;
    if (!series || !psd || !estimateAccepts(N, M, S, K))
        return 1;
    const int length = 2 * M;
    SegmentLoad load { length, windowType, nullptr, 0.0f, extractAverage != 0 };
    // What comes before the first transform is asked between rounds too,
    // at the fraction it starts from.
    const StageProgress before { report, 0.0, 0.0 };

    // With several segments the weights are worth keeping; without the table
    // (one segment, or no memory for it) they are computed per sample, to
    // the same values.
    std::unique_ptr<double[], FreeLargePages> weights;
    if (isTaperingWindow(windowType) && K > 1) {
        weights.reset(static_cast<double*>(
            allocateOnLargePages(static_cast<std::size_t>(length) * sizeof(double))));
        if (weights
            && !runInPolledRanges(static_cast<std::size_t>(length), tuning::kSmallestWeightPiece,
                tuning::kPolledRoundElements, before, [&](std::size_t first, std::size_t end) {
                    for (std::size_t j = first; j < end; ++j)
                        weights[j] = dataWindowWeight(windowType, static_cast<int>(j), length);
                }))
            return STEP_CANCELLED;
        load.weights = weights.get();
    }

    // Without the table (a short transform, one segment, or no memory for
    // it) the passes make the same factors themselves.
    FftFactors factors;
    if (K > 1)
        factors.make(length);

    if (!runInPolledRanges(static_cast<std::size_t>(M) + 1, tuning::kSmallestArithmeticPiece,
            tuning::kPolledRoundElements, before,
            [&](std::size_t first, std::size_t end) { std::fill(psd + first, psd + end, 0.0f); }))
        return STEP_CANCELLED;
    // Every way below adds the same periodograms in the same order.
    const StageProgress transforms { report, 0.0, kTransformShare };
    bool added = false;
    if (worthBatching(M, K))
        added = addPeriodogramsInBatches(
            series, M, S, K, load, factors, amplitudeOutput, psd, transforms);
    else if (worthSplittingSegments(M))
        added = addPeriodogramsOfSplitTransforms(
            series, M, S, K, load, amplitudeOutput, psd, transforms);
    if (!added
        && !addPeriodogramsOneByOne(
            series, M, S, K, load, factors, amplitudeOutput, psd, transforms))
        return ESTIMATE_NO_MEMORY;
    if (report.cancelled())
        return STEP_CANCELLED;
    const StageProgress finish { report, kTransformShare, 1.0 };
    if (!hasPower)
        return finishSpectrum(psd, M, K, normalize, logOutput, finish) ? 0 : STEP_CANCELLED;
    // Whether there is power to show is a question about the averaged
    // linear powers; the division by 1 that follows is exact, so the
    // finished spectrum keeps the bits of the one-step finish.
    const double middle = (kTransformShare + 1.0) / 2;
    if (!finishSpectrum(psd, M, K, 0, 0, { report, kTransformShare, middle }))
        return STEP_CANCELLED;
    PowerScan scan;
    if (!runInPolledRanges(static_cast<std::size_t>(M), SIZE_MAX, tuning::kPolledRoundElements,
            { report, middle, middle }, [&](std::size_t first, std::size_t end) {
                scanSpectrumPower(
                    psd, M, static_cast<int>(first) + 1, static_cast<int>(end) + 1, scan);
            }))
        return STEP_CANCELLED;
    *hasPower = scan.finite && scan.above;
    return finishSpectrum(psd, M, 1, normalize, logOutput, { report, middle, 1.0 })
        ? 0
        : STEP_CANCELLED;
}

} // namespace

int estimatePsd(const float* series, int N, int windowType, int amplitudeOutput, int extractAverage,
    int M, int S, int K, int normalize, int logOutput, float* psd, const ProgressCallback& progress,
    bool* hasPower)
{
    StepProgress report(progress, PROGRESS_ESTIMATE);
    return estimateWith(series, N, windowType, amplitudeOutput, extractAverage, M, S, K, normalize,
        logOutput, psd, report, hasPower);
}

int computeSpectrum(AnalysisState& state, const ProgressCallback& progress)
{
    const int M = state.psdSize;
    if (M < 1) {
        StepProgress report(progress, PROGRESS_ESTIMATE);
        if (report.cancelled())
            return STEP_CANCELLED;
        state.psd.release();
        state.computeStatus = 1;
        return 1;
    }
    // The estimate fills a buffer of its own, which replaces the spectrum
    // only when it succeeds: a cancelled estimate leaves the spectrum as it
    // was. When memory holds no second spectrum the first goes, as the
    // estimate could not keep it anyway.
    const std::size_t entries = static_cast<std::size_t>(M) + 1;
    FloatBuffer fresh;
    if (!fresh.allocate(entries)) {
        state.psd.release();
        if (!fresh.allocate(entries)) {
            StepProgress report(progress, PROGRESS_ESTIMATE);
            return ESTIMATE_NO_MEMORY;
        }
    }
    StepProgress report(progress, PROGRESS_ESTIMATE);
    bool hasPower = false;
    int status = estimateWith(state.series.data(), samplesOf(state), state.windowType,
        state.amplitudeOutput, state.extractAverage, M, state.dataShift, state.segmentCount,
        state.normalize, state.logOutput, fresh.data(), report, &hasPower);
    if (status == STEP_CANCELLED)
        return STEP_CANCELLED;
    if (status == 0 && !hasPower)
        status = ESTIMATE_NO_POWER;
    if (status != 0) {
        state.computeStatus = 1;
        state.psd.release();
        return status;
    }
    if (!state.normalize) {
        // With the logarithmic output this divides the averaged power by M^2.
        const double correction = 2.0 * std::log10(static_cast<double>(M));
        if (!runInPolledRanges(static_cast<std::size_t>(M) - 1, tuning::kSmallestArithmeticPiece,
                tuning::kPolledRoundElements, { report, 1.0, 1.0 },
                [&](std::size_t first, std::size_t end) {
                    for (std::size_t i = first + 1; i < end + 1; ++i)
                        fresh[i] = static_cast<float>(fresh[i] - correction);
                }))
            return STEP_CANCELLED;
    }
    state.computeStatus = 0;
    state.psd = std::move(fresh);
    return 0;
}
