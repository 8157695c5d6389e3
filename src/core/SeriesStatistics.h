#pragma once

#include "core/AnalysisState.h"

// Mean, minimum, maximum and standard deviation of series[1..sampleCount].
void computeSeriesStatistics(AnalysisState& state);

// The largest power of two p with 2p <= N - K*S; 0 when N - K*S < 2.
int psdSizeLimit(unsigned N, int K, int S);
