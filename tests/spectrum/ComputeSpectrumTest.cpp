#include "commands/Commands.h"
#include "core/SeriesStatistics.h"
#include "spectrum/DataWindow.h"
#include "spectrum/PsdEstimator.h"
#include "spectrum/PsdSize.h"
#include "support/PlainSpectrum.h"
#include "support/ScriptedHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

void setSeries(AnalysisState& state, const std::vector<float>& samples)
{
    ASSERT_TRUE(state.series.allocate(samples.size() + 1));
    state.series[0] = 0.0f;
    for (std::size_t i = 0; i < samples.size(); ++i)
        state.series[i + 1] = samples[i];
    state.sampleCount = static_cast<unsigned>(samples.size());
}

std::vector<float> ramp(int n)
{
    std::vector<float> samples(n);
    for (int i = 0; i < n; ++i)
        samples[i] = static_cast<float>((i * 37) % 101) - 50.0f;
    return samples;
}

struct AllocationHookReset {
    ~AllocationHookReset() { setAllocationHook(nullptr); }
};

} // namespace

TEST(ComputeSpectrum, MatchesThePlainDriver)
{
    struct Case {
        int windowType, normalize, reallocatePsd;
    };
    const Case cases[] = {
        { HANNING_WINDOW, 1, 1 }, { HANNING_WINDOW, 0, 1 }, { WELCH_WINDOW, 0, 1 },
        { PARZEN_WINDOW, 1, 0 }, // a stale buffer of another length is replaced
    };
    const std::vector<float> samples = ramp(3000);
    for (const Case& c : cases) {
        AnalysisState state;
        setSeries(state, samples);
        ASSERT_TRUE(state.psd.allocate(10));
        state.windowType = c.windowType;
        state.normalize = c.normalize;
        state.reallocatePsd = c.reallocatePsd;
        state.psdSize = 256;
        state.segmentCount = 7;
        state.dataShift = 300;
        std::vector<float> expected(257);
        ASSERT_EQ(0,
            plainComputeSpectrum(state.series.data(), 3000, c.windowType, 256, 300, 7, c.normalize,
                expected.data()));
        ASSERT_EQ(0, computeSpectrum(state));
        EXPECT_EQ(0, state.computeStatus);
        ASSERT_EQ(expected.size(), state.psd.size());
        EXPECT_EQ(
            0, std::memcmp(expected.data(), state.psd.data(), expected.size() * sizeof(float)))
            << "window " << c.windowType << ", normalize " << c.normalize;
    }
}

TEST(ComputeSpectrum, UnnormalizedSpectrumIsDividedByMSquared)
{
    // 1, 0, -1, 0 with no window: bin 1 holds 8, corrected by 2*log10(2).
    AnalysisState state;
    setSeries(state, { 1, 0, -1, 0 });
    state.windowType = NO_WINDOW;
    state.psdSize = 2;
    state.normalize = 0;
    ASSERT_EQ(0, computeSpectrum(state));
    EXPECT_NEAR(std::log10(2.0), state.psd[1], 1e-6);
    EXPECT_NEAR(-30.0, state.psd[2], 1e-5) << "entry M keeps the floor uncorrected";
}

TEST(ComputeSpectrum, SeriesWithoutPowerHasNoSpectrum)
{
    // The floor alone in every bin is no spectrum, normalized or not.
    const int M = 1024;
    for (const float value : { 3.0f, 0.0f })
        for (const int normalize : { 0, 1 }) {
            AnalysisState state;
            setSeries(state, std::vector<float>(2 * M, value));
            state.psdSize = M;
            state.normalize = normalize;
            EXPECT_EQ(ESTIMATE_NO_POWER, computeSpectrum(state));
            EXPECT_EQ(1, state.computeStatus);
            EXPECT_TRUE(state.psd.empty());
        }
}

TEST(ComputeSpectrum, ConfigurationThatDoesNotFitEndsOnTheFailurePath)
{
    struct Case {
        const char* name;
        int psdSize, segmentCount, dataShift;
        unsigned sampleCount; // claimed; the series buffer holds 600 samples
    };
    const Case cases[] = {
        { "segments beyond the series", 256, 3, 100, 600 },
        { "size limit of N - K*S below 2", psdSizeLimit(600, 60, 10), 60, 10, 600 },
        { "size limit of a negative N - K*S", psdSizeLimit(600, 70, 10), 70, 10, 600 },
        { "size no power of two", 100, 1, 0, 600 },
        { "count beyond the series buffer", 512, 1, 0, 2000 },
    };
    for (const Case& c : cases) {
        AnalysisState state;
        setSeries(state, ramp(600));
        state.psdSize = 256;
        ScriptedHost host(state);
        ASSERT_EQ(0, runEstimateStep(state, host)) << "the first configuration fits";
        ASSERT_EQ(1, state.psdValid);

        state.psdSize = c.psdSize;
        state.segmentCount = c.segmentCount;
        state.dataShift = c.dataShift;
        state.sampleCount = c.sampleCount;
        host.clearRecord();
        EXPECT_EQ(1, runEstimateStep(state, host)) << c.name;
        EXPECT_EQ(
            std::vector<std::string> { "PSD configuration is not appropriate" }, host.messages)
            << c.name;
        EXPECT_EQ(0, state.psdValid) << c.name;
        EXPECT_EQ(1, state.computeStatus) << c.name;
        EXPECT_TRUE(state.psd.empty()) << c.name << ": no spectrum buffer is left";

        // The next estimate that fits starts from a fresh buffer.
        state.psdSize = 128;
        state.segmentCount = 1;
        state.dataShift = 0;
        state.sampleCount = 600;
        EXPECT_EQ(0, computeSpectrum(state)) << c.name;
        EXPECT_EQ(0, state.computeStatus) << c.name;
        EXPECT_EQ(129u, state.psd.size()) << c.name;
    }
}

TEST(ComputeSpectrum, MemoryThatRunsOutIsAFailure)
{
    AllocationHookReset reset;
    AnalysisState state;
    setSeries(state, ramp(600));
    state.psdSize = 256;

    // The spectrum buffer itself: computeStatus as it was.
    state.computeStatus = 0;
    setAllocationHook([](std::size_t count) { return count != 257; });
    EXPECT_EQ(ESTIMATE_NO_MEMORY, computeSpectrum(state));
    EXPECT_EQ(0, state.computeStatus);
    EXPECT_TRUE(state.psd.empty());

    // The estimate's work buffer: through the estimate, computeStatus 1.
    setAllocationHook([](std::size_t count) { return count == 257; });
    EXPECT_EQ(ESTIMATE_NO_MEMORY, computeSpectrum(state));
    EXPECT_EQ(1, state.computeStatus);
    EXPECT_TRUE(state.psd.empty());
}
