#pragma once

#include "commands/CommandHost.h"
#include "commands/EstimateTiming.h"
#include "core/AnalysisState.h"

#include <string>

// The recompute sequences behind the six commands that change or redraw
// the series and spectrum, and the export of the spectrum. Each keeps the
// record consistent for drawing before it shows a message. Those that a
// later command may follow take the timing of their estimate step.
void retrieveData(
    AnalysisState& state, CommandHost& host, EstimateTiming timing = EstimateTiming::NOW);
void psdConfiguration(
    AnalysisState& state, CommandHost& host, EstimateTiming timing = EstimateTiming::NOW);
void getOriginalData(AnalysisState& state, CommandHost& host);
void selectSegment(
    AnalysisState& state, CommandHost& host, EstimateTiming timing = EstimateTiming::NOW);
void runningAverage(
    AnalysisState& state, CommandHost& host, EstimateTiming timing = EstimateTiming::NOW);
void refreshScreen(CommandHost& host);
void exportPsdFile(AnalysisState& state, CommandHost& host);

// The message of a segment that does not lie within 1..sampleCount.
inline constexpr const char* SEGMENT_OUT_OF_RANGE = "Segment out of legal range";

// The message of an export asked for when no valid estimate exists.
inline constexpr const char* NO_SPECTRUM_TO_EXPORT = "No spectrum to export";

// The message of an estimate that the configuration does not allow.
inline constexpr const char* PSD_NOT_APPROPRIATE = "PSD configuration is not appropriate";

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
int runEstimateStep(
    AnalysisState& state, CommandHost& host, EstimateTiming timing = EstimateTiming::NOW);
