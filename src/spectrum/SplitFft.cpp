#include "spectrum/SplitFft.h"

#include "core/Parallel.h"
#include "core/Tuning.h"
#include "spectrum/BitReversal.h"

#include <algorithm>
#include <climits>

namespace {

// Which of a pass's states: its share's start, or the two states of the
// pass after it that the share of a pair needs.
enum StateKind { SHARE_START = 0, PAIR_LOW = 1, PAIR_HIGH = 2 };

// The pass of a walk that has not begun (-1: it has ended).
constexpr int kWalkNotBegun = -2;

// A slice larger than any share (and than any round of blocks).
constexpr std::size_t kWholeShares = std::size_t { 1 } << 48;

// One share's way through a large pass (or pair of passes): slices of
// `sliceChunks` chunks by `sliceGroups` groups, each chunk range's groups
// one after another from the states at its first index.
struct ShareCursor {
    int chunk = 0;
    int endChunk = 0;
    int group = 0;
    TwiddleState states[3] {};
    TwiddleState advanced[3] {};
};

// Slices of one large pass (pair) of 2^log2n elements over groups of
// `span` elements (2^(s+1) for one pass, 2^(s+2) for a pair), each slice
// about `work` element-passes.
struct Slicing {
    int groups;
    int sliceChunks;
    int sliceGroups;
};

Slicing sliceLargePass(int log2n, int s, int passes, std::size_t work)
{
    const int groups = 1 << (log2n - s - passes);
    // Elements each chunk of twiddle indices touches in all groups, times
    // the passes done on them.
    const std::size_t chunkWork = static_cast<std::size_t>(fftChunkLength())
        * (std::size_t { 1 } << passes) * static_cast<std::size_t>(groups)
        * static_cast<std::size_t>(passes);
    if (chunkWork <= work)
        return { groups, static_cast<int>(std::min<std::size_t>(work / chunkWork, INT_MAX)),
            groups };
    const std::size_t groupWork = chunkWork / static_cast<std::size_t>(groups);
    return { groups, 1, static_cast<int>(std::max<std::size_t>(work / groupWork, 1)) };
}

// Slices a share of `chunks` chunks takes.
long slicesOf(const Slicing& slicing, int chunks)
{
    // In long: a slice may take up to INT_MAX chunks.
    const long chunkSlices
        = (static_cast<long>(chunks) + slicing.sliceChunks - 1) / slicing.sliceChunks;
    const long groupSlices
        = (static_cast<long>(slicing.groups) + slicing.sliceGroups - 1) / slicing.sliceGroups;
    return chunkSlices * groupSlices;
}

// Does the share's next slice with `pass`(firstChunk, endChunk, firstGroup,
// endGroup, states) on copies of the chunk range's states; returns whether
// the share has more.
template <typename Pass> bool nextSlice(ShareCursor& share, const Slicing& slicing, Pass&& pass)
{
    if (share.chunk >= share.endChunk)
        return false;
    const int end = static_cast<int>(
        std::min<long>(static_cast<long>(share.chunk) + slicing.sliceChunks, share.endChunk));
    const int groupEnd = static_cast<int>(
        std::min<long>(static_cast<long>(share.group) + slicing.sliceGroups, slicing.groups));
    std::copy(std::begin(share.states), std::end(share.states), std::begin(share.advanced));
    pass(share.chunk, end, share.group, groupEnd, share.advanced);
    share.group = groupEnd;
    if (share.group >= slicing.groups) {
        std::copy(std::begin(share.advanced), std::end(share.advanced), std::begin(share.states));
        share.group = 0;
        share.chunk = end;
    }
    return share.chunk < share.endChunk;
}

} // namespace

void FftSplit::plan(int log2n, int parts, std::size_t sliceWork)
{
    m_log2n = log2n;
    m_parts = std::clamp(parts, 1, kMaxParts);
    m_sliceWork = std::max<std::size_t>(sliceWork, 1);
    planNeeds();
}

void FftSplit::plan(int log2n, int parts)
{
    plan(log2n, parts, tuning::kPolledSliceWork);
}

int FftSplit::chunkCount(int s) const
{
    return (1 << s) / fftChunkLength();
}

int FftSplit::firstChunk(int s, int p) const
{
    return static_cast<int>(static_cast<long>(p) * chunkCount(s) / m_parts);
}

int FftSplit::endChunk(int s, int p) const
{
    return p + 1 < m_parts ? firstChunk(s, p + 1) : chunkCount(s);
}

int FftSplit::stateIndex(int s, int p, int kind) const
{
    return ((s - fftBlockLog2(m_log2n)) * kMaxParts + p) * 3 + kind;
}

const TwiddleState& FftSplit::start(int s, int p) const
{
    return m_states[stateIndex(s, p, SHARE_START)];
}

const TwiddleState& FftSplit::pairLow(int s, int p) const
{
    return m_states[stateIndex(s, p, PAIR_LOW)];
}

const TwiddleState& FftSplit::pairHigh(int s, int p) const
{
    return m_states[stateIndex(s, p, PAIR_HIGH)];
}

// Passes firstLarge, firstLarge + 2, ... begin pairs, the pass after each
// is its second, and a last pass left over goes alone. A pass that begins
// a pair or goes alone needs its shares' starts; the second of a pair
// needs its states at the first index of each share of the pass before,
// and 2^s past it.
void FftSplit::planNeeds()
{
    std::fill(std::begin(m_needCount), std::end(m_needCount), 0);
    m_walkA = Walk {};
    m_walkB = Walk {};
    m_nextPass = m_log2n - 1;
    if (!fftHasBlocks(m_log2n))
        return;
    const int firstLarge = fftBlockLog2(m_log2n);
    for (int t = firstLarge; t < m_log2n; ++t) {
        Need* needs = m_needs[t - firstLarge];
        int& count = m_needCount[t - firstLarge];
        const bool second = (t - firstLarge) % 2 == 1;
        for (int p = 0; p < m_parts; ++p) {
            if (!second) {
                if (endChunk(t, p) > firstChunk(t, p))
                    needs[count++] = { static_cast<long>(firstChunk(t, p)) * fftChunkLength(),
                        stateIndex(t, p, SHARE_START) };
                continue;
            }
            const int s = t - 1;
            if (endChunk(s, p) <= firstChunk(s, p))
                continue;
            const long at = static_cast<long>(firstChunk(s, p)) * fftChunkLength();
            needs[count++] = { at, stateIndex(s, p, PAIR_LOW) };
            needs[count++] = { at + (1L << s), stateIndex(s, p, PAIR_HIGH) };
        }
        std::sort(needs, needs + count,
            [](const Need& a, const Need& b) { return a.position < b.position; });
    }
    m_walkA.pass = kWalkNotBegun;
}

void FftSplit::beginWalk(Walk& walk)
{
    walk = Walk {};
    if (m_nextPass < fftBlockLog2(m_log2n))
        return;
    walk.pass = m_nextPass--;
    walk.state = startTwiddles(1 << walk.pass);
}

// Records every need at the walk's position; false once all are taken.
bool FftSplit::recordNeeds(Walk& walk)
{
    const int index = walk.pass - fftBlockLog2(m_log2n);
    while (walk.next < m_needCount[index] && m_needs[index][walk.next].position == walk.position)
        m_states[m_needs[index][walk.next++].state] = walk.state;
    return walk.next < m_needCount[index];
}

long FftSplit::stepsToNeed(const Walk& walk) const
{
    return m_needs[walk.pass - fftBlockLog2(m_log2n)][walk.next].position - walk.position;
}

void FftSplit::walkStarts()
{
    while (!walkSomeStarts(LONG_MAX)) { }
}

bool FftSplit::walkSomeStarts(long steps)
{
    if (!fftHasBlocks(m_log2n))
        return true;
    // Each step waits on the one before it, so two recurrences walk side by
    // side: the longest (the last pass) beside each shorter one in turn.
    if (m_walkA.pass == kWalkNotBegun) {
        beginWalk(m_walkA);
        beginWalk(m_walkB);
    }
    Walk& a = m_walkA;
    Walk& b = m_walkB;
    while (a.pass >= 0 || b.pass >= 0) {
        if (a.pass >= 0 && !recordNeeds(a)) {
            beginWalk(a);
            continue;
        }
        if (b.pass >= 0 && !recordNeeds(b)) {
            beginWalk(b);
            continue;
        }
        if (steps <= 0)
            return false;
        long stepsA = a.pass >= 0 ? stepsToNeed(a) : 0;
        long stepsB = b.pass >= 0 ? stepsToNeed(b) : 0;
        if (a.pass >= 0 && b.pass >= 0)
            stepsA = stepsB = std::min(stepsA, stepsB);
        stepsA = std::min(stepsA, steps);
        stepsB = std::min(stepsB, steps);
        TwiddleState idle {};
        advanceTwiddlePair(
            a.pass >= 0 ? a.state : idle, stepsA, b.pass >= 0 ? b.state : idle, stepsB);
        a.position += stepsA;
        b.position += stepsB;
        steps -= std::max(stepsA, stepsB);
    }
    return true;
}

bool runSplitPasses(float* c, const FftSplit& split, int firstPass,
    const std::function<bool(double passesDone)>& afterSlices)
{
    const int log2n = split.log2n();
    auto report = [&](double done) { return !afterSlices || afterSlices(done); };
    if (!fftHasBlocks(log2n)) {
        fftAllPasses(c, log2n, firstPass);
        return report(log2n);
    }
    const int parts = split.parts();
    const int blockLog2 = fftBlockLog2(log2n);
    const int blocks = 1 << (log2n - blockLog2);
    // The in-block passes, a round of blocks at a time, each round shared.
    const std::size_t blockWork
        = (std::size_t { 1 } << blockLog2) * static_cast<std::size_t>(blockLog2 - firstPass);
    const int roundBlocks = static_cast<int>(std::clamp<std::size_t>(
        split.sliceWork() * static_cast<std::size_t>(parts) / std::max<std::size_t>(blockWork, 1),
        1, static_cast<std::size_t>(blocks)));
    for (int round = 0; round < blocks; round += roundBlocks) {
        const int count = std::min(roundBlocks, blocks - round);
        const int pieces = std::min(count, parts * static_cast<int>(tuning::kPiecesPerThread));
        runTasks(static_cast<std::size_t>(pieces), [&](std::size_t i) {
            const int first = round + static_cast<int>(static_cast<long>(i) * count / pieces);
            const int end = round + static_cast<int>(static_cast<long>(i + 1) * count / pieces);
            fftBlockPasses(c, log2n, first, end, firstPass);
        });
        if (!report(blockLog2 * static_cast<double>(round + count) / blocks))
            return false;
    }
    // Large passes, two to a sweep of the array while two are left, each
    // share a slice at a time; a round is a slice of every share.
    ShareCursor shares[FftSplit::kMaxParts];
    for (int s = blockLog2; s < log2n;) {
        const int passes = s + 1 < log2n ? 2 : 1;
        const Slicing slicing = sliceLargePass(log2n, s, passes, split.sliceWork());
        for (int p = 0; p < parts; ++p) {
            ShareCursor& share = shares[p];
            share = ShareCursor {};
            share.chunk = split.firstChunk(s, p);
            share.endChunk = split.endChunk(s, p);
            share.states[0] = split.start(s, p);
            if (passes == 2 && share.endChunk > share.chunk) {
                share.states[1] = split.pairLow(s, p);
                share.states[2] = split.pairHigh(s, p);
            }
        }
        const long rounds = slicesOf(slicing, split.endChunk(s, 0) - split.firstChunk(s, 0));
        for (long round = 0;; ++round) {
            runTasks(static_cast<std::size_t>(parts), [&](std::size_t i) {
                nextSlice(shares[i], slicing,
                    [&](int firstChunk, int endChunk, int firstGroup, int endGroup,
                        TwiddleState* states) {
                        if (passes == 2)
                            fftLargePassPair(c, log2n, s, firstChunk, endChunk, firstGroup,
                                endGroup, states[0], states[1], states[2]);
                        else
                            fftLargePass(
                                c, log2n, s, firstChunk, endChunk, firstGroup, endGroup, states[0]);
                    });
            });
            // A later share may have a chunk more than the first.
            bool more = false;
            for (int p = 0; p < parts; ++p)
                more = more || shares[p].chunk < shares[p].endChunk;
            const double done = round + 1 >= rounds && !more
                ? s + passes
                : s + passes * std::min(1.0, (round + 1.0) / (rounds + 1.0));
            if (!report(done))
                return false;
            if (!more)
                break;
        }
        s += passes;
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
    // Nothing asks between slices here, so each share goes in one.
    FftSplit split;
    split.plan(log2n, parallelThreads(), kWholeShares);
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
