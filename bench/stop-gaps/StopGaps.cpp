// The longest wait between two progress reports of the largest steps: how
// long a cancel may go unheard. Reads a one-column table in one pass,
// estimates its spectrum at the largest power of two it holds, exports it.
// Usage: welmo_stop_gaps TABLE EXPORT [THREADS]

#include "core/AnalysisState.h"
#include "core/Parallel.h"
#include "core/Progress.h"
#include "input/TimeSeriesReader.h"
#include "output/PsdExport.h"
#include "spectrum/PsdEstimator.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

struct Gaps {
    Clock::time_point start = Clock::now();
    Clock::time_point last = start;
    double longest = 0.0;
    double beforeEnd = 0.0; // the wait before the last report
    int reports = 0;

    ProgressCallback callback()
    {
        return [this](std::string_view, double fraction) {
            const Clock::time_point now = Clock::now();
            const double gap = std::chrono::duration<double>(now - last).count();
            longest = std::max(longest, gap);
            if (fraction >= 1.0)
                beforeEnd = gap;
            last = now;
            ++reports;
        };
    }
    void print(const char* step) const
    {
        std::printf("%-10s %8.3f s, %5d reports, longest gap %.3f s, before the end %.3f s\n", step,
            std::chrono::duration<double>(last - start).count(), reports, longest, beforeEnd);
    }
};

} // namespace

int main(int argc, char** argv)
{
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
