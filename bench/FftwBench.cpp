// complexFft beside FFTW's single-precision transform of the same length
// (FFTW_BACKWARD, which has the same positive exponent), planned with
// FFTW_MEASURE and run on one thread. Each iteration transforms a fresh copy
// of the same input with both, one right after the other, so that the two
// meet the same load on a shared machine; only the transforms are timed.
// The "ratio" counter is complexFft's time over FFTW's, the median of the
// iterations' ratios. Built only where FFTW is installed; nothing else
// depends on it.

#include "core/Parallel.h"
#include "spectrum/Fft.h"

#include "RandomComplex.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <vector>

namespace {

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Arguments: log2 of the length, complexFft's threads.
void BM_WelmoBesideFftw(benchmark::State& state)
{
    const int nn = 1 << state.range(0);
    setParallelThreads(static_cast<int>(state.range(1)));
    const std::vector<float> input = randomComplex(nn);
    std::vector<float> data(input.size());
    fftwf_complex* theirs = fftwf_alloc_complex(static_cast<std::size_t>(nn));
    fftwf_plan plan = fftwf_plan_dft_1d(nn, theirs, theirs, FFTW_BACKWARD, FFTW_MEASURE);
    std::vector<double> ratios;
    double fftwSeconds = 0.0;
    for (auto _ : state) {
        std::memcpy(theirs, input.data() + 1, 2 * static_cast<std::size_t>(nn) * sizeof(float));
        auto start = std::chrono::steady_clock::now();
        fftwf_execute(plan);
        const double fftw = secondsSince(start);
        benchmark::DoNotOptimize(theirs);
        std::memcpy(data.data(), input.data(), input.size() * sizeof(float));
        start = std::chrono::steady_clock::now();
        complexFft(data.data(), nn);
        const double welmo = secondsSince(start);
        benchmark::DoNotOptimize(data.data());
        benchmark::ClobberMemory();
        state.SetIterationTime(welmo);
        fftwSeconds += fftw;
        ratios.push_back(welmo / fftw);
    }
    std::nth_element(ratios.begin(), ratios.begin() + ratios.size() / 2, ratios.end());
    state.counters["ratio"] = ratios[ratios.size() / 2];
    state.counters["fftw_us"] = 1e6 * fftwSeconds / static_cast<double>(ratios.size());
    fftwf_destroy_plan(plan);
    fftwf_free(theirs);
    setParallelThreads(0);
}

} // namespace

BENCHMARK(BM_WelmoBesideFftw)
    ->ArgsProduct({ { 12, 16, 20, 22, 24 }, { 1, 2 } })
    ->ArgNames({ "", "threads" })
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
