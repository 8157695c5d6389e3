#include "core/Parallel.h"
#include "spectrum/DataWindow.h"
#include "spectrum/Fft.h"
#include "spectrum/FftVariant.h"
#include "spectrum/PsdEstimator.h"
#include "support/PlainFft.h"
#include "support/PlainSpectrum.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
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
const std::uint32_t kCanonicalBits = 0x7fc00000u;

float fromBits(std::uint32_t bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::uint32_t bitsOf(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Not-a-numbers of both signs, quiet and signalling, with payloads, and
// infinities of both signs.
const std::vector<float> kSpecials
    = { fromBits(0x7fc01234u), fromBits(0xffc05678u), fromBits(0x7fa00001u), fromBits(0xff800002u),
          fromBits(0x7f800000u), fromBits(0xff800000u), fromBits(0xffc00000u) };

// Random values with a special value every `every` entries.
std::vector<float> withSpecials(std::size_t size, unsigned seed, std::size_t every)
{
    std::mt19937 generator(seed);
    std::uniform_real_distribution<float> value(-100.0f, 100.0f);
    std::vector<float> data(size);
    for (float& x : data)
        x = value(generator);
    for (std::size_t i = 1 + seed % every; i < size; i += every)
        data[i] = kSpecials[(i / every) % kSpecials.size()];
    return data;
}

// Counts the not-a-numbers; each must be the canonical one.
int notANumbers(const std::vector<float>& values, const std::string& where)
{
    int count = 0;
    int others = 0;
    for (float value : values) {
        if (value != value) {
            ++count;
            others += bitsOf(value) != kCanonicalBits;
        }
    }
    EXPECT_EQ(0, others) << where;
    return count;
}

} // namespace

TEST(CanonicalNaN, TransformGivesOneNaNInEveryVariantAndThreadCount)
{
    struct Case {
        int log2n;
        std::vector<float> input; // entries 1..2nn; empty: random with specials
    };
    const Case cases[] = {
        // The variants once disagreed on this one.
        { 1,
            { fromBits(0xbf400000u), fromBits(0x7fc01234u), fromBits(0xffc05678u),
                fromBits(0x00000000u) } },
        { 0, { fromBits(0xffc05678u), fromBits(0x7fa00001u) } },
        { 2, {} },
        { 3, {} },
        { 5, {} },
        { 12, {} },
        { 13, {} },
        { 15, {} },
        // Split among the threads.
        { 18, {} },
        { 19, {} },
    };
    Restore restore;
    for (const Case& c : cases) {
        const int nn = 1 << c.log2n;
        std::vector<float> input(1, 0.0f);
        if (c.input.empty()) {
            const std::vector<float> values
                = withSpecials(2 * static_cast<std::size_t>(nn), 70u + c.log2n, nn < 64 ? 3 : 97);
            input.insert(input.end(), values.begin(), values.end());
        } else {
            input.insert(input.end(), c.input.begin(), c.input.end());
        }
        std::vector<float> expected = input;
        oracleComplexFft(expected.data(), nn);
        for (FftVariant variant : kVariants) {
            if (!setFftVariant(variant))
                continue;
            for (int threads : { 1, 2, 3 }) {
                setParallelThreads(threads);
                std::vector<float> actual = input;
                complexFft(actual.data(), nn);
                const std::string where = "nn 2^" + std::to_string(c.log2n) + ", variant "
                    + std::to_string(variant) + ", threads " + std::to_string(threads);
                EXPECT_GT(notANumbers(actual, where), 0) << where;
                EXPECT_EQ(
                    0, std::memcmp(expected.data(), actual.data(), actual.size() * sizeof(float)))
                    << where;
            }
        }
    }
}

TEST(CanonicalNaN, EstimateGivesOneNaNInEveryVariantAndThreadCount)
{
    struct Case {
        int M, K, S;
        int windowType;
        int normalize;
        std::size_t every; // a special value every so many samples
    };
    const Case cases[] = {
        { 1, 4001, 1, NO_WINDOW, 1, 7 },
        { 2, 65537, 3, NO_WINDOW, 1, 13 },
        { 64, 300, 50, HANNING_WINDOW, 1, 501 },
        { 1 << 10, 257, 1000, WELCH_WINDOW, 0, 3001 },
        { 1 << 17, 1, 0, NO_WINDOW, 1, 100003 },
        { 1 << 17, 2, 1 << 16, PARZEN_WINDOW, 0, 70001 },
    };
    Restore restore;
    for (const Case& c : cases) {
        const int N = c.S * c.K + 2 * c.M;
        const std::vector<float> series
            = withSpecials(static_cast<std::size_t>(N) + 1, 5u + c.M, c.every);
        std::vector<float> expected(static_cast<std::size_t>(c.M) + 1);
        ASSERT_EQ(0,
            plainEstimatePsd(series.data(), N, c.windowType, 0, 1, c.M, c.S, c.K, c.normalize, 1,
                expected.data()));
        for (FftVariant variant : kVariants) {
            if (!setFftVariant(variant))
                continue;
            for (int threads : { 1, 2, 3 }) {
                setParallelThreads(threads);
                std::vector<float> actual(expected.size(), 1.0f);
                ASSERT_EQ(0,
                    estimatePsd(series.data(), N, c.windowType, 0, 1, c.M, c.S, c.K, c.normalize, 1,
                        actual.data()));
                const std::string where = "M " + std::to_string(c.M) + ", K " + std::to_string(c.K)
                    + ", variant " + std::to_string(variant) + ", threads "
                    + std::to_string(threads);
                EXPECT_GT(notANumbers(actual, where), 0) << where;
                EXPECT_EQ(
                    0, std::memcmp(expected.data(), actual.data(), actual.size() * sizeof(float)))
                    << where;
            }
        }
    }
}
