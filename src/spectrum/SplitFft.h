#pragma once

#include "spectrum/FftPasses.h"

#include <cstddef>
#include <functional>

// One transform's butterfly passes shared among threads. The in-block
// passes split by blocks; each larger pass splits its twiddle sequence into
// one share per thread. A share that starts mid-sequence needs the
// recurrence's state there, and the only way to that state with the same
// bits is the recurrence itself, so the plan walks it once beforehand (the
// walk depends on the length alone, not on the data, and can run beside
// other work). Each share is done in slices of bounded work, so that the
// calling thread hears between two slices whether to go on, however long
// the transform.
class FftSplit {
public:
    static constexpr int kMaxParts = 16;

    // Shares of every large pass of 2^log2n elements (parts is clamped to
    // 1..kMaxParts), each done in slices of about sliceWork element-passes
    // (butterflies times the passes they do); none of this changes a bit.
    // The starts are not walked yet.
    void plan(int log2n, int parts, std::size_t sliceWork);
    void plan(int log2n, int parts);
    // Walks the recurrences to every share's start (the costly part).
    void walkStarts();
    // Walks on by about `steps` steps of the recurrences at most; returns
    // whether every start is walked.
    bool walkSomeStarts(long steps);

    int log2n() const { return m_log2n; }
    int parts() const { return m_parts; }
    std::size_t sliceWork() const { return m_sliceWork; }
    // Chunks [first, end) of large pass s taken by share p, and its start.
    int firstChunk(int s, int p) const;
    int endChunk(int s, int p) const;
    const TwiddleState& start(int s, int p) const;
    // For the first pass s of a pair, pass s+1's states at share p's first
    // index and 2^s past it.
    const TwiddleState& pairLow(int s, int p) const;
    const TwiddleState& pairHigh(int s, int p) const;

private:
    // 31 bits of length at most, of which at least the block's are in-block.
    static constexpr int kMostPasses = 20;
    static constexpr int kMostNeeds = 2 * kMaxParts;

    // A state to record when the walk of a pass reaches a position.
    struct Need {
        long position;
        int state;
    };
    // One recurrence walked from index 0 through its pass's needs.
    struct Walk {
        int pass = -1;
        int next = 0;
        long position = 0;
        TwiddleState state {};
    };

    int chunkCount(int s) const;
    int stateIndex(int s, int p, int kind) const;
    void planNeeds();
    void beginWalk(Walk& walk);
    bool recordNeeds(Walk& walk);
    long stepsToNeed(const Walk& walk) const;

    int m_log2n = 0;
    int m_parts = 1;
    std::size_t m_sliceWork = 1;
    // Per large pass: its share starts, and pass s+1's two states per share
    // when it is the first of a pair.
    TwiddleState m_states[kMostPasses * kMaxParts * 3] {};
    Need m_needs[kMostPasses][kMostNeeds] {};
    int m_needCount[kMostPasses] {};
    Walk m_walkA;
    Walk m_walkB;
    int m_nextPass = -1;
};

// The butterfly passes from firstPass on of the planned transform (starts
// walked) on c, which holds its input in bit-reversed order with the passes
// before firstPass done, on the threads of runTasks. After each slice of
// every share the calling thread is told how far the log2n passes are
// done (a rising number that ends at log2n) and answers whether to go on;
// on false the passes stop there, leaving c half transformed, and the
// function returns false. Same bits as complexFftPassesFrom when run to the
// end.
bool runSplitPasses(float* c, const FftSplit& split, int firstPass,
    const std::function<bool(double passesDone)>& afterSlices = {});

// Whether a transform of 2^log2n elements is long enough to split: starting
// a thread costs about as much as a transform of 2^15 elements.
bool longEnoughToSplit(int log2n);
// longEnoughToSplit, and there is more than one thread.
bool worthSplitting(int log2n);

// complexFft, bit reversal and passes, on c = data + 1 over the threads.
void splitComplexFft(float* c, int log2n);
