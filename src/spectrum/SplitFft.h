#pragma once

#include "spectrum/FftPasses.h"

#include <functional>

// One transform's butterfly passes shared among threads. The in-block
// passes split by blocks; each larger pass splits its twiddle sequence into
// one share per thread. A share that starts mid-sequence needs the
// recurrence's state there, and the only way to that state with the same
// bits is the recurrence itself, so the plan walks it once beforehand (the
// walk depends on the length alone, not on the data, and can run beside
// other work).
class FftSplit {
public:
    static constexpr int kMaxParts = 16;

    // Shares of every large pass of 2^log2n elements (parts is clamped to
    // 1..kMaxParts). The starts are not walked yet.
    void plan(int log2n, int parts);
    // Walks the recurrences to every share's start (the costly part).
    void walkStarts();

    int log2n() const { return m_log2n; }
    int parts() const { return m_parts; }
    // Chunks [first, end) of large pass s taken by share p, and its start.
    int firstChunk(int s, int p) const;
    const TwiddleState& start(int s, int p) const;

private:
    int chunkCount(int s) const;
    TwiddleState& startAt(int s, int p);

    int m_log2n = 0;
    int m_parts = 1;
    // 31 bits of length at most, of which at least the block's are in-block.
    TwiddleState m_starts[20 * kMaxParts] {};
};

// The butterfly passes from firstPass on of the planned transform (starts
// walked) on c, which holds its input in bit-reversed order with the passes
// before firstPass done, on the threads of runTasks. After each group of
// passes the calling thread is told how many of the log2n passes are done
// and answers whether to go on; on false the passes stop there, leaving c
// half transformed, and the function returns false. Same bits as
// complexFftPassesFrom when run to the end.
bool runSplitPasses(float* c, const FftSplit& split, int firstPass,
    const std::function<bool(int passesDone)>& afterPasses = {});

// Whether a transform of 2^log2n elements is long enough to split: starting
// a thread costs about as much as a transform of 2^15 elements.
bool longEnoughToSplit(int log2n);
// longEnoughToSplit, and there is more than one thread.
bool worthSplitting(int log2n);

// complexFft, bit reversal and passes, on c = data + 1 over the threads.
void splitComplexFft(float* c, int log2n);
