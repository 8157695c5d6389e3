#pragma once

// In-place radix-2 decimation-in-time FFT with a positive exponent and no
// scaling. `data` points at entry 0 of at least 2*nn+1 floats; entries
// 1..2*nn hold nn complex values, real and imaginary values interleaved.
// nn must be a power of two; for any other nn the data is left unchanged
// (the textbook loop would run past the array). Allocates nothing.
void complexFft(float* data, int nn);

// The butterfly passes of complexFft alone, for callers that have already
// placed the input in bit-reversed order (element k at index reverse(k)).
void complexFftPasses(float* data, int nn);

// Fills data[0..2*nn] with the real samples real[1..nn], each with a zero
// imaginary value and entry 0 set to 0, already in the order of complexFft's bit reversal, so
// that complexFftPasses(data, nn) then gives what complexFft gives on the
// samples in natural order. nn must be a power of two (else nothing).
void loadBitReversedReal(float* data, int nn, const float* real);
