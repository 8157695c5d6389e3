#include "BatchRun.h"

#include "BatchHost.h"

#include "commands/Commands.h"
#include "commands/SpectrumReferences.h"
#include "input/LayoutDetection.h"
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

// The commands of the command line, each as the window runs it, until
// one does not end as done.
CommandOutcome runCommands(const BatchOptions& options, AnalysisState& state, BatchHost& host,
    bool configure, bool deferEstimates)
{
    // Each command's spectrum replaces the one before: only the last
    // estimate need run.
    std::size_t left = 1 + options.edits.size() + (configure ? 1 : 0);
    const auto nextTurn = [&] {
        const bool last = --left == 0;
        host.setEstimateTiming(
            last || !deferEstimates ? EstimateTiming::NOW : EstimateTiming::DEFERRED);
    };
    nextTurn();
    CommandOutcome outcome = retrieveData(state, host);
    for (const SeriesEdit& edit : options.edits) {
        if (outcome != CommandOutcome::DONE)
            return outcome;
        host.setEdit(edit);
        nextTurn();
        outcome = edit.kind == SeriesEdit::SELECT_SEGMENT ? selectSegment(state, host)
                                                          : runningAverage(state, host);
    }
    if (outcome == CommandOutcome::DONE && configure) {
        nextTurn();
        outcome = psdConfiguration(state, host);
    }
    return outcome;
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

// The layout that detection finds on the file, in the options the user
// left unset. A file that cannot be read, or holds no rows of numbers, is
// read with the options as given, so that the read says what is wrong.
bool applyDetectedLayout(BatchOptions& options, std::string& error)
{
    DetectedLayout found;
    if (!options.detect || !detectFileLayout(options.dataFile, found) || !found.found)
        return true;
    if (!options.headerTokensGiven)
        options.headerTokens = found.headerTokens;
    if (!options.columnCountGiven)
        options.columnCount = found.columnCount;
    if (!options.commentGiven)
        options.syntax.comment = found.syntax.comment;
    if (!options.separatorGiven) {
        options.syntax.separator = found.syntax.separator;
        options.syntax.decimalComma = options.syntax.decimalComma || found.syntax.decimalComma;
    }
    if (checkColumns(options, error))
        return true;
    error += " (found by --detect)";
    return false;
}

} // namespace

BatchStatus batchStatusOf(CommandOutcome outcome)
{
    switch (outcome) {
    case CommandOutcome::DONE:
        return BATCH_OK;
    case CommandOutcome::CONFIGURATION:
        return BATCH_CONFIGURATION_ERROR;
    // The segment was given on the command line; the data are fine.
    case CommandOutcome::OUT_OF_RANGE:
        return BATCH_USAGE_ERROR;
    case CommandOutcome::WRITE_FAILURE:
        return BATCH_WRITE_ERROR;
    case CommandOutcome::DATA_ERROR:
    case CommandOutcome::MEMORY:
    case CommandOutcome::CANCELLED:
        break;
    }
    return BATCH_DATA_ERROR;
}

std::FILE* progressStream(std::FILE* stream, bool isTerminal)
{
    return isTerminal ? stream : nullptr;
}

BatchStatus estimateBatch(const BatchOptions& options, AnalysisState& state, std::string& error,
    std::FILE* progressOut, bool deferEstimates)
{
    if (isFolder(options.dataFile)) {
        error = "Cannot read " + options.dataFile + ": " + std::strerror(EISDIR);
        return BATCH_DATA_ERROR;
    }
    BatchOptions resolved = options;
    if (!applyDetectedLayout(resolved, error))
        return BATCH_USAGE_ERROR;
    applySettings(resolved, state);
    BatchHost host(resolved, state, progressOut);
    // A size or an automatic shift of the user's is a later command, as
    // in the window: PSD configuration after Retrieve Data and the edits.
    const bool configure = options.psdSize || options.autoShift;
    const CommandOutcome outcome = runCommands(resolved, state, host, configure, deferEstimates);
    if (outcome != CommandOutcome::DONE) {
        error = host.firstMessage().empty() ? "Cancelled" : host.firstMessage();
        return batchStatusOf(outcome);
    }
    return BATCH_OK;
}

BatchStatus runBatch(const BatchOptions& options, AnalysisState& state, std::string& error,
    std::FILE* progressOut, const std::vector<std::string>& keptFiles, bool deferEstimates)
{
    const BatchStatus estimated = estimateBatch(options, state, error, progressOut, deferEstimates);
    if (estimated != BATCH_OK)
        return estimated;
    return exportBatch(options, state, error, progressOut, keptFiles);
}

BatchStatus exportBatch(const BatchOptions& options, AnalysisState& state, std::string& error,
    std::FILE* progressOut, const std::vector<std::string>& keptFiles)
{
    BatchHost host(options, state, progressOut);
    if (options.output)
        state.psdFileName = *options.output;

    std::string reason = exportClash(state.psdFileName, options.dataFile, keptFiles);
    if (!reason.empty()) {
        error = cannotWriteMessage(state.psdFileName, reason);
        return BATCH_WRITE_ERROR;
    }
    const CommandOutcome written = exportPsdFile(state, host);
    if (written != CommandOutcome::DONE) {
        error = host.firstMessage().empty() ? "Cancelled" : host.firstMessage();
        return batchStatusOf(written);
    }
    return BATCH_OK;
}

BatchStatus readReferences(const BatchOptions& options, ReferenceCurves& references,
    std::string& failedFile, std::string& error, std::FILE* progressOut)
{
    for (const ReferenceFile& reference : options.references) {
        BatchOptions own = options;
        own.dataFile = reference.file;
        own.dataColumn = reference.column.value_or(options.dataColumn);
        failedFile = reference.file;
        if (!own.detect && !checkColumns(own, error)) {
            error += " (--reference)";
            return BATCH_USAGE_ERROR;
        }
        AnalysisState state;
        resetAnalysisState(state);
        if (const BatchStatus status = estimateBatch(own, state, error, progressOut);
            status != BATCH_OK)
            return status;
        if (const std::string refused = keepAsReference(state, references); !refused.empty()) {
            error = refused;
            return BATCH_DATA_ERROR;
        }
    }
    failedFile.clear();
    return BATCH_OK;
}
