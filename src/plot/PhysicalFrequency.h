#pragma once

#include "core/AnalysisState.h"

#include <string>

// Frequencies in cycles per unit of time, for a series with a time step.

// Whether the record has a time step to convert frequencies with.
bool hasPhysicalFrequency(const AnalysisState& state);
bool hasPhysicalFrequency(int hasTimeStep, double timeStep);

// "frequency (1/yr)", or "frequency (cycles per unit)" without a unit name.
std::string frequencyAxisTitle(const AnalysisState& state);

// "0.0898 /yr, period 11.1 yr" for `cyclesPerSample`; the period is left
// out for a frequency that has none.
std::string physicalFrequencyText(const AnalysisState& state, double cyclesPerSample);
std::string physicalFrequencyText(
    double timeStep, const std::string& timeUnit, double cyclesPerSample);

// The statistics' peak line: "peak " and the peak's frequency in the
// axis' unit (the peak is held in Nyquist units).
std::string peakFrequencyLine(const AnalysisState& state);
