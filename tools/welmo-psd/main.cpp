// welmo-psd: the Retrieve Data sequence of the desktop program on each
// file named, without a window, with the spectrum exported and the
// statistics printed.

#include "BatchOptions.h"
#include "BatchRun.h"
#include "BatchSummary.h"
#include "StopSignals.h"

#include "core/AnalysisState.h"
#include "core/Version.h"
#include "plot/StatisticsText.h"

#if WELMO_WITH_RENDER
#include "QtRender.h"
#endif

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

int reportFailure(const std::string& file, const std::string& message, int status)
{
    std::fprintf(stderr, "welmo-psd: %s: %s\n", file.c_str(), message.c_str());
    return status;
}

int renderIfAsked(const BatchOptions& options, const AnalysisState& state)
{
    if (!options.renderFile)
        return BATCH_OK;
#if WELMO_WITH_RENDER
    std::string error;
    if (!renderPicture(state, options, error))
        return reportFailure(options.dataFile, error, BATCH_WRITE_ERROR);
    return BATCH_OK;
#else
    (void)state;
    return BATCH_OK;
#endif
}

// One file on a fresh record: the statistics block, then the summary line.
int runOneFile(BatchOptions& options, const std::string& file, std::vector<std::string>& exports)
{
    options.dataFile = file;
    AnalysisState state;
    resetAnalysisState(state);
    std::string error;
    std::FILE* progressOut = progressStream(stderr, ::isatty(STDERR_FILENO) == 1);
    const BatchStatus status = runBatch(options, state, error, progressOut, exports);
    // A stopped step fails as it would for any other reason; the signal
    // is the reason to give.
    if (const int signal = stopSignal())
        return reportFailure(file, stopMessage(signal), stopExitStatus(signal));
    if (status != BATCH_OK)
        return reportFailure(file, error, status);

    exports.push_back(state.psdFileName);
    for (const std::string& line : statisticsTexts(state))
        std::printf("%s\n", line.c_str());
    std::printf("%s\n", batchSummary(file, state).c_str());
    std::fflush(stdout);
    return renderIfAsked(options, state);
}

} // namespace

int main(int argc, char** argv)
{
    BatchOptions options;
    std::string error;
    if (!parseBatchOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "welmo-psd: %s\n", error.c_str());
        return BATCH_USAGE_ERROR;
    }
    if (options.help) {
        std::fputs(batchUsage().c_str(), stdout);
        return BATCH_OK;
    }
    if (options.version) {
        std::printf("welmo-psd %s\n", WELMO_VERSION);
        return BATCH_OK;
    }

#if !WELMO_WITH_RENDER
    // Refused before any file is read, as every other usage error is.
    if (options.renderFile) {
        std::fputs("welmo-psd: --render: this build of welmo-psd has no picture output\n", stderr);
        return BATCH_USAGE_ERROR;
    }
#endif

    installStopSignals();
    int worst = BATCH_OK;
    std::vector<std::string> exports;
    for (const std::string& file : options.dataFiles) {
        const int status = runOneFile(options, file, exports);
        if (const int signal = stopSignal())
            return stopExitStatus(signal);
        worst = std::max(worst, status);
    }
    return worst;
}
