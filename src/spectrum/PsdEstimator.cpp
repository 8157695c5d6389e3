#include "spectrum/PsdEstimator.h"

#include "spectrum/DataWindow.h"
#include "spectrum/Fft.h"
#include "spectrum/SegmentLoad.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>
#include <new>

namespace {

// 2M complex points must fit the transform's int length.
constexpr int kLargestPsdSize = 1 << 29;

bool isPowerOfTwo(int M)
{
    return M >= 1 && (M & (M - 1)) == 0;
}

// One periodogram bin from the transformed work buffer: the one-sided power
// rounded to float, optionally its root, floored so that the logarithm of
// every averaged bin is finite (a not-a-number fails the comparison and is
// floored too).
inline float binPower(const float* work, int k, int amplitudeOutput)
{
    const double re = work[2 * k + 1];
    const double im = work[2 * k + 2];
    float p = static_cast<float>(2.0 * (re * re + im * im));
    if (amplitudeOutput)
        p = static_cast<float>(std::sqrt(static_cast<double>(p)));
    if (!(p >= PSD_FLOOR))
        p = PSD_FLOOR;
    return p;
}

inline float zeroBinPower(const float* work)
{
    return static_cast<float>(
        static_cast<double>(work[1]) * work[1] + static_cast<double>(work[2]) * work[2]);
}

// Transforms segment[1..2M] (already tapered) as 2M complex points with zero
// imaginary values; work has 4M+1 entries.
void transformSegment(const float* segment, float* work, int M)
{
    loadBitReversedReal(work, 2 * M, segment);
    complexFftPasses(work, 2 * M);
}

} // namespace

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
    if (!isPowerOfTwo(M) || M > kLargestPsdSize)
        return 1;
    FloatBuffer work;
    if (!work.allocate(4 * static_cast<std::size_t>(M) + 1))
        return 1;
    applyDataWindow(windowType, segment, 2 * M);
    transformSegment(segment, work.data(), M);
    power[0] = zeroBinPower(work.data());
    for (int k = 1; k < M; ++k)
        power[k] = binPower(work.data(), k, amplitudeOutput);
    power[M] = PSD_FLOOR;
    return 0;
}

int estimatePsd(const float* series, int N, int windowType, int amplitudeOutput, int extractAverage,
    int M, int S, int K, int normalize, int logOutput, float* psd)
{
    // The test keeps one shift more than the K segments need; stored
    // configurations rely on exactly this limit.
    if (!series || !psd || !isPowerOfTwo(M) || M > kLargestPsdSize || K < 1 || S < 0
        || static_cast<std::int64_t>(S) * K + 2 * static_cast<std::int64_t>(M) > N)
        return 1;
    const int length = 2 * M;
    FloatBuffer work;
    if (!work.allocate(2 * static_cast<std::size_t>(length) + 1))
        return 1;
    adviseLargePages(work.data(), work.size());
    SegmentLoad load { length, windowType, nullptr, 0.0f, extractAverage != 0 };

    // With several segments the weights are worth keeping; without the table
    // (one segment, or no memory for it) they are computed per sample, to
    // the same values.
    std::unique_ptr<double[]> weights;
    if (isTaperingWindow(windowType) && K > 1) {
        weights.reset(new (std::nothrow) double[length]);
        if (weights)
            for (int j = 0; j < length; ++j)
                weights[j] = dataWindowWeight(windowType, j, length);
        load.weights = weights.get();
    }

    for (int i = 0; i <= M; ++i)
        psd[i] = 0.0f;
    float* w = work.data();
    for (int k = 0; k < K; ++k) {
        const float* segment = series + static_cast<std::int64_t>(k) * S;
        if (load.subtractMean)
            load.mean = segmentMean(segment, length);
        loadSegment(w, segment, load);
        complexFftPasses(w, length);
        psd[0] = psd[0] + zeroBinPower(w);
        for (int i = 1; i < M; ++i)
            psd[i] = psd[i] + binPower(w, i, amplitudeOutput);
        psd[M] = psd[M] + PSD_FLOOR;
    }

    for (int i = 0; i <= M; ++i)
        psd[i] = psd[i] / static_cast<float>(K);
    if (normalize) {
        double total = 0.0;
        for (int i = 1; i <= M; ++i)
            total += psd[i];
        for (int i = 1; i <= M; ++i)
            psd[i] = static_cast<float>(psd[i] / total);
    }
    if (logOutput)
        for (int i = 1; i <= M; ++i)
            psd[i] = static_cast<float>(std::log10(static_cast<double>(psd[i])));
    return 0;
}

int computeSpectrum(AnalysisState& state)
{
    const int M = state.psdSize;
    if (M < 1) {
        state.psd.release();
        state.computeStatus = 1;
        return 1;
    }
    const std::size_t entries = static_cast<std::size_t>(M) + 1;
    // A buffer of another length would let the estimate write past it, so it
    // is replaced even when reallocation is switched off.
    if (state.reallocatePsd || state.psd.size() != entries) {
        if (!state.psd.allocate(entries))
            return 1;
    }
    // Never read more samples than the series buffer holds.
    const std::size_t available = state.series.empty() ? 0 : state.series.size() - 1;
    const std::size_t samples = std::min<std::size_t>(state.sampleCount, available);
    const int N = static_cast<int>(std::min<std::size_t>(samples, INT_MAX));
    const int status = estimatePsd(state.series.data(), N, state.windowType, state.amplitudeOutput,
        state.extractAverage, M, state.dataShift, state.segmentCount, state.normalize,
        state.logOutput, state.psd.data());
    state.computeStatus = status;
    if (status != 0) {
        state.psd.release();
        return 1;
    }
    if (!state.normalize) {
        // With the logarithmic output this divides the averaged power by M^2.
        const double correction = 2.0 * std::log10(static_cast<double>(M));
        for (int i = 1; i < M; ++i)
            state.psd[i] = static_cast<float>(state.psd[i] - correction);
    }
    return 0;
}
