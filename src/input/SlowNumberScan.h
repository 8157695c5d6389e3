#pragma once

#include "input/ByteStream.h"

// The general "%lf" scan, one byte at a time across buffer refills, for
// whatever the fast path of NumberScanner does not take: hexadecimal,
// inf/nan, incomplete exponents, stray bytes after a number and digit
// strings of any length. White space must already be skipped. Converts
// into *value unless value is null; returns whether a number converted.
bool scanNumberSlowly(ByteStream& stream, double* value);
