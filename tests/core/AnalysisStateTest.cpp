#include "core/AnalysisState.h"

#include <gtest/gtest.h>

TEST(ResetAnalysisState, SetsItsSubsetAndLeavesTheRest)
{
    AnalysisState state;
    state.dataShift = 5;
    state.segmentCount = 3;
    state.psdSize = 64;
    state.maxPsdSize = 64;
    state.windowType = 0;
    state.computeStatus = 1;
    state.signalMin = -7.0;
    state.signalMax = 7.0;
    state.seriesMean = state.seriesStdDev = state.seriesMin = state.seriesMax = 3.0;
    state.lbValue = state.peakFrequency = 3.0;
    state.lbFrequencies = 40;
    state.sampleCount = 9;
    state.psdValid = 1;
    state.editorCommand = "gedit";
    state.exportMinLog = -8.0;

    resetAnalysisState(state);

    EXPECT_EQ(state.dataShift, 0);
    EXPECT_EQ(state.segmentCount, 1);
    EXPECT_EQ(state.psdSize, 1024);
    EXPECT_EQ(state.maxPsdSize, 1024);
    EXPECT_EQ(state.windowType, 1);
    EXPECT_EQ(state.computeStatus, 0);
    EXPECT_EQ(state.signalMin, -1.0);
    EXPECT_EQ(state.signalMax, 1.0);
    EXPECT_EQ(state.seriesMean + state.seriesStdDev + state.seriesMin + state.seriesMax, 0.0);
    EXPECT_EQ(state.lbValue, 0.0);
    EXPECT_EQ(state.peakFrequency, 0.0);
    ASSERT_EQ(state.series.size(), 2u);
    EXPECT_EQ(state.series[0], 0.0f);
    EXPECT_EQ(state.series[1], 0.0f);

    EXPECT_EQ(state.lbFrequencies, 40);
    EXPECT_EQ(state.sampleCount, 9u);
    EXPECT_EQ(state.psdValid, 1);
    EXPECT_EQ(state.editorCommand, "gedit");
    EXPECT_EQ(state.exportMinLog, -8.0);
}

TEST(AllocateSeries, FailureLeavesNoBuffer)
{
    AnalysisState state;
    ASSERT_EQ(allocateSeries(state, 10), 0);
    EXPECT_EQ(state.series.size(), 11u);
    setAllocationHook([](std::size_t) { return false; });
    const int status = allocateSeries(state, 20);
    setAllocationHook(nullptr);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(state.series.empty());
}

TEST(FloatBuffer, MoveLeavesTheSourceEmpty)
{
    FloatBuffer from;
    ASSERT_TRUE(from.allocate(5));
    FloatBuffer to(std::move(from));
    EXPECT_EQ(to.size(), 5u);
    EXPECT_TRUE(from.empty());
    EXPECT_EQ(from.data(), nullptr);
    from = std::move(to);
    EXPECT_EQ(from.size(), 5u);
    EXPECT_TRUE(to.empty());
}
