#include "spectrum/SpectralMeasures.h"
#include "spectrum/DataWindow.h"
#include "spectrum/PsdEstimator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double kNoBand = -1.0;

// A spectrum of M+1 entries whose entry i holds log10(i), so that the low
// band 2..b holds the power b(b+1)/2 - 1.
void setCountingSpectrum(AnalysisState& state, int M)
{
    ASSERT_TRUE(state.psd.allocate(static_cast<std::size_t>(M) + 1));
    state.psd[0] = 0.0f;
    for (int i = 1; i <= M; ++i)
        state.psd[i] = static_cast<float>(std::log10(static_cast<double>(i)));
    state.psdSize = M;
    state.psdValid = 1;
}

// What LB must be for lbFrequencies b over the counting spectrum of size M.
double countingBand(int b, int M)
{
    if (b <= 0 || b > M / 2)
        return kNoBand;
    return std::log10(b * (b + 1.0) / 2.0 - 1.0);
}

void expectLb(double expected, double actual, const std::string& where)
{
    if (std::isinf(expected))
        EXPECT_EQ(expected, actual) << where;
    else
        EXPECT_NEAR(expected, actual, 1e-5) << where;
}

} // namespace

TEST(LowBandRatio, BandEndsAtLbFrequenciesForEveryPowerOfTwo)
{
    for (int M = 1; M <= 2048; M *= 2) {
        AnalysisState state;
        setCountingSpectrum(state, M);
        for (int lb = -1; lb <= M / 2 + 2; ++lb)
            expectLb(countingBand(lb, M), lowBandRatio(lb * 100.0 / M, state.psd.data(), M),
                "M " + std::to_string(M) + ", lbFrequencies " + std::to_string(lb));
    }
}

TEST(LowBandRatio, PercentagesBeyondAnyBandGiveNoBand)
{
    AnalysisState state;
    setCountingSpectrum(state, 64);
    for (double percent : { std::numeric_limits<double>::quiet_NaN(), 1e300, -1e300,
             std::numeric_limits<double>::infinity() })
        EXPECT_EQ(kNoBand, lowBandRatio(percent, state.psd.data(), 64)) << percent;
    EXPECT_EQ(kNoBand, lowBandRatio(25.0, nullptr, 64));
}

TEST(UpdateSpectralMeasures, PeakSearchAndBandOfEverySpectrumSize)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* name;
        int M;
        std::function<void(FloatBuffer&)> shape; // on a flat spectrum of -3
        double peakFrequency;
        double lbValue;
    };
    const Case cases[] = {
        { "flat: lowest searched entry", 64,
            [](FloatBuffer& p) {
                p[1] = 0.0f; // entries 1 and M are outside the search
                p[64] = 0.0f;
            },
            2.0 / 64, std::log10(15 * 1e-3) },
        { "two equal maxima: the lower one", 64, [](FloatBuffer& p) { p[10] = p[20] = -1.0f; },
            10.0 / 64, std::log10(14e-3 + 0.1) },
        { "not-a-number never peaks", 64,
            [nan](FloatBuffer& p) {
                p[3] = nan;
                p[30] = -2.0f;
                p[40] = nan;
            },
            30.0 / 64, std::numeric_limits<double>::quiet_NaN() },
        { "M = 2: empty search", 2, [](FloatBuffer&) {}, 1.0, kNoBand },
        { "M = 1: no entry 2", 1, [](FloatBuffer&) {}, 0.0, kNoBand },
    };
    for (const Case& c : cases) {
        AnalysisState state;
        ASSERT_TRUE(state.psd.allocate(c.M + 1));
        for (int i = 0; i <= c.M; ++i)
            state.psd[i] = -3.0f;
        c.shape(state.psd);
        state.psdSize = c.M;
        state.psdValid = 1;
        updateSpectralMeasures(state);
        EXPECT_DOUBLE_EQ(c.peakFrequency, state.peakFrequency) << c.name;
        if (std::isnan(c.lbValue))
            EXPECT_TRUE(std::isnan(state.lbValue)) << c.name;
        else
            EXPECT_NEAR(c.lbValue, state.lbValue, 1e-6) << c.name;
    }
}

TEST(UpdateSpectralMeasures, WhiteNoiseHoldsItsShareInTheLowBand)
{
    // Bins 2..16 hold 15 of the 1023 bins that carry the power.
    const int M = 1024;
    const int K = 32;
    AnalysisState state;
    const unsigned N = (K + 1) * 2 * M;
    ASSERT_TRUE(state.series.allocate(N + 1));
    std::mt19937 generator(99u);
    std::normal_distribution<float> noise(0.0f, 1.0f);
    for (unsigned i = 1; i <= N; ++i)
        state.series[i] = noise(generator);
    state.sampleCount = N;
    state.psdSize = M;
    state.segmentCount = K;
    state.dataShift = 2 * M;
    ASSERT_EQ(0, computeSpectrum(state));
    state.psdValid = 1;
    updateSpectralMeasures(state);
    EXPECT_NEAR(std::log10(15.0 / 1023.0), state.lbValue, 0.1);
}

TEST(LbCommands, MoveTheBandWithinItsBoundsAndRecomputeLb)
{
    struct Case {
        int M;
        int start;
        std::string steps; // '+' higher, '-' lower
        std::vector<int> bands;
    };
    const Case cases[] = {
        { 64, 6, "++---", { 8, 8, 4, 2, 2 } },
        { 8, 16, "+-", { 1, 2 } }, // M/8 = 1: the band becomes empty, LB minus infinity
        { 16, 16, "+-", { 2, 2 } },
        { 16, 5, "-", { 2 } },
        { 32, 2, "+++-", { 4, 4, 4, 2 } },
    };
    for (const Case& c : cases) {
        AnalysisState state;
        setCountingSpectrum(state, c.M);
        state.lbFrequencies = c.start;
        state.peakFrequency = 0.125;
        for (std::size_t s = 0; s < c.steps.size(); ++s) {
            const std::string where = "M " + std::to_string(c.M) + ", from "
                + std::to_string(c.start) + ", step " + std::to_string(s + 1);
            if (c.steps[s] == '+')
                higherLb(state);
            else
                lowerLb(state);
            EXPECT_EQ(c.bands[s], state.lbFrequencies) << where;
            expectLb(countingBand(c.bands[s], c.M), state.lbValue, where);
        }
        EXPECT_EQ(0.125, state.peakFrequency);
        EXPECT_EQ(1, state.psdValid);
    }
}

TEST(LbCommands, WithoutAValidSpectrumOnlyMoveTheBand)
{
    struct Case {
        const char* name;
        int psdValid;
        int bufferSize; // M of a buffer left from an earlier estimate, 0 for none
    };
    const Case cases[] = {
        { "before the first estimate", 0, 0 },
        { "after a failed estimate, stale buffer", 0, 1024 },
        { "valid flag without a buffer", 1, 0 },
    };
    for (const Case& c : cases) {
        AnalysisState state;
        if (c.bufferSize)
            setCountingSpectrum(state, c.bufferSize);
        else
            state.psd.release();
        state.psdValid = c.psdValid;
        state.psdSize = 64;
        state.lbFrequencies = 6;
        state.lbValue = 0.5;
        higherLb(state);
        EXPECT_EQ(8, state.lbFrequencies) << c.name << ": bounded by psdSize / 8";
        EXPECT_EQ(0.5, state.lbValue) << c.name;
        lowerLb(state);
        lowerLb(state);
        EXPECT_EQ(2, state.lbFrequencies) << c.name;
        EXPECT_EQ(0.5, state.lbValue) << c.name;
    }
}

// A read that failed after the estimate changed psdSize, not the held
// spectrum: the band is capped and measured by the spectrum it reads.
TEST(LbCommands, HeldSpectrumCapsTheBandWhateverPsdSizeSays)
{
    for (int psdSize : { 0, 16, 1 << 20 }) {
        AnalysisState state;
        setCountingSpectrum(state, 256);
        state.psdSize = psdSize;
        state.lbFrequencies = 30;
        higherLb(state);
        EXPECT_EQ(32, state.lbFrequencies) << "psdSize " << psdSize;
        expectLb(countingBand(32, 256), state.lbValue, "psdSize " + std::to_string(psdSize));
        higherLb(state);
        EXPECT_EQ(32, state.lbFrequencies) << "psdSize " << psdSize;
    }
}
