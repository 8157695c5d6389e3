#pragma once

#include "core/AnalysisState.h"
#include "core/Progress.h"

inline constexpr float PSD_FLOOR = 1e-30f;

// Subtracts the single-precision mean of values[1..n] from each of them.
void removeMean(float* values, int n);

// Tapers segment[1..2M] in place and writes its one-sided periodogram to
// power[0..M]. Returns 1, with segment and power untouched, when M is not a
// power of two or the work buffer cannot be allocated, else 0.
int segmentPeriodogram(float* segment, float* power, int M, int windowType, int amplitudeOutput);

// Whether the estimate takes M, S and K for N samples: M a power of two up
// to MAX_PSD_SIZE, K >= 1, S >= 0 and S*K + 2M <= N.
bool estimateAccepts(int N, int M, int S, int K);

// Whether the record's configuration passes the tests the estimate makes
// before it transforms anything, on the samples the series buffer holds.
bool estimateFits(const AnalysisState& state);

// The status of an estimate for which memory ran out, beside 1 for a
// configuration that does not fit: the two call for different messages.
inline constexpr int ESTIMATE_NO_MEMORY = 3;
// The status of an estimate whose bins hold no power, or power that is not
// finite (spectrumHasPower): a series to refuse, not a configuration.
inline constexpr int ESTIMATE_NO_POWER = 4;

// The averaged estimate of series[1..N] into psd[0..M] (caller-owned, M+1
// entries). Returns 0 on success, 1 when the configuration does not fit
// (estimateAccepts), ESTIMATE_NO_MEMORY when memory runs out, and STEP_CANCELLED (psd then
// unspecified) when the progress asks to stop. Uses up to parallelThreads() threads, with the same
// bits for any count; progress is reported as PROGRESS_ESTIMATE from the calling thread (segments
// done, or passes of the one transform). With `hasPower` it is told, on success, whether the
// averaged linear bins hold power to show (spectrumHasPower), the spectrum's bits the same either
// way.
int estimatePsd(const float* series, int N, int windowType, int amplitudeOutput, int extractAverage,
    int M, int S, int K, int normalize, int logOutput, float* psd,
    const ProgressCallback& progress = {}, bool* hasPower = nullptr);

// Driver on the record: estimates into a new buffer of psdSize+1 entries,
// applies the unnormalized scale correction, and on success puts the
// buffer in place of psd and sets computeStatus. Returns 0 on success, 1
// or ESTIMATE_NO_MEMORY as estimatePsd, ESTIMATE_NO_POWER when the bins
// hold no power to show (computeStatus then 1); on failure
// the record holds no spectrum buffer (a failed allocation leaves
// computeStatus as it was; psdSize < 1 sets it 1). STEP_CANCELLED when the
// progress asks to stop: the record is then untouched. Progress as
// estimatePsd reports it.
int computeSpectrum(AnalysisState& state, const ProgressCallback& progress = {});
