#include "input/TimeSeriesReader.h"

#include "core/Progress.h"
#include "input/ByteStream.h"
#include "input/GrowingColumn.h"
#include "input/NumberScanner.h"
#include "input/SyntaxTableScan.h"
#include "input/TableScan.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>

namespace {

bool columnsAccepted(int columnCount)
{
    return columnCount >= 1 && columnCount <= MAX_ROW_VALUES;
}

bool layoutAccepted(int columns, int kept, const TableSyntax& syntax)
{
    return columnsAccepted(columns) && kept >= 1 && kept <= columns && syntaxAccepted(syntax);
}

// Tokens skipped between two questions whether to stop.
constexpr int SKIP_SLICE = 4096;

// Every read of the stream from here on asks whether to stop, so that a
// long header, a long token or a FIFO that waits can be stopped as the
// rows can.
void askWhetherToStop(ByteStream& stream, StepProgress& report)
{
    stream.setStopCheck([&report] { return report.poll(); });
}

void skipHeader(ByteStream& stream, int headerTokens, StepProgress& report)
{
    for (int i = 0; i < headerTokens; ++i) {
        if ((i % SKIP_SLICE == SKIP_SLICE - 1 && !report.poll()) || !skipToken(stream))
            return;
    }
}

// The header skip and the rows after it: the plain scan for a plain table,
// the cleaning scan for another syntax, which skips its header itself.
// The reads return false when the progress asked to stop after the header.
template <typename Value>
bool readRows(ByteStream& stream, const TableSyntax& syntax, const AnalysisState& layout,
    int column, std::uint64_t count, Value* out, StepProgress& report, std::uint64_t& rows)
{
    askWhetherToStop(stream, report);
    if (!syntax.plain()) {
        rows = readSyntaxTableColumn(
            stream, syntax, layout.headerTokens, layout.columnCount, column, count, out, report);
        return true;
    }
    skipHeader(stream, layout.headerTokens, report);
    if (report.cancelled())
        return false;
    rows = readTableColumn(stream, layout.columnCount, column, count, out, report);
    return true;
}

bool readAllRows(ByteStream& stream, const TableSyntax& syntax, const AnalysisState& layout,
    GrowingColumn& column, StepProgress& report, std::uint64_t& rows)
{
    // One row past the limit tells a file that holds too many.
    const std::uint64_t most = std::uint64_t(MAX_DATA_ROWS) + 1;
    // A row takes at least a digit and a separator for each column; rows
    // of empty fields beyond that estimate make the column grow.
    const auto leastRowBytes = 2 * static_cast<std::uint64_t>(std::max(layout.columnCount, 1));
    column.expect(std::min(most, stream.size() / leastRowBytes));
    askWhetherToStop(stream, report);
    if (!syntax.plain()) {
        rows = readWholeSyntaxTableColumn(stream, syntax, layout.headerTokens, layout.columnCount,
            layout.dataColumn, most, column, report);
        return true;
    }
    skipHeader(stream, layout.headerTokens, report);
    if (report.cancelled())
        return false;
    rows
        = readWholeTableColumn(stream, layout.columnCount, layout.dataColumn, most, column, report);
    return true;
}

std::uint64_t countRowsAfter(ByteStream& stream, const TableSyntax& syntax, int headerTokens,
    int columns, StepProgress& report)
{
    const std::uint64_t most = std::numeric_limits<unsigned>::max();
    askWhetherToStop(stream, report);
    if (!syntax.plain())
        return countSyntaxTableRows(stream, syntax, headerTokens, columns, most, report);
    skipHeader(stream, headerTokens, report);
    return countTableRows(stream, columns, most, report);
}

} // namespace

int readTimeSeries(AnalysisState& state, unsigned count, const ProgressCallback& progress)
{
    return readTimeSeries(state, TableSyntax {}, count, progress);
}

int readTimeSeries(AnalysisState& state, const TableSyntax& syntax, unsigned count,
    const ProgressCallback& progress)
{
    StepProgress report(progress, PROGRESS_READ);
    const int columns = state.columnCount;
    const int kept = state.dataColumn;
    if (!layoutAccepted(columns, kept, syntax)
        || state.series.size() <= static_cast<std::size_t>(count)) {
        state.sampleCount = 0;
        return 1;
    }
    ByteStream stream;
    if (!stream.open(state.dataFileName)) {
        state.sampleCount = 0;
        return 1;
    }
    askWhetherToStop(stream, report);
    if (syntax.plain()) {
        skipHeader(stream, state.headerTokens, report);
        if (report.cancelled())
            return STEP_CANCELLED;
    }

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
    const std::uint64_t stored = syntax.plain()
        ? readTableColumn(stream, columns, kept, count, into.data(), report)
        : readSyntaxTableColumn(
            stream, syntax, state.headerTokens, columns, kept, count, into.data(), report);
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
    return readTimeSeriesInto(layout, TableSyntax {}, count, series, stored, progress);
}

int readTimeSeriesInto(const AnalysisState& layout, const TableSyntax& syntax, unsigned count,
    FloatBuffer& series, unsigned& stored, const ProgressCallback& progress)
{
    StepProgress report(progress, PROGRESS_READ);
    const int columns = layout.columnCount;
    const int kept = layout.dataColumn;
    FloatBuffer fresh;
    ByteStream stream;
    if (!layoutAccepted(columns, kept, syntax)
        || !fresh.allocate(static_cast<std::size_t>(count) + 1)
        || !stream.open(layout.dataFileName)) {
        stored = 0;
        return 1;
    }
    fresh[0] = 0.0f;
    std::uint64_t rows = 0;
    if (!readRows(stream, syntax, layout, kept, count, fresh.data(), report, rows))
        return STEP_CANCELLED;
    if (!report.poll())
        return STEP_CANCELLED;
    series = std::move(fresh);
    stored = static_cast<unsigned>(rows);
    return rows < count ? 1 : 0;
}

int readTimeColumnInto(const AnalysisState& layout, const TableSyntax& syntax, int column,
    unsigned count, std::unique_ptr<double[]>& times, unsigned& stored,
    const ProgressCallback& progress)
{
    StepProgress report(progress, PROGRESS_READ);
    std::unique_ptr<double[]> fresh;
    ByteStream stream;
    if (!layoutAccepted(layout.columnCount, column, syntax)
        || !(fresh = std::unique_ptr<double[]>(
                 new (std::nothrow) double[static_cast<std::size_t>(count) + 1]))
        || !stream.open(layout.dataFileName)) {
        stored = 0;
        return 1;
    }
    fresh[0] = 0.0;
    std::uint64_t rows = 0;
    if (!readRows(stream, syntax, layout, column, count, fresh.get(), report, rows)
        || !report.poll())
        return STEP_CANCELLED;
    times = std::move(fresh);
    stored = static_cast<unsigned>(rows);
    return rows < count ? 1 : 0;
}

int readWholeTimeSeries(const AnalysisState& layout, FloatBuffer& series, unsigned& rows,
    const ProgressCallback& progress)
{
    return readWholeTimeSeries(layout, TableSyntax {}, series, rows, progress);
}

int readWholeTimeSeries(const AnalysisState& layout, const TableSyntax& syntax, FloatBuffer& series,
    unsigned& rows, const ProgressCallback& progress)
{
    StepProgress report(progress, PROGRESS_READ);
    const int columns = layout.columnCount;
    const int kept = layout.dataColumn;
    if (!layoutAccepted(columns, kept, syntax))
        return 1;
    ByteStream stream;
    if (!stream.open(layout.dataFileName))
        return 1;
    GrowingColumn column;
    std::uint64_t stored = 0;
    if (!readAllRows(stream, syntax, layout, column, report, stored))
        return STEP_CANCELLED;
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
    return countTimeSeriesRows(fileName, TableSyntax {}, headerTokens, columnCount, rows, progress);
}

int countTimeSeriesRows(const std::string& fileName, const TableSyntax& syntax, int headerTokens,
    int columnCount, unsigned& rows, const ProgressCallback& progress)
{
    StepProgress report(progress, PROGRESS_COUNT);
    if (!columnsAccepted(columnCount) || !syntaxAccepted(syntax))
        return 1;
    ByteStream stream;
    if (!stream.open(fileName))
        return 1;
    const auto complete
        = static_cast<unsigned>(countRowsAfter(stream, syntax, headerTokens, columnCount, report));
    if (!report.poll())
        return STEP_CANCELLED;
    rows = complete;
    return 0;
}
