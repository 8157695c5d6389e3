#include "core/CanonicalNaN.h"
#include "spectrum/BitReversal.h"
#include "spectrum/FftPasses.h"
#include "spectrum/FftTwiddles.h"
#include "spectrum/FftVariant.h"

#include <atomic>
#include <cstddef>
#include <immintrin.h>

namespace {

// The textbook butterfly loop without its bit reversal, for sizes too small
// for the vector kernels; its results follow the rule for not-a-numbers.
void scalarButterflyPasses(float* c, int log2n, int firstPass)
{
    const int nn = 1 << log2n;
    for (int h = 1 << firstPass; h < nn; h <<= 1) {
        TwiddleState state = startTwiddles(h);
        for (int t = 0; t < h; ++t) {
            for (int g = t; g < nn; g += 2 * h) {
                float* top = c + 2 * g;
                float* bottom = c + 2 * (g + h);
                double tempr = state.wr * bottom[0] - state.wi * bottom[1];
                double tempi = state.wr * bottom[1] + state.wi * bottom[0];
                bottom[0] = top[0] - tempr;
                bottom[1] = top[1] - tempi;
                top[0] += tempr;
                top[1] += tempi;
            }
            stepTwiddle(state.wr, state.wi, state.wpr, state.wpi);
        }
    }
    canonicalizeNaNs(c, 2 * static_cast<std::size_t>(nn));
}

} // namespace

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

// Each variant's functions carry their instruction set as an attribute
// rather than through a target pragma, which not every compiler honours.
namespace fft_baseline {
#define FFT_DOUBLES 2
#define FFT_TARGET
#include "spectrum/FftKernels.inc"
#undef FFT_TARGET
#undef FFT_DOUBLES
} // namespace fft_baseline

namespace fft_avx2 {
#define FFT_DOUBLES 4
#define FFT_TARGET __attribute__((target("avx2")))
#include "spectrum/FftKernels.inc"
#include "spectrum/FusedFirstPasses.inc"
#undef FFT_TARGET
#undef FFT_DOUBLES
} // namespace fft_avx2

namespace fft_avx512 {
#define FFT_DOUBLES 8
#define FFT_TARGET __attribute__((target("avx512f")))
#include "spectrum/FftKernels.inc"
#include "spectrum/FusedFirstPasses.inc"
#undef FFT_TARGET
#undef FFT_DOUBLES
} // namespace fft_avx512

#pragma GCC diagnostic pop

namespace {

// The entry points of one variant.
struct Kernels {
    void (*blockPasses)(float* c, int log2n, int firstBlock, int endBlock, int firstPass);
    void (*largePass)(float* c, int log2n, int s, int firstChunk, int endChunk, int firstGroup,
        int endGroup, TwiddleState& state);
    void (*largePassPair)(float* c, int log2n, int s, int firstChunk, int endChunk, int firstGroup,
        int endGroup, TwiddleState& first, TwiddleState& secondLow, TwiddleState& secondHigh);
    void (*butterflyPasses)(float* c, int log2n, int firstPass, bool settle);
    void (*butterflyPassesWithFactors)(
        float* c, int log2n, int firstPass, const double* large, bool settle);
    // Null where the variant has no fused first passes.
    FusedStart (*reverseWithFirstPasses)(float* c, int log2n);
};

// Indexed by FftVariant.
const Kernels kKernels[] = {
    { fft_baseline::blockPasses, fft_baseline::largePass, fft_baseline::largePassPairOfChunks,
        fft_baseline::butterflyPasses, fft_baseline::butterflyPassesWithFactors, nullptr },
    { fft_avx2::blockPasses, fft_avx2::largePass, fft_avx2::largePassPairOfChunks,
        fft_avx2::butterflyPasses, fft_avx2::butterflyPassesWithFactors,
        fft_avx2::reverseWithFirstPasses },
    { fft_avx512::blockPasses, fft_avx512::largePass, fft_avx512::largePassPairOfChunks,
        fft_avx512::butterflyPasses, fft_avx512::butterflyPassesWithFactors,
        fft_avx512::reverseWithFirstPasses },
};

FftVariant fastestVariant()
{
    if (fftVariantSupported(FFT_VARIANT_AVX512))
        return FFT_VARIANT_AVX512;
    if (fftVariantSupported(FFT_VARIANT_AVX2))
        return FFT_VARIANT_AVX2;
    return FFT_VARIANT_BASELINE;
}

std::atomic<const Kernels*> g_pinned { nullptr };

// The processor's choice is made once; a pinned variant overrides it.
const Kernels& kernels()
{
    if (const Kernels* pinned = g_pinned.load(std::memory_order_relaxed))
        return *pinned;
    static const Kernels& fastest = kKernels[fastestVariant()];
    return fastest;
}

} // namespace

void fftBlockPasses(float* c, int log2n, int firstBlock, int endBlock, int firstPass)
{
    kernels().blockPasses(c, log2n, firstBlock, endBlock, firstPass);
}

void fftLargePass(float* c, int log2n, int s, int firstChunk, int endChunk, int firstGroup,
    int endGroup, TwiddleState& state)
{
    kernels().largePass(c, log2n, s, firstChunk, endChunk, firstGroup, endGroup, state);
}

void fftLargePassPair(float* c, int log2n, int s, int firstChunk, int endChunk, int firstGroup,
    int endGroup, TwiddleState& first, TwiddleState& secondLow, TwiddleState& secondHigh)
{
    kernels().largePassPair(
        c, log2n, s, firstChunk, endChunk, firstGroup, endGroup, first, secondLow, secondHigh);
}

void fftAllPasses(float* c, int log2n, int firstPass, bool settle)
{
    kernels().butterflyPasses(c, log2n, firstPass, settle);
}

void fftAllPassesWithFactors(float* c, int log2n, int firstPass, const double* large, bool settle)
{
    kernels().butterflyPassesWithFactors(c, log2n, firstPass, large, settle);
}

bool fftHasFusedFirstPasses(int log2n)
{
    return kernels().reverseWithFirstPasses && log2n >= kSmallestFusedLog2 && log2n <= kSharedLog2;
}

FusedStart fftReverseWithFirstPasses(float* c, int log2n)
{
    if (!fftHasFusedFirstPasses(log2n))
        return {};
    return kernels().reverseWithFirstPasses(c, log2n);
}

bool fftVariantSupported(FftVariant variant)
{
    switch (variant) {
    case FFT_VARIANT_AUTO:
    case FFT_VARIANT_BASELINE:
        return true;
    case FFT_VARIANT_AVX2:
        return __builtin_cpu_supports("avx2");
    case FFT_VARIANT_AVX512:
        return __builtin_cpu_supports("avx512f");
    }
    return false;
}

bool setFftVariant(FftVariant variant)
{
    if (!fftVariantSupported(variant))
        return false;
    g_pinned.store(
        variant == FFT_VARIANT_AUTO ? nullptr : &kKernels[variant], std::memory_order_relaxed);
    return true;
}
