#include "input/TimeSeriesReader.h"

#include "core/Progress.h"
#include "input/ByteStream.h"
#include "input/GrowingColumn.h"
#include "input/NumberScanner.h"
#include "input/TableScan.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

bool columnsAccepted(int columnCount)
{
    return columnCount >= 1 && columnCount <= MAX_ROW_VALUES;
}

// Tokens skipped between two questions whether to stop.
constexpr int SKIP_SLICE = 4096;

// Every read of the stream from here on asks whether to stop, so that a
// long header, a long token or a FIFO that waits can be stopped as the
// rows can.
void skipHeader(ByteStream& stream, int headerTokens, StepProgress& report)
{
    stream.setStopCheck([&report] { return report.poll(); });
    for (int i = 0; i < headerTokens; ++i) {
        if ((i % SKIP_SLICE == SKIP_SLICE - 1 && !report.poll()) || !skipToken(stream))
            return;
    }
}

} // namespace

int readTimeSeries(AnalysisState& state, unsigned count, const ProgressCallback& progress)
{
    StepProgress report(progress, PROGRESS_READ);
    const int columns = state.columnCount;
    const int kept = state.dataColumn;
    if (!columnsAccepted(columns) || kept < 1 || kept > columns
        || state.series.size() <= static_cast<std::size_t>(count)) {
        state.sampleCount = 0;
        return 1;
    }
    ByteStream stream;
    if (!stream.open(state.dataFileName)) {
        state.sampleCount = 0;
        return 1;
    }
    skipHeader(stream, state.headerTokens, report);
    if (report.cancelled())
        return STEP_CANCELLED;

    // The rows go to a copy of the series, which replaces it when the read
    // ends other than by a cancel (the entries past the rows read stay as
    // they were). Without memory for the copy they go to the series itself,
    // and a cancel then ends the read as a failure.
    FloatBuffer fresh;
    const bool spare = fresh.allocate(state.series.size());
    if (spare)
        std::copy_n(state.series.data(), state.series.size(), fresh.data());
    FloatBuffer& into = spare ? fresh : state.series;

    // Only the kept value of a row is converted; the others are scanned with
    // the same rules, so a row fails exactly where a full read would.
    into[0] = 0.0f;
    const std::uint64_t stored = readTableColumn(stream, columns, kept, count, into.data(), report);
    // A stop asked for after the last report still counts: the read may
    // have ended at a pipe's end without one.
    if (!report.poll() && spare)
        return STEP_CANCELLED;
    if (spare)
        state.series = std::move(fresh);
    if (stored < count) {
        state.sampleCount = static_cast<unsigned>(stored);
        return 1;
    }
    state.isOriginal = 1;
    return 0;
}

int readTimeSeriesInto(const AnalysisState& layout, unsigned count, FloatBuffer& series,
    unsigned& stored, const ProgressCallback& progress)
{
    StepProgress report(progress, PROGRESS_READ);
    const int columns = layout.columnCount;
    const int kept = layout.dataColumn;
    FloatBuffer fresh;
    ByteStream stream;
    if (!columnsAccepted(columns) || kept < 1 || kept > columns
        || !fresh.allocate(static_cast<std::size_t>(count) + 1)
        || !stream.open(layout.dataFileName)) {
        stored = 0;
        return 1;
    }
    skipHeader(stream, layout.headerTokens, report);
    if (report.cancelled())
        return STEP_CANCELLED;
    fresh[0] = 0.0f;
    const std::uint64_t rows = readTableColumn(stream, columns, kept, count, fresh.data(), report);
    if (!report.poll())
        return STEP_CANCELLED;
    series = std::move(fresh);
    stored = static_cast<unsigned>(rows);
    return rows < count ? 1 : 0;
}

int readWholeTimeSeries(const AnalysisState& layout, FloatBuffer& series, unsigned& rows,
    const ProgressCallback& progress)
{
    StepProgress report(progress, PROGRESS_READ);
    const int columns = layout.columnCount;
    const int kept = layout.dataColumn;
    if (!columnsAccepted(columns) || kept < 1 || kept > columns)
        return 1;
    ByteStream stream;
    if (!stream.open(layout.dataFileName))
        return 1;
    skipHeader(stream, layout.headerTokens, report);
    if (report.cancelled())
        return STEP_CANCELLED;

    // One row past the limit tells a file that holds too many.
    GrowingColumn column;
    const std::uint64_t stored = readWholeTableColumn(
        stream, columns, kept, std::uint64_t(MAX_DATA_ROWS) + 1, column, report);
    if (!report.poll())
        return STEP_CANCELLED;
    if (column.failed() || !column.reserve(stored))
        return READ_NO_MEMORY;
    if (stored > MAX_DATA_ROWS)
        return READ_TOO_MANY_ROWS;
    column.data()[0] = 0.0f;
    if (!column.moveInto(series, stored))
        return READ_NO_MEMORY;
    rows = static_cast<unsigned>(stored);
    return 0;
}

int countTimeSeriesRows(const std::string& fileName, int headerTokens, int columnCount,
    unsigned& rows, const ProgressCallback& progress)
{
    StepProgress report(progress, PROGRESS_COUNT);
    if (!columnsAccepted(columnCount))
        return 1;
    ByteStream stream;
    if (!stream.open(fileName))
        return 1;
    skipHeader(stream, headerTokens, report);

    const auto complete = static_cast<unsigned>(
        countTableRows(stream, columnCount, std::numeric_limits<unsigned>::max(), report));
    if (!report.poll())
        return STEP_CANCELLED;
    rows = complete;
    return 0;
}
