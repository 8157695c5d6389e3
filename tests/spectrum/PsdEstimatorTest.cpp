#include "spectrum/PsdEstimator.h"
#include "spectrum/DataWindow.h"
#include "spectrum/FftVariant.h"
#include "support/PlainSpectrum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Samples from a fixed integer recurrence, exact in float, so that the
// series is the same on every library and build.
std::vector<float> pseudoNoise(int N, std::uint64_t seed)
{
    std::vector<float> series(N + 1, 0.0f);
    std::uint64_t x = seed;
    for (int i = 1; i <= N; ++i) {
        x = x * 6364136223846793005ull + 1442695040888963407ull;
        series[i] = static_cast<float>(static_cast<int>(x >> 52) - 2048) / 256.0f;
    }
    return series;
}

struct Estimate {
    int status;
    std::vector<float> psd;
};

struct Settings {
    int windowType = NO_WINDOW;
    int amplitudeOutput = 0;
    int extractAverage = 1;
    int normalize = 1;
    int logOutput = 1;
};

Estimate estimate(const std::vector<float>& series, int M, int S, int K, Settings s = {})
{
    Estimate e { 0, std::vector<float>(M > 0 ? M + 1 : 1, 0.0f) };
    e.status = estimatePsd(series.data(), static_cast<int>(series.size()) - 1, s.windowType,
        s.amplitudeOutput, s.extractAverage, M, S, K, s.normalize, s.logOutput, e.psd.data());
    return e;
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

} // namespace

TEST(EstimatePsd, MatchesPlainEstimateBitForBit)
{
    struct Case {
        int N, M, K, S;
        Settings settings;
    };
    const Case cases[] = {
        { 4096, 1024, 1, 0, { HANNING_WINDOW } },
        { 4096, 512, 6, 512, { PARZEN_WINDOW } },
        { 5000, 256, 9, 300, { WELCH_WINDOW, 0, 0, 0, 1 } },
        { 1000, 64, 10, 64, { HANNING_WINDOW, 1, 1, 1, 0 } },
        { 64, 1, 30, 2, { HANNING_WINDOW } },
        { 64, 1, 30, 2, { NO_WINDOW, 0, 0 } },
        { 8, 2, 1, 0, { 5 } },
        { 1 << 16, 1 << 15, 1, 0, { WELCH_WINDOW } },
        { 3 << 15, 1 << 14, 4, 1 << 14, { HANNING_WINDOW, 0, 1, 0, 1 } },
        // Segments on either side of the sizes whose load goes through the
        // transform's fused first sweep (2^6 to 2^17 points).
        { 200, 16, 3, 40, { HANNING_WINDOW } },
        { 200, 32, 2, 50, { PARZEN_WINDOW } },
        { 3 << 17, 1 << 16, 2, 1 << 17, { HANNING_WINDOW } },
        { 3 << 18, 1 << 17, 2, 1 << 18, { WELCH_WINDOW, 0, 1, 1, 1 } },
    };
    struct AutoVariantAtEnd {
        ~AutoVariantAtEnd() { setFftVariant(FFT_VARIANT_AUTO); }
    } autoVariantAtEnd;
    for (FftVariant variant : { FFT_VARIANT_BASELINE, FFT_VARIANT_AVX2, FFT_VARIANT_AVX512 }) {
        if (!setFftVariant(variant))
            continue;
        for (const Case& c : cases) {
            const std::vector<float> series = pseudoNoise(c.N, 17u + c.M);
            const Settings& s = c.settings;
            std::vector<float> expected(c.M + 1);
            ASSERT_EQ(0,
                plainEstimatePsd(series.data(), c.N, s.windowType, s.amplitudeOutput,
                    s.extractAverage, c.M, c.S, c.K, s.normalize, s.logOutput, expected.data()));
            const Estimate actual = estimate(series, c.M, c.S, c.K, s);
            EXPECT_EQ(0, actual.status);
            EXPECT_TRUE(sameBits(expected, actual.psd))
                << "variant " << variant << ", N " << c.N << ", M " << c.M << ", K " << c.K
                << ", S " << c.S << ", window " << s.windowType;
        }
    }
}

// Noise against a direct transform in double precision: the same shape of
// spectrum up to float rounding, whatever the math library's last bits.
TEST(EstimatePsd, AgreesWithADirectTransform)
{
    const int M = 64, S = 100, K = 5;
    const std::vector<float> series = pseudoNoise(1000, 2024u);
    const Estimate e = estimate(series, M, S, K);
    ASSERT_EQ(0, e.status);
    std::vector<double> power(M, 0.0);
    for (int k = 0; k < K; ++k) {
        double mean = 0.0;
        for (int j = 0; j < 2 * M; ++j)
            mean += series[1 + k * S + j];
        mean /= 2 * M;
        for (int f = 1; f < M; ++f) {
            std::complex<double> sum = 0.0;
            for (int j = 0; j < 2 * M; ++j)
                sum += (series[1 + k * S + j] - mean) * std::polar(1.0, -M_PI * f * j / M);
            power[f] += std::norm(sum);
        }
    }
    // Both are logarithms; the normalization is a common offset.
    double offsetEstimate = 0.0, offsetDirect = 0.0;
    for (int f = 1; f < M; ++f) {
        offsetEstimate += e.psd[f];
        offsetDirect += std::log10(power[f]);
    }
    for (int f = 1; f < M; ++f)
        EXPECT_NEAR(e.psd[f] - offsetEstimate / (M - 1),
            std::log10(power[f]) - offsetDirect / (M - 1), 1e-4)
            << "bin " << f;
}

TEST(EstimatePsd, AlternatingSeriesHasItsHandDerivedSpectrum)
{
    // X_1 = 2 (or 2i): periodogram 0, 8, floor.
    for (const std::vector<float>& series :
        { std::vector<float> { 0, 1, 0, -1, 0 }, std::vector<float> { 0, 0, 1, 0, -1 } }) {
        const Estimate normalized = estimate(series, 2, 0, 1);
        ASSERT_EQ(0, normalized.status);
        EXPECT_FLOAT_EQ(0.0f, normalized.psd[0]);
        EXPECT_NEAR(0.0, normalized.psd[1], 1e-7);
        EXPECT_NEAR(std::log10(1e-30 / 8), normalized.psd[2], 1e-5);
        const Estimate raw = estimate(series, 2, 0, 1, { NO_WINDOW, 0, 1, 0, 1 });
        EXPECT_NEAR(std::log10(8.0), raw.psd[1], 1e-6);
        EXPECT_NEAR(-30.0, raw.psd[2], 1e-5);
    }
}

TEST(EstimatePsd, ConstantSeriesSpreadsTheFloorEvenly)
{
    // With the mean removed every bin is floored; without it only bin 0
    // carries power, and the transform of a constant leaves the other bins
    // exactly zero, so they are floored as well.
    const int M = 1024;
    const std::vector<float> series(2 * M + 1, 0.75f);
    for (int extractAverage : { 1, 0 }) {
        const int windowType = extractAverage ? HANNING_WINDOW : NO_WINDOW;
        const Estimate e = estimate(series, M, 0, 1, { windowType, 0, extractAverage });
        ASSERT_EQ(0, e.status);
        for (int i = 1; i <= M; ++i)
            ASSERT_NEAR(-3.0103, e.psd[i], 1e-4)
                << "entry " << i << ", mean off " << extractAverage;
        const double bin0 = extractAverage ? 0.0 : std::pow(2.0 * M * 0.75, 2);
        EXPECT_FLOAT_EQ(static_cast<float>(bin0), e.psd[0]);
    }
}

TEST(EstimatePsd, ToneOnABinPeaksThere)
{
    const int M = 256;
    for (int k0 : { 1, 7, 100, 255 }) {
        std::vector<float> cosine(2 * M + 1);
        std::vector<float> sine(2 * M + 1);
        for (int i = 1; i <= 2 * M; ++i) {
            const double phase = 2.0 * M_PI * k0 * (i - 1) / (2.0 * M);
            cosine[i] = static_cast<float>(std::cos(phase));
            sine[i] = static_cast<float>(std::sin(phase));
        }
        const Estimate c = estimate(cosine, M, 0, 1);
        const Estimate s = estimate(sine, M, 0, 1);
        EXPECT_NEAR(c.psd[k0], s.psd[k0], 1e-5) << "k0 " << k0;
        EXPECT_NEAR(0.0, c.psd[k0], 1e-5) << "k0 " << k0;
        for (int i = 1; i < M; ++i) {
            if (i != k0) {
                ASSERT_LT(c.psd[i], c.psd[k0] - 5.0f) << "k0 " << k0 << ", entry " << i;
            }
        }
    }
}

TEST(EstimatePsd, NormalizedPowersSumToOne)
{
    const std::vector<float> series = pseudoNoise(9000, 5u);
    for (int windowType : { NO_WINDOW, HANNING_WINDOW, PARZEN_WINDOW, WELCH_WINDOW }) {
        const Estimate e = estimate(series, 512, 700, 11, { windowType, 0, 1, 1, 0 });
        ASSERT_EQ(0, e.status);
        double sum = 0.0;
        for (int i = 1; i <= 512; ++i)
            sum += e.psd[i];
        EXPECT_NEAR(1.0, sum, 1e-5) << "window " << windowType;
    }
}

TEST(EstimatePsd, SegmentsStartShiftApartAndNeedOneShiftMore)
{
    // N = 10, M = 2, K = 3, S = 2: segments 1-4, 3-6, 5-8; samples 9 and 10
    // are never read. N = 9 is refused although the segments would fit.
    std::vector<float> series = pseudoNoise(10, 3u);
    const Estimate first = estimate(series, 2, 2, 3);
    ASSERT_EQ(0, first.status);
    series[9] = 1e6f;
    series[10] = -1e6f;
    EXPECT_TRUE(sameBits(first.psd, estimate(series, 2, 2, 3).psd));
    series.resize(10);
    EXPECT_EQ(1, estimate(series, 2, 2, 3).status);

    // S = 0 repeats the first segment: K = 5 gives K = 1 up to rounding.
    const std::vector<float> longer = pseudoNoise(600, 4u);
    const Estimate once = estimate(longer, 128, 0, 1);
    const Estimate repeated = estimate(longer, 128, 0, 5);
    for (int i = 1; i < 128; ++i)
        EXPECT_NEAR(once.psd[i], repeated.psd[i], 1e-5) << "entry " << i;
}

TEST(EstimatePsd, RefusesConfigurationsOutsideItsBuffers)
{
    struct Case {
        const char* name;
        int M, S, K;
    };
    const Case cases[] = {
        { "M not a power of two", 3, 0, 1 },
        { "M zero", 0, 0, 1 },
        { "M negative", -4, 0, 1 },
        { "K zero", 4, 0, 0 },
        { "K negative", 4, 0, -2 },
        { "S negative", 4, -1, 1 },
        { "2M beyond N", 64, 0, 1 },
        { "S*K beyond 32 bits", 4, 1 << 30, 8 },
    };
    const std::vector<float> series = pseudoNoise(100, 9u);
    for (const Case& c : cases) {
        std::vector<float> psd(70, 42.0f);
        EXPECT_EQ(1,
            estimatePsd(series.data(), 100, HANNING_WINDOW, 0, 1, c.M, c.S, c.K, 1, 1, psd.data()))
            << c.name;
        EXPECT_EQ(std::vector<float>(70, 42.0f), psd) << c.name << ": psd untouched";
    }
}

TEST(SegmentPeriodogram, IsOneSegmentOfTheEstimate)
{
    // 1, 0, -1, 0: periodogram 0, 8, floor.
    std::vector<float> segment { 0, 1, 0, -1, 0 };
    std::vector<float> power(3, 42.0f);
    ASSERT_EQ(0, segmentPeriodogram(segment.data(), power.data(), 2, NO_WINDOW, 0));
    EXPECT_EQ((std::vector<float> { 0.0f, 8.0f, PSD_FLOOR }), power);

    // Mean removal and the periodogram on their own give the unnormalized,
    // unlogged estimate of one segment, bit for bit.
    for (int windowType : { NO_WINDOW, HANNING_WINDOW, PARZEN_WINDOW, WELCH_WINDOW }) {
        for (int amplitudeOutput : { 0, 1 }) {
            const std::vector<float> series = pseudoNoise(1 << 13, 11u);
            std::vector<float> tapered = series;
            removeMean(tapered.data(), 1 << 13);
            std::vector<float> periodogram(1 << 12 | 1);
            ASSERT_EQ(0,
                segmentPeriodogram(
                    tapered.data(), periodogram.data(), 1 << 12, windowType, amplitudeOutput));
            const Estimate e
                = estimate(series, 1 << 12, 0, 1, { windowType, amplitudeOutput, 1, 0, 0 });
            EXPECT_TRUE(sameBits(e.psd, periodogram))
                << "window " << windowType << ", amplitude " << amplitudeOutput;
        }
    }
}
