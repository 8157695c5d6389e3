#include "input/TimeSeriesReader.h"

#include "core/Progress.h"
#include "input/ByteStream.h"
#include "input/NumberScanner.h"
#include "input/TableScan.h"

#include <cstdint>
#include <limits>

namespace {

bool columnsAccepted(int columnCount)
{
    return columnCount >= 1 && columnCount <= MAX_ROW_VALUES;
}

void skipHeader(ByteStream& stream, int headerTokens)
{
    for (int i = 0; i < headerTokens; ++i) {
        if (!skipToken(stream))
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
    skipHeader(stream, state.headerTokens);

    // Only the kept value of a row is converted; the others are scanned with
    // the same rules, so a row fails exactly where a full read would.
    state.series[0] = 0.0f;
    const std::uint64_t stored
        = readTableColumn(stream, columns, kept, count, state.series.data(), report);
    if (stored < count) {
        state.sampleCount = static_cast<unsigned>(stored);
        return 1;
    }
    state.isOriginal = 1;
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
    skipHeader(stream, headerTokens);

    const auto complete = static_cast<unsigned>(
        countTableRows(stream, columnCount, std::numeric_limits<unsigned>::max(), report));
    rows = complete;
    return 0;
}
