#pragma once

// The pieces of complexFft that separate threads may run side by side; each
// piece does exactly the arithmetic the whole transform does on its part of
// the array, so any split gives the same bits. c points at complex element
// 0 (data + 1), nn = 2^log2n.

#include <cstdint>

// The trigonometric recurrence of one pass with half-span h complex elements.
struct TwiddleState {
    double wr;
    double wi;
    double wpr;
    double wpi;
};

// The state at twiddle index 0 of the pass with half-span h.
TwiddleState startTwiddles(int h);

// Advances a and b by stepsA and stepsB steps of their recurrences, with the
// same operations that make the factors of the passes; the two sequences are
// interleaved while both run.
void advanceTwiddlePair(TwiddleState& a, long stepsA, TwiddleState& b, long stepsB);

// Passes below this many (log2) complex elements run in blocks of that size.
int fftBlockLog2(int log2n);
// Twiddle indices per chunk of a large pass; every large pass has a whole
// number of chunks, (1 << s) / fftChunkLength().
int fftChunkLength();

// Transforms shorter than this (log2) take the whole-transform path, which
// has no blocks and no large passes.
bool fftHasBlocks(int log2n);

// The in-block passes from firstPass on of blocks [firstBlock, endBlock), in
// the variant that complexFft uses. Requires fftHasBlocks(log2n).
void fftBlockPasses(float* c, int log2n, int firstBlock, int endBlock, int firstPass);

// Large pass s (fftBlockLog2(log2n) <= s < log2n) over the twiddle chunks
// [firstChunk, endChunk) of its groups [firstGroup, endGroup) of 2^(s+1)
// elements; state is the recurrence's state at the first index of
// firstChunk, and is left at the first index of endChunk.
void fftLargePass(float* c, int log2n, int s, int firstChunk, int endChunk, int firstGroup,
    int endGroup, TwiddleState& state);

// Large passes s and s+1 (s+1 < log2n) in one sweep over pass s's twiddle
// chunks [firstChunk, endChunk) of groups [firstGroup, endGroup) of
// 2^(s+2) elements; `first` is pass s's recurrence state at the first
// index of firstChunk, secondLow and secondHigh pass s+1's at that index
// and at that index plus 2^s. All three are left at the first index of
// endChunk (and that plus 2^s).
void fftLargePassPair(float* c, int log2n, int s, int firstChunk, int endChunk, int firstGroup,
    int endGroup, TwiddleState& first, TwiddleState& secondLow, TwiddleState& secondHigh);

// The butterfly passes from firstPass on, on the calling thread. With
// settle false, the caller knows that no not-a-number can arise and the
// last pass may skip making them canonical.
void fftAllPasses(float* c, int log2n, int firstPass, bool settle = true);

// fftAllPasses with the factors of every large pass s from `large`, pass
// s's at large + 2 * ((1 << s) - (1 << fftBlockLog2(log2n))), as the
// recurrence makes them. Requires fftHasBlocks(log2n).
void fftAllPassesWithFactors(
    float* c, int log2n, int firstPass, const double* large, bool settle = true);

// Exchanges of the in-place bit reversal within tiles [firstTile, endTile)
// (see bitReversalTiles).
void fftBitReverseTiles(float* c, int log2n, std::uint32_t firstTile, std::uint32_t endTile);

// The bit reversal of the 2^log2n elements at c together with the first
// butterfly passes, where the variant in use does them in one sweep.
// `passes` is the number of passes done: 0, and nothing done, where the
// variant has no such sweep or log2n is outside kSmallestFusedLog2 ..
// kSharedLog2 (beyond the shared factors the separate bit reversal, which
// moves whole tile rows, measured faster than the sweep). `small` tells
// that every input value was finite and below 2^100 in magnitude: no
// transform of up to 2^17 points can then overflow, and so none gives a
// not-a-number (see fftAllPasses).
struct FusedStart {
    int passes = 0;
    bool small = false;
};
inline constexpr int kSmallestFusedLog2 = 6;
FusedStart fftReverseWithFirstPasses(float* c, int log2n);
// Whether fftReverseWithFirstPasses does the passes for 2^log2n elements.
bool fftHasFusedFirstPasses(int log2n);

// log2(nn) for a power of two nn >= 1, else -1.
int fftExactLog2(int nn);
