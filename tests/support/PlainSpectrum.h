#pragma once

// The averaged periodogram estimate written the straightforward way, step
// by step as the estimator's description reads: fresh buffers per segment,
// the window computed per sample, the textbook transform. The fast
// estimator must match it bit for bit; tests and benchmarks compare
// against it.

// Estimate of series[1..N] into psd[0..M] (caller-owned, M+1 entries).
// Returns 1 when the configuration does not fit (or is no configuration at
// all: M not a power of two, K < 1, S < 0), else 0.
int plainEstimatePsd(const float* series, int N, int windowType, int amplitudeOutput,
    int extractAverage, int M, int S, int K, int normalize, int logOutput, float* psd);

// plainEstimatePsd with the record's fixed flags (amplitude off, mean
// removed, logarithmic output) followed by the driver's scale correction
// of the unnormalized spectrum.
int plainComputeSpectrum(
    const float* series, int N, int windowType, int M, int S, int K, int normalize, float* psd);
