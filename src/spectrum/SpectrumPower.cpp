#include "spectrum/SpectrumPower.h"

#include "spectrum/PsdEstimator.h"

#include <cmath>

namespace {

// Averaging K floored bins rounds; power within this factor of the floor is
// the floor.
constexpr float FLOOR_MARGIN = 2.0f;

} // namespace

bool spectrumHasPower(const float* power, int M)
{
    bool above = false;
    for (int i = 1; i <= M; ++i) {
        if (!std::isfinite(power[i]))
            return false;
        above = above || (i < M && power[i] > FLOOR_MARGIN * PSD_FLOOR);
    }
    return above;
}
