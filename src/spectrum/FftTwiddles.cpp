#include "spectrum/FftTwiddles.h"

#include <cmath>

// Only these two sine calls are made per pass; every twiddle factor after
// the first comes from the recurrence, in the same order and with the same
// operations as the textbook loop, so the values are the same to the bit.
TwiddleState startTwiddles(int h)
{
    double theta = 6.28318530717959 / (2 * h);
    double wtemp = std::sin(0.5 * theta);
    return { 1.0, 0.0, -2.0 * wtemp * wtemp, std::sin(theta) };
}

namespace {

// Two independent sequences advanced side by side: each step of one waits
// on the step before it, so interleaving two of them nearly halves the time.
// Without `write` the steps are only taken.
template <bool write>
void stepPair(TwiddleState& a, double* outA, TwiddleState& b, double* outB, long count)
{
    double ar = a.wr, ai = a.wi, br = b.wr, bi = b.wi;
    for (long t = 0; t < count; ++t) {
        if constexpr (write) {
            outA[2 * t] = ar;
            outA[2 * t + 1] = ai;
            outB[2 * t] = br;
            outB[2 * t + 1] = bi;
        }
        stepTwiddle(ar, ai, a.wpr, a.wpi);
        stepTwiddle(br, bi, b.wpr, b.wpi);
    }
    a.wr = ar;
    a.wi = ai;
    b.wr = br;
    b.wi = bi;
}

void advance(TwiddleState& state, long steps)
{
    double wr = state.wr;
    double wi = state.wi;
    for (long t = 0; t < steps; ++t)
        stepTwiddle(wr, wi, state.wpr, state.wpi);
    state.wr = wr;
    state.wi = wi;
}

} // namespace

void advanceTwiddlePair(TwiddleState& a, long stepsA, TwiddleState& b, long stepsB)
{
    const long both = stepsA < stepsB ? stepsA : stepsB;
    stepPair<false>(a, nullptr, b, nullptr, both);
    advance(a, stepsA - both);
    advance(b, stepsB - both);
}

// The longest sequence runs beside all the shorter ones in turn.
void fillPassTables(double* tables, int first, int end)
{
    if (end <= first)
        return;
    const int longest = 1 << (end - 1);
    TwiddleState big = startTwiddles(longest);
    double* bigOut = tables + 2 * (longest - (1 << first));
    int done = 0;
    for (int s = end - 2; s >= first; --s) {
        TwiddleState state = startTwiddles(1 << s);
        stepPair<true>(
            big, bigOut + 2 * done, state, tables + 2 * ((1 << s) - (1 << first)), 1 << s);
        done += 1 << s;
    }
    nextTwiddles(big, bigOut + 2 * done, longest - done);
}

// The factors of a pass depend on its half-span alone, not on the length of
// the transform, so the tables of the in-block passes are made once, by the
// same recurrence, on first use (thread-safe static initialisation) and
// shared by every transform and variant. For short transforms their making
// would otherwise cost as much as the butterflies.
const double* smallTwiddleTables()
{
    struct Tables {
        Tables() { fillPassTables(values, 0, kBlockLog2); }
        double values[2 * (1 << kBlockLog2)];
    };
    static const Tables tables;
    return tables.values;
}

const double* spreadTwiddleTables()
{
    struct Tables {
        Tables()
        {
            const double* pairs = smallTwiddleTables();
            for (int h = 1; h < (1 << kBlockLog2); h <<= 1) {
                const double* from = pairs + 2 * (h - 1);
                double* wr = values + 4 * (h - 1);
                double* wi = wr + 2 * h;
                for (int t = 0; t < h; ++t) {
                    wr[2 * t] = wr[2 * t + 1] = from[2 * t];
                    wi[2 * t] = -from[2 * t + 1];
                    wi[2 * t + 1] = from[2 * t + 1];
                }
            }
        }
        double values[4 * (1 << kBlockLog2)];
    };
    static const Tables tables;
    return tables.values;
}

// Without them, each transform of 2^13 to 2^17 points would make the factors
// of its larger passes anew, one recurrence step after the other, in as much
// time as its butterflies take.
const double* sharedLargeTwiddleTables()
{
    struct Tables {
        Tables() { fillPassTables(values, kBlockLog2, kSharedLog2); }
        double values[2 * ((1 << kSharedLog2) - (1 << kBlockLog2))];
    };
    static const Tables tables;
    return tables.values;
}
