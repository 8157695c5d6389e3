#pragma once

// The twiddle factors of the butterfly passes, shared by the transform's
// variants. Every factor after a pass's first comes from the textbook
// loop's recurrence, in its order and with its operations, so the factors
// are the same to the bit however they are made or stored.

#include "spectrum/FftPasses.h"

// Blocks of 2^12 complex elements (32 KiB) stay in the first-level cache
// through the first twelve passes; their twiddle tables take 64 KiB of
// static storage and the chunk of a larger pass 32 KiB of stack.
inline constexpr int kBlockLog2 = 12;
inline constexpr int kChunk = 2048;
// The factors of the larger passes of transforms up to 2^kSharedLog2 points
// are made once too (2 MiB).
inline constexpr int kSharedLog2 = 17;

// One step of the recurrence from one factor to the next.
inline void stepTwiddle(double& wr, double& wi, double wpr, double wpi)
{
    const double wtemp = wr;
    wr = wr * wpr - wi * wpi + wr;
    wi = wi * wpr + wtemp * wpi + wi;
}

// Writes the next `count` factors as (wr, wi) pairs and advances the state.
inline void nextTwiddles(TwiddleState& state, double* out, int count)
{
    double wr = state.wr;
    double wi = state.wi;
    for (int t = 0; t < count; ++t) {
        out[2 * t] = wr;
        out[2 * t + 1] = wi;
        stepTwiddle(wr, wi, state.wpr, state.wpi);
    }
    state.wr = wr;
    state.wi = wi;
}

// nextTwiddles for three sequences side by side: each step waits on the
// one before it, so three independent sequences take hardly longer than
// one.
inline void nextTwiddlesOfThree(TwiddleState& a, double* outA, TwiddleState& b, double* outB,
    TwiddleState& c, double* outC, int count)
{
    double ar = a.wr, ai = a.wi, br = b.wr, bi = b.wi, cr = c.wr, ci = c.wi;
    for (int t = 0; t < count; ++t) {
        outA[2 * t] = ar;
        outA[2 * t + 1] = ai;
        outB[2 * t] = br;
        outB[2 * t + 1] = bi;
        outC[2 * t] = cr;
        outC[2 * t + 1] = ci;
        stepTwiddle(ar, ai, a.wpr, a.wpi);
        stepTwiddle(br, bi, b.wpr, b.wpi);
        stepTwiddle(cr, ci, c.wpr, c.wpi);
    }
    a.wr = ar;
    a.wi = ai;
    b.wr = br;
    b.wi = bi;
    c.wr = cr;
    c.wi = ci;
}

// Tables of the passes with half-spans 2^first .. 2^(end-1), the table of
// half-span h at tables + 2*(h - 2^first).
void fillPassTables(double* tables, int first, int end);

// The tables of the in-block passes, half-spans 1 .. 2^(kBlockLog2-1), at
// the places fillPassTables(tables, 0, kBlockLog2) gives them.
const double* smallTwiddleTables();

// The same factors spread as the vector butterflies take them: for the pass
// of half-span h, at 4*(h-1), 2h doubles wr_0, wr_0, wr_1, wr_1, ... and
// then 2h doubles -wi_0, wi_0, -wi_1, wi_1, ... (each copied or negated,
// which is exact).
const double* spreadTwiddleTables();

// The tables of the passes with half-spans 2^kBlockLog2 .. 2^(kSharedLog2-1),
// at the places fillPassTables(tables, kBlockLog2, kSharedLog2) gives them;
// made on first use.
const double* sharedLargeTwiddleTables();
