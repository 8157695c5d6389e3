#pragma once

// The sizes at which spreading work over threads starts to pay, and the
// sizes of the pieces the work is cut into. None of them changes a result,
// only the speed and the memory: every split gives the same bits. They were
// measured when each call of runTasks still started its threads; the pool
// wakes its workers for less, so they are on the safe side.

#include <cstddef>
#include <cstdint>

namespace tuning {

// Pieces per thread, so that a thread slowed by other work on the machine
// leaves some of its share to the others.
inline constexpr std::size_t kPiecesPerThread = 4;

// The reader's blocks are scanned by one core each and should stay in its
// cache meanwhile: a quarter MiB leaves room for the values and the scan's
// own data.
inline constexpr std::size_t kReaderBlockBytes = std::size_t { 1 } << 18;
// The reader's threads meet once per batch of blocks; many blocks per thread
// make that rare beside the scan and keep the wait for the slowest short.
inline constexpr std::size_t kReaderBlocksPerThread = 16;

// Samples per task of the running average. The tasks also pace its
// progress, which the calling thread reports after each of its own: small
// enough that it still reports often when it does a fifth of them.
inline constexpr std::int64_t kAverageTaskSamples = 16384;
// Tasks of the running average at most, however long the series.
inline constexpr std::int64_t kAverageMostTasks = 256;

// Export lines per block: the few blocks in flight stay a few megabytes,
// and handing them out costs nothing beside formatting them.
inline constexpr std::size_t kExportBlockLines = 4096;
// Export blocks held between formatting and writing, at most, whatever the
// core count: bounds the memory.
inline constexpr std::size_t kExportMostSlots = 8;

// Each window weight is a cosine or a few operations: a thread is worth it
// only for long tables.
inline constexpr std::size_t kSmallestWeightPiece = std::size_t { 1 } << 15;
// Below these many spectrum entries per piece, a thread costs more than the
// division (or the logarithm) it would take over.
inline constexpr std::size_t kSmallestArithmeticPiece = std::size_t { 1 } << 17;
inline constexpr std::size_t kSmallestLogarithmPiece = std::size_t { 1 } << 14;

// Segments are transformed side by side once the estimate has this many
// samples in all: a thread costs about a transform of 2^15 samples.
inline constexpr std::int64_t kSmallestBatchedSamples = std::int64_t { 1 } << 18;
// Each segment of a batch is transformed on one thread with no stop check
// in between, so the batched segments are kept short (a transform of 2^19
// points, a few milliseconds); longer segments have their transforms split
// among the threads, in slices, which is as fast for them.
inline constexpr int kLargestBatchedSize = 1 << 18;
// Periodograms kept for one batch of segments, at most (16 MiB).
inline constexpr std::size_t kBatchFloats = std::size_t { 1 } << 22;
// Segments transformed at once, at most; bounds the work buffers' memory.
inline constexpr int kMostBatchWorkers = 16;

// Transforms of at least 2^18 points are split among the threads; below,
// the whole transform runs on the calling thread.
inline constexpr int kSmallestSplitLog2 = 18;

// The long stages of the estimate are cut so that the calling thread asks
// whether to go on after a bounded amount of work, whatever the size: each
// thread's slice of a split transform is about this many element-passes
// (elements times the passes made over them, a few milliseconds), and each
// round of an element-wise stage (weights, loads, bins, the finish) this
// many elements in all.
inline constexpr std::size_t kPolledSliceWork = std::size_t { 1 } << 21;
inline constexpr std::size_t kPolledRoundElements = std::size_t { 1 } << 18;

} // namespace tuning
