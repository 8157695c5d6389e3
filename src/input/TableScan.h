#pragma once

#include "core/Progress.h"
#include "core/TableSyntax.h"
#include "input/ByteStream.h"
#include "input/GrowingColumn.h"

#include <cstddef>
#include <cstdint>

// The rows of a table after its header, from a stream positioned just
// after the header, on parallelThreads() threads. The results are the
// sequential scan's (readColumn, countRows) for any thread count: the file
// is read in blocks, each thread scans the whole tokens that start in its
// blocks, and the blocks are joined in file order. Each stops early, with
// the rows so far, when its progress asks to stop (progress.cancelled()).

// Stores the number at position `kept` (1 to columns) of each of up to
// `count` rows as out[1], out[2], ...; returns the complete rows stored.
std::uint64_t readTableColumn(ByteStream& stream, int columns, int kept, std::uint64_t count,
    float* out, StepProgress& progress);
// The same, the values kept in double precision.
std::uint64_t readTableColumn(ByteStream& stream, int columns, int kept, std::uint64_t count,
    double* out, StepProgress& progress);

// Stores the number at position `kept` of every complete row, up to
// maxRows, as entries 1, 2, ... of `out`, grown as the rows come; returns
// the rows stored. Stops early, with the rows so far, when `out` cannot
// grow (out.failed()) or the progress asks to stop.
std::uint64_t readWholeTableColumn(ByteStream& stream, int columns, int kept, std::uint64_t maxRows,
    GrowingColumn& out, StepProgress& progress);

// Counts complete rows, up to maxRows.
std::uint64_t countTableRows(
    ByteStream& stream, int columns, std::uint64_t maxRows, StepProgress& progress);

// Where a scan in file order stands between two of its parts: the numbers
// taken, and the kept value of the row still open (pendingRow 0: none).
template <typename Value> struct TableScanPlace {
    std::uint64_t numbers = 0;
    Value pending = 0;
    std::uint64_t pendingRow = 0;
};

// The rows of a table in another syntax than the plain one, from the
// stream's offset (a line's start) on, on the threads in blocks of
// blockBytes, going on from `place`; for the sequential scan of that
// syntax, with the same results (SyntaxTableScan.h). The kept values go to
// out[1..rows] or to the growing column (neither: only counted). Returns
// true, with `resumeAt` at a line's start, where the sequential scan is to
// take over (a line too long for a block, or memory short); false when the
// scan has ended: all rows taken, the data ended or failed, the column
// could not grow, or the progress asked to stop.
bool scanSyntaxTableLines(ByteStream& stream, const TableSyntax& syntax, std::size_t blockBytes,
    int columns, int kept, std::uint64_t rows, float* out, GrowingColumn* growing,
    TableScanPlace<float>& place, std::uint64_t& resumeAt, StepProgress& progress);
// The same into out[1..rows] of doubles.
bool scanSyntaxTableLines(ByteStream& stream, const TableSyntax& syntax, std::size_t blockBytes,
    int columns, int kept, std::uint64_t rows, double* out, TableScanPlace<double>& place,
    std::uint64_t& resumeAt, StepProgress& progress);

// Bytes per block and thread; 0 restores the default. For tests, so that
// small files span many blocks.
void setTableBlockBytes(std::size_t bytes);
