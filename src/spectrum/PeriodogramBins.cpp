#include "spectrum/PeriodogramBins.h"

#include "core/CanonicalNaN.h"
#include "core/Tuning.h"
#include "spectrum/RangeTasks.h"

#include <algorithm>
#include <cstdint>

void addPeriodogramBins(
    float* psd, const float* work, int M, int first, int end, int amplitudeOutput)
{
    if (first <= 0 && end > 0)
        psd[0] = psd[0] + zeroBinPower(work);
    const int last = std::min(end, M);
    for (int i = std::max(first, 1); i < last; ++i)
        psd[i] = psd[i] + binPower(work, i, amplitudeOutput);
    if (first <= M && end > M)
        psd[M] = psd[M] + PSD_FLOOR;
}

void writePeriodogram(float* power, const float* work, int M, int amplitudeOutput)
{
    power[0] = zeroBinPower(work);
    for (int k = 1; k < M; ++k)
        power[k] = binPower(work, k, amplitudeOutput);
    power[M] = PSD_FLOOR;
}

bool finishSpectrum(
    float* psd, int M, int K, int normalize, int logOutput, const StageProgress& progress)
{
    const StageProgress average { progress.step, progress.from,
        progress.from + (progress.to - progress.from) / 3 };
    const StageProgress summed { progress.step, average.to,
        progress.from + 2 * (progress.to - progress.from) / 3 };
    const StageProgress finished { progress.step, summed.to, progress.to };
    const float count = static_cast<float>(K);
    const std::size_t entries = static_cast<std::size_t>(M) + 1;
    // A division by 1 gives every float back, so one segment skips it.
    if (K != 1
        && !runInPolledRanges(entries, tuning::kSmallestArithmeticPiece,
            tuning::kPolledRoundElements, average, [&](std::size_t first, std::size_t end) {
                for (std::size_t i = first; i < end; ++i)
                    psd[i] = psd[i] / count;
            }))
        return false;
    // The total is one sum in bin order, taken in rounds on this thread.
    double total = 0.0;
    if (normalize
        && !runInPolledRanges(static_cast<std::size_t>(M), SIZE_MAX, tuning::kPolledRoundElements,
            summed, [&](std::size_t first, std::size_t end) {
                for (std::size_t i = first; i < end; ++i)
                    total += psd[1 + i];
            }))
        return false;
    if (!normalize && !logOutput)
        return true;
    // Entries 1..M; the division by the total and the logarithm of each entry
    // are done one after the other, as two sweeps would do them. An infinite
    // bin makes the total infinite and its quotient a not-a-number, made the
    // canonical one (see Fft.h).
    const std::size_t smallest
        = logOutput ? tuning::kSmallestLogarithmPiece : tuning::kSmallestArithmeticPiece;
    return runInPolledRanges(static_cast<std::size_t>(M), smallest, tuning::kPolledRoundElements,
        finished, [&](std::size_t first, std::size_t end) {
            float* bins = psd + 1;
            if (normalize && logOutput) {
                for (std::size_t i = first; i < end; ++i) {
                    const float normalized = static_cast<float>(bins[i] / total);
                    bins[i] = canonicalNaN(
                        static_cast<float>(std::log10(static_cast<double>(normalized))));
                }
            } else if (normalize) {
                for (std::size_t i = first; i < end; ++i)
                    bins[i] = canonicalNaN(static_cast<float>(bins[i] / total));
            } else {
                for (std::size_t i = first; i < end; ++i)
                    bins[i] = static_cast<float>(std::log10(static_cast<double>(bins[i])));
            }
        });
}
