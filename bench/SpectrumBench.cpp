// computeSpectrum on the record beside the same estimate built on the
// one-butterfly-at-a-time reference transform. The setup checks that both give the same bits before
// anything is timed.

#include "core/AnalysisState.h"
#include "spectrum/PsdEstimator.h"
#include "support/PlainSpectrum.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

struct Configuration {
    int log2N;
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

// The record as the program leaves it at start-up (Hanning window,
// normalization on), with the benchmark's series and configuration.
AnalysisState& recordFor(const Configuration& c)
{
    static AnalysisState state;
    static int filledLog2N = -1;
    if (filledLog2N != c.log2N) {
        fillSeries(state, 1u << c.log2N);
        filledLog2N = c.log2N;
    }
    state.psdSize = c.M;
    state.segmentCount = c.K;
    state.dataShift = c.S;
    return state;
}

bool sameAsPlain(AnalysisState& state)
{
    std::vector<float> plain(static_cast<std::size_t>(state.psdSize) + 1);
    if (plainComputeSpectrum(state.series.data(), static_cast<int>(state.sampleCount),
            state.windowType, state.psdSize, state.dataShift, state.segmentCount, state.normalize,
            plain.data())
            != 0
        || computeSpectrum(state) != 0)
        return false;
    // Entry 0 is scaled by neither; entries 0..M all have to agree.
    return std::memcmp(plain.data(), state.psd.data(), plain.size() * sizeof(float)) == 0;
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
    if (!sameAsPlain(state)) {
        bench.SkipWithError("computeSpectrum differs from the plain estimate");
        return;
    }
    for (auto _ : bench) {
        benchmark::DoNotOptimize(computeSpectrum(state));
        benchmark::ClobberMemory();
    }
}

void configurations(benchmark::internal::Benchmark* b)
{
    b->Args({ 22, 1 << 21, 1, 0 })->Args({ 22, 1 << 14, 64, 1 << 15 });
    b->ArgNames({ "log2N", "M", "K", "S" })->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(BM_PlainSpectrum)->Apply(configurations);
BENCHMARK(BM_ComputeSpectrum)->Apply(configurations);
