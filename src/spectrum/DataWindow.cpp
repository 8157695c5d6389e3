#include "spectrum/DataWindow.h"

#include <cmath>

bool isTaperingWindow(int windowType)
{
    return windowType == HANNING_WINDOW || windowType == PARZEN_WINDOW
        || windowType == WELCH_WINDOW;
}

double dataWindowWeight(int windowType, int j, int n)
{
    const double a = (n - 1) / 2.0;
    const double b = (n + 1) / 2.0;
    switch (windowType) {
    case HANNING_WINDOW:
        return hanningWeight(j, n);
    case PARZEN_WINDOW:
        return 1.0 - std::fabs(j - a) / b;
    case WELCH_WINDOW: {
        const double x = (j - a) / b;
        return 1.0 - x * x;
    }
    default:
        return 1.0;
    }
}

void applyDataWindow(int windowType, float* data, int n)
{
    if (!isTaperingWindow(windowType) || n < 2)
        return;
    for (int j = 0; j < n; ++j)
        data[j + 1] = static_cast<float>(dataWindowWeight(windowType, j, n) * data[j + 1]);
}
