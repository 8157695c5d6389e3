#pragma once

#include "core/AnalysisState.h"
#include "core/Progress.h"

// Cuts the series to samples from..to in place. Returns 0 when the segment
// is legal (1 <= from <= to <= sampleCount; sampleCount becomes its length
// and isOriginal 0) and 1 when it is not (nothing changes).
int cutSegment(AnalysisState& state, int from, int to);

// Running average of window w over series[1..n] in place: each entry i
// becomes the mean of entries i..i+w-1, the tail the mean of i..n, and
// entry n keeps its value. A window longer than the series starts the tail
// at entry 1. Nothing outside 1..n is read or written. Every mean is the
// sum of its entries in index order in double precision, divided by its
// count, whatever the thread count (parallelThreads()); reports
// PROGRESS_AVERAGE by samples.
void runningAverage(float* series, unsigned n, int w, const ProgressCallback& progress = {});

// The running average of window w over the samples the record holds, in
// place; isOriginal becomes 0. A record left without a buffer by a failed
// allocation still counts its samples: only the entries that exist are
// smoothed.
void smoothSeries(AnalysisState& state, int w, const ProgressCallback& progress = {});
