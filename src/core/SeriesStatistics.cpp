#include "core/SeriesStatistics.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

void computeSeriesStatistics(AnalysisState& state)
{
    state.seriesMean = 0.0;
    state.seriesStdDev = 0.0;
    state.seriesMax = 0.0;
    state.seriesMin = 0.0;
    // Never trust the count beyond the entries the buffer really has.
    const std::size_t available = state.series.empty() ? 0 : state.series.size() - 1;
    const std::size_t n = std::min<std::size_t>(state.sampleCount, available);
    if (n == 0)
        return;
    const float* series = state.series.data();

    double sum = 0.0;
    for (std::size_t i = 1; i <= n; ++i)
        sum += series[i];
    const double mean = sum / static_cast<double>(n);

    double minimum = series[1];
    double maximum = series[1];
    double squares = 0.0;
    for (std::size_t i = 1; i <= n; ++i) {
        const double deviation = series[i] - mean;
        squares += deviation * deviation;
        if (series[i] < minimum)
            minimum = series[i];
        if (series[i] > maximum)
            maximum = series[i];
    }
    state.seriesMean = mean;
    state.seriesMin = minimum;
    state.seriesMax = maximum;
    // One sample divides by zero: the deviation is then not a number. The
    // hardware's 0/0 carries the sign bit, which printf shows as "-nan".
    const double stdDev = std::sqrt(squares / static_cast<double>(n - 1));
    state.seriesStdDev = std::isnan(stdDev) ? std::numeric_limits<double>::quiet_NaN() : stdDev;
}
