#include "BatchRun.h"

#include "BatchHost.h"

#include "commands/Commands.h"
#include "output/PsdExport.h"

namespace {

void applySettings(const BatchOptions& options, AnalysisState& state)
{
    state.segmentCount = options.segmentCount;
    state.dataShift = options.autoShift ? 0 : options.dataShift;
    state.windowType = options.windowType;
    state.normalize = options.normalize;
    state.lbFrequencies = options.lbFrequencies;
    state.exportDt = options.dt;
    state.exportMinLog = options.minLevel;
}

BatchStatus failureStatus(const std::string& message)
{
    return message == PSD_NOT_APPROPRIATE ? BATCH_CONFIGURATION_ERROR : BATCH_DATA_ERROR;
}

} // namespace

std::FILE* progressStream(std::FILE* stream, bool isTerminal)
{
    return isTerminal ? stream : nullptr;
}

BatchStatus runBatch(
    const BatchOptions& options, AnalysisState& state, std::string& error, std::FILE* progressOut)
{
    applySettings(options, state);
    BatchHost host(options, state, progressOut);
    retrieveData(state, host);
    // A size or an automatic shift of the user's is a second command, as
    // in the window: PSD configuration after Retrieve Data.
    if (!host.failed() && (options.psdSize || options.autoShift))
        psdConfiguration(state, host);
    if (host.failed()) {
        error = host.firstMessage();
        return failureStatus(error);
    }
    if (options.output)
        state.psdFileName = *options.output;

    std::string reason;
    if (exportPsd(state, options.normalScales, options.dt, reason, host.progressCallback()) != 0) {
        error = cannotWriteMessage(state.psdFileName, reason);
        return BATCH_WRITE_ERROR;
    }
    return BATCH_OK;
}
