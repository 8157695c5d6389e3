#pragma once

#include "input/ByteStream.h"

#include <cstdint>

// Token and number scanning with exactly the C library's formatted input
// (glibc's "%s" and "%lf" in the "C" locale): the same bytes consumed, the
// same success or failure and the same value bits, for any input bytes.
// White space is ' ', \t, \n, \v, \f and \r; every other byte, NUL
// included, belongs to a token.

// Skips white space and then one token of any length, as "%*s" does.
// Returns false when the data ends before a token starts.
bool skipToken(ByteStream& stream);

// Skips white space and reads one number as "%lf" does. Returns false when
// no number converts; what was consumed then is unspecified, because every
// caller stops reading at that point.
bool readNumber(ByteStream& stream, double& value);

// The same scan as readNumber, consuming the same bytes, without
// converting the number.
bool skipNumber(ByteStream& stream);

// Reads up to `count` rows of `columns` (1 or more) numbers as readNumber
// does, and stores the number at position `kept` (1 to columns) of row r,
// narrowed to float, as out[r] (r from 1). Returns the number of complete
// rows stored: fewer than count when a number does not convert.
std::uint64_t readColumn(
    ByteStream& stream, int columns, int kept, std::uint64_t count, float* out);
// The same, the numbers kept in double precision.
std::uint64_t readColumn(
    ByteStream& stream, int columns, int kept, std::uint64_t count, double* out);

// Counts complete rows of `columns` (1 or more) numbers up to the first
// number that does not convert, or up to maxRows.
std::uint64_t countRows(ByteStream& stream, int columns, std::uint64_t maxRows);

// What a scan of a stretch in memory found.
struct StretchScan {
    std::uint64_t numbers = 0; // numbers converted
    std::uint64_t stored = 0; // of them, those stored
    bool failed = false; // stopped at a number that does not convert
};

// Scans all numbers of a stream over memory (see ByteStream) that holds
// whole tokens and ends in white space or where the file ends, as
// readNumber does. Its first number stands at `position` (0 to columns-1)
// of a row; each number at row position `kept` (0 to columns-1) is stored,
// narrowed to float, in out[0], out[1], ..., which must have room for
// (stream length / columns) + 1 values. With out null nothing is
// converted or stored. Ends at the end of the stretch, or at the first
// number that does not convert (failed).
StretchScan scanStretch(ByteStream& stream, int columns, int position, int kept, float* out);
// The same, the numbers kept in double precision.
StretchScan scanStretch(ByteStream& stream, int columns, int position, int kept, double* out);
