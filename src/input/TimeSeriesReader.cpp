#include "input/TimeSeriesReader.h"

#include "input/ByteStream.h"
#include "input/NumberScanner.h"

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

int readTimeSeries(AnalysisState& state, unsigned count)
{
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
    float* const series = state.series.data();
    series[0] = 0.0f;
    for (std::uint64_t r = 1; r <= count; ++r) {
        double value = 0.0;
        for (int j = 1; j <= columns; ++j) {
            const bool converted = j == kept ? readNumber(stream, value) : skipNumber(stream);
            if (!converted) {
                state.sampleCount = static_cast<unsigned>(r - 1);
                return 1;
            }
        }
        series[r] = static_cast<float>(value);
    }
    state.isOriginal = 1;
    return 0;
}

int countTimeSeriesRows(
    const std::string& fileName, int headerTokens, int columnCount, unsigned& rows)
{
    if (!columnsAccepted(columnCount))
        return 1;
    ByteStream stream;
    if (!stream.open(fileName))
        return 1;
    skipHeader(stream, headerTokens);

    unsigned complete = 0;
    while (complete < std::numeric_limits<unsigned>::max()) {
        int j = 0;
        while (j < columnCount && skipNumber(stream))
            ++j;
        if (j < columnCount)
            break;
        ++complete;
    }
    rows = complete;
    return 0;
}
