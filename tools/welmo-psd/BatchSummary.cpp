#include "BatchSummary.h"

#include "core/CFormat.h"
#include "plot/StatisticsText.h"

std::string batchSummary(const std::string& file, const AnalysisState& state)
{
    // The numbers as the statistics block above shows them.
    return formatC("%s: %u samples, M = %d, peak %6f, LB(%d) = %3.2f, exported to %s", file.c_str(),
        state.sampleCount, state.psdSize, withoutNanSign(state.peakFrequency), state.lbFrequencies,
        withoutNanSign(state.lbValue), state.psdFileName.c_str());
}
