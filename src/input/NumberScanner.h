#pragma once

#include "input/ByteStream.h"

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
