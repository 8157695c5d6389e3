// The transform in every variant the processor runs against the textbook
// loop, on any input bits, at 1 to 3 threads.

#include "FuzzCompare.h"
#include "FuzzInput.h"

#include "core/Parallel.h"
#include "spectrum/Fft.h"
#include "spectrum/FftVariant.h"
#include "support/PlainFft.h"

#include <vector>

namespace {

constexpr FftVariant VARIANTS[] = { FFT_VARIANT_BASELINE, FFT_VARIANT_AVX2, FFT_VARIANT_AVX512 };
const char* const VARIANT_NAMES[] = { "baseline", "AVX2", "AVX-512" };

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const int threads = input.inRange(1, 3);
    const std::vector<float> values = input.restAsFloats();
    // The largest power of two of complex values the input fills.
    int nn = 1;
    while (4 * static_cast<std::size_t>(nn) <= values.size())
        nn *= 2;
    std::vector<float> expected(2 * nn + 1, 0.0f);
    for (int i = 1; i <= 2 * nn && static_cast<std::size_t>(i) <= values.size(); ++i)
        expected[i] = values[i - 1];
    const std::vector<float> given = expected;
    oracleComplexFft(expected.data(), nn);

    setParallelThreads(threads);
    for (std::size_t v = 0; v < std::size(VARIANTS); ++v) {
        if (!setFftVariant(VARIANTS[v]))
            continue;
        std::vector<float> actual = given;
        complexFft(actual.data(), nn);
        expectSameFloats(VARIANT_NAMES[v], actual.data(), expected.data(), 1, 2 * nn);
    }
    setFftVariant(FFT_VARIANT_AUTO);
    setParallelThreads(0);
    return 0;
}
