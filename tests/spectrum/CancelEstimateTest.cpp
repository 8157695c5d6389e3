#include "core/Parallel.h"
#include "spectrum/PsdEstimator.h"
#include "spectrum/SpectralMeasures.h"
#include "support/CancelPoints.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

constexpr unsigned SAMPLES = 1u << 19;

struct Configuration {
    const char* name;
    int psdSize, segmentCount, dataShift;
};

// With more than one thread these take the batches of segments, the
// transform split among the threads, and the segments one by one.
constexpr Configuration CONFIGURATIONS[] = {
    { "many short segments", 2048, 64, 4096 },
    { "one long segment", 1 << 17, 1, 0 },
    { "a few long segments", 1 << 15, 8, 1 << 15 },
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
                const std::string before = recordBytes(state);
                const int status = computeSpectrum(state, stopAt(point, asked));
                if (asked) {
                    EXPECT_EQ(status, STEP_CANCELLED);
                    EXPECT_TRUE(recordBytes(state) == before);
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
