#include "spectrum/SplitFft.h"
#include "core/Parallel.h"
#include "core/Tuning.h"
#include "spectrum/BitReversal.h"
#include "spectrum/Fft.h"
#include "spectrum/FftVariant.h"
#include "support/PlainFft.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

struct Restore {
    ~Restore()
    {
        setParallelThreads(0);
        setFftVariant(FFT_VARIANT_AUTO);
    }
};

const FftVariant kVariants[] = { FFT_VARIANT_BASELINE, FFT_VARIANT_AVX2, FFT_VARIANT_AVX512 };

// Random values, or (withSpecials) a real signal with zeros of both signs,
// infinities and a not-a-number in a few places, which random data never
// reaches.
std::vector<float> input(int nn, unsigned seed, bool withSpecials)
{
    std::mt19937 generator(seed);
    std::uniform_real_distribution<float> value(-1000.0f, 1000.0f);
    std::vector<float> data(2 * static_cast<std::size_t>(nn) + 1, 0.0f);
    for (std::size_t i = 1; i < data.size(); ++i)
        data[i] = value(generator);
    if (withSpecials) {
        for (int k = 0; k < nn; ++k) {
            data[2 * k + 2] = (k % 3 == 0) ? -0.0f : 0.0f;
            if (k % 5 == 1)
                data[2 * k + 1] = -0.0f;
        }
        if (nn >= 64) {
            data[2 * (nn / 3) + 1] = std::numeric_limits<float>::infinity();
            data[2 * (nn / 5) + 1] = -std::numeric_limits<float>::infinity();
            data[2 * (nn / 7) + 2] = std::numeric_limits<float>::quiet_NaN();
        }
    }
    return data;
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

} // namespace

TEST(SplitFft, ComplexFftHasThePlainBitsWithOneAndTwoThreads)
{
    Restore restore;
    for (FftVariant variant : kVariants) {
        if (!setFftVariant(variant))
            continue;
        for (int log2n = 0; log2n <= 18; ++log2n) {
            const int nn = 1 << log2n;
            for (bool withSpecials : { false, true }) {
                const std::vector<float> data = input(nn, 300u + log2n, withSpecials);
                std::vector<float> expected = data;
                oracleComplexFft(expected.data(), nn);
                for (int threads : { 1, 2 }) {
                    setParallelThreads(threads);
                    std::vector<float> actual = data;
                    complexFft(actual.data(), nn);
                    EXPECT_TRUE(sameBits(expected, actual))
                        << "variant " << variant << ", nn 2^" << log2n << ", threads " << threads
                        << (withSpecials ? ", with special values" : "");
                }
            }
        }
    }
}

TEST(SplitFft, EveryShareOfEveryPassHasThePlainBits)
{
    // The split below the size where complexFft uses it: shares of one
    // chunk or none, fewer blocks than threads, uneven shares.
    Restore restore;
    setParallelThreads(2);
    for (FftVariant variant : kVariants) {
        if (!setFftVariant(variant))
            continue;
        for (int log2n = 0; log2n <= 18; ++log2n) {
            const int nn = 1 << log2n;
            const std::vector<float> data = input(nn, 500u + log2n, log2n % 2 == 1);
            std::vector<float> expected = data;
            oracleComplexFft(expected.data(), nn);
            // Slices of the shares: the tuned size, one group of one chunk,
            // and uneven ones; the starts walked at once or a few steps at a
            // time.
            struct Slices {
                std::size_t work;
                long walkSteps;
            };
            for (const Slices slices : { Slices { tuning::kPolledSliceWork, 0 }, Slices { 1, 0 },
                     Slices { 12345, 777 } }) {
                for (int parts : { 1, 2, 3, 5, 16 }) {
                    std::vector<float> actual = data;
                    float* c = actual.data() + 1;
                    // The bit reversal in uneven pieces of tiles, last piece first.
                    const std::uint32_t tiles = bitReversalTiles(log2n);
                    const std::uint32_t cut = tiles / 3;
                    fftBitReverseTiles(c, log2n, cut, tiles);
                    fftBitReverseTiles(c, log2n, 0, cut);
                    FftSplit split;
                    split.plan(log2n, parts, slices.work);
                    if (slices.walkSteps == 0)
                        split.walkStarts();
                    else
                        while (!split.walkSomeStarts(slices.walkSteps)) { }
                    std::vector<double> passes;
                    runSplitPasses(c, split, 0, [&](double done) {
                        passes.push_back(done);
                        return true;
                    });
                    EXPECT_TRUE(sameBits(expected, actual))
                        << "variant " << variant << ", nn 2^" << log2n << ", parts " << parts
                        << ", slices of " << slices.work;
                    ASSERT_FALSE(passes.empty());
                    EXPECT_TRUE(std::is_sorted(passes.begin(), passes.end()));
                    EXPECT_EQ(log2n, passes.back());
                }
            }
        }
    }
}
