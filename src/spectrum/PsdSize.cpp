#include "spectrum/PsdSize.h"

#include "core/Limits.h"

#include <algorithm>
#include <climits>
#include <cstdint>

int psdSizeLimit(unsigned N, int K, int S)
{
    // K*S reaches far beyond 32 bits with the dialog's limits.
    const std::int64_t x = static_cast<std::int64_t>(N) - static_cast<std::int64_t>(K) * S;
    if (x < 2)
        return 0;
    // No larger size passes the estimate; the cap also keeps the result an
    // int for a negative K*S.
    std::int64_t p = 1;
    while (p < MAX_PSD_SIZE && 4 * p <= x)
        p *= 2;
    return static_cast<int>(p);
}

int automaticShift(unsigned N, int M, int K)
{
    if (K <= 1)
        return 0;
    // Unsigned on purpose: when the series is shorter than one segment the
    // difference wraps to a large value and the cap of one segment length
    // takes over.
    const std::uint32_t segmentLength = 2u * static_cast<std::uint32_t>(M);
    const std::uint32_t shift
        = (static_cast<std::uint32_t>(N) - segmentLength) / static_cast<std::uint32_t>(K);
    const std::uint32_t capped = shift > segmentLength ? segmentLength : shift;
    return static_cast<int>(std::min<std::uint32_t>(capped, MAX_DATA_SHIFT));
}

int configurationSizeLimit(unsigned N, int K, int S)
{
    const std::int64_t remaining
        = static_cast<std::int64_t>(N) - static_cast<std::int64_t>(K - 1) * S;
    if (remaining < 0)
        return -1;
    // R of 2 or 3 gives a size of 1, which the dialog does not take.
    const int limit = psdSizeLimit(N, K - 1, S);
    return limit < MIN_PSD_SIZE ? 0 : limit;
}

int openingSizeLimit(unsigned N, int K, int S)
{
    const int limit = configurationSizeLimit(N, K, S);
    if (limit >= MIN_PSD_SIZE)
        return limit;
    return std::max(psdSizeLimit(N, 0, 0), MIN_PSD_SIZE);
}

double openingLbRatio(int lbFrequencies, int M)
{
    if (M < MIN_PSD_SIZE)
        return MIN_LB_RATIO;
    const double ratio = static_cast<double>(static_cast<std::int64_t>(lbFrequencies) * 100) / M;
    return std::clamp(ratio, lowestLbRatio(M), MAX_LB_RATIO);
}

int psdSizeUp(int size, int largest)
{
    const std::int64_t up = std::min<std::int64_t>(2 * static_cast<std::int64_t>(size), largest);
    return static_cast<int>(std::max<std::int64_t>(up, INT_MIN));
}

int psdSizeDown(int size)
{
    return size / 2 < 64 ? 64 : size / 2;
}
