// The transform in every variant the processor runs against the textbook
// loop, on any input bits, at 1 to 3 threads, small and split.

#include "FuzzCompare.h"
#include "FuzzInput.h"
#include "FuzzSpread.h"

#include "core/Parallel.h"
#include "spectrum/Fft.h"
#include "spectrum/FftVariant.h"
#include "support/PlainFft.h"

#include <cstdio>
#include <vector>

namespace {

constexpr FftVariant VARIANTS[] = { FFT_VARIANT_BASELINE, FFT_VARIANT_AVX2, FFT_VARIANT_AVX512 };
const char* const VARIANT_NAMES[] = { "baseline", "AVX2", "AVX-512" };

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const int threads = input.inRange(1, 3);
    // One input in four is spread over a transform of 2^15 to 2^18 points,
    // where the passes, and from 2^18 the transform, split among threads; the others are as long as
    // they fill: the largest power of two of complex values.
    const int spread = input.byte();
    std::vector<float> values = input.restAsFloats();
    int nn = 1;
    if (spread % 4 == 0) {
        nn = 1 << (15 + (spread / 4) % 4);
        values = spreadValues(values, 2 * static_cast<std::size_t>(nn));
    }
    while (4 * static_cast<std::size_t>(nn) <= values.size())
        nn *= 2;
    std::vector<float> expected(2 * nn + 1, 0.0f);
    for (int i = 1; i <= 2 * nn && static_cast<std::size_t>(i) <= values.size(); ++i)
        expected[i] = values[i - 1];
    const std::vector<float> given = expected;
    oracleComplexFft(expected.data(), nn);

    setParallelThreads(threads);
    for (std::size_t v = 0; v < std::size(VARIANTS); ++v) {
        if (!setFftVariant(VARIANTS[v])) {
            // Said once, so that a run on a machine without the variant
            // is not taken for a run that held it.
            static bool told[std::size(VARIANTS)] = {};
            if (!told[v])
                std::fprintf(stderr, "fuzz_fft: %s variant skipped: this processor lacks it\n",
                    VARIANT_NAMES[v]);
            told[v] = true;
            continue;
        }
        std::vector<float> actual = given;
        complexFft(actual.data(), nn);
        expectSameFloats(VARIANT_NAMES[v], actual.data(), expected.data(), 1, 2 * nn);
    }
    setFftVariant(FFT_VARIANT_AUTO);
    setParallelThreads(0);
    return 0;
}
