// welmo-psd: the Retrieve Data sequence of the desktop program on one file,
// without a window, with the spectrum exported and the statistics printed.

#include "BatchOptions.h"
#include "BatchRun.h"

#include "core/AnalysisState.h"
#include "plot/StatisticsText.h"

#if WELMO_WITH_RENDER
#include "QtRender.h"
#endif

#include <cstdio>
#include <string>

namespace {

int reportFailure(const std::string& message, int status)
{
    std::fprintf(stderr, "%s\n", message.c_str());
    return status;
}

int renderIfAsked(const BatchOptions& options, const AnalysisState& state)
{
    if (!options.renderFile)
        return BATCH_OK;
#if WELMO_WITH_RENDER
    std::string error;
    if (!renderPicture(
            state, *options.renderFile, options.renderWidth, options.renderHeight, error))
        return reportFailure(error, BATCH_WRITE_ERROR);
    return BATCH_OK;
#else
    (void)state;
    return reportFailure(
        "--render: this build of welmo-psd has no picture output", BATCH_USAGE_ERROR);
#endif
}

} // namespace

int main(int argc, char** argv)
{
    BatchOptions options;
    std::string error;
    if (!parseBatchOptions(argc, argv, options, error))
        return reportFailure("welmo-psd: " + error, BATCH_USAGE_ERROR);
    if (options.help) {
        std::fputs(batchUsage().c_str(), stdout);
        return BATCH_OK;
    }
    if (options.version) {
        std::puts("welmo-psd 1.0");
        return BATCH_OK;
    }

    AnalysisState& state = analysisState();
    const BatchStatus status = runBatch(options, state, error);
    if (status != BATCH_OK)
        return reportFailure(error, status);

    for (const std::string& line : statisticsTexts(state))
        std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    return renderIfAsked(options, state);
}
