#include "core/Parallel.h"
#include "spectrum/PsdEstimator.h"
#include "spectrum/SpectralMeasures.h"
#include "spectrum/SplitFft.h"
#include "support/CancelPoints.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

constexpr unsigned SAMPLES = 1u << 19;

struct Configuration {
    const char* name;
    int psdSize, segmentCount, dataShift, normalize;
};

// With more than one thread these take the batches of segments, the
// transform split among the threads, and the segments one by one; the last
// ends with the scale of the unnormalized spectrum.
constexpr Configuration CONFIGURATIONS[] = {
    { "many short segments", 2048, 64, 4096, 1 },
    { "one long segment", 1 << 17, 1, 0, 1 },
    { "a few long segments", 1 << 15, 8, 1 << 15, 1 },
    { "one long segment, unnormalized", 1 << 17, 1, 0, 0 },
};

// A record with a series and the spectrum of an earlier estimate.
AnalysisState recordWithSpectrum(const Configuration& configuration)
{
    AnalysisState state;
    resetAnalysisState(state);
    allocateSeries(state, SAMPLES);
    std::mt19937 random(SAMPLES);
    std::normal_distribution<float> noise;
    state.series[0] = 0.0f;
    for (unsigned i = 1; i <= SAMPLES; ++i)
        state.series[i] = noise(random);
    state.sampleCount = SAMPLES;
    state.psdSize = 512;
    computeSpectrum(state);
    state.psdValid = 1;
    updateSpectralMeasures(state);
    state.psdSize = configuration.psdSize;
    state.segmentCount = configuration.segmentCount;
    state.dataShift = configuration.dataShift;
    state.normalize = configuration.normalize;
    return state;
}

class CancelEstimate : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { setParallelThreads(GetParam()); }
    void TearDown() override { setParallelThreads(0); }
};

INSTANTIATE_TEST_SUITE_P(Threads, CancelEstimate, ::testing::Values(1, 2, 3));

} // namespace

TEST_P(CancelEstimate, ACancelledEstimateLeavesTheHeldSpectrum)
{
    for (const Configuration& configuration : CONFIGURATIONS) {
        SCOPED_TRACE(configuration.name);
        std::vector<double> fractions;
        AnalysisState first = recordWithSpectrum(configuration);
        ASSERT_EQ(computeSpectrum(first, recordFractions(fractions)), 0);
        // On more threads than cores the batches may leave the calling
        // thread no segment to report after.
        ASSERT_GE(fractions.size(), GetParam() == 1 ? 2u : 1u);
        for (double point : cancelPoints(fractions)) {
            SCOPED_TRACE("cancel at " + std::to_string(point));
            bool asked = false;
            for (int attempt = 0; attempt < CANCEL_ATTEMPTS && !asked; ++attempt) {
                AnalysisState state = recordWithSpectrum(configuration);
                const RecordImage before = recordImage(state);
                const int status = computeSpectrum(state, stopLate(point, asked));
                if (asked) {
                    EXPECT_EQ(status, STEP_CANCELLED);
                    EXPECT_TRUE(recordImage(state) == before);
                }
            }
            EXPECT_TRUE(asked);
        }
        // Asked to stop at the final report only, the estimate is kept.
        AnalysisState kept = recordWithSpectrum(configuration);
        bool asked = false;
        EXPECT_EQ(computeSpectrum(kept, stopAt(1.0, asked)), 0);
        EXPECT_EQ(kept.psd.size(), static_cast<std::size_t>(configuration.psdSize) + 1);
    }
}

TEST_P(CancelEstimate, AStopBetweenPassesEndsALongTransform)
{
    // The passes of one transform, stopped after the pass of the middle
    // report: nothing runs or reports after it.
    constexpr int log2n = 20;
    std::vector<float> data(2 * (std::size_t { 1 } << log2n) + 1, 1.0f);
    FftSplit split;
    split.plan(log2n, GetParam());
    split.walkStarts();
    std::vector<double> everyReport;
    ASSERT_TRUE(runSplitPasses(data.data() + 1, split, 0, [&](double done) {
        everyReport.push_back(done);
        return true;
    }));
    ASSERT_GE(everyReport.size(), 3u);
    const double stopAfter = everyReport[everyReport.size() / 2];
    std::vector<double> reports;
    EXPECT_FALSE(runSplitPasses(data.data() + 1, split, 0, [&](double done) {
        reports.push_back(done);
        return done < stopAfter;
    }));
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), stopAfter);

    // The estimate of one long segment, stopped in the middle of its
    // transform: cancelled, with the held spectrum untouched and no report
    // but the final one after the stop.
    const Configuration& longSegment = CONFIGURATIONS[1];
    const int segmentLog2n = 18;
    const double middlePass = (1.0 + segmentLog2n / 2) / (segmentLog2n + 2.0);
    AnalysisState state = recordWithSpectrum(longSegment);
    const RecordImage before = recordImage(state);
    bool asked = false;
    int reportsAfterStop = 0;
    const int status = computeSpectrum(state, [&](std::string_view, double fraction) {
        if (asked && fraction < 1.0)
            ++reportsAfterStop;
        if (fraction >= middlePass && fraction < 1.0)
            asked = true;
        return !asked;
    });
    EXPECT_TRUE(asked);
    EXPECT_EQ(status, STEP_CANCELLED);
    EXPECT_TRUE(recordImage(state) == before);
    EXPECT_EQ(reportsAfterStop, 0);
}
