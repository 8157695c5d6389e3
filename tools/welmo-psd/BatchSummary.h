#pragma once

#include "core/AnalysisState.h"

#include <string>

// The one line that closes a file's output, so that a run over many files
// can be read, or grepped, a line per file:
// "FILE: 4096 samples, M = 2048, peak 0.125000, LB(16) = -2.42, exported to NAME"
// With a time step (--dt or --time-column) it ends with
// ", peak frequency F per UNIT, period P UNIT".
std::string batchSummary(const std::string& file, const AnalysisState& state);
