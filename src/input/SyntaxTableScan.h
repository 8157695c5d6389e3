#pragma once

#include "core/Progress.h"
#include "core/TableSyntax.h"
#include "input/ByteStream.h"
#include "input/GrowingColumn.h"

#include <cstddef>
#include <cstdint>

// The table of a file in another syntax than plain white space, from an
// open stream at the file's start: its header of `headerTokens` tokens
// skipped and its rows scanned as the plain reader scans the cleaned text
// (TableText.h), with the same rows, samples and end of data. Read in one
// pass: the header and the lines up to a first piece's end cleaned as they
// come, the lines after it in blocks on the threads (TableScan.h), each
// block's lines made into a cleaned text only where they need one
// (BlockText.h). Progress by bytes of the file, and each stops early, with
// the rows so far, when its progress asks to stop.

// The number at position `kept` (1 to columns) of each of up to `count`
// rows, as out[1], out[2], ...; returns the complete rows stored.
std::uint64_t readSyntaxTableColumn(ByteStream& stream, const TableSyntax& syntax, int headerTokens,
    int columns, int kept, std::uint64_t count, float* out, StepProgress& progress);
// The same, the values kept in double precision.
std::uint64_t readSyntaxTableColumn(ByteStream& stream, const TableSyntax& syntax, int headerTokens,
    int columns, int kept, std::uint64_t count, double* out, StepProgress& progress);

// As readSyntaxTableColumn for every row up to maxRows, into a growing
// column; stops early when the column cannot grow (out.failed()).
std::uint64_t readWholeSyntaxTableColumn(ByteStream& stream, const TableSyntax& syntax,
    int headerTokens, int columns, int kept, std::uint64_t maxRows, GrowingColumn& out,
    StepProgress& progress);

// Counts complete rows, up to maxRows.
std::uint64_t countSyntaxTableRows(ByteStream& stream, const TableSyntax& syntax, int headerTokens,
    int columns, std::uint64_t maxRows, StepProgress& progress);

// Bytes per block of the threads' scan; 0 restores the default. For tests,
// so that small files span many blocks.
void setSyntaxBlockBytes(std::size_t bytes);
