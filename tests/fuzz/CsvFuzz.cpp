// Tables with comments, separators and decimal commas against the plain
// fscanf loop on their cleaned text, whose numbers are the file's own
// characters: same row count, status and samples to the bit, for any
// bytes, syntax, header, layout, block size, thread count and instruction
// set of the block check.

#include "FuzzCompare.h"
#include "FuzzFile.h"
#include "FuzzInput.h"

#include "core/AnalysisState.h"
#include "core/Parallel.h"
#include "input/BlockText.h"
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

// Count, status, rows stored and the series' bits, entry 0 included.
std::vector<std::uint32_t> outcome(int countStatus, unsigned rows, int readStatus, unsigned stored,
    const float* series, std::size_t entries)
{
    std::vector<std::uint32_t> all = { static_cast<std::uint32_t>(countStatus), rows,
        static_cast<std::uint32_t>(readStatus), stored };
    for (std::size_t i = 0; i < entries; ++i)
        all.push_back(std::bit_cast<std::uint32_t>(series[i]));
    return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const FuzzFile table("table.csv");
    static const FuzzFile cleaned("cleaned.dat");
    FuzzInput input(data, size);
    const std::uint8_t choice = input.byte();
    const TableSyntax syntax { COMMENTS[choice % 4], SEPARATORS[(choice / 4) % 4],
        (choice / 16) % 2 != 0 };
    const BlockCheckSet set
        = (choice / 32) % 2 != 0 ? BlockCheckSet::baseline : BlockCheckSet::automatic;
    const int header = input.inRange(0, 3);
    const int columns = input.inRange(1, 4);
    const int column = input.inRange(1, columns);
    const std::size_t blockBytes = BLOCK_BYTES[input.byte() % std::size(BLOCK_BYTES)];
    const int threads = input.inRange(1, 3);
    const std::string bytes = input.rest();
    // Fed one byte at a time, the cleaner takes none of its wide steps.
    const std::string text = cleanTableText(bytes, syntax);
    TableTextCleaner byBytes(syntax);
    std::string slowly;
    for (const char& c : bytes)
        byBytes.feed(&c, &c + 1, slowly);
    byBytes.finish(slowly);
    if (slowly != text)
        fuzzMismatch("the text cleans differently byte by byte");
    if (!writeFuzzFile(table.path(), bytes) || !writeFuzzFile(cleaned.path(), text))
        return 0;

    unsigned rows = 0, stored = 0;
    const int countStatus = plainCountRows(cleaned.path(), header, columns, rows);
    std::vector<float> plain(rows + 3, UNTOUCHED);
    const int readStatus = plainReadTimeSeries(
        cleaned.path(), header, columns, column, rows + 1, plain.data(), stored);
    const auto expected
        = outcome(countStatus, rows, readStatus, stored, plain.data(), plain.size());

    setParallelThreads(threads);
    setSyntaxBlockBytes(blockBytes);
    pinBlockCheckSet(set);
    unsigned counted = 0;
    const int status = countTimeSeriesRows(table.path(), syntax, header, columns, counted);
    AnalysisState state;
    state.dataFileName = table.path();
    state.headerTokens = header;
    state.columnCount = columns;
    state.dataColumn = column;
    state.series.allocate(counted + 3);
    for (std::size_t i = 0; i < state.series.size(); ++i)
        state.series[i] = UNTOUCHED;
    state.sampleCount = counted + 1;
    const int read = readTimeSeries(state, syntax, counted + 1);
    pinBlockCheckSet(BlockCheckSet::automatic);
    setSyntaxBlockBytes(0);
    setParallelThreads(0);
    if (outcome(status, counted, read, state.sampleCount, state.series.data(), state.series.size())
        != expected)
        fuzzMismatch("the read differs from the plain loop on the cleaned text");
    return 0;
}
