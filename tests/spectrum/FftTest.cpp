#include "spectrum/Fft.h"
#include "spectrum/FftVariant.h"
#include "support/PlainFft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
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
        for (int log2n = 0; log2n <= 18; ++log2n) {
            const int nn = 1 << log2n;
            std::vector<float> input = randomComplex(nn, 1000u + log2n);
            std::vector<float> expected = input;
            plainComplexFft(expected.data(), nn);
            std::vector<float> actual = transformed(input, nn);
            EXPECT_EQ(0, std::memcmp(expected.data(), actual.data(), actual.size() * sizeof(float)))
                << "variant " << variant << ", nn = 2^" << log2n;
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
    plainComplexFft(expected.data(), nn);
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
