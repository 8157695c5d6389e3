#include "plot/PlotMapping.h"

#include <cmath>

namespace {

struct Axis {
    double scale;
    double offset;
};

// `low` is the device coordinate of the world minimum, `high` of the maximum.
Axis makeAxis(int low, int high, double worldMin, double worldMax)
{
    const double scale
        = static_cast<double>(high - static_cast<long long>(low)) / (worldMax - worldMin);
    const double offset = worldMin * scale - low;
    if (!std::isfinite(scale) || !std::isfinite(offset))
        return { 0.0, -static_cast<double>(low) };
    return { scale, offset };
}

} // namespace

PlotMapping makePlotMapping(DeviceRect panel, PlotWindow window)
{
    const Axis x = makeAxis(panel.left, panel.right, window.xMin, window.xMax);
    const Axis y = makeAxis(panel.bottom, panel.top, window.yMin, window.yMax);
    return { x.scale, x.offset, y.scale, y.offset, panel };
}
