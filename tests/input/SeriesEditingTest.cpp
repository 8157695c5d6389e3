#include "input/SeriesEditing.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr float GUARD = -777.0f;

// Entry 0 and the entry after the series are guards that must survive.
std::vector<float> guarded(const std::vector<float>& samples)
{
    std::vector<float> entries { GUARD };
    entries.insert(entries.end(), samples.begin(), samples.end());
    entries.push_back(GUARD);
    return entries;
}

AnalysisState stateWithRamp(unsigned n)
{
    AnalysisState state;
    state.series.allocate(n + 1);
    state.series[0] = GUARD;
    for (unsigned i = 1; i <= n; ++i)
        state.series[i] = static_cast<float>(i) * 1.5f;
    state.sampleCount = n;
    state.isOriginal = 1;
    return state;
}

} // namespace

TEST(RunningAverage, AveragesForwardWithAShrinkingTail)
{
    struct Case {
        const char* name;
        int window;
        std::vector<float> input, output;
    };
    const Case cases[] = {
        { "window 2", 2, { 1, 3, 5, 7 }, { 2, 4, 6, 7 } },
        { "window 3", 3, { 1, 2, 3, 4, 5 }, { 2, 3, 4, 4.5f, 5 } },
        { "window equal to the length", 4, { 1, 2, 3, 4 }, { 2.5f, 3, 3.5f, 4 } },
        { "window longer than the series", 10, { 1, 2, 3 }, { 2, 2.5f, 3 } },
        { "window 1 changes nothing", 1, { 1.25f, -3, 8 }, { 1.25f, -3, 8 } },
        { "one sample", 5, { 9 }, { 9 } },
        // 2^24 + 1 + 1 is exact only in double precision.
        { "sums in double precision", 3, { 16777216, 1, 1, 0 }, { 5592406, 2.0f / 3.0f, 0.5f, 0 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<float> entries = guarded(c.input);
        runningAverage(entries.data(), static_cast<unsigned>(c.input.size()), c.window);
        EXPECT_EQ(entries, guarded(c.output));
    }
}

TEST(RunningAverage, IgnoresAnEmptySeriesOrAWindowBelowOne)
{
    for (int window : { 0, -3 }) {
        std::vector<float> entries = guarded({ 1, 2, 3 });
        runningAverage(entries.data(), 3, window);
        EXPECT_EQ(entries, guarded({ 1, 2, 3 }));
    }
    std::vector<float> empty = guarded({});
    runningAverage(empty.data(), 0, 2);
    EXPECT_EQ(empty, guarded({}));
}

TEST(CutSegment, KeepsALegalSegmentAndRefusesTheRest)
{
    struct Case {
        int from, to;
        int status;
        unsigned sampleCount;
    };
    const Case cases[] = {
        { 101, 300, 0, 200 },
        { 1, 1000, 0, 1000 },
        { 1000, 1000, 0, 1 },
        { 500, 500, 0, 1 },
        { 1, 1001, 1, 1000 },
        { 0, 10, 1, 1000 },
        { -5, 10, 1, 1000 },
        { 20, 10, 1, 1000 },
        { 1001, 1001, 1, 1000 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " to " + std::to_string(c.to));
        AnalysisState state = stateWithRamp(1000);
        EXPECT_EQ(cutSegment(state, c.from, c.to), c.status);
        EXPECT_EQ(state.sampleCount, c.sampleCount);
        EXPECT_EQ(state.isOriginal, c.status == 0 ? 0 : 1);
        EXPECT_EQ(state.series[0], GUARD);
        const int first = c.status == 0 ? c.from : 1;
        for (unsigned i = 1; i <= state.sampleCount; ++i)
            ASSERT_EQ(state.series[i], static_cast<float>(first + static_cast<int>(i) - 1) * 1.5f)
                << "entry " << i;
    }
}
