#pragma once

#include <memory>

// In-place radix-2 decimation-in-time FFT with a positive exponent and no
// scaling. `data` points at entry 0 of at least 2*nn+1 floats; entries
// 1..2*nn hold nn complex values, real and imaginary values interleaved.
// nn must be a power of two; for any other nn the data is left unchanged
// (the textbook loop would run past the array). Allocates nothing.
//
// Every value that is a number is the textbook loop's to the bit. Every
// not-a-number in the result is the one canonical NaN of
// core/CanonicalNaN.h (bits 0x7fc00000), whatever NaNs went in or arose
// on the way: which of two NaNs an addition passes on depends on the order
// the compiler gives its operands, and the instruction-set variants, thread
// counts and compilers would otherwise disagree on it. The same holds for
// every entry point below that finishes a transform, and for the estimate
// built on them.
void complexFft(float* data, int nn);

// The butterfly passes of complexFft from firstPass on, for callers that
// have placed the input in bit-reversed order (element k at index
// reverse(k)) and done the passes before firstPass already (see
// loadRealWithFirstPass).
void complexFftPassesFrom(float* data, int nn, int firstPass);

// The factors of the passes of one transform length that are too long for
// the shared tables, made once by the same recurrence where many transforms
// of that length follow (the segments of an estimate). Each long pass
// otherwise makes its factors anew, one step after the other.
class FftFactors {
public:
    // False, and nothing made, when the shared tables hold the length's
    // factors already (up to 2^17 points), the table would be larger than
    // is worth keeping, or memory is short.
    bool make(int nn);
    bool holds(int nn) const;
    const double* table() const { return m_table.get(); }

private:
    std::unique_ptr<double[]> m_table;
    int m_nn = 0;
};

// complexFftPassesFrom with the long passes' factors from `factors`, which
// must hold nn's (else the factors are made as in complexFftPassesFrom).
// Same bits.
void complexFftPassesFrom(float* data, int nn, int firstPass, const FftFactors& factors);

// Fills data[0..2*nn] with the real samples real[1..nn], each with a zero
// imaginary value and entry 0 set to 0, in the order of complexFft's bit
// reversal, and does the first butterfly pass, in one sweep that takes the
// zero imaginary values as given; complexFftPassesFrom(data, nn, 1) then
// gives what complexFft gives. nn must be a power of two of at least 2
// (else nothing).
void loadRealWithFirstPass(float* data, int nn, const float* real);
