#pragma once

#include "core/CanonicalNaN.h"
#include "spectrum/PsdEstimator.h"
#include "spectrum/RangeTasks.h"

#include <cmath>

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

// Not floored, so it may be a not-a-number; it is always the canonical one,
// and sums of it with the other segments' are too, whichever operand order
// the compiler picks.
inline float zeroBinPower(const float* work)
{
    return canonicalNaN(static_cast<float>(
        static_cast<double>(work[1]) * work[1] + static_cast<double>(work[2]) * work[2]));
}

// psd[i] = psd[i] + bin i of the periodogram in work (transformed, 4M+1
// entries), for the bins i in [first, end) of 0..M, in float.
void addPeriodogramBins(
    float* psd, const float* work, int M, int first, int end, int amplitudeOutput);

// The periodogram in work as power[0..M].
void writePeriodogram(float* power, const float* work, int M, int amplitudeOutput);

// The sum of K periodograms in psd[0..M] made the estimate: averaged, then
// normalized (the total summed in double, in bin order) and logged as asked.
// The element-wise steps are shared among the threads; all of it goes in
// rounds, the stage's progress asked after each. Returns false, with psd
// of no use, when it asks to stop.
bool finishSpectrum(
    float* psd, int M, int K, int normalize, int logOutput, const StageProgress& progress);
