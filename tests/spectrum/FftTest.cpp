#include "spectrum/Fft.h"
#include "spectrum/BitReversal.h"
#include "spectrum/FftVariant.h"
#include "support/PlainFft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

// Restores processor-chosen dispatch however a test ends.
struct VariantPin {
    explicit VariantPin(FftVariant variant) { ok = setFftVariant(variant); }
    ~VariantPin() { setFftVariant(FFT_VARIANT_AUTO); }
    bool ok;
};

const FftVariant kVariants[] = { FFT_VARIANT_BASELINE, FFT_VARIANT_AVX2, FFT_VARIANT_AVX512 };

std::vector<float> randomComplex(int nn, unsigned seed)
{
    std::mt19937 generator(seed);
    std::uniform_real_distribution<float> value(-1000.0f, 1000.0f);
    std::vector<float> data(2 * static_cast<std::size_t>(nn) + 1);
    for (float& x : data)
        x = value(generator);
    return data;
}

std::vector<float> transformed(std::vector<float> data, int nn)
{
    complexFft(data.data(), nn);
    return data;
}

} // namespace

TEST(ComplexFft, MatchesPlainLoopBitForBitInEveryVariant)
{
    for (FftVariant variant : kVariants) {
        VariantPin pin(variant);
        if (!pin.ok)
            continue;
        // Values near the largest float overflow on the way and leave
        // not-a-numbers, which ordinary values never do.
        for (float scale : { 1.0f, 0x1p118f }) {
            for (int log2n = 0; log2n <= 18; ++log2n) {
                const int nn = 1 << log2n;
                std::vector<float> input = randomComplex(nn, 1000u + log2n);
                for (float& x : input)
                    x *= scale;
                std::vector<float> expected = input;
                oracleComplexFft(expected.data(), nn);
                std::vector<float> actual = transformed(input, nn);
                EXPECT_EQ(
                    0, std::memcmp(expected.data(), actual.data(), actual.size() * sizeof(float)))
                    << "variant " << variant << ", nn = 2^" << log2n << ", scale " << scale;
            }
        }
    }
}

TEST(ComplexFft, VariantsAgreeOnRealSignalsWithZeros)
{
    // Zero imaginary values and exact zeros exercise the signed-zero cases
    // of the butterflies, which random data never reaches.
    const int nn = 1 << 13;
    std::vector<float> input(2 * nn + 1, 0.0f);
    for (int k = 0; k < nn; k += 3)
        input[2 * k + 1] = (k % 7 == 0) ? -0.0f : static_cast<float>(std::sin(0.01 * k));
    std::vector<float> expected = input;
    oracleComplexFft(expected.data(), nn);
    for (FftVariant variant : kVariants) {
        VariantPin pin(variant);
        if (!pin.ok)
            continue;
        std::vector<float> actual = transformed(input, nn);
        EXPECT_EQ(0, std::memcmp(expected.data(), actual.data(), actual.size() * sizeof(float)))
            << "variant " << variant;
    }
}

TEST(ComplexFft, SmallTransformsHaveTheirClosedForms)
{
    struct Case {
        const char* name;
        int nn;
        std::vector<float> input; // entries 1..2nn
        std::vector<float> expected;
    };
    const Case cases[] = {
        { "nn=1 unchanged", 1, { 3.5f, -2.0f }, { 3.5f, -2.0f } },
        { "nn=2 first element", 2, { 1, 0, 0, 0 }, { 1, 0, 1, 0 } },
        { "nn=2 second element", 2, { 0, 0, 1, 0 }, { 1, 0, -1, 0 } },
        { "nn=4 positive exponent", 4, { 0, 0, 1, 0, 0, 0, 0, 0 }, { 1, 0, 0, 1, -1, 0, 0, -1 } },
    };
    for (const Case& c : cases) {
        std::vector<float> data(1, 0.0f);
        data.insert(data.end(), c.input.begin(), c.input.end());
        complexFft(data.data(), c.nn);
        for (std::size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_NEAR(c.expected[i], data[i + 1], 1e-6) << c.name << ", entry " << i + 1;
    }
}

TEST(ComplexFft, ConstantInputGoesToBinZero)
{
    const int nn = 1024;
    std::vector<float> data(2 * nn + 1, 0.0f);
    for (int k = 0; k < nn; ++k)
        data[2 * k + 1] = 0.25f;
    complexFft(data.data(), nn);
    EXPECT_NEAR(0.25 * nn, data[1], 1e-3);
    EXPECT_NEAR(0.0, data[2], 1e-3);
    for (int k = 1; k < nn; ++k) {
        EXPECT_NEAR(0.0, data[2 * k + 1], 1e-3) << "bin " << k;
        EXPECT_NEAR(0.0, data[2 * k + 2], 1e-3) << "bin " << k;
    }
}

TEST(ComplexFft, LengthThatIsNoPowerOfTwoLeavesDataAlone)
{
    // The textbook loop would run past the array for these lengths.
    for (int nn : { 0, -4, 3, 6, 12 }) {
        std::vector<float> data = randomComplex(nn > 0 ? nn : 1, 7u);
        std::vector<float> before = data;
        complexFft(data.data(), nn);
        EXPECT_EQ(before, data) << "nn = " << nn;
    }
}

TEST(ComplexFft, FirstPassOnRealSamplesKeepsThePassBits)
{
    // The fused first pass takes the zero imaginary values for granted; its
    // results must still be the whole transform's to the bit, also for
    // signed zeros, infinities, not-a-numbers (signalling ones too) and sums
    // that overflow, whose imaginary parts the pass turns into
    // not-a-numbers. Finite values that do not overflow are held to the
    // textbook loop as well (the variants need not agree with it on the
    // sign of a not-a-number).
    const float inf = std::numeric_limits<float>::infinity();
    const float max = std::numeric_limits<float>::max();
    const std::vector<float> finite = { 0.0f, -0.0f, std::numeric_limits<float>::denorm_min(),
        -std::numeric_limits<float>::denorm_min(), 1.0f, -1.0f, 0.5f };
    std::vector<float> all = finite;
    all.insert(all.end(),
        { inf, -inf, std::numeric_limits<float>::quiet_NaN(),
            -std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::signaling_NaN(),
            max, -max });
    for (FftVariant variant : kVariants) {
        VariantPin pin(variant);
        if (!pin.ok)
            continue;
        for (bool finiteOnly : { true, false }) {
            const std::vector<float>& specials = finiteOnly ? finite : all;
            const int specialCount = static_cast<int>(specials.size());
            for (int log2n = 1; log2n <= 14; ++log2n) {
                const int nn = 1 << log2n;
                std::mt19937 generator(40u + log2n);
                std::uniform_int_distribution<int> pick(0, 2 * specialCount);
                std::vector<float> real(nn + 1, 0.0f);
                for (int k = 1; k <= nn; ++k) {
                    const int p = pick(generator);
                    real[k] = p < specialCount ? specials[p] : static_cast<float>(p - specialCount);
                }
                std::vector<float> whole(2 * nn + 1, 0.0f);
                for (int k = 1; k <= nn; ++k)
                    whole[2 * k - 1] = real[k];
                std::vector<float> plain = whole;
                oracleComplexFft(plain.data(), nn);
                complexFft(whole.data(), nn);
                std::vector<float> fused(2 * nn + 1, 1.0f);
                loadRealWithFirstPass(fused.data(), nn, real.data());
                complexFftPassesFrom(fused.data(), nn, 1);
                const std::size_t bytes = fused.size() * sizeof(float);
                EXPECT_EQ(0, std::memcmp(whole.data(), fused.data(), bytes))
                    << "variant " << variant << ", nn = 2^" << log2n
                    << (finiteOnly ? ", finite" : ", all specials");
                if (finiteOnly) {
                    EXPECT_EQ(0, std::memcmp(plain.data(), fused.data(), bytes))
                        << "variant " << variant << ", nn = 2^" << log2n;
                }
            }
        }
    }
}

TEST(ComplexFft, FactorTablesKeepThePassBits)
{
    // Lengths whose large passes take the shared tables (up to 2^17) and
    // tables of their own (2^18, 2^19), one to seven of them beyond the
    // in-block passes, with infinities and not-a-numbers of both signs among
    // the values: which operand's not-a-number an addition passes on must
    // not change either.
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (FftVariant variant : kVariants) {
        VariantPin pin(variant);
        if (!pin.ok)
            continue;
        for (int log2n = 12; log2n <= 19; ++log2n) {
            const int nn = 1 << log2n;
            std::vector<float> input = randomComplex(nn, 500u + log2n);
            for (std::size_t i = 7; i < input.size(); i += 613)
                input[i] = (i / 613) % 4 == 0 ? nan
                    : (i / 613) % 4 == 1      ? -nan
                    : (i / 613) % 4 == 2      ? inf
                                              : -inf;
            std::vector<float> expected = input;
            oracleComplexFft(expected.data(), nn);
            // The passes alone take their input in bit-reversed order.
            std::vector<float> reversed = input;
            for (int k = 0; k < nn; ++k) {
                const int r = static_cast<int>(reverseBits(static_cast<std::uint32_t>(k), log2n));
                reversed[2 * r + 1] = input[2 * k + 1];
                reversed[2 * r + 2] = input[2 * k + 2];
            }
            FftFactors factors;
            factors.make(nn);
            std::vector<float> made = reversed;
            complexFftPassesFrom(made.data(), nn, 0);
            complexFftPassesFrom(reversed.data(), nn, 0, factors);
            EXPECT_EQ(0, std::memcmp(expected.data(), made.data(), made.size() * sizeof(float)))
                << "variant " << variant << ", nn = 2^" << log2n;
            EXPECT_EQ(0, std::memcmp(expected.data(), reversed.data(), made.size() * sizeof(float)))
                << "variant " << variant << ", nn = 2^" << log2n << ", with factors";
        }
    }
    // A table of another length is not used.
    FftFactors factors;
    ASSERT_TRUE(factors.make(1 << 18));
    std::vector<float> input = randomComplex(1 << 19, 9u);
    std::vector<float> made = input;
    complexFftPassesFrom(made.data(), 1 << 19, 1);
    complexFftPassesFrom(input.data(), 1 << 19, 1, factors);
    EXPECT_EQ(made, input);
}
