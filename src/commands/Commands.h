#pragma once

#include "commands/CommandHost.h"
#include "core/AnalysisState.h"

#include <optional>
#include <string>

// How a command ended, for a caller that acts on it (welmo-psd's exit
// status); the host has been told the message already.
enum class CommandOutcome {
    DONE, // also when a dialog was cancelled
    DATA_ERROR, // the file, its rows or its numbers
    CONFIGURATION, // the estimate refused the configuration
    OUT_OF_RANGE, // a segment beyond the series
    MEMORY, // too little memory for the step
    WRITE_FAILURE, // the export wrote nothing
    CANCELLED, // a step was asked to stop; the record is as it was
};

// The sequences of the commands that change or redraw the series and the
// spectrum, and of the export. Each keeps the record fit for drawing
// before it shows a message.
CommandOutcome retrieveData(AnalysisState& state, CommandHost& host);
CommandOutcome psdConfiguration(AnalysisState& state, CommandHost& host);
CommandOutcome getOriginalData(AnalysisState& state, CommandHost& host);
CommandOutcome selectSegment(AnalysisState& state, CommandHost& host);
CommandOutcome runningAverage(AnalysisState& state, CommandHost& host);
void refreshScreen(CommandHost& host);

// One look of Follow File at the data file: the complete rows appended
// since the rows read are added to the series, and what Retrieve Data runs
// after its read runs for the longer series. DONE when nothing was
// appended too (sampleCount tells). Any other outcome ends the follow: a
// file that became shorter or was replaced, a series that is no longer
// the file's rows (after an edit), a refused series; the host has been
// told why.
CommandOutcome followStep(AnalysisState& state, CommandHost& host);

// The seconds between two looks of a follow: accepted and default.
inline constexpr double MIN_FOLLOW_SECONDS = 0.1;
inline constexpr double MAX_FOLLOW_SECONDS = 3600.0;
inline constexpr double DEFAULT_FOLLOW_SECONDS = 2.0;

// Whether the record's series is the rows a follow can read on from.
bool canFollow(const AnalysisState& state);

// The message of a series that cannot be followed.
std::string cannotFollowMessage(const std::string& file);

// Get and Check: the complete rows of the layout's file, under the wait
// cursor, with progress. Nothing when the file cannot be read (after the
// message) or the count was cancelled (the host is told).
std::optional<unsigned> countRows(const TimeSeriesChoice& layout, CommandHost& host);
CommandOutcome exportPsdFile(AnalysisState& state, CommandHost& host);

// The message of a segment that does not lie within 1..sampleCount.
inline constexpr const char* SEGMENT_OUT_OF_RANGE = "Segment out of legal range";

// The message of an estimate that the configuration does not allow.
inline constexpr const char* PSD_NOT_APPROPRIATE = "PSD configuration is not appropriate";

// Retrieve Data's warning when the time column gives no step; %d is the
// column. The frequencies then stay in cycles per sample.
inline constexpr const char* MESSAGE_NO_TIME_STEP
    = "Column %d gives no time step: frequencies stay in cycles per sample";

// Retrieve Data refuses fewer rows than this ("Too few data").
inline constexpr unsigned MIN_SERIES_ROWS = 32;

// The message of a read that stopped after `rows` complete rows.
std::string readErrorMessage(unsigned rows);

// signalMin and signalMax from the statistics, a fifth of the range beyond
// each end.
void applyAutomaticSignalRange(AnalysisState& state);

// The estimate step shared by five commands: computeSpectrum, then
// psdValid and the measures, or the failure message. Returns the status.
// A deferred step whose configuration fits returns 0 without estimating.
int runEstimateStep(AnalysisState& state, CommandHost& host);
