#include "BatchSummary.h"

#include "core/CFormat.h"
#include "plot/StatisticsText.h"

namespace {

// With a time step, the peak's frequency in cycles per unit and its period:
// peakFrequency is in units of the Nyquist frequency, 1/(2 DT).
std::string physicalPeak(const AnalysisState& state)
{
    if (!state.hasTimeStep)
        return "";
    const char* unit = state.timeUnit.empty() ? "unit" : state.timeUnit.c_str();
    const double frequency = state.peakFrequency / (2.0 * state.timeStep);
    return formatC(", peak frequency %.6g per %s, period %.6g %s", withoutNanSign(frequency), unit,
        withoutNanSign(1.0 / frequency), unit);
}

} // namespace

std::string batchSummary(const std::string& file, const AnalysisState& state)
{
    // The numbers as the statistics block above shows them.
    return formatC("%s: %u samples, M = %d, peak %6f, LB(%d) = %3.2f, exported to %s", file.c_str(),
               state.sampleCount, state.psdSize, withoutNanSign(state.peakFrequency),
               state.lbFrequencies, withoutNanSign(state.lbValue), state.psdFileName.c_str())
        + physicalPeak(state);
}
