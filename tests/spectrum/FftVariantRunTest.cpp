// Each variant of the transform this build has, one test each: a variant
// the processor lacks is reported as skipped, not passed over in silence.

#include "core/Parallel.h"
#include "spectrum/Fft.h"
#include "spectrum/FftVariant.h"
#include "support/PlainFft.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class FftVariantRun : public ::testing::TestWithParam<FftVariant> {
protected:
    void TearDown() override
    {
        setFftVariant(FFT_VARIANT_AUTO);
        setParallelThreads(0);
    }
};

} // namespace

// Sizes on the calling thread and split among threads (2^18 points).
TEST_P(FftVariantRun, MatchesThePlainLoopSmallAndSplit)
{
    if (!setFftVariant(GetParam()))
        GTEST_SKIP() << "this processor lacks the variant";
    setParallelThreads(3);
    for (const int nn : { 1 << 10, 1 << 18 }) {
        std::vector<float> expected(2 * static_cast<std::size_t>(nn) + 1);
        for (std::size_t i = 1; i < expected.size(); ++i)
            expected[i] = static_cast<float>((i * 2654435761u) % 2001) / 1000.0f - 1.0f;
        std::vector<float> actual = expected;
        oracleComplexFft(expected.data(), nn);
        complexFft(actual.data(), nn);
        EXPECT_EQ(std::memcmp(actual.data(), expected.data(), actual.size() * sizeof(float)), 0)
            << "nn " << nn;
    }
}

namespace {

std::string variantName(const ::testing::TestParamInfo<FftVariant>& info)
{
    const char* const names[] = { "Baseline", "Avx2", "Avx512" };
    return names[info.index];
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Variants, FftVariantRun,
    ::testing::Values(FFT_VARIANT_BASELINE, FFT_VARIANT_AVX2, FFT_VARIANT_AVX512), variantName);
