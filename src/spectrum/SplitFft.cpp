#include "spectrum/SplitFft.h"

#include "core/Parallel.h"
#include "core/Tuning.h"
#include "spectrum/BitReversal.h"

#include <algorithm>

namespace {

// One recurrence walked from index 0 through the starts of its shares.
struct Walk {
    int pass = -1;
    int nextPart = 0;
    long position = 0;
    TwiddleState state {};
};

// The share start of pass s latest at or before twiddle index `index`, and
// the steps from there to the index.
TwiddleState nearestStart(const FftSplit& split, int s, long index, long& steps)
{
    for (int p = split.parts() - 1; p > 0; --p) {
        const long at = static_cast<long>(split.firstChunk(s, p)) * fftChunkLength();
        if (at <= index) {
            steps = index - at;
            return split.start(s, p);
        }
    }
    steps = index;
    return split.start(s, 0);
}

} // namespace

void FftSplit::plan(int log2n, int parts)
{
    m_log2n = log2n;
    m_parts = std::clamp(parts, 1, kMaxParts);
}

int FftSplit::chunkCount(int s) const
{
    return (1 << s) / fftChunkLength();
}

int FftSplit::firstChunk(int s, int p) const
{
    return static_cast<int>(static_cast<long>(p) * chunkCount(s) / m_parts);
}

const TwiddleState& FftSplit::start(int s, int p) const
{
    return m_starts[(s - fftBlockLog2(m_log2n)) * kMaxParts + p];
}

TwiddleState& FftSplit::startAt(int s, int p)
{
    return m_starts[(s - fftBlockLog2(m_log2n)) * kMaxParts + p];
}

void FftSplit::walkStarts()
{
    if (!fftHasBlocks(m_log2n))
        return;
    const int firstLarge = fftBlockLog2(m_log2n);
    // Each step waits on the one before it, so two recurrences walk side by
    // side: the longest (the last pass) beside each shorter one in turn.
    int nextPass = m_log2n - 1;
    auto begin = [&](Walk& walk) {
        walk = Walk {};
        if (nextPass < firstLarge)
            return;
        walk.pass = nextPass--;
        walk.state = startTwiddles(1 << walk.pass);
    };
    // Records every start at the walk's position; false once all are taken.
    auto record = [&](Walk& walk) {
        while (walk.nextPart < m_parts
            && static_cast<long>(firstChunk(walk.pass, walk.nextPart)) * fftChunkLength()
                == walk.position)
            startAt(walk.pass, walk.nextPart++) = walk.state;
        return walk.nextPart < m_parts;
    };
    auto remaining = [&](const Walk& walk) {
        return static_cast<long>(firstChunk(walk.pass, walk.nextPart)) * fftChunkLength()
            - walk.position;
    };
    Walk a;
    Walk b;
    begin(a);
    begin(b);
    while (a.pass >= 0 || b.pass >= 0) {
        if (a.pass >= 0 && !record(a)) {
            begin(a);
            continue;
        }
        if (b.pass >= 0 && !record(b)) {
            begin(b);
            continue;
        }
        long stepsA = a.pass >= 0 ? remaining(a) : 0;
        long stepsB = b.pass >= 0 ? remaining(b) : 0;
        if (a.pass >= 0 && b.pass >= 0)
            stepsA = stepsB = std::min(stepsA, stepsB);
        TwiddleState idle {};
        advanceTwiddlePair(
            a.pass >= 0 ? a.state : idle, stepsA, b.pass >= 0 ? b.state : idle, stepsB);
        a.position += stepsA;
        b.position += stepsB;
    }
}

bool runSplitPasses(float* c, const FftSplit& split, int firstPass,
    const std::function<bool(int passesDone)>& afterPasses)
{
    const int log2n = split.log2n();
    auto report = [&](int done) { return !afterPasses || afterPasses(done); };
    if (!fftHasBlocks(log2n)) {
        fftAllPasses(c, log2n, firstPass);
        return report(log2n);
    }
    const int blockLog2 = fftBlockLog2(log2n);
    const int blocks = 1 << (log2n - blockLog2);
    const int pieces = std::min(blocks, split.parts() * static_cast<int>(tuning::kPiecesPerThread));
    runTasks(static_cast<std::size_t>(pieces), [&](std::size_t i) {
        const int first = static_cast<int>(static_cast<long>(i) * blocks / pieces);
        const int end = static_cast<int>(static_cast<long>(i + 1) * blocks / pieces);
        fftBlockPasses(c, log2n, first, end, firstPass);
    });
    if (!report(blockLog2))
        return false;
    auto chunksOf = [&](int s, int p, int& first, int& end) {
        first = split.firstChunk(s, p);
        end = p + 1 < split.parts() ? split.firstChunk(s, p + 1) : (1 << s) / fftChunkLength();
    };
    // Two large passes to a sweep of the array, shared by pass s's chunks.
    // A share needs pass s+1's recurrence at its first index and 2^s past
    // it, which it walks to from the nearest starts of pass s+1's shares.
    int s = blockLog2;
    for (; s + 1 < log2n; s += 2) {
        runTasks(static_cast<std::size_t>(split.parts()), [&](std::size_t i) {
            const int p = static_cast<int>(i);
            int first;
            int end;
            chunksOf(s, p, first, end);
            if (end <= first)
                return;
            const long index = static_cast<long>(first) * fftChunkLength();
            long stepsLow;
            long stepsHigh;
            TwiddleState low = nearestStart(split, s + 1, index, stepsLow);
            TwiddleState high = nearestStart(split, s + 1, index + (1L << s), stepsHigh);
            advanceTwiddlePair(low, stepsLow, high, stepsHigh);
            fftLargePassPair(c, log2n, s, first, end, split.start(s, p), low, high);
        });
        if (!report(s + 2))
            return false;
    }
    if (s < log2n) {
        runTasks(static_cast<std::size_t>(split.parts()), [&](std::size_t i) {
            const int p = static_cast<int>(i);
            int first;
            int end;
            chunksOf(s, p, first, end);
            if (end > first)
                fftLargePass(c, log2n, s, first, end, split.start(s, p));
        });
        if (!report(s + 1))
            return false;
    }
    return true;
}

bool longEnoughToSplit(int log2n)
{
    return log2n >= tuning::kSmallestSplitLog2;
}

bool worthSplitting(int log2n)
{
    return longEnoughToSplit(log2n) && parallelThreads() > 1;
}

void splitComplexFft(float* c, int log2n)
{
    FftSplit split;
    split.plan(log2n, parallelThreads());
    // The walk to the starts needs no data, so it runs beside the bit
    // reversal; task 0 is handed out first and is the longest.
    const std::uint32_t tiles = bitReversalTiles(log2n);
    const std::uint32_t pieces = std::min<std::uint32_t>(
        tiles, static_cast<std::uint32_t>(split.parts() * tuning::kPiecesPerThread));
    runTasks(1 + pieces, [&](std::size_t i) {
        if (i == 0) {
            split.walkStarts();
            return;
        }
        const std::uint32_t piece = static_cast<std::uint32_t>(i - 1);
        fftBitReverseTiles(c, log2n,
            static_cast<std::uint32_t>(std::uint64_t { piece } * tiles / pieces),
            static_cast<std::uint32_t>(std::uint64_t { piece + 1 } * tiles / pieces));
    });
    runSplitPasses(c, split, 0);
}
