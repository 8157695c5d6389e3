#include "input/SeriesEditing.h"
#include "core/Parallel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <random>
#include <string>
#include <thread>
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

namespace {

// The running average as a plain loop over the entries, one sum at a time.
void plainRunningAverage(float* series, std::int64_t n, std::int64_t w)
{
    const auto mean = [series](std::int64_t first, std::int64_t last) {
        double sum = 0.0;
        for (std::int64_t k = first; k <= last; ++k)
            sum += series[k];
        return static_cast<float>(sum / static_cast<double>(last - first + 1));
    };
    for (std::int64_t i = 1; i <= n - w; ++i)
        series[i] = mean(i, i + w - 1);
    for (std::int64_t j = std::max<std::int64_t>(1, n - w + 1); j < n; ++j)
        series[j] = mean(j, n);
}

std::vector<std::uint32_t> bitsOf(const std::vector<float>& values)
{
    std::vector<std::uint32_t> bits;
    for (float value : values)
        bits.push_back(std::bit_cast<std::uint32_t>(value));
    return bits;
}

} // namespace

TEST(RunningAverage, GivesThePlainLoopsBitsOnAnyThreadCount)
{
    std::mt19937_64 random(1208);
    std::normal_distribution<float> noise(0.0f, 1.0f);
    std::vector<float> input(400'000);
    for (float& value : input)
        value = noise(random) * 1e3f + 0.1f;
    struct Case {
        unsigned n;
        int window;
    };
    const Case cases[] = { { 400'000, 2 }, { 400'000, 9 }, { 300'001, 1000 }, { 200'000, 1 },
        { 131'075, 999 }, { 17, 8 }, { 16, 7 }, { 1000, 1000 }, { 5, 900 } };
    for (const Case& c : cases) {
        std::vector<float> expected = guarded({ input.begin(), input.begin() + c.n });
        plainRunningAverage(expected.data(), c.n, c.window);
        for (int threads : { 1, 2, 3 }) {
            SCOPED_TRACE(std::to_string(c.n) + " samples, window " + std::to_string(c.window) + ", "
                + std::to_string(threads) + " threads");
            setParallelThreads(threads);
            std::vector<float> entries = guarded({ input.begin(), input.begin() + c.n });
            runningAverage(entries.data(), c.n, c.window);
            EXPECT_EQ(bitsOf(entries), bitsOf(expected));
        }
    }
    setParallelThreads(0);
}

TEST(RunningAverage, ReportsProgressFromTheCallingThread)
{
    // The calling thread reports after its own parts only, so how many
    // reports come depends on how the parts fall to the threads; one thread
    // does them all.
    for (int threads : { 1, 3 }) {
        setParallelThreads(threads);
        for (unsigned n : { 0u, 3u, 2'000'000u }) {
            SCOPED_TRACE(std::to_string(n) + " samples, " + std::to_string(threads) + " threads");
            std::vector<float> entries = guarded(std::vector<float>(n, 1.0f));
            std::vector<double> fractions;
            bool otherThread = false;
            const auto caller = std::this_thread::get_id();
            runningAverage(entries.data(), n, 3, [&](std::string_view step, double fraction) {
                EXPECT_EQ(step, PROGRESS_AVERAGE);
                otherThread |= std::this_thread::get_id() != caller;
                fractions.push_back(fraction);
            });
            EXPECT_FALSE(otherThread);
            ASSERT_GE(fractions.size(), 2u);
            EXPECT_EQ(fractions.front(), 0.0);
            EXPECT_EQ(fractions.back(), 1.0);
            EXPECT_LE(fractions.size(), 300u);
            EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end()));
            if (n > 1'000'000 && threads == 1) {
                EXPECT_GT(fractions.size(), 10u);
            }
        }
    }
    setParallelThreads(0);
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
