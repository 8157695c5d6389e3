#pragma once

#include "spectrum/RangeTasks.h"
#include "spectrum/SegmentLoad.h"

// Whether transforms of 2M points gain from being split among the threads.
// Also taken by one thread, for the progress of the passes it reports.
bool worthSplittingSegments(int M);

// Adds the periodograms of segments k = 0..K-1 to psd[0..M] in segment
// order, one segment after another, each with its mean, load, transform
// and bins shared among the threads of runTasks, in the one work buffer of
// 4M+1 floats that the one-thread loop uses. Same bits as that loop. Each
// stage goes in rounds of bounded work, the progress asked after each.
// Returns false, with psd untouched, when the work buffer cannot be had.
// Stops early, with psd of no use, when the progress asks to
// (progress.step.cancelled()).
bool addPeriodogramsOfSplitTransforms(const float* series, int M, int S, int K,
    const SegmentLoad& load, int amplitudeOutput, float* psd, const StageProgress& progress);
