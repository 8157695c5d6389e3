#pragma once

#include "core/AnalysisState.h"
#include "core/Limits.h"
#include "core/Progress.h"
#include "core/TableSyntax.h"

#include <memory>
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
// reports PROGRESS_READ by bytes of the file. Returns STEP_CANCELLED, with
// the record untouched, when the progress asks to stop.
int readTimeSeries(AnalysisState& state, unsigned count, const ProgressCallback& progress = {});

// readTimeSeries into a buffer of its own, leaving the record alone (its
// layout fields give the file and the columns): `series` gets exactly
// count+1 entries and `stored` the complete rows read. Returns 0 when all
// `count` rows were read, 1 when fewer were (`series` then holds those) or
// the file cannot be opened, the layout is refused or memory runs short
// (`stored` 0, `series` untouched), and STEP_CANCELLED when the progress
// asks to stop (`series` and `stored` untouched). For a caller that
// installs the series only when the read was not cancelled.
int readTimeSeriesInto(const AnalysisState& layout, unsigned count, FloatBuffer& series,
    unsigned& stored, const ProgressCallback& progress = {});

// Column `column` (1 to columnCount) of `count` rows, read as
// readTimeSeriesInto reads the data column of the same layout and syntax,
// kept in double precision: for a column of times that a float holds too
// coarsely (days since an epoch, say). Returns and leaves what
// readTimeSeriesInto does, with `times` (entries 0..count, times[0] = 0)
// in place of the series.
int readTimeColumnInto(const AnalysisState& layout, const TableSyntax& syntax, int column,
    unsigned count, std::unique_ptr<double[]>& times, unsigned& stored,
    const ProgressCallback& progress = {});

// Failures of the one-pass read beside 1, for the message they call for.
inline constexpr int READ_NO_MEMORY = 3;
inline constexpr int READ_TOO_MANY_ROWS = 4;

// The read in one pass over the file: column `dataColumn` of every complete
// row of `dataFileName` after `headerTokens` skipped tokens (the layout
// fields of `layout`), up to the end of the file or the first token that is
// not a number, which are the samples of countTimeSeriesRows and then
// readTimeSeries. On success (0) `series` holds exactly rows+1 entries
// (series[0] = 0) and `rows` the complete rows. Returns 1 when the file
// cannot be opened or the layout is refused, READ_NO_MEMORY when memory
// runs short, READ_TOO_MANY_ROWS when the file holds more than
// MAX_DATA_ROWS rows (the most the data dialog accepts), and STEP_CANCELLED
// when the progress asks to stop; `series` and `rows` are then untouched. The record is never
// changed, so the caller installs the series only when the read succeeds. Memory grows with the
// rows read; threads and progress as for readTimeSeries.
int readWholeTimeSeries(const AnalysisState& layout, FloatBuffer& series, unsigned& rows,
    const ProgressCallback& progress = {});

// "Get and Check": counts the complete groups of `columnCount` numbers
// after `headerTokens` skipped tokens, ending at the end of the file or at
// the first token that is not a number. Returns 0 and sets `rows`, or 1
// when the file cannot be opened or columnCount is outside
// 1..MAX_ROW_VALUES (`rows` untouched), STEP_CANCELLED when the progress
// asks to stop (`rows` untouched). Threads and progress (PROGRESS_COUNT) as
// for readTimeSeries.
int countTimeSeriesRows(const std::string& fileName, int headerTokens, int columnCount,
    unsigned& rows, const ProgressCallback& progress = {});

// The same four for a table of another syntax (comments, separators, a
// decimal comma): the header's tokens are counted and the rows formed on
// the table's cleaned text (TableText.h), so that an empty field is a
// missing value (a not-a-number sample) and a comment is no data wherever
// it stands. The plain syntax reads exactly as the functions above; a
// syntax that syntaxAccepted refuses is a refused layout.
int readTimeSeries(AnalysisState& state, const TableSyntax& syntax, unsigned count,
    const ProgressCallback& progress = {});
int readTimeSeriesInto(const AnalysisState& layout, const TableSyntax& syntax, unsigned count,
    FloatBuffer& series, unsigned& stored, const ProgressCallback& progress = {});
int readWholeTimeSeries(const AnalysisState& layout, const TableSyntax& syntax, FloatBuffer& series,
    unsigned& rows, const ProgressCallback& progress = {});
int countTimeSeriesRows(const std::string& fileName, const TableSyntax& syntax, int headerTokens,
    int columnCount, unsigned& rows, const ProgressCallback& progress = {});
