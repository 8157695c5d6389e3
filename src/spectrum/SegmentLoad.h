#pragma once

#include <cstddef>
#include <cstdint>

// The float mean of values[1..n], summed in double; n >= 1.
float segmentMean(const float* values, int n);

// sum + values[first] + ... + values[end-1], added in index order in
// double: segmentMean's sum taken in pieces, to the same bits.
double addSamples(double sum, const float* values, std::int64_t first, std::int64_t end);

// segmentMean of each segment k = first..end-1 (values + k*shift, n
// samples), into means[k]. Each sum waits on the addition before it, so
// four segments are summed side by side, each in its own order: the same
// values, in a quarter of the time.
void segmentMeans(const float* values, std::int64_t shift, int n, int first, int end, float* means);

// How one segment's samples become the transform's input: the mean
// subtracted in float, then the window weight applied in double and the
// product rounded to float, exactly as removeMean and applyDataWindow do it
// one after the other.
struct SegmentLoad {
    int length; // samples in the segment, a power of two
    int windowType;
    const double* weights; // the window's weights 0..length-1, or null to compute them
    float mean;
    bool subtractMean;
};

// Mean removal, taper, the transform's bit reversal and its first passes
// from segment[1..length] (left unchanged) into work[0..2*length], which
// then holds what complexFft's bit reversal and first passes would have
// made of the tapered samples with zero imaginary values. Returns the
// passes done: the transform goes on with complexFftPassesFrom(work,
// length, passes). Where the transform does its bit reversal and first
// passes in one sweep (fftHasFusedFirstPasses), the samples are written
// in order and swept once; else they are read in the
// cache-friendly tiles of the permutation, every entry of work written
// once, and the first pass made as they land. length >= 2.
int loadSegment(float* work, const float* segment, const SegmentLoad& load);

// log2 of load.length.
int segmentLog2(const SegmentLoad& load);

// loadSegment restricted to the permutation's tiles [firstTile, endTile)
// (see bitReversalTiles), leaving work[0] alone; tiles write disjoint
// entries, so threads may load separate tiles of one segment.
void loadSegmentTiles(float* work, const float* segment, const SegmentLoad& load,
    std::uint32_t firstTile, std::uint32_t endTile);
