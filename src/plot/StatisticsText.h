#pragma once

#include "core/AnalysisState.h"

#include <string>
#include <vector>

// The nine statistics lines as the view shows them, in drawing order:
// "Y scale min=%6f max=%6f", "N=%u", "(Original data)" or " ",
// "Average=%f", "Min=%f  Max=%f", "St Deviation=%6f", "PSD size =%d",
// "Max Peak at %6f", "LB(%d) = %3.2f".
std::vector<std::string> statisticsTexts(const AnalysisState& state);

// The value to format so that a not-a-number prints as "nan": the C library
// writes "-nan" when its sign bit is set.
double withoutNanSign(double value);
