#include "core/AnalysisState.h"

AnalysisState& analysisState()
{
    static AnalysisState state;
    return state;
}

void resetAnalysisState(AnalysisState& state)
{
    state.dataShift = 0;
    state.logOutput = 1;
    state.segmentCount = 1;
    state.normalize = 1;
    state.amplitudeOutput = 0;
    state.psdSize = 1024;
    state.maxPsdSize = 1024;
    state.windowType = 1;
    state.extractAverage = 1;
    state.reallocatePsd = 1;
    state.computeStatus = 0;
    state.signalMax = 1.0;
    state.signalMin = -1.0;
    state.minLogFrequency = -5.0;
    state.minLogPower = -12.0;
    state.maxLogPower = 0.0;
    if (state.series.allocate(2)) {
        state.series[0] = 0.0f;
        state.series[1] = 0.0f;
    }
    state.seriesMean = 0.0;
    state.peakFrequency = 0.0;
    state.seriesStdDev = 0.0;
    state.seriesMin = 0.0;
    state.seriesMax = 0.0;
    state.lbValue = 0.0;
}

int allocateSeries(AnalysisState& state, unsigned n)
{
    return state.series.allocate(static_cast<std::size_t>(n) + 1) ? 0 : 1;
}
