#pragma once

#include "core/AnalysisState.h"
#include "core/Limits.h"
#include "core/Progress.h"

#include <string>

// The widest row the reader holds ("Number of columns" accepts 1 to 100).
inline constexpr int MAX_ROW_VALUES = MAX_COLUMNS;

// Reads column `dataColumn` of `count` rows of `dataFileName` into
// series[1..count] (series[0] = 0), after skipping `headerTokens` tokens
// (none when it is 0 or less). Numbers are read exactly as the C library's
// "%lf" reads them, in the "C" locale. Returns 0 on success (isOriginal = 1,
// sampleCount unchanged) and 1 on failure: sampleCount then holds the
// complete rows stored (0 when the file cannot be opened or the layout is
// refused: columnCount outside 1..MAX_ROW_VALUES, dataColumn outside
// 1..columnCount, or a series buffer of fewer than count+1 entries).
// Uses parallelThreads() threads with the same result for any count;
// reports PROGRESS_READ by bytes of the file.
int readTimeSeries(AnalysisState& state, unsigned count, const ProgressCallback& progress = {});

// "Get and Check": counts the complete groups of `columnCount` numbers
// after `headerTokens` skipped tokens, ending at the end of the file or at
// the first token that is not a number. Returns 0 and sets `rows`, or 1
// when the file cannot be opened or columnCount is outside
// 1..MAX_ROW_VALUES (`rows` untouched). Threads and progress
// (PROGRESS_COUNT) as for readTimeSeries.
int countTimeSeriesRows(const std::string& fileName, int headerTokens, int columnCount,
    unsigned& rows, const ProgressCallback& progress = {});
