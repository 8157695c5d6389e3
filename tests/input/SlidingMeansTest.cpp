#include "input/SlidingMeans.h"
#include "core/Parallel.h"
#include "input/DirectMeans.h"
#include "input/SeriesEditing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

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

float noise(std::mt19937_64& random)
{
    return std::normal_distribution<float>(0.0f, 1.0f)(random);
}

float tone(std::int64_t i, std::mt19937_64& random)
{
    return static_cast<float>(std::sin(0.05 * static_cast<double>(i))) + noise(random);
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

// The running average as the plain loops over the entries, one sum at a
// time; every mean that is not a number is the one canonical NaN.
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

std::vector<std::uint32_t> bitsOf(const Samples& values)
{
    std::vector<std::uint32_t> bits;
    for (float value : values)
        bits.push_back(std::bit_cast<std::uint32_t>(value));
    return bits;
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInfinity = std::numeric_limits<float>::infinity();
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
        { "an infinity", toneSpoiltEvery(5000, -kInfinity), false },
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
        { "a NaN now and then", toneSpoiltEvery(4099, kNaN) },
        { "infinities of both signs now and then",
            [](std::int64_t i, std::mt19937_64& r) {
                return i % 7000 == 1 ? kInfinity : i % 7000 == 2 ? -kInfinity : tone(i, r);
            } },
        // Windows that meet the infinities' NaN, then NaNs of other
        // payloads and signs.
        { "NaNs of several payloads after infinities of both signs",
            [](std::int64_t i, std::mt19937_64& r) {
                switch (i % 9000) {
                case 1:
                    return kInfinity;
                case 2:
                    return -kInfinity;
                case 5:
                    return std::bit_cast<float>(0x7fc01234u);
                case 9:
                    return std::bit_cast<float>(0xffc00042u);
                default:
                    return tone(i, r);
                }
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
