#include "spectrum/PsdSize.h"

#include <cstdint>

int psdSizeLimit(unsigned N, int K, int S)
{
    // K*S reaches far beyond 32 bits with the dialog's limits.
    const std::int64_t x = static_cast<std::int64_t>(N) - static_cast<std::int64_t>(K) * S;
    if (x < 2)
        return 0;
    // The cap keeps the result an int even for a negative K*S.
    constexpr std::int64_t LARGEST = std::int64_t { 1 } << 30;
    std::int64_t p = 1;
    while (p < LARGEST && 4 * p <= x)
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
    return static_cast<int>(shift > segmentLength ? segmentLength : shift);
}
