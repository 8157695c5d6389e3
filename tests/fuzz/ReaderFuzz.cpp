// The table reader against the plain fscanf loop: same row count, same
// status, same samples to the bit, for any header, layout, block size and
// thread count; through each entry the programs use: the count and the
// read of the window's commands (countTimeSeriesRows, readTimeSeriesInto),
// the one pass of welmo-psd (readWholeTimeSeries) and the record's read.

#include "FuzzCompare.h"
#include "FuzzFile.h"
#include "FuzzInput.h"

#include "core/AnalysisState.h"
#include "core/Parallel.h"
#include "input/TableScan.h"
#include "input/TimeSeriesReader.h"
#include "support/PlainReader.h"

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr float UNTOUCHED = -12345.0f;
// Blocks from one byte up, so that tokens and rows straddle them in every
// way; 0 is the reader's own block size.
constexpr std::size_t BLOCK_BYTES[] = { 1, 2, 3, 5, 7, 13, 64, 0 };

struct Outcome {
    int countStatus = -1;
    unsigned rows = 0;
    int readStatus = -1;
    unsigned sampleCount = 0;
    std::vector<float> series;
    // readTimeSeriesInto's and readWholeTimeSeries's results, samples
    // 1..rows of each (their buffers' other entries are their own).
    int intoStatus = -1;
    unsigned intoStored = 0;
    std::vector<float> intoSeries;
    int wholeStatus = -1;
    unsigned wholeRows = 0;
    std::vector<float> wholeSeries;
};

std::vector<float> samplesOf(const FloatBuffer& series, unsigned rows)
{
    if (series.size() <= rows)
        return { -1.0f };
    return std::vector<float>(series.data(), series.data() + rows + 1);
}

// One row more than counted, so that the read runs into the table's end.
Outcome readWithReader(const std::string& path, int header, int columns, int column)
{
    Outcome outcome;
    outcome.countStatus = countTimeSeriesRows(path, header, columns, outcome.rows);
    const unsigned count = outcome.rows + 1;
    AnalysisState state;
    state.dataFileName = path;
    state.headerTokens = header;
    state.columnCount = columns;
    state.dataColumn = column;
    state.series.allocate(count + 2);
    for (std::size_t i = 0; i < state.series.size(); ++i)
        state.series[i] = UNTOUCHED;
    state.sampleCount = count;
    outcome.readStatus = readTimeSeries(state, count);
    outcome.sampleCount = state.sampleCount;
    outcome.series.assign(state.series.data(), state.series.data() + state.series.size());

    FloatBuffer into;
    outcome.intoStatus = readTimeSeriesInto(state, count, into, outcome.intoStored);
    outcome.intoSeries = samplesOf(into, outcome.intoStored);
    FloatBuffer whole;
    outcome.wholeStatus = readWholeTimeSeries(state, whole, outcome.wholeRows);
    outcome.wholeSeries = samplesOf(whole, outcome.wholeRows);
    return outcome;
}

Outcome readWithPlainLoop(const std::string& path, int header, int columns, int column)
{
    Outcome outcome;
    outcome.countStatus = plainCountRows(path, header, columns, outcome.rows);
    const unsigned count = outcome.rows + 1;
    outcome.series.assign(count + 2, UNTOUCHED);
    outcome.readStatus = plainReadTimeSeries(
        path, header, columns, column, count, outcome.series.data(), outcome.sampleCount);
    // The read of one row more than there are stops at the table's end
    // with the rows counted, which the one pass reads as all there are.
    outcome.intoStatus = outcome.readStatus;
    outcome.intoStored = outcome.sampleCount;
    outcome.intoSeries.assign(
        outcome.series.begin(), outcome.series.begin() + outcome.sampleCount + 1);
    outcome.wholeStatus = outcome.countStatus;
    outcome.wholeRows = outcome.countStatus == 0 ? outcome.rows : 0;
    outcome.wholeSeries = outcome.intoSeries;
    if (outcome.countStatus != 0)
        outcome.wholeSeries = { -1.0f };
    return outcome;
}

void expectSameSamples(const char* what, const std::vector<float>& actual,
    const std::vector<float>& expected, std::size_t first)
{
    if (actual.size() != expected.size())
        fuzzMismatch(std::string(what) + ": series lengths differ");
    for (std::size_t i = first; i < actual.size(); ++i)
        if (std::bit_cast<std::uint32_t>(actual[i]) != std::bit_cast<std::uint32_t>(expected[i]))
            fuzzMismatch(std::string(what) + ": sample " + std::to_string(i) + " differs");
}

void expectSameEntries(const Outcome& actual, const Outcome& expected)
{
    if (actual.intoStatus != expected.intoStatus || actual.intoStored != expected.intoStored)
        fuzzMismatch("readTimeSeriesInto stored " + std::to_string(actual.intoStored) + " (status "
            + std::to_string(actual.intoStatus) + "), the plain loop "
            + std::to_string(expected.intoStored));
    expectSameSamples("readTimeSeriesInto", actual.intoSeries, expected.intoSeries, 1);
    if (actual.wholeStatus != expected.wholeStatus || actual.wholeRows != expected.wholeRows)
        fuzzMismatch("readWholeTimeSeries read " + std::to_string(actual.wholeRows) + " (status "
            + std::to_string(actual.wholeStatus) + "), the plain loop counts "
            + std::to_string(expected.wholeRows));
    expectSameSamples("readWholeTimeSeries", actual.wholeSeries, expected.wholeSeries, 0);
}

void expectSame(const Outcome& actual, const Outcome& expected)
{
    if (actual.countStatus != expected.countStatus || actual.rows != expected.rows)
        fuzzMismatch("row count " + std::to_string(actual.rows) + " (status "
            + std::to_string(actual.countStatus) + "), the plain loop counts "
            + std::to_string(expected.rows) + " (status " + std::to_string(expected.countStatus)
            + ")");
    if (actual.readStatus != expected.readStatus || actual.sampleCount != expected.sampleCount)
        fuzzMismatch("read " + std::to_string(actual.sampleCount) + " samples (status "
            + std::to_string(actual.readStatus) + "), the plain loop "
            + std::to_string(expected.sampleCount) + " (status "
            + std::to_string(expected.readStatus) + ")");
    if (actual.series.size() != expected.series.size())
        fuzzMismatch("series lengths differ");
    // Samples are stored values, not results of arithmetic: their bits,
    // NaNs included, are the text's.
    for (std::size_t i = 0; i < actual.series.size(); ++i)
        if (std::bit_cast<std::uint32_t>(actual.series[i])
            != std::bit_cast<std::uint32_t>(expected.series[i]))
            fuzzMismatch("sample " + std::to_string(i) + " differs");
    expectSameEntries(actual, expected);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const FuzzFile table("table.dat");
    const std::string& path = table.path();
    FuzzInput input(data, size);
    const int header = input.inRange(0, 3);
    const int columns = input.inRange(1, 4);
    const int column = input.inRange(1, columns);
    const std::size_t blockBytes = BLOCK_BYTES[input.byte() % std::size(BLOCK_BYTES)];
    const int threads = input.inRange(1, 3);
    if (!writeFuzzFile(path, input.rest()))
        return 0;

    const Outcome expected = readWithPlainLoop(path, header, columns, column);
    setParallelThreads(threads);
    setTableBlockBytes(blockBytes);
    const Outcome actual = readWithReader(path, header, columns, column);
    setTableBlockBytes(0);
    setParallelThreads(0);
    expectSame(actual, expected);
    return 0;
}
