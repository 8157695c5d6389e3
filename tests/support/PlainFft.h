#pragma once

// Reference implementations kept deliberately naive: the textbook transform
// loop and the averaged estimate built on it. The fast code in src/spectrum
// must match them bit for bit; tests and benchmarks compare against them.

// The iterative radix-2 transform exactly as the textbook loop writes it:
// data[1..2*nn] interleaved complex, nn a power of two.
void plainComplexFft(float* data, int nn);

// The averaged periodogram estimate of series[1..N] into psd[0..M], written
// the straightforward way (fresh buffers per segment, plainComplexFft).
// Returns 1 when the configuration does not fit, else 0.
int plainEstimatePsd(const float* series, int N, int windowType, int amplitudeOutput,
                     int extractAverage, int M, int S, int K, int normalize, int logOutput,
                     float* psd);

// plainEstimatePsd followed by the unnormalized scale correction, as the
// record's driver applies it; psd has M+1 entries.
int plainComputeSpectrum(const float* series, int N, int windowType, int M, int S, int K,
                         int normalize, float* psd);
