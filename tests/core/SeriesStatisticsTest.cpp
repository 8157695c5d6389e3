#include "core/SeriesStatistics.h"
#include "core/Limits.h"
#include "spectrum/PsdSize.h"

#include "core/CFormat.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

namespace {

void loadSeries(AnalysisState& state, const std::vector<float>& samples)
{
    ASSERT_TRUE(state.series.allocate(samples.size() + 1));
    state.series[0] = 0.0f;
    for (std::size_t i = 0; i < samples.size(); ++i)
        state.series[i + 1] = samples[i];
    state.sampleCount = static_cast<unsigned>(samples.size());
}

} // namespace

TEST(ComputeSeriesStatistics, ClosedForms)
{
    struct Case {
        std::vector<float> samples;
        double mean, minimum, maximum, stdDev;
    } cases[] = {
        { { 1, 2, 3, 4 }, 2.5, 1, 4, std::sqrt(5.0 / 3.0) },
        { { 4, 3, 2, 1 }, 2.5, 1, 4, std::sqrt(5.0 / 3.0) },
        { { -1, -3, 2 }, -2.0 / 3.0, -3, 2, std::sqrt(57.0 / 9.0) },
        { { 3, 3, 3 }, 3, 3, 3, 0 },
        { {}, 0, 0, 0, 0 },
        // A float sum would lose every 1 against 2^24.
        { { 16777216, 1, 1, 1, 1 }, 16777220.0 / 5.0, 1, 16777216,
            std::sqrt(
                (4 * std::pow(16777220.0 / 5.0 - 1, 2) + std::pow(16777216 - 16777220.0 / 5.0, 2))
                / 4) },
    };
    for (const Case& c : cases) {
        AnalysisState state;
        state.seriesMean = state.seriesMin = state.seriesMax = state.seriesStdDev = 9.0;
        loadSeries(state, c.samples);
        computeSeriesStatistics(state);
        const std::string label = "series of " + std::to_string(c.samples.size());
        EXPECT_NEAR(state.seriesMean, c.mean, 1e-12 * std::fabs(c.mean)) << label;
        EXPECT_EQ(state.seriesMin, c.minimum) << label;
        EXPECT_EQ(state.seriesMax, c.maximum) << label;
        EXPECT_NEAR(state.seriesStdDev, c.stdDev, 1e-12 * c.stdDev) << label;
    }
}

TEST(ComputeSeriesStatistics, OneSampleHasNanDeviationPrintedWithoutSign)
{
    AnalysisState state;
    loadSeries(state, { 7.25f });
    computeSeriesStatistics(state);
    EXPECT_EQ(state.seriesMean, 7.25);
    EXPECT_EQ(state.seriesMin, 7.25);
    EXPECT_EQ(state.seriesMax, 7.25);
    ASSERT_TRUE(std::isnan(state.seriesStdDev));
    EXPECT_EQ(formatC("St Deviation=%6f", state.seriesStdDev), "St Deviation=   nan");
}

TEST(PsdSizeLimit, LargestPowerOfTwoWithTwiceItInTheRemainder)
{
    struct Case {
        unsigned N;
        int K, S;
        int limit;
    } cases[] = {
        { 1000, 1, 0, 256 },
        { 1024, 1, 0, 512 },
        { 32, 1, 0, 16 },
        { 33, 1, 0, 16 },
        { 4096, 4, 512, 1024 },
        { 1024, 1, 100, 256 },
        { 2, 1, 0, 1 },
        { 3, 1, 0, 1 },
        { 4, 1, 0, 2 },
        { 7, 1, 0, 2 },
        { 8, 1, 0, 4 },
        // No larger size passes the estimate.
        { 4294967295u, 1, 0, MAX_PSD_SIZE },
        // No size fits: x below 2, negative included.
        { 1, 1, 0, 0 },
        { 0, 1, 0, 0 },
        { 1024, 1, 1023, 0 },
        { 1024, 2, 1000, 0 },
        // K*S = 10^10 wraps in 32 bits to a value that would seem to fit.
        { 4294967295u, 10000, 1000000, 0 },
        // A negative K*S leaves more than any size.
        { 4294967295u, INT_MIN, INT_MAX, MAX_PSD_SIZE },
    };
    for (const Case& c : cases)
        EXPECT_EQ(psdSizeLimit(c.N, c.K, c.S), c.limit)
            << "N " << c.N << " K " << c.K << " S " << c.S;
}
