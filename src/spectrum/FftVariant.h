#pragma once

// The transform's butterflies exist in several instruction-set variants that
// give the same bits; the fastest one the processor supports is chosen at run
// time. Tests and benchmarks pin a variant to check each of them.
enum FftVariant {
    FFT_VARIANT_AUTO = -1,
    FFT_VARIANT_BASELINE = 0,
    FFT_VARIANT_AVX2 = 1,
    FFT_VARIANT_AVX512 = 2
};

bool fftVariantSupported(FftVariant variant);

// Pins the variant used by complexFft (FFT_VARIANT_AUTO restores the choice
// by processor). An unsupported variant is refused: returns false and
// changes nothing.
bool setFftVariant(FftVariant variant);
