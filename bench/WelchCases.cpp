// computeSpectrum on every thread there is, on the five shapes that
// external/welch_compare.py also gives to another Welch estimator. The bits
// are checked in SpectrumBench; this one only times, so that the
// comparison does not wait for the plain estimate of the largest shapes.

#include "core/AnalysisState.h"
#include "spectrum/PsdEstimator.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

void BM_WelchCase(benchmark::State& bench)
{
    const int N = static_cast<int>(bench.range(0));
    AnalysisState state;
    // A tone in noise, as the comparison script makes it.
    std::mt19937 generator(777u);
    std::normal_distribution<float> noise(0.0f, 1.0f);
    state.series.allocate(static_cast<std::size_t>(N) + 1);
    state.series[0] = 0.0f;
    for (int i = 1; i <= N; ++i)
        state.series[i] = static_cast<float>(std::sin(0.05 * i)) + noise(generator);
    state.sampleCount = static_cast<unsigned>(N);
    state.psdSize = static_cast<int>(bench.range(1));
    state.segmentCount = static_cast<int>(bench.range(2));
    state.dataShift = static_cast<int>(bench.range(3));
    for (auto _ : bench) {
        if (computeSpectrum(state) != 0) {
            bench.SkipWithError("the configuration does not fit");
            return;
        }
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(BM_WelchCase)
    ->Args({ 1 << 22, 1 << 14, 64, 1 << 15 })
    ->Args({ 1 << 24, 1 << 16, 64, 1 << 17 })
    ->Args({ 4000000, 512, 7810, 512 })
    ->Args({ 1 << 22, 1 << 21, 1, 0 })
    ->Args({ 1 << 24, 1 << 23, 1, 0 })
    ->ArgNames({ "N", "M", "K", "S" })
    ->Unit(benchmark::kMillisecond);
