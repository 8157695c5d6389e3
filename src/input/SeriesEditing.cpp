#include "input/SeriesEditing.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

int cutSegment(AnalysisState& state, int from, int to)
{
    const std::int64_t n = state.sampleCount;
    if (from < 1 || from > to || to > n || static_cast<std::size_t>(to) >= state.series.size())
        return 1;
    const int size = to - from + 1;
    float* const series = state.series.data();
    // memmove: the samples keep their exact bits, NaN payloads included.
    std::memmove(series + 1, series + from, static_cast<std::size_t>(size) * sizeof(float));
    state.sampleCount = static_cast<unsigned>(size);
    state.isOriginal = 0;
    return 0;
}

namespace {

// Mean of series[first..last], summed in double precision in index order.
float meanOf(const float* series, std::int64_t first, std::int64_t last)
{
    double sum = 0.0;
    for (std::int64_t k = first; k <= last; ++k)
        sum += series[k];
    return static_cast<float>(sum / static_cast<double>(last - first + 1));
}

} // namespace

void runningAverage(float* series, unsigned n, int w)
{
    if (series == nullptr || w < 1)
        return;
    const std::int64_t count = n;
    const std::int64_t window = w;
    // Ascending order: each mean reads only entries at or after its own
    // index, which are still the input values.
    for (std::int64_t i = 1; i <= count - window; ++i)
        series[i] = meanOf(series, i, i + window - 1);
    for (std::int64_t j = std::max<std::int64_t>(1, count - window + 1); j < count; ++j)
        series[j] = meanOf(series, j, count);
}
