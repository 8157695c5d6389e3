#include "core/Parallel.h"
#include "core/Progress.h"
#include "spectrum/DataWindow.h"
#include "spectrum/PsdEstimator.h"
#include "support/PlainSpectrum.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace {

struct ThreadsAtEnd {
    ~ThreadsAtEnd() { setParallelThreads(0); }
};

// Exact-in-float samples from an integer recurrence; every `special`-th
// sample (when set) is replaced by a value from the special list.
std::vector<float> pseudoNoise(
    int N, std::uint64_t seed, const std::vector<float>& special = {}, int every = 0)
{
    std::vector<float> series(static_cast<std::size_t>(N) + 1, 0.0f);
    std::uint64_t x = seed;
    for (int i = 1; i <= N; ++i) {
        x = x * 6364136223846793005ull + 1442695040888963407ull;
        series[i] = static_cast<float>(static_cast<int>(x >> 52) - 2048) / 256.0f;
        if (every > 0 && !special.empty() && i % every == 0)
            series[i] = special[(i / every) % special.size()];
    }
    return series;
}

struct Settings {
    int windowType;
    int amplitudeOutput;
    int extractAverage;
    int normalize;
    int logOutput;
};

std::string describe(int N, int M, int K, int S, const Settings& s, int threads)
{
    return "N " + std::to_string(N) + ", M " + std::to_string(M) + ", K " + std::to_string(K)
        + ", S " + std::to_string(S) + ", window " + std::to_string(s.windowType) + ", amplitude "
        + std::to_string(s.amplitudeOutput) + ", mean " + std::to_string(s.extractAverage)
        + ", normalize " + std::to_string(s.normalize) + ", log " + std::to_string(s.logOutput)
        + ", threads " + std::to_string(threads);
}

const float kInf = std::numeric_limits<float>::infinity();
const float kNan = std::numeric_limits<float>::quiet_NaN();

} // namespace

TEST(ParallelEstimate, SameBitsAsThePlainEstimateForAnyThreadCount)
{
    struct Case {
        int M, K, S; // N = S*K + 2M + extra
        int extra;
        Settings settings;
        int specialEvery; // 0: plain noise; else inf, NaN, -0 and 0 every so many samples
        bool zerosOnly = false; // -0 and 0 alone
    };
    const Case cases[] = {
        // One segment, split among the threads (2M from 2^18 on).
        { 1 << 17, 1, 0, 0, { HANNING_WINDOW, 0, 1, 1, 1 }, 0 },
        { 1 << 17, 1, 0, 5, { PARZEN_WINDOW, 0, 1, 0, 1 }, 0 },
        { 1 << 17, 1, 0, 0, { WELCH_WINDOW, 1, 0, 1, 0 }, 0 },
        { 1 << 18, 1, 0, 0, { NO_WINDOW, 0, 0, 0, 0 }, 0 },
        { 1 << 17, 1, 0, 0, { NO_WINDOW, 0, 0, 1, 1 }, 997 },
        { 1 << 17, 1, 0, 0, { HANNING_WINDOW, 0, 1, 1, 1 }, 100003 },
        { 1 << 17, 1, 0, 0, { NO_WINDOW, 0, 0, 1, 1 }, 2, true },
        // Several segments of a split transform: S = 0, overlapping, apart.
        { 1 << 17, 3, 0, 0, { HANNING_WINDOW, 0, 1, 1, 1 }, 0 },
        { 1 << 17, 3, 1 << 16, 7, { WELCH_WINDOW, 0, 1, 0, 1 }, 0 },
        // Batches of segments, odd K, every window, odd shifts.
        { 1 << 10, 257, 1000, 0, { HANNING_WINDOW, 0, 1, 1, 1 }, 0 },
        { 1 << 10, 255, 3000, 11, { PARZEN_WINDOW, 1, 1, 0, 1 }, 0 },
        { 1 << 12, 33, 0, 0, { WELCH_WINDOW, 0, 0, 1, 0 }, 0 },
        { 1 << 12, 33, 8192, 0, { 5, 0, 1, 1, 1 }, 0 },
        { 1 << 13, 17, 4097, 3, { NO_WINDOW, 0, 0, 0, 0 }, 301 },
        { 1 << 11, 129, 2048, 0, { HANNING_WINDOW, 0, 1, 1, 1 }, 40000 },
        // More periodograms than one batch keeps, with infinities and NaNs.
        { 1 << 13, 300, 1500, 5, { HANNING_WINDOW, 0, 1, 1, 1 }, 70001 },
        // Transforms of two points, many segments.
        { 1, 131073, 1, 0, { HANNING_WINDOW, 0, 1, 1, 1 }, 0 },
        { 2, 65537, 3, 1, { NO_WINDOW, 0, 0, 1, 1 }, 13 },
        // Small ones, kept on the calling thread.
        { 4, 7, 3, 0, { PARZEN_WINDOW, 0, 1, 1, 1 }, 0 },
        { 512, 1, 0, 0, { WELCH_WINDOW, 0, 1, 1, 1 }, 0 },
    };
    const std::vector<float> special = { kInf, kNan, -0.0f, -kInf, 0.0f };
    const std::vector<float> zeros = { -0.0f, 0.0f, -0.0f };
    ThreadsAtEnd restore;
    for (const Case& c : cases) {
        const int N = c.S * c.K + 2 * c.M + c.extra;
        const std::vector<float> series
            = pseudoNoise(N, 91u + c.M + c.K, c.zerosOnly ? zeros : special, c.specialEvery);
        const Settings& s = c.settings;
        std::vector<float> expected(static_cast<std::size_t>(c.M) + 1);
        ASSERT_EQ(0,
            plainEstimatePsd(series.data(), N, s.windowType, s.amplitudeOutput, s.extractAverage,
                c.M, c.S, c.K, s.normalize, s.logOutput, expected.data()));
        for (int threads : { 1, 2, 3 }) {
            setParallelThreads(threads);
            std::vector<float> actual(expected.size(), 1.0f);
            EXPECT_EQ(0,
                estimatePsd(series.data(), N, s.windowType, s.amplitudeOutput, s.extractAverage,
                    c.M, c.S, c.K, s.normalize, s.logOutput, actual.data()));
            EXPECT_EQ(0, std::memcmp(expected.data(), actual.data(), actual.size() * sizeof(float)))
                << describe(N, c.M, c.K, c.S, s, threads);
        }
    }
}

TEST(ParallelEstimate, DriverGivesThePlainDriversBits)
{
    ThreadsAtEnd restore;
    struct Case {
        int M, K, S, normalize;
    };
    for (const Case& c :
        { Case { 1 << 17, 1, 0, 1 }, Case { 1 << 17, 1, 0, 0 }, Case { 1 << 11, 101, 1500, 0 } }) {
        AnalysisState state;
        const int N = c.S * c.K + 2 * c.M;
        const std::vector<float> samples = pseudoNoise(N, 5u);
        ASSERT_TRUE(state.series.allocate(samples.size()));
        std::memcpy(state.series.data(), samples.data(), samples.size() * sizeof(float));
        state.sampleCount = static_cast<unsigned>(N);
        state.psdSize = c.M;
        state.segmentCount = c.K;
        state.dataShift = c.S;
        state.normalize = c.normalize;
        std::vector<float> expected(static_cast<std::size_t>(c.M) + 1);
        ASSERT_EQ(0,
            plainComputeSpectrum(
                samples.data(), N, state.windowType, c.M, c.S, c.K, c.normalize, expected.data()));
        for (int threads : { 1, 2 }) {
            setParallelThreads(threads);
            ASSERT_EQ(0, computeSpectrum(state));
            EXPECT_EQ(
                0, std::memcmp(expected.data(), state.psd.data(), expected.size() * sizeof(float)))
                << "M " << c.M << ", K " << c.K << ", normalize " << c.normalize << ", threads "
                << threads;
        }
    }
}

TEST(ParallelEstimate, ProgressRunsFromZeroToOneOnTheCallingThread)
{
    struct Case {
        const char* name;
        int N, M, K, S;
        int expectedStatus;
        bool reportsBetween; // reports fractions between 0 and 1 (at least after its transforms)
    };
    const Case cases[] = {
        { "one split transform", 1 << 18, 1 << 17, 1, 0, 0, true },
        { "batches of segments", 600000, 1 << 10, 500, 1000, 0, true },
        { "one thread's loop", 4000, 64, 30, 100, 0, true },
        { "one short segment", 64, 32, 1, 0, 0, true },
        { "configuration that does not fit", 100, 64, 1, 0, 1, false },
        { "size no power of two", 1000, 100, 1, 0, 1, false },
    };
    ThreadsAtEnd restore;
    const std::thread::id caller = std::this_thread::get_id();
    for (const Case& c : cases) {
        for (int threads : { 1, 2 }) {
            setParallelThreads(threads);
            const std::vector<float> series = pseudoNoise(c.N, 3u);
            std::vector<float> psd(static_cast<std::size_t>(c.M) + 1);
            std::vector<double> fractions;
            bool onCaller = true;
            bool rightStep = true;
            const ProgressCallback progress = [&](std::string_view step, double fraction) {
                onCaller = onCaller && std::this_thread::get_id() == caller;
                rightStep = rightStep && step == PROGRESS_ESTIMATE;
                fractions.push_back(fraction);
            };
            const std::string name = std::string(c.name) + ", threads " + std::to_string(threads);
            EXPECT_EQ(c.expectedStatus,
                estimatePsd(series.data(), c.N, HANNING_WINDOW, 0, 1, c.M, c.S, c.K, 1, 1,
                    psd.data(), progress))
                << name;
            ASSERT_GE(fractions.size(), 2u) << name;
            EXPECT_TRUE(onCaller) << name;
            EXPECT_TRUE(rightStep) << name;
            EXPECT_EQ(0.0, fractions.front()) << name;
            EXPECT_EQ(1.0, fractions.back()) << name;
            EXPECT_LE(fractions.size(), 300u) << name;
            for (std::size_t i = 1; i < fractions.size(); ++i)
                EXPECT_LE(fractions[i - 1], fractions[i]) << name << ", report " << i;
            EXPECT_EQ(c.reportsBetween, fractions.size() > 2) << name;
        }
    }
}

TEST(ParallelEstimate, DriverReportsProgressAlsoWhenItFailsBeforeTheEstimate)
{
    struct Case {
        const char* name;
        int psdSize;
        AllocationHook hook;
        int status;
    };
    const Case cases[] = {
        { "no size", 0, nullptr, 1 },
        { "no memory for the spectrum", 256, [](std::size_t count) { return count != 257; },
            ESTIMATE_NO_MEMORY },
        { "no memory for the work buffer", 256, [](std::size_t count) { return count == 257; },
            ESTIMATE_NO_MEMORY },
    };
    for (const Case& c : cases) {
        AnalysisState state;
        const std::vector<float> samples = pseudoNoise(600, 9u);
        ASSERT_TRUE(state.series.allocate(samples.size()));
        std::memcpy(state.series.data(), samples.data(), samples.size() * sizeof(float));
        state.sampleCount = 600;
        state.psdSize = c.psdSize;
        std::vector<double> fractions;
        setAllocationHook(c.hook);
        const int status = computeSpectrum(
            state, [&](std::string_view, double fraction) { fractions.push_back(fraction); });
        setAllocationHook(nullptr);
        EXPECT_EQ(c.status, status) << c.name;
        EXPECT_EQ((std::vector<double> { 0.0, 1.0 }), fractions) << c.name;
    }
}
