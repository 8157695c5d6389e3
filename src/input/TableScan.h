#pragma once

#include "core/Progress.h"
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

// Stores the number at position `kept` of every complete row, up to
// maxRows, as entries 1, 2, ... of `out`, grown as the rows come; returns
// the rows stored. Stops early, with the rows so far, when `out` cannot
// grow (out.failed()) or the progress asks to stop.
std::uint64_t readWholeTableColumn(ByteStream& stream, int columns, int kept, std::uint64_t maxRows,
    GrowingColumn& out, StepProgress& progress);

// Counts complete rows, up to maxRows.
std::uint64_t countTableRows(
    ByteStream& stream, int columns, std::uint64_t maxRows, StepProgress& progress);

// Bytes per block and thread; 0 restores the default. For tests, so that
// small files span many blocks.
void setTableBlockBytes(std::size_t bytes);
