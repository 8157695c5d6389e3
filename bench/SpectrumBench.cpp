// computeSpectrum on the record with one thread and with two, beside the
// same estimate built on the one-butterfly-at-a-time reference transform.
// The setup checks that all give the same bits before anything is timed.

#include "core/AnalysisState.h"
#include "core/Parallel.h"
#include "spectrum/PsdEstimator.h"
#include "support/PlainSpectrum.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <random>
#include <tuple>
#include <vector>

namespace {

struct Configuration {
    int N;
    int M;
    int K;
    int S;
};

// A tone in noise, so that no bin sits on the floor.
void fillSeries(AnalysisState& state, unsigned N)
{
    std::mt19937 generator(777u);
    std::normal_distribution<float> noise(0.0f, 1.0f);
    state.series.allocate(static_cast<std::size_t>(N) + 1);
    state.series[0] = 0.0f;
    for (unsigned i = 1; i <= N; ++i)
        state.series[i] = static_cast<float>(std::sin(0.05 * i)) + noise(generator);
    state.sampleCount = N;
}

Configuration configurationOf(const benchmark::State& bench)
{
    return { static_cast<int>(bench.range(0)), static_cast<int>(bench.range(1)),
        static_cast<int>(bench.range(2)), static_cast<int>(bench.range(3)) };
}

int threadsOf(const benchmark::State& bench)
{
    return static_cast<int>(bench.range(4));
}

// The record as the program leaves it at start-up (Hanning window,
// normalization on), with the benchmark's series and configuration.
AnalysisState& recordFor(const Configuration& c)
{
    static AnalysisState state;
    static int filledN = -1;
    if (filledN != c.N) {
        fillSeries(state, static_cast<unsigned>(c.N));
        filledN = c.N;
    }
    state.psdSize = c.M;
    state.segmentCount = c.K;
    state.dataShift = c.S;
    return state;
}

// The plain estimate of a shape is made once (for the largest it takes
// seconds) and compared with computeSpectrum at every thread count.
bool sameAsPlain(AnalysisState& state)
{
    static std::map<std::tuple<int, int, int, int>, std::vector<float>> plainOf;
    const auto key = std::make_tuple(
        static_cast<int>(state.sampleCount), state.psdSize, state.segmentCount, state.dataShift);
    auto found = plainOf.find(key);
    if (found == plainOf.end()) {
        std::vector<float> plain(static_cast<std::size_t>(state.psdSize) + 1);
        if (plainComputeSpectrum(state.series.data(), static_cast<int>(state.sampleCount),
                state.windowType, state.psdSize, state.dataShift, state.segmentCount,
                state.normalize, plain.data())
            != 0)
            return false;
        found = plainOf.emplace(key, std::move(plain)).first;
    }
    const std::vector<float>& plain = found->second;
    // Entry 0 is scaled by neither; entries 0..M all have to agree.
    return computeSpectrum(state) == 0
        && std::memcmp(plain.data(), state.psd.data(), plain.size() * sizeof(float)) == 0;
}

void BM_PlainSpectrum(benchmark::State& bench)
{
    AnalysisState& state = recordFor(configurationOf(bench));
    std::vector<float> psd(static_cast<std::size_t>(state.psdSize) + 1);
    for (auto _ : bench) {
        plainComputeSpectrum(state.series.data(), static_cast<int>(state.sampleCount),
            state.windowType, state.psdSize, state.dataShift, state.segmentCount, state.normalize,
            psd.data());
        benchmark::DoNotOptimize(psd.data());
        benchmark::ClobberMemory();
    }
}

void BM_ComputeSpectrum(benchmark::State& bench)
{
    AnalysisState& state = recordFor(configurationOf(bench));
    setParallelThreads(threadsOf(bench));
    if (!sameAsPlain(state)) {
        bench.SkipWithError("computeSpectrum differs from the plain estimate");
        setParallelThreads(0);
        return;
    }
    for (auto _ : bench) {
        benchmark::DoNotOptimize(computeSpectrum(state));
        benchmark::ClobberMemory();
    }
    setParallelThreads(0);
}

// Each (N, M, K, S) as the plain estimate, then computeSpectrum with one
// thread and with two, one after the other, so that the three of a shape
// meet the same load on a shared machine.
const int registered = [] {
    const std::vector<std::vector<std::int64_t>> shapes = {
        { 1 << 22, 1 << 14, 64, 1 << 15 },
        { 1 << 24, 1 << 16, 64, 1 << 17 },
        { 4000000, 512, 7810, 512 },
        { 1 << 22, 1 << 21, 1, 0 },
        { 1 << 24, 1 << 23, 1, 0 },
    };
    for (std::vector<std::int64_t> shape : shapes) {
        benchmark::RegisterBenchmark("BM_PlainSpectrum", BM_PlainSpectrum)
            ->Args(shape)
            ->ArgNames({ "N", "M", "K", "S" })
            ->Unit(benchmark::kMillisecond);
        shape.push_back(0);
        for (int threads : { 1, 2 }) {
            shape.back() = threads;
            benchmark::RegisterBenchmark("BM_ComputeSpectrum", BM_ComputeSpectrum)
                ->Args(shape)
                ->ArgNames({ "N", "M", "K", "S", "threads" })
                ->Unit(benchmark::kMillisecond);
        }
    }
    return 0;
}();

} // namespace
