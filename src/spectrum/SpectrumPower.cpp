#include "spectrum/SpectrumPower.h"

#include "spectrum/PsdEstimator.h"

#include <cmath>

namespace {

// Averaging K floored bins rounds; power within this factor of the floor is
// the floor.
constexpr float FLOOR_MARGIN = 2.0f;

} // namespace

void scanSpectrumPower(const float* power, int M, int first, int end, PowerScan& scan)
{
    for (int i = first; i < end && scan.finite; ++i) {
        if (!std::isfinite(power[i]))
            scan.finite = false;
        scan.above = scan.above || (i < M && power[i] > FLOOR_MARGIN * PSD_FLOOR);
    }
}

bool spectrumHasPower(const float* power, int M)
{
    PowerScan scan;
    scanSpectrumPower(power, M, 1, M + 1, scan);
    return scan.finite && scan.above;
}
