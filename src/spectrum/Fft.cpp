#include "spectrum/Fft.h"

#include "spectrum/BitReversal.h"
#include "spectrum/CanonicalNaN.h"
#include "spectrum/FftPasses.h"
#include "spectrum/FftVariant.h"
#include "spectrum/FirstPass.h"
#include "spectrum/SplitFft.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <immintrin.h>
#include <new>

// Only these two sine calls are made per pass; every twiddle factor after
// the first comes from the recurrence, in the same order and with the same
// operations as the textbook loop, so the values are the same to the bit.
TwiddleState startTwiddles(int h)
{
    double theta = 6.28318530717959 / (2 * h);
    double wtemp = std::sin(0.5 * theta);
    return { 1.0, 0.0, -2.0 * wtemp * wtemp, std::sin(theta) };
}

namespace {

// Blocks of 2^12 complex elements (32 KiB) stay in the first-level cache
// through the first twelve passes; their twiddle tables take 64 KiB of
// static storage and the chunk of a larger pass 32 KiB of stack.
constexpr int kBlockLog2 = 12;
constexpr int kChunk = 2048;
// The factors of the large passes of transforms up to 2^19 points take up
// to 8 MiB; beyond, a table would cost more memory than the segments' time
// is worth.
constexpr int kLargestFactorTableLog2 = 19;

// Writes the next `count` factors as (wr, wi) pairs and advances the state.
void nextTwiddles(TwiddleState& state, double* out, int count)
{
    double wr = state.wr;
    double wi = state.wi;
    const double wpr = state.wpr;
    const double wpi = state.wpi;
    for (int t = 0; t < count; ++t) {
        out[2 * t] = wr;
        out[2 * t + 1] = wi;
        double wtemp = wr;
        wr = wr * wpr - wi * wpi + wr;
        wi = wi * wpr + wtemp * wpi + wi;
    }
    state.wr = wr;
    state.wi = wi;
}

// Two independent sequences advanced side by side: each step of one waits
// on the step before it, so interleaving two of them nearly halves the time.
void nextTwiddlesPair(TwiddleState& a, double* outA, TwiddleState& b, double* outB, int count)
{
    double ar = a.wr, ai = a.wi, br = b.wr, bi = b.wi;
    for (int t = 0; t < count; ++t) {
        outA[2 * t] = ar;
        outA[2 * t + 1] = ai;
        outB[2 * t] = br;
        outB[2 * t + 1] = bi;
        double atemp = ar;
        ar = ar * a.wpr - ai * a.wpi + ar;
        ai = ai * a.wpr + atemp * a.wpi + ai;
        double btemp = br;
        br = br * b.wpr - bi * b.wpi + br;
        bi = bi * b.wpr + btemp * b.wpi + bi;
    }
    a.wr = ar;
    a.wi = ai;
    b.wr = br;
    b.wi = bi;
}

} // namespace

void advanceTwiddlePair(TwiddleState& a, long stepsA, TwiddleState& b, long stepsB)
{
    const long both = stepsA < stepsB ? stepsA : stepsB;
    double ar = a.wr, ai = a.wi, br = b.wr, bi = b.wi;
    for (long t = 0; t < both; ++t) {
        double atemp = ar;
        ar = ar * a.wpr - ai * a.wpi + ar;
        ai = ai * a.wpr + atemp * a.wpi + ai;
        double btemp = br;
        br = br * b.wpr - bi * b.wpi + br;
        bi = bi * b.wpr + btemp * b.wpi + bi;
    }
    for (long t = both; t < stepsA; ++t) {
        double atemp = ar;
        ar = ar * a.wpr - ai * a.wpi + ar;
        ai = ai * a.wpr + atemp * a.wpi + ai;
    }
    for (long t = both; t < stepsB; ++t) {
        double btemp = br;
        br = br * b.wpr - bi * b.wpi + br;
        bi = bi * b.wpr + btemp * b.wpi + bi;
    }
    a.wr = ar;
    a.wi = ai;
    b.wr = br;
    b.wi = bi;
}

namespace {

// Tables of the passes with half-spans 2^first .. 2^(end-1), the table of
// half-span h at tables + 2*(h - 2^first). The longest sequence runs beside
// all the shorter ones in turn.
void fillPassTables(double* tables, int first, int end)
{
    if (end <= first)
        return;
    const int longest = 1 << (end - 1);
    TwiddleState big = startTwiddles(longest);
    double* bigOut = tables + 2 * (longest - (1 << first));
    int done = 0;
    for (int s = end - 2; s >= first; --s) {
        TwiddleState state = startTwiddles(1 << s);
        nextTwiddlesPair(
            big, bigOut + 2 * done, state, tables + 2 * ((1 << s) - (1 << first)), 1 << s);
        done += 1 << s;
    }
    nextTwiddles(big, bigOut + 2 * done, longest - done);
}

void fillSmallTables(double* tables, int count)
{
    fillPassTables(tables, 0, count);
}

// The factors of a pass depend on its half-span alone, not on the length of
// the transform, so the tables of the in-block passes are made once, by the
// same recurrence, on first use (thread-safe static initialisation) and
// shared by every transform and variant. For short transforms their making
// would otherwise cost as much as the butterflies.
const double* smallTwiddleTables()
{
    struct Tables {
        Tables() { fillSmallTables(values, kBlockLog2); }
        double values[2 * (1 << kBlockLog2)];
    };
    static const Tables tables;
    return tables.values;
}

// The textbook butterfly loop without its bit reversal, for sizes too small
// for the vector kernels; its results follow the rule for not-a-numbers.
void scalarButterflyPasses(float* c, int log2n, int firstPass)
{
    const int nn = 1 << log2n;
    for (int h = 1 << firstPass; h < nn; h <<= 1) {
        TwiddleState state = startTwiddles(h);
        for (int t = 0; t < h; ++t) {
            double wr = state.wr;
            double wi = state.wi;
            for (int g = t; g < nn; g += 2 * h) {
                float* top = c + 2 * g;
                float* bottom = c + 2 * (g + h);
                double tempr = wr * bottom[0] - wi * bottom[1];
                double tempi = wr * bottom[1] + wi * bottom[0];
                bottom[0] = top[0] - tempr;
                bottom[1] = top[1] - tempi;
                top[0] += tempr;
                top[1] += tempi;
            }
            double ignored[2];
            nextTwiddles(state, ignored, 1);
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
#undef FFT_TARGET
#undef FFT_DOUBLES
} // namespace fft_avx2

namespace fft_avx512 {
#define FFT_DOUBLES 8
#define FFT_TARGET __attribute__((target("avx512f")))
#include "spectrum/FftKernels.inc"
#undef FFT_TARGET
#undef FFT_DOUBLES
} // namespace fft_avx512

#pragma GCC diagnostic pop

namespace {

FftVariant g_pinnedVariant = FFT_VARIANT_AUTO;

FftVariant chosenVariant()
{
    if (g_pinnedVariant != FFT_VARIANT_AUTO)
        return g_pinnedVariant;
    if (fftVariantSupported(FFT_VARIANT_AVX512))
        return FFT_VARIANT_AVX512;
    if (fftVariantSupported(FFT_VARIANT_AVX2))
        return FFT_VARIANT_AVX2;
    return FFT_VARIANT_BASELINE;
}

// Exchanges complex elements a and b; moved as 64-bit words so that no
// value passes through a floating-point register.
inline void swapElements(float* c, std::uint32_t a, std::uint32_t b)
{
    std::uint64_t x;
    std::uint64_t y;
    std::memcpy(&x, c + 2 * a, 8);
    std::memcpy(&y, c + 2 * b, 8);
    std::memcpy(c + 2 * a, &y, 8);
    std::memcpy(c + 2 * b, &x, 8);
}

} // namespace

int fftExactLog2(int nn)
{
    if (nn < 1 || (nn & (nn - 1)) != 0)
        return -1;
    int log2n = 0;
    while ((1 << log2n) < nn)
        ++log2n;
    return log2n;
}

int fftBlockLog2(int log2n)
{
    return log2n < kBlockLog2 ? log2n : kBlockLog2;
}

int fftChunkLength()
{
    return kChunk;
}

// Eight elements are two vectors of the widest variant, so every variant
// takes its vector path from here on.
bool fftHasBlocks(int log2n)
{
    return log2n >= 3;
}

void fftBlockPasses(float* c, int log2n, int firstBlock, int endBlock, int firstPass)
{
    switch (chosenVariant()) {
    case FFT_VARIANT_AVX512:
        fft_avx512::blockPasses(c, log2n, firstBlock, endBlock, firstPass);
        break;
    case FFT_VARIANT_AVX2:
        fft_avx2::blockPasses(c, log2n, firstBlock, endBlock, firstPass);
        break;
    default:
        fft_baseline::blockPasses(c, log2n, firstBlock, endBlock, firstPass);
        break;
    }
}

void fftLargePass(float* c, int log2n, int s, int firstChunk, int endChunk, TwiddleState state)
{
    switch (chosenVariant()) {
    case FFT_VARIANT_AVX512:
        fft_avx512::largePass(c, log2n, s, firstChunk, endChunk, state);
        break;
    case FFT_VARIANT_AVX2:
        fft_avx2::largePass(c, log2n, s, firstChunk, endChunk, state);
        break;
    default:
        fft_baseline::largePass(c, log2n, s, firstChunk, endChunk, state);
        break;
    }
}

void fftAllPasses(float* c, int log2n, int firstPass)
{
    switch (chosenVariant()) {
    case FFT_VARIANT_AVX512:
        fft_avx512::butterflyPasses(c, log2n, firstPass);
        break;
    case FFT_VARIANT_AVX2:
        fft_avx2::butterflyPasses(c, log2n, firstPass);
        break;
    default:
        fft_baseline::butterflyPasses(c, log2n, firstPass);
        break;
    }
}

void fftAllPassesWithFactors(float* c, int log2n, int firstPass, const double* large)
{
    switch (chosenVariant()) {
    case FFT_VARIANT_AVX512:
        fft_avx512::butterflyPassesWithFactors(c, log2n, firstPass, large);
        break;
    case FFT_VARIANT_AVX2:
        fft_avx2::butterflyPassesWithFactors(c, log2n, firstPass, large);
        break;
    default:
        fft_baseline::butterflyPassesWithFactors(c, log2n, firstPass, large);
        break;
    }
}

void fftBitReverseTiles(float* c, int log2n, std::uint32_t firstTile, std::uint32_t endTile)
{
    forEachBitReversalInTiles(log2n, true, firstTile, endTile,
        [c](std::uint32_t k, std::uint32_t r) { swapElements(c, k, r); });
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
    g_pinnedVariant = variant;
    return true;
}

void complexFftPasses(float* data, int nn)
{
    const int log2n = fftExactLog2(nn);
    if (log2n <= 0)
        return;
    fftAllPasses(data + 1, log2n, 0);
}

void complexFftPassesFrom(float* data, int nn, int firstPass)
{
    const int log2n = fftExactLog2(nn);
    if (log2n < 0 || firstPass < 0)
        return;
    // The pass that would have given the results their not-a-numbers was
    // done by the caller (see loadRealWithFirstPass).
    if (firstPass >= log2n) {
        canonicalizeNaNs(data + 1, 2 * static_cast<std::size_t>(nn));
        return;
    }
    fftAllPasses(data + 1, log2n, firstPass);
}

bool FftFactors::make(int nn)
{
    m_table.reset();
    m_nn = 0;
    const int log2n = fftExactLog2(nn);
    if (log2n <= kBlockLog2 || log2n > kLargestFactorTableLog2)
        return false;
    const std::size_t doubles
        = 2 * ((std::size_t { 1 } << log2n) - (std::size_t { 1 } << kBlockLog2));
    m_table.reset(new (std::nothrow) double[doubles]);
    if (!m_table)
        return false;
    fillPassTables(m_table.get(), kBlockLog2, log2n);
    m_nn = nn;
    return true;
}

bool FftFactors::holds(int nn) const
{
    return m_table && m_nn == nn;
}

void complexFftPassesFrom(float* data, int nn, int firstPass, const FftFactors& factors)
{
    if (!factors.holds(nn) || firstPass < 0) {
        complexFftPassesFrom(data, nn, firstPass);
        return;
    }
    fftAllPassesWithFactors(data + 1, fftExactLog2(nn), firstPass, factors.table());
}

void loadRealWithFirstPass(float* data, int nn, const float* real)
{
    const int log2n = fftExactLog2(nn);
    if (log2n < 1)
        return;
    data[0] = 0.0f;
    float* c = data + 1;
    const float* samples = real + 1;
    if (log2n == 1) {
        realFirstButterfly(c, samples[0], samples[1]);
        return;
    }
    const std::uint32_t half = 1u << (log2n - 1);
    forEachBitReversalPairInTiles(
        log2n, 0, bitReversalTiles(log2n), [c, samples, half](std::uint32_t k, std::uint32_t r) {
            realFirstButterfly(c + 2 * r, samples[k], samples[k + half]);
        });
}

void loadBitReversedReal(float* data, int nn, const float* real)
{
    const int log2n = fftExactLog2(nn);
    if (log2n < 0)
        return;
    data[0] = 0.0f;
    float* c = data + 1;
    const float* samples = real + 1;
    forEachBitReversal(log2n, false, [c, samples](std::uint32_t k, std::uint32_t r) {
        c[2 * r] = samples[k];
        c[2 * r + 1] = 0.0f;
    });
}

void complexFft(float* data, int nn)
{
    const int log2n = fftExactLog2(nn);
    if (log2n < 0)
        return;
    if (log2n == 0) {
        canonicalizeNaNs(data + 1, 2);
        return;
    }
    if (worthSplitting(log2n)) {
        splitComplexFft(data + 1, log2n);
        return;
    }
    fftBitReverseTiles(data + 1, log2n, 0, bitReversalTiles(log2n));
    fftAllPasses(data + 1, log2n, 0);
}
