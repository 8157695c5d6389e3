#include "plot/StatisticsText.h"

#include "core/CFormat.h"

#include <cmath>

double withoutNanSign(double value)
{
    return std::isnan(value) ? std::fabs(value) : value;
}

std::vector<std::string> statisticsTexts(const AnalysisState& state)
{
    return {
        formatC("Y scale min=%6f max=%6f", withoutNanSign(state.signalMin),
            withoutNanSign(state.signalMax)),
        formatC("N=%u", state.sampleCount),
        state.isOriginal ? "(Original data)" : " ",
        formatC("Average=%f", withoutNanSign(state.seriesMean)),
        formatC("Min=%f  Max=%f", withoutNanSign(state.seriesMin), withoutNanSign(state.seriesMax)),
        formatC("St Deviation=%6f", withoutNanSign(state.seriesStdDev)),
        formatC("PSD size =%d", state.psdSize),
        formatC("Max Peak at %6f", withoutNanSign(state.peakFrequency)),
        formatC("LB(%d) = %3.2f", state.lbFrequencies, withoutNanSign(state.lbValue)),
    };
}
