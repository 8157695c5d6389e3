#include "BatchRun.h"

#include "BatchHost.h"

#include "commands/Commands.h"
#include "output/PsdExport.h"

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <filesystem>

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
    if (message == PSD_NOT_APPROPRIATE)
        return BATCH_CONFIGURATION_ERROR;
    // The segment was given on the command line; the data are fine.
    if (message == SEGMENT_OUT_OF_RANGE)
        return BATCH_USAGE_ERROR;
    return BATCH_DATA_ERROR;
}

// The commands of a run estimate in turn, each replacing the spectrum of
// the one before: only the last estimate runs, the others are deferred.
class EstimateTurns {
public:
    explicit EstimateTurns(std::size_t commands)
        : m_left(commands)
    {
    }
    EstimateTiming next()
    {
        --m_left;
        return m_left == 0 ? EstimateTiming::NOW : EstimateTiming::DEFERRED;
    }

private:
    std::size_t m_left;
};

// The edits of the command line, each through its command as the window
// runs it, until one shows a message.
void applyEdits(
    const BatchOptions& options, AnalysisState& state, BatchHost& host, EstimateTurns& turns)
{
    for (const SeriesEdit& edit : options.edits) {
        if (host.failed())
            return;
        host.setEdit(edit);
        if (edit.kind == SeriesEdit::SELECT_SEGMENT)
            selectSegment(state, host, turns.next());
        else
            runningAverage(state, host, turns.next());
    }
}

bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

// Why the export must not go to `target`, or "" when it may.
std::string exportClash(
    const std::string& target, const std::string& dataFile, const std::vector<std::string>& kept)
{
    if (sameFile(target, dataFile))
        return "It is the data file";
    for (const std::string& file : kept)
        if (sameFile(target, file))
            return "It holds the spectrum of an earlier file of this run";
    return "";
}

// A folder opens for reading but yields no bytes, which the reader would
// report as "Too few data"; the batch names the real cause.
bool isFolder(const std::string& file)
{
    std::error_code error;
    return std::filesystem::is_directory(file, error) && !error;
}

} // namespace

std::FILE* progressStream(std::FILE* stream, bool isTerminal)
{
    return isTerminal ? stream : nullptr;
}

BatchStatus runBatch(const BatchOptions& options, AnalysisState& state, std::string& error,
    std::FILE* progressOut, const std::vector<std::string>& keptFiles)
{
    if (isFolder(options.dataFile)) {
        error = "Cannot read " + options.dataFile + ": " + std::strerror(EISDIR);
        return BATCH_DATA_ERROR;
    }
    applySettings(options, state);
    BatchHost host(options, state, progressOut);
    // A size or an automatic shift of the user's is a later command, as
    // in the window: PSD configuration after Retrieve Data and the edits.
    const bool configure = options.psdSize || options.autoShift;
    EstimateTurns turns(1 + options.edits.size() + (configure ? 1 : 0));
    retrieveData(state, host, turns.next());
    if (!host.failed())
        applyEdits(options, state, host, turns);
    if (!host.failed() && configure)
        psdConfiguration(state, host, turns.next());
    if (host.failed()) {
        error = host.firstMessage();
        return failureStatus(error);
    }
    if (options.output)
        state.psdFileName = *options.output;

    std::string reason = exportClash(state.psdFileName, options.dataFile, keptFiles);
    if (!reason.empty()) {
        error = cannotWriteMessage(state.psdFileName, reason);
        return BATCH_WRITE_ERROR;
    }
    exportPsdFile(state, host);
    if (host.failed()) {
        error = host.firstMessage();
        return BATCH_WRITE_ERROR;
    }
    return BATCH_OK;
}
