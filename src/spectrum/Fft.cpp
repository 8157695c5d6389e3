#include "spectrum/Fft.h"

#include "core/Limits.h"

#include "core/CanonicalNaN.h"
#include "spectrum/BitReversal.h"
#include "spectrum/FftPasses.h"
#include "spectrum/FftTwiddles.h"
#include "spectrum/FirstPass.h"
#include "spectrum/SplitFft.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace {

// The factors of the large passes of transforms up to 2^19 points take up
// to 8 MiB; beyond, a table would cost more memory than the segments' time
// is worth.
constexpr int kLargestFactorTableLog2 = 19;

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

// Whether a transform has larger passes whose factors the shared tables hold.
bool hasSharedFactors(int log2n)
{
    return log2n > kBlockLog2 && log2n <= kSharedLog2;
}

} // namespace

int fftExactLog2(int nn)
{
    if (!isPowerOfTwo(nn))
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

void fftBitReverseTiles(float* c, int log2n, std::uint32_t firstTile, std::uint32_t endTile)
{
    if (log2n >= 2 * kTileLog2 + 2) {
        bitReverseLongTiles(c, log2n, firstTile, endTile);
        return;
    }
    forEachBitReversalInTiles(log2n, true, firstTile, endTile,
        [c](std::uint32_t k, std::uint32_t r) { swapElements(c, k, r); });
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
    if (hasSharedFactors(log2n))
        fftAllPassesWithFactors(data + 1, log2n, firstPass, sharedLargeTwiddleTables());
    else
        fftAllPasses(data + 1, log2n, firstPass);
}

bool FftFactors::make(int nn)
{
    m_table.reset();
    m_nn = 0;
    const int log2n = fftExactLog2(nn);
    if (log2n <= kSharedLog2 || log2n > kLargestFactorTableLog2)
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
    forEachBitReversalPairOfSamples(
        log2n, 0, bitReversalTiles(log2n), [samples](std::size_t k) { return samples[k]; },
        [c](std::size_t r, float a, float b) { realFirstButterfly(c + 2 * r, a, b); },
        [samples](std::size_t k) { __builtin_prefetch(samples + k); });
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
    float* c = data + 1;
    const FusedStart start = fftReverseWithFirstPasses(c, log2n);
    if (start.passes == 0)
        fftBitReverseTiles(c, log2n, 0, bitReversalTiles(log2n));
    const bool settle = !start.small;
    if (hasSharedFactors(log2n))
        fftAllPassesWithFactors(c, log2n, start.passes, sharedLargeTwiddleTables(), settle);
    else
        fftAllPasses(c, log2n, start.passes, settle);
}
