// complexFft beside FFTW's single-precision transform of the same length
// (FFTW_BACKWARD, which has the same positive exponent), planned with
// FFTW_MEASURE and run on one thread. Each iteration transforms a fresh copy
// of the same input with both, one right after the other, so that the two
// meet the same load on a shared machine; only the transforms are timed.
// The "ratio" counter is complexFft's time over FFTW's, the median of the
// iterations' ratios. Built only where FFTW is installed; nothing else
// depends on it. BM_WelmoBesideFftwOnLargePages gives both transforms
// buffers on large pages, as the program holds its own.

#include "core/LargePages.h"
#include "core/Parallel.h"
#include "spectrum/Fft.h"

#include "RandomComplex.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Arguments: log2 of the length, complexFft's threads.
void runBesideFftw(benchmark::State& state, bool largePages)
{
    const int nn = 1 << state.range(0);
    setParallelThreads(static_cast<int>(state.range(1)));
    const std::vector<float> input = randomComplex(nn);
    const std::size_t bytes = input.size() * sizeof(float);
    std::vector<float> ownSmall;
    std::unique_ptr<void, FreeLargePages> ownLarge;
    std::unique_ptr<void, FreeLargePages> theirsLarge;
    float* data = nullptr;
    fftwf_complex* theirs = nullptr;
    if (largePages) {
        ownLarge.reset(allocateOnLargePages(bytes));
        theirsLarge.reset(allocateOnLargePages(bytes));
        data = static_cast<float*>(ownLarge.get());
        theirs = static_cast<fftwf_complex*>(theirsLarge.get());
    } else {
        ownSmall.resize(input.size());
        data = ownSmall.data();
        theirs = fftwf_alloc_complex(static_cast<std::size_t>(nn));
    }
    if (!data || !theirs) {
        state.SkipWithError("no memory");
        return;
    }
    fftwf_plan plan = fftwf_plan_dft_1d(nn, theirs, theirs, FFTW_BACKWARD, FFTW_MEASURE);
    std::vector<double> ratios;
    double fftwSeconds = 0.0;
    for (auto _ : state) {
        std::memcpy(theirs, input.data() + 1, 2 * static_cast<std::size_t>(nn) * sizeof(float));
        auto start = std::chrono::steady_clock::now();
        fftwf_execute(plan);
        const double fftw = secondsSince(start);
        benchmark::DoNotOptimize(theirs);
        std::memcpy(data, input.data(), bytes);
        start = std::chrono::steady_clock::now();
        complexFft(data, nn);
        const double welmo = secondsSince(start);
        benchmark::DoNotOptimize(data);
        benchmark::ClobberMemory();
        state.SetIterationTime(welmo);
        fftwSeconds += fftw;
        ratios.push_back(welmo / fftw);
    }
    std::nth_element(ratios.begin(), ratios.begin() + ratios.size() / 2, ratios.end());
    state.counters["ratio"] = ratios[ratios.size() / 2];
    state.counters["fftw_us"] = 1e6 * fftwSeconds / static_cast<double>(ratios.size());
    fftwf_destroy_plan(plan);
    if (!largePages)
        fftwf_free(theirs);
    setParallelThreads(0);
}

void BM_WelmoBesideFftw(benchmark::State& state)
{
    runBesideFftw(state, false);
}

void BM_WelmoBesideFftwOnLargePages(benchmark::State& state)
{
    runBesideFftw(state, true);
}

} // namespace

BENCHMARK(BM_WelmoBesideFftw)
    ->ArgsProduct({ { 12, 16, 20, 22, 24 }, { 1, 2 } })
    ->ArgNames({ "", "threads" })
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WelmoBesideFftwOnLargePages)
    ->ArgsProduct({ { 20, 22, 24 }, { 1, 2 } })
    ->ArgNames({ "", "threads" })
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
