// complexFft with one thread and with two beside the textbook loop it must
// match bit for bit. Each iteration transforms a fresh copy of the same
// input; only the transform is timed.

#include "core/Parallel.h"
#include "spectrum/Fft.h"
#include "spectrum/FftVariant.h"
#include "support/PlainFft.h"

#include "RandomComplex.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <random>
#include <vector>

namespace {

template <void (*transform)(float*, int)> void timeTransform(benchmark::State& state)
{
    const int nn = 1 << state.range(0);
    const std::vector<float> input = randomComplex(nn);
    std::vector<float> data(input.size());
    for (auto _ : state) {
        std::memcpy(data.data(), input.data(), input.size() * sizeof(float));
        const auto start = std::chrono::steady_clock::now();
        transform(data.data(), nn);
        const auto stop = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(data.data());
        benchmark::ClobberMemory();
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(nn));
}

// The fast transform pinned to one instruction-set variant, so that the
// variants can be compared with each other as well.
template <FftVariant variant> void timePinnedTransform(benchmark::State& state)
{
    if (!setFftVariant(variant)) {
        state.SkipWithError("variant not supported by this processor");
        return;
    }
    timeTransform<complexFft>(state);
    setFftVariant(FFT_VARIANT_AUTO);
}

void BM_PlainFft(benchmark::State& state)
{
    timeTransform<plainComplexFft>(state);
}

void BM_ComplexFft(benchmark::State& state)
{
    timeTransform<complexFft>(state);
}

// The transform on the given number of threads (second argument).
void BM_ComplexFftThreads(benchmark::State& state)
{
    setParallelThreads(static_cast<int>(state.range(1)));
    timeTransform<complexFft>(state);
    setParallelThreads(0);
}

void sizes(benchmark::internal::Benchmark* b)
{
    b->Arg(12)->Arg(16)->Arg(20)->Arg(24)->UseManualTime()->Unit(benchmark::kMicrosecond);
}

void sizesAndThreads(benchmark::internal::Benchmark* b)
{
    for (int log2n : { 12, 16, 20, 24 })
        for (int threads : { 1, 2 })
            b->Args({ log2n, threads });
    b->ArgNames({ "", "threads" })->UseManualTime()->Unit(benchmark::kMicrosecond);
}

} // namespace

BENCHMARK(BM_PlainFft)->Apply(sizes);
BENCHMARK(BM_ComplexFft)->Apply(sizes);
BENCHMARK(BM_ComplexFftThreads)->Apply(sizesAndThreads);
BENCHMARK(timePinnedTransform<FFT_VARIANT_BASELINE>)->Name("BM_ComplexFftBaseline")->Apply(sizes);
BENCHMARK(timePinnedTransform<FFT_VARIANT_AVX2>)->Name("BM_ComplexFftAvx2")->Apply(sizes);
BENCHMARK(timePinnedTransform<FFT_VARIANT_AVX512>)->Name("BM_ComplexFftAvx512")->Apply(sizes);
