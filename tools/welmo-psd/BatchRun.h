#pragma once

#include "BatchOptions.h"

#include "commands/Commands.h"
#include "core/AnalysisState.h"
#include "core/ReferenceCurves.h"

#include <cstdio>
#include <string>
#include <vector>

// Exit statuses of welmo-psd.
enum BatchStatus {
    BATCH_OK = 0,
    BATCH_DATA_ERROR = 1,
    BATCH_USAGE_ERROR = 2,
    BATCH_CONFIGURATION_ERROR = 3,
    BATCH_WRITE_ERROR = 4,
};

// The exit status for a command's outcome.
BatchStatus batchStatusOf(CommandOutcome outcome);

// Where the progress line goes: `stream` when it is a terminal, nowhere
// otherwise, so that a redirected stderr holds only the messages.
std::FILE* progressStream(std::FILE* stream, bool isTerminal);

// Runs the Retrieve Data sequence on options.dataFile without a window, then
// the edits' sequences, PSD configuration when a size or an automatic shift
// was given, and the export: the numbers, messages and files of the window's
// commands, with the one estimate of the last command (the earlier ones are
// deferred, see EstimateTiming; `deferEstimates` false estimates at every
// command, as the window does). On failure returns the status and the system's
// message in `error`; the record then holds what the sequence left.
// Progress is written to `progressOut` when it is not null. The export
// never replaces the data file nor any of `keptFiles` (the exports of the
// call's earlier files).
BatchStatus runBatch(const BatchOptions& options, AnalysisState& state, std::string& error,
    std::FILE* progressOut = nullptr, const std::vector<std::string>& keptFiles = {},
    bool deferEstimates = true);

// runBatch without the export: the spectrum of options.dataFile in `state`.
BatchStatus estimateBatch(const BatchOptions& options, AnalysisState& state, std::string& error,
    std::FILE* progressOut = nullptr, bool deferEstimates = true);

// runBatch's export of the spectrum that estimateBatch left in `state`.
BatchStatus exportBatch(const BatchOptions& options, AnalysisState& state, std::string& error,
    std::FILE* progressOut = nullptr, const std::vector<std::string>& keptFiles = {});

// The spectra of options.references, each read and estimated as the run's
// own file is (its layout, edits and configuration, in its own column
// where one is given), kept in `references` in the order given. Stops at
// the first that fails, with the status, that file in `failedFile` and the
// message in `error`; nothing is written.
BatchStatus readReferences(const BatchOptions& options, ReferenceCurves& references,
    std::string& failedFile, std::string& error, std::FILE* progressOut = nullptr);
