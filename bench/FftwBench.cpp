// complexFft beside FFTW's single-precision transform of the same length
// (FFTW_BACKWARD, which has the same positive exponent), planned with
// FFTW_MEASURE and run on one thread. Each size registers FFTW, then
// complexFft on one thread and on two, one right after the other, so that
// the three meet the same load on a shared machine. Built only where FFTW
// is installed; nothing else depends on it.

#include "core/Parallel.h"
#include "spectrum/Fft.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <chrono>
#include <cstring>
#include <random>
#include <vector>

namespace {

std::vector<float> randomInput(int nn)
{
    std::mt19937 generator(12345u);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    std::vector<float> data(2 * static_cast<std::size_t>(nn) + 1);
    for (float& x : data)
        x = value(generator);
    return data;
}

// Each iteration transforms a fresh copy of the same input; only the
// transform is timed.
void BM_Fftw(benchmark::State& state)
{
    const int nn = 1 << state.range(0);
    const std::vector<float> input = randomInput(nn);
    fftwf_complex* data = fftwf_alloc_complex(static_cast<std::size_t>(nn));
    fftwf_plan plan = fftwf_plan_dft_1d(nn, data, data, FFTW_BACKWARD, FFTW_MEASURE);
    for (auto _ : state) {
        std::memcpy(data, input.data() + 1, 2 * static_cast<std::size_t>(nn) * sizeof(float));
        const auto start = std::chrono::steady_clock::now();
        fftwf_execute(plan);
        const auto stop = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(data);
        benchmark::ClobberMemory();
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
    fftwf_destroy_plan(plan);
    fftwf_free(data);
}

void BM_WelmoBesideFftw(benchmark::State& state)
{
    const int nn = 1 << state.range(0);
    setParallelThreads(static_cast<int>(state.range(1)));
    const std::vector<float> input = randomInput(nn);
    std::vector<float> data(input.size());
    for (auto _ : state) {
        std::memcpy(data.data(), input.data(), input.size() * sizeof(float));
        const auto start = std::chrono::steady_clock::now();
        complexFft(data.data(), nn);
        const auto stop = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(data.data());
        benchmark::ClobberMemory();
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
    setParallelThreads(0);
}

const int registered = [] {
    for (int log2n : { 12, 16, 20, 22, 24 }) {
        benchmark::RegisterBenchmark("BM_Fftw", BM_Fftw)
            ->Arg(log2n)
            ->UseManualTime()
            ->Unit(benchmark::kMicrosecond);
        for (int threads : { 1, 2 })
            benchmark::RegisterBenchmark("BM_WelmoBesideFftw", BM_WelmoBesideFftw)
                ->Args({ log2n, threads })
                ->ArgNames({ "", "threads" })
                ->UseManualTime()
                ->Unit(benchmark::kMicrosecond);
    }
    return 0;
}();

} // namespace
