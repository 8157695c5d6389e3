// Tables with comments, separators and decimal commas against the plain
// fscanf loop on their cleaned text: same row count, status and samples to
// the bit, for any bytes, syntax, header, layout, block size and thread
// count. The numbers of a cleaned table are the file's own characters, so
// the samples are those strtod gives for the file's fields.

#include "FuzzCompare.h"
#include "FuzzFile.h"
#include "FuzzInput.h"

#include "core/AnalysisState.h"
#include "core/Parallel.h"
#include "input/SyntaxTableScan.h"
#include "input/TableText.h"
#include "input/TimeSeriesReader.h"
#include "support/PlainReader.h"

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr float UNTOUCHED = -12345.0f;
constexpr std::size_t BLOCK_BYTES[] = { 1, 2, 3, 5, 7, 13, 64, 0 };
constexpr char COMMENTS[] = { 0, '#', '%', '!' };
constexpr char SEPARATORS[] = { ',', ';', '\t', 0 };

struct Outcome {
    int countStatus = -1;
    unsigned rows = 0;
    int readStatus = -1;
    unsigned sampleCount = 0;
    std::vector<float> series;
};

Outcome readWithSyntax(
    const std::string& path, const TableSyntax& syntax, int header, int columns, int column)
{
    Outcome outcome;
    outcome.countStatus = countTimeSeriesRows(path, syntax, header, columns, outcome.rows);
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
    outcome.readStatus = readTimeSeries(state, syntax, count);
    outcome.sampleCount = state.sampleCount;
    outcome.series.assign(state.series.data(), state.series.data() + state.series.size());
    return outcome;
}

Outcome readCleanedPlainly(const std::string& path, int header, int columns, int column)
{
    Outcome outcome;
    outcome.countStatus = plainCountRows(path, header, columns, outcome.rows);
    const unsigned count = outcome.rows + 1;
    outcome.series.assign(count + 2, UNTOUCHED);
    outcome.readStatus = plainReadTimeSeries(
        path, header, columns, column, count, outcome.series.data(), outcome.sampleCount);
    return outcome;
}

void expectSame(const Outcome& actual, const Outcome& expected)
{
    if (actual.countStatus != expected.countStatus || actual.rows != expected.rows)
        fuzzMismatch("row count " + std::to_string(actual.rows) + ", the plain loop counts "
            + std::to_string(expected.rows));
    if (actual.readStatus != expected.readStatus || actual.sampleCount != expected.sampleCount)
        fuzzMismatch("read " + std::to_string(actual.sampleCount) + " samples (status "
            + std::to_string(actual.readStatus) + "), the plain loop "
            + std::to_string(expected.sampleCount) + " (status "
            + std::to_string(expected.readStatus) + ")");
    if (actual.series.size() != expected.series.size())
        fuzzMismatch("series lengths differ");
    for (std::size_t i = 0; i < actual.series.size(); ++i)
        if (std::bit_cast<std::uint32_t>(actual.series[i])
            != std::bit_cast<std::uint32_t>(expected.series[i]))
            fuzzMismatch("sample " + std::to_string(i) + " differs");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const FuzzFile table("table.csv");
    static const FuzzFile cleaned("cleaned.dat");
    FuzzInput input(data, size);
    const std::uint8_t choice = input.byte();
    TableSyntax syntax;
    syntax.comment = COMMENTS[choice % 4];
    syntax.separator = SEPARATORS[(choice / 4) % 4];
    syntax.decimalComma = (choice / 16) % 2 != 0;
    const int header = input.inRange(0, 3);
    const int columns = input.inRange(1, 4);
    const int column = input.inRange(1, columns);
    const std::size_t blockBytes = BLOCK_BYTES[input.byte() % std::size(BLOCK_BYTES)];
    const int threads = input.inRange(1, 3);
    const std::string bytes = input.rest();
    if (!writeFuzzFile(table.path(), bytes)
        || !writeFuzzFile(cleaned.path(), cleanTableText(bytes, syntax)))
        return 0;

    const Outcome expected = readCleanedPlainly(cleaned.path(), header, columns, column);
    setParallelThreads(threads);
    setSyntaxBlockBytes(blockBytes);
    const Outcome actual = readWithSyntax(table.path(), syntax, header, columns, column);
    setSyntaxBlockBytes(0);
    setParallelThreads(0);
    expectSame(actual, expected);
    return 0;
}
