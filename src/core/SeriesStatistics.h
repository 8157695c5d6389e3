#pragma once

#include "core/AnalysisState.h"

// Mean, minimum, maximum and standard deviation (over N-1) of
// series[1..sampleCount]; all 0 for no sample, a NaN without sign as the
// deviation of one sample.
void computeSeriesStatistics(AnalysisState& state);
