#pragma once

#include "core/AnalysisState.h"

// log10 of the linear power in psd[2..b], b = trunc(M*percent*0.01);
// -1.0 when b <= 0 or b > M/2. psd holds M+1 logarithmic entries.
double lowBandRatio(double percent, const float* psd, int M);

// Sets lbValue and peakFrequency from the spectrum the last estimate left in
// psd (its M is the buffer's). The peak search covers entries 2..M-1; with
// M = 2 it is empty (peakFrequency 1.0), with M = 1 there is no entry 2
// (peakFrequency 0, and the band is empty: lbValue -1.0). Without a spectrum
// buffer nothing changes.
void updateSpectralMeasures(AnalysisState& state);

// The "Higher LB +4" and "Lower LB -4" rules: move lbFrequencies by 4
// within their bounds and recompute lbValue when a valid spectrum exists.
void higherLb(AnalysisState& state);
void lowerLb(AnalysisState& state);
