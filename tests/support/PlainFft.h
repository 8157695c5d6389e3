#pragma once

#include <cstddef>

// The iterative radix-2 transform exactly as the textbook loop writes it,
// kept deliberately naive as the reference that the fast transform must
// match bit for bit: data[1..2*nn] interleaved complex, nn a power of two.
void plainComplexFft(float* data, int nn);

// Every not-a-number among values[0..count) replaced by the transform's one
// canonical NaN (bits 0x7fc00000). Which NaN the textbook loop passes on
// depends on how its compiler ordered the operands; the fast routines pick
// one by rule, so the oracle's results are held to the same rule.
void plainCanonicalNaNs(float* values, std::size_t count);

// plainComplexFft followed by plainCanonicalNaNs on its 2*nn results.
void oracleComplexFft(float* data, int nn);
