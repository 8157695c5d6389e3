// The averaged estimate against the plain step-by-step loop, for any
// configuration the input picks and any sample bits, at 1 to 3 threads.

#include "FuzzCompare.h"
#include "FuzzInput.h"
#include "FuzzSpread.h"

#include "core/Parallel.h"
#include "spectrum/PsdEstimator.h"
#include "support/PlainSpectrum.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const int threads = input.inRange(1, 3);
    const int windowType = input.inRange(0, 3);
    const std::uint8_t flags = input.byte();
    const int amplitudeOutput = flags & 1;
    const int extractAverage = (flags >> 1) & 1;
    const int normalize = (flags >> 2) & 1;
    const int logOutput = (flags >> 3) & 1;
    // M from 1 to 512, K from 1 to 8 and S from 0 to 63: configurations
    // that fit the series and ones that do not. One input in four is
    // spread over a series long enough for the sizes that split: M up to
    // 2^18, the segments of a batch side by side, shifts up to 2^17.
    const int spread = input.byte();
    const bool large = spread % 4 == 0;
    const int M = 1 << (large ? input.inRange(9, 18) : input.inRange(0, 9));
    const int K = input.inRange(1, 8);
    const int S = large ? input.inRange(0, 64) << 11 : input.inRange(0, 63);
    std::vector<float> samples = input.restAsFloats();
    if (large) {
        // A series that the configuration fits, or one sample short of it.
        const std::size_t fits = static_cast<std::size_t>(S) * K + 2 * static_cast<std::size_t>(M);
        samples = spreadValues(samples, fits - (spread / 4) % 2);
    }
    const int N = static_cast<int>(samples.size());
    std::vector<float> series(N + 1, 0.0f);
    for (int i = 1; i <= N; ++i)
        series[i] = samples[i - 1];

    std::vector<float> expected(M + 1, 0.0f);
    const int expectedStatus = plainEstimatePsd(series.data(), N, windowType, amplitudeOutput,
        extractAverage, M, S, K, normalize, logOutput, expected.data());
    std::vector<float> actual(M + 1, 0.0f);
    setParallelThreads(threads);
    const int status = estimatePsd(series.data(), N, windowType, amplitudeOutput, extractAverage, M,
        S, K, normalize, logOutput, actual.data());
    setParallelThreads(0);
    if (status != expectedStatus)
        fuzzMismatch("status " + std::to_string(status) + ", the plain loop gives "
            + std::to_string(expectedStatus));
    if (status == 0)
        expectSameFloats("estimate", actual.data(), expected.data(), 0, M);
    return 0;
}
