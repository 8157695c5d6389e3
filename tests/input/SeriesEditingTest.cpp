#include "input/SeriesEditing.h"
#include "core/Parallel.h"
#include "input/DirectMeans.h"
#include "input/SlidingMeans.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
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

// The running average as a plain loop over the entries, one sum at a time;
// a mean that is not a number is the one canonical NaN.
void plainRunningAverage(float* series, std::int64_t n, std::int64_t w)
{
    const auto mean = [series](std::int64_t first, std::int64_t last) {
        double sum = 0.0;
        for (std::int64_t k = first; k <= last; ++k)
            sum += series[k];
        const auto value = static_cast<float>(sum / static_cast<double>(last - first + 1));
        return std::isnan(value) ? std::bit_cast<float>(0x7fc00000u) : value;
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

namespace {

using Samples = std::vector<float>;

// Samples 1..n (entry 0 is not a sample) made by `sample(i, random)`.
Samples seriesOf(std::int64_t n, const std::function<float(std::int64_t, std::mt19937_64&)>& sample)
{
    std::mt19937_64 random(static_cast<std::uint64_t>(n) * 31 + 5);
    Samples series(static_cast<std::size_t>(n) + 2, -777.0f);
    for (std::int64_t i = 1; i <= n; ++i)
        series[i] = sample(i, random);
    return series;
}

float tone(std::int64_t i, std::mt19937_64& random)
{
    return static_cast<float>(std::sin(0.05 * static_cast<double>(i)))
        + std::normal_distribution<float>(0.0f, 1.0f)(random);
}

// A tone whose samples near every multiple of `period` are far below the
// rest (or not numbers), so that some blocks fail the proof and windows
// cross from blocks that pass into blocks that do not.
std::function<float(std::int64_t, std::mt19937_64&)> toneSpoiltEvery(std::int64_t period, float odd)
{
    return [period, odd](std::int64_t i, std::mt19937_64& random) {
        const std::int64_t offset = i % period;
        return offset == 0 || offset == 3 ? odd : tone(i, random);
    };
}

float fullRange(std::int64_t, std::mt19937_64& random)
{
    const auto bits = static_cast<std::uint32_t>(random());
    return std::bit_cast<float>((bits & 0x807fffffu) | (bits % 255u) << 23);
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kSmallest = std::numeric_limits<float>::denorm_min();

} // namespace

TEST(SlidingMeans, TakesOnlyWhatItProvesAndThenGivesTheDirectBits)
{
    struct Case {
        const char* name;
        std::function<float(std::int64_t, std::mt19937_64&)> sample;
        bool provable;
        std::int64_t shortestWindow = 24;
    };
    const float big = 0x1p47f;
    const Case cases[] = {
        { "a tone in noise", tone, true },
        { "integers", [](std::int64_t, std::mt19937_64& r) { return float(r() % 4096) - 2048; },
            true },
        { "an offset far above the noise",
            [](std::int64_t i, std::mt19937_64& r) { return 1000.0f + tone(i, r); }, true },
        { "subnormals", [](std::int64_t i, std::mt19937_64&) { return float(i % 7) * kSmallest; },
            true },
        { "zeros of both signs",
            [](std::int64_t i, std::mt19937_64&) { return i % 2 ? 0.0f : -0.0f; }, true },
        { "a NaN", toneSpoiltEvery(5000, kNaN), false },
        { "a sample 2^-40 of the rest, all its bits set", toneSpoiltEvery(5000, 0x1.fffffep-40f),
            false },
        { "a power of two 2^-40 of the rest", toneSpoiltEvery(5000, 0x1p-40f), true },
        { "exponents over the whole range", fullRange, false },
        // Partial sums pass 2^53 units inside the windows that hold the
        // 70 large samples and the 1, though their total is small: the
        // in-order sum loses the 1.
        { "partial sums beyond 53 bits",
            [big](std::int64_t i, std::mt19937_64&) {
                const std::int64_t k = i % 200;
                return k < 70 ? big : k == 70 ? 1.0f : k < 141 ? -big : 0.0f;
            },
            false, 200 },
    };
    for (const Case& c : cases) {
        for (std::int64_t window : { 24, 200, 1000 }) {
            if (window < c.shortestWindow)
                continue;
            SCOPED_TRACE(std::string(c.name) + ", window " + std::to_string(window));
            const std::int64_t count = 9000;
            const Samples series = seriesOf(count + window, c.sample);
            Samples sliding(count), direct(count);
            directMeans(series.data(), 1, count, window, direct.data());
            const bool taken = slidingMeans(series.data(), 1, count, window, sliding.data());
            EXPECT_EQ(taken, c.provable);
            if (taken) {
                EXPECT_EQ(bitsOf(sliding), bitsOf(direct));
            }
        }
    }
}

TEST(RunningAverage, GivesThePlainLoopsBitsWhereverTheProofHoldsOrFails)
{
    struct Case {
        const char* name;
        std::function<float(std::int64_t, std::mt19937_64&)> sample;
    };
    // Periods near the blocks' lengths and their halves, so that the odd
    // samples fall on both sides of block boundaries.
    const Case cases[] = {
        { "a tone in noise", tone },
        { "a sample 2^-30 of the rest now and then", toneSpoiltEvery(16381, 0x1.fffffep-30f) },
        { "a subnormal now and then", toneSpoiltEvery(8191, kSmallest) },
        // Windows that meet the infinities' NaN, then NaNs of other
        // payloads and signs.
        { "infinities of both signs, then NaNs of several payloads",
            [](std::int64_t i, std::mt19937_64& r) {
                const std::uint32_t odd[] = { 0x7f800000u, 0xff800000u, 0x7fc01234u, 0xffc00042u };
                const std::int64_t k = i % 4099;
                return k < 4 ? std::bit_cast<float>(odd[k]) : tone(i, r);
            } },
        { "exponents over the whole range", fullRange },
    };
    const std::int64_t n = 120'000;
    for (const Case& c : cases) {
        const Samples input = seriesOf(n, c.sample);
        for (std::int64_t window : { 2, 23, 24, 25, 100, 999, 1000 }) {
            Samples expected = input;
            plainRunningAverage(expected.data(), n, window);
            for (int threads : { 1, 2, 3 }) {
                SCOPED_TRACE(std::string(c.name) + ", window " + std::to_string(window) + ", "
                    + std::to_string(threads) + " threads");
                setParallelThreads(threads);
                Samples entries = input;
                EXPECT_EQ(runningAverage(
                              entries.data(), static_cast<unsigned>(n), static_cast<int>(window)),
                    0);
                EXPECT_EQ(bitsOf(entries), bitsOf(expected));
            }
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
