#pragma once

#include "spectrum/Fft.h"
#include "spectrum/RangeTasks.h"
#include "spectrum/SegmentLoad.h"

// Whether the periodograms of K segments of 2M samples are worth computing
// on separate threads, a batch of segments at a time.
bool worthBatching(int M, int K);

// Adds the periodograms of segments k = 0..K-1 (samples k*S+1 .. k*S+2M of
// series) to psd[0..M], in segment order, as the one-thread loop adds them:
// the segments of a batch are transformed on the threads of runTasks, each
// thread in a work buffer of its own, and their periodograms kept until the
// batch is added. `load` gives length 2M, window, weights and mean removal
// (its mean is set per segment); `factors` may hold the long passes'
// factors of length 2M. Returns false, with psd untouched, when
// the buffers cannot be had. Stops early, with psd of no use, when the
// progress asks to (progress.step.cancelled()).
bool addPeriodogramsInBatches(const float* series, int M, int S, int K, const SegmentLoad& load,
    const FftFactors& factors, int amplitudeOutput, float* psd, const StageProgress& progress);
