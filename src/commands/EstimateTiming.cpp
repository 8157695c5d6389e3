#include "commands/EstimateTiming.h"

#include <algorithm>
#include <climits>
#include <cstdint>

bool estimateFits(const AnalysisState& state)
{
    const std::int64_t M = state.psdSize;
    const std::int64_t K = state.segmentCount;
    const std::int64_t S = state.dataShift;
    if (M < 1 || (M & (M - 1)) != 0 || K < 1 || S < 0)
        return false;
    // The samples the estimate may read: never more than the buffer holds,
    // nor more than its int length. With N below 2^31, 2M <= N also keeps M
    // within the transform's largest length.
    const std::size_t available = state.series.empty() ? 0 : state.series.size() - 1;
    const std::size_t samples = std::min<std::size_t>(state.sampleCount, available);
    const std::int64_t N = static_cast<std::int64_t>(std::min<std::size_t>(samples, INT_MAX));
    return S * K + 2 * M <= N;
}
