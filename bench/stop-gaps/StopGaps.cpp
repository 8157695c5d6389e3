// The longest wait between two progress reports of the largest steps: how
// long a cancel may go unheard.
//
//   welmo_stop_gaps TABLE EXPORT [THREADS]
// reads a one-column table in one pass, estimates its spectrum at the
// largest power of two it holds, exports it.
//
//   welmo_stop_gaps --estimate M K S [THREADS [WINDOW [NORMALIZE]]]
// estimates only, on a tone in noise of just enough samples for K segments
// of 2M samples S apart (Hanning and normalized unless told otherwise).

#include "core/AnalysisState.h"
#include "core/Parallel.h"
#include "core/Progress.h"
#include "input/TimeSeriesReader.h"
#include "output/PsdExport.h"
#include "spectrum/PsdEstimator.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

struct Gaps {
    Clock::time_point start = Clock::now();
    Clock::time_point last = start;
    double longest = 0.0;
    double beforeEnd = 0.0; // the wait before the last report
    double lastFraction = 0.0;
    double longestFrom = 0.0; // the fractions around the longest gap
    double longestTo = 0.0;
    int reports = 0;

    ProgressCallback callback()
    {
        return [this](std::string_view, double fraction) {
            const Clock::time_point now = Clock::now();
            const double gap = std::chrono::duration<double>(now - last).count();
            if (gap > longest) {
                longest = gap;
                longestFrom = lastFraction;
                longestTo = fraction;
            }
            if (fraction >= 1.0)
                beforeEnd = gap;
            if (std::getenv("WELMO_STOP_GAPS_TRACE"))
                std::printf("  %.3f s: %.6f after %.3f s\n",
                    std::chrono::duration<double>(now - start).count(), fraction, gap);
            last = now;
            lastFraction = fraction;
            ++reports;
        };
    }
    void print(const char* step) const
    {
        std::printf("%-10s %8.3f s, %5d reports, longest gap %.3f s (%.4f to %.4f), before the "
                    "end %.3f s\n",
            step, std::chrono::duration<double>(last - start).count(), reports, longest,
            longestFrom, longestTo, beforeEnd);
    }
};

int estimateOnly(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(
            stderr, "usage: welmo_stop_gaps --estimate M K S [THREADS [WINDOW [NORMALIZE]]]\n");
        return 2;
    }
    const int M = std::atoi(argv[2]);
    const int K = std::atoi(argv[3]);
    const int S = std::atoi(argv[4]);
    if (argc > 5)
        setParallelThreads(std::atoi(argv[5]));
    AnalysisState state;
    resetAnalysisState(state);
    if (argc > 6)
        state.windowType = std::atoi(argv[6]);
    if (argc > 7)
        state.normalize = std::atoi(argv[7]);
    const std::int64_t N = static_cast<std::int64_t>(S) * K + 2 * static_cast<std::int64_t>(M);
    if (M < 1 || K < 1 || S < 0 || N > INT32_MAX || !state.series.allocate(N + 1)) {
        std::fprintf(
            stderr, "welmo_stop_gaps: no series of %lld samples\n", static_cast<long long>(N));
        return 1;
    }
    std::mt19937 generator(777u);
    std::normal_distribution<float> noise(0.0f, 1.0f);
    state.series[0] = 0.0f;
    for (std::int64_t i = 1; i <= N; ++i)
        state.series[i]
            = static_cast<float>(std::sin(0.05 * static_cast<double>(i))) + noise(generator);
    state.sampleCount = static_cast<unsigned>(N);
    state.loadedCount = state.sampleCount;
    state.psdSize = M;
    state.segmentCount = K;
    state.dataShift = S;
    Gaps estimate;
    if (computeSpectrum(state, estimate.callback()) != 0) {
        std::fprintf(stderr, "welmo_stop_gaps: the estimate failed\n");
        return 1;
    }
    estimate.print("estimate");
    std::printf("(M %d, K %d, S %d, %d threads)\n", M, K, S, parallelThreads());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--estimate") == 0)
        return estimateOnly(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: welmo_stop_gaps TABLE EXPORT [THREADS]\n");
        return 2;
    }
    if (argc > 3)
        setParallelThreads(std::atoi(argv[3]));
    AnalysisState state;
    resetAnalysisState(state);
    state.dataFileName = argv[1];
    state.headerTokens = 0;
    state.columnCount = 1;
    state.dataColumn = 1;

    unsigned rows = 0;
    Gaps read;
    if (readWholeTimeSeries(state, state.series, rows, read.callback()) != 0) {
        std::fprintf(stderr, "welmo_stop_gaps: cannot read %s\n", argv[1]);
        return 1;
    }
    read.print("read");
    state.sampleCount = rows;
    state.loadedCount = rows;
    int M = 1;
    // One segment of 2M samples.
    while (static_cast<unsigned>(M) * 4 <= rows)
        M *= 2;
    state.psdSize = M;
    state.segmentCount = 1;

    Gaps estimate;
    if (computeSpectrum(state, estimate.callback()) != 0) {
        std::fprintf(stderr, "welmo_stop_gaps: the estimate failed\n");
        return 1;
    }
    estimate.print("estimate");

    Gaps exported;
    double minLog = state.exportMinLog;
    std::string error;
    if (writePsdFile(argv[2], state.psd.data(), M, true, 1.0, minLog, error, exported.callback())
        != 0) {
        std::fprintf(stderr, "welmo_stop_gaps: %s\n", error.c_str());
        return 1;
    }
    exported.print("export");
    std::printf("(%u rows, %d bins)\n", rows, M);
    return 0;
}
