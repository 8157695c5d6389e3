// runningAverage beside the direct sums it replaced (kept here as they
// were: eight sums side by side, the parts spread over the pool), on a
// tone in noise, whose sums the sliding path can prove exact, and on
// samples whose exponents cover the whole float range, which only the
// direct sums can do exactly. Both give the same bits; the check runs
// after each benchmark and fails it if they do not.

#include "core/Parallel.h"
#include "core/Progress.h"
#include "input/SeriesEditing.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <random>
#include <utility>
#include <vector>

namespace {

namespace before {

float meanOf(const float* series, std::int64_t first, std::int64_t last)
{
    double sum = 0.0;
    for (std::int64_t k = first; k <= last; ++k)
        sum += series[k];
    return static_cast<float>(sum / static_cast<double>(last - first + 1));
}

constexpr int LANES = 8;

void lanesOfMeans(const float* series, std::int64_t first, std::int64_t window, float* means)
{
    double sums[LANES] = {};
    const float* entries = series + first;
    for (std::int64_t k = 0; k < window; ++k) {
        for (int lane = 0; lane < LANES; ++lane)
            sums[lane] += entries[k + lane];
    }
    for (int lane = 0; lane < LANES; ++lane)
        means[lane] = static_cast<float>(sums[lane] / static_cast<double>(window));
}

void averageRange(float* series, std::int64_t first, std::int64_t last, std::int64_t window)
{
    std::int64_t i = first;
    for (float means[LANES]; i + LANES - 1 <= last; i += LANES) {
        lanesOfMeans(series, i, window, means);
        std::memcpy(series + i, means, sizeof means);
    }
    for (; i <= last; ++i)
        series[i] = meanOf(series, i, i + window - 1);
}

void runningAverage(float* series, std::int64_t count, std::int64_t window)
{
    const ProgressCallback progress;
    StepProgress report(progress, PROGRESS_AVERAGE);
    const std::int64_t means = count - window;
    if (means > 0) {
        const std::int64_t parts = std::clamp<std::int64_t>(means / 16384, 1, 256);
        const std::int64_t lead = window - 1;
        std::vector<float> held(static_cast<std::size_t>(parts * lead));
        const auto partStart = [&](std::int64_t p) { return 1 + means * p / parts; };
        const auto heldStart
            = [&](std::int64_t p) { return std::max(partStart(p), partStart(p + 1) - lead); };
        runTasks(static_cast<std::size_t>(parts), [&](std::size_t task) {
            const auto p = static_cast<std::int64_t>(task);
            float* const into = held.data() + p * lead;
            for (std::int64_t i = heldStart(p); i < partStart(p + 1); ++i)
                into[i - heldStart(p)] = meanOf(series, i, i + window - 1);
        });
        std::atomic<bool> stopping { false };
        runTasks(
            static_cast<std::size_t>(parts),
            [&](std::size_t task) {
                if (stopping.load(std::memory_order_relaxed))
                    return;
                const auto p = static_cast<std::int64_t>(task);
                averageRange(series, partStart(p), heldStart(p) - 1, window);
                std::copy_n(
                    held.data() + p * lead, partStart(p + 1) - heldStart(p), series + heldStart(p));
            },
            [&](std::size_t finished) {
                if (!report.advance(static_cast<double>(finished) / static_cast<double>(parts + 1)))
                    stopping.store(true, std::memory_order_relaxed);
            });
    }
    for (std::int64_t j = std::max<std::int64_t>(1, count - window + 1); j < count; ++j)
        series[j] = meanOf(series, j, count);
}

} // namespace before

enum Samples { TONE, FULL_RANGE };

std::vector<float> samplesOf(Samples kind, std::int64_t n)
{
    std::vector<float> series(static_cast<std::size_t>(n) + 1, 0.0f);
    std::mt19937_64 generator(4242u);
    if (kind == TONE) {
        std::normal_distribution<float> noise(0.0f, 1.0f);
        for (std::int64_t i = 1; i <= n; ++i)
            series[i]
                = static_cast<float>(std::sin(0.05 * static_cast<double>(i))) + noise(generator);
    } else {
        // Any sign, any exponent field but the one of infinities and NaNs.
        std::uniform_int_distribution<std::uint32_t> exponent(0, 254);
        for (std::int64_t i = 1; i <= n; ++i) {
            const auto bits = static_cast<std::uint32_t>(generator());
            series[i] = std::bit_cast<float>((bits & 0x807fffffu) | exponent(generator) << 23);
        }
    }
    return series;
}

using Key = std::pair<Samples, std::int64_t>;

const std::vector<float>& inputOf(Samples kind, std::int64_t n)
{
    static std::map<Key, std::vector<float>> inputs;
    auto found = inputs.find({ kind, n });
    if (found == inputs.end())
        found = inputs.emplace(Key { kind, n }, samplesOf(kind, n)).first;
    return found->second;
}

// The direct sums' output of each case, from the first of the two that ran.
std::map<std::pair<Key, std::int64_t>, std::vector<float>>& outputs()
{
    static std::map<std::pair<Key, std::int64_t>, std::vector<float>> formed;
    return formed;
}

template <bool Sliding> void runCase(benchmark::State& bench)
{
    const auto kind = static_cast<Samples>(bench.range(0));
    const std::int64_t window = bench.range(1);
    const std::int64_t n = bench.range(2);
    const std::vector<float>& input = inputOf(kind, n);
    std::vector<float> series(input.size());
    for (auto _ : bench) {
        bench.PauseTiming();
        std::copy(input.begin(), input.end(), series.begin());
        bench.ResumeTiming();
        if constexpr (Sliding)
            runningAverage(series.data(), static_cast<unsigned>(n), static_cast<int>(window));
        else
            before::runningAverage(series.data(), n, window);
        benchmark::ClobberMemory();
    }
    const auto key = std::make_pair(Key { kind, n }, window);
    auto formed = outputs().find(key);
    if (formed == outputs().end())
        formed = outputs().emplace(key, series).first;
    if (std::memcmp(formed->second.data(), series.data(), series.size() * sizeof(float)) != 0)
        bench.SkipWithError("runningAverage differs from the direct sums");
}

void BM_RunningAverageBefore(benchmark::State& bench)
{
    runCase<false>(bench);
}

void BM_RunningAverage(benchmark::State& bench)
{
    runCase<true>(bench);
}

// Each case with the direct sums, then with runningAverage, one right after
// the other. The direct sums over the whole float range with W = 1000 take
// a second per two million samples; that case is shorter.
const int registered = [] {
    const std::vector<std::vector<std::int64_t>> cases = {
        { TONE, 1000, 20'000'000 },
        { TONE, 2, 20'000'000 },
        { TONE, 100, 20'000'000 },
        { TONE, 8, 20'000'000 },
        { TONE, 24, 20'000'000 },
        { FULL_RANGE, 1000, 2'000'000 },
        { FULL_RANGE, 2, 20'000'000 },
    };
    for (const std::vector<std::int64_t>& c : cases) {
        const bool slow = c[1] >= 100;
        using Function = void (*)(benchmark::State&);
        const std::pair<const char*, Function> sides[]
            = { { "BM_RunningAverageBefore", BM_RunningAverageBefore },
                  { "BM_RunningAverage", BM_RunningAverage } };
        for (auto [name, function] : sides) {
            auto* registeredCase = benchmark::RegisterBenchmark(name, function)
                                       ->Args(c)
                                       ->ArgNames({ "fullRange", "W", "N" })
                                       ->Unit(benchmark::kMillisecond);
            if (slow)
                registeredCase->Iterations(1);
        }
    }
    return 0;
}();

} // namespace
