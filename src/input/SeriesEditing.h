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
// count, whatever the thread count (parallelThreads()); a mean that is not
// a number is the one NaN of core/CanonicalNaN.h. Reports
// PROGRESS_AVERAGE by samples. Returns 0, or STEP_CANCELLED when the
// progress asks to stop: the entries are then part averaged, part not
// (runningAverageOfSeries keeps the series whole).
int runningAverage(float* series, unsigned n, int w, const ProgressCallback& progress = {});

// The running average of window w over the record's series (the samples
// that both sampleCount and the buffer hold), formed in a copy that
// replaces the series when it is complete; isOriginal becomes 0. Returns
// 0, 1 when memory for the copy is short, or STEP_CANCELLED when the
// progress asks to stop; the record is then untouched. The series replaced
// goes to `replaced` when it is given, so that a caller can put it back.
int runningAverageOfSeries(AnalysisState& state, int w, const ProgressCallback& progress = {},
    FloatBuffer* replaced = nullptr);
