#include "plot/PlotMapping.h"

#include <algorithm>
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

// 2^31: the first value that no longer fits a 32-bit signed integer.
constexpr double intLimit = 2147483648.0;

int toDevice(double value, int nanEdge, int lowEdge, int highEdge)
{
    if (std::isnan(value))
        return nanEdge;
    if (value >= intLimit)
        return highEdge;
    if (value <= -intLimit - 1.0)
        return lowEdge;
    return static_cast<int>(value);
}

} // namespace

PlotMapping makePlotMapping(DeviceRect panel, PlotWindow window)
{
    const Axis x = makeAxis(panel.left, panel.right, window.xMin, window.xMax);
    const Axis y = makeAxis(panel.bottom, panel.top, window.yMin, window.yMax);
    return { x.scale, x.offset, y.scale, y.offset, panel };
}

DevicePoint mapToDevice(double x, double y, const PlotMapping& mapping)
{
    const DeviceRect& panel = mapping.panel;
    const double deviceX = mapping.xScale * x - mapping.xOffset + 0.5;
    const double deviceY = mapping.yScale * y - mapping.yOffset + 0.5;
    return {
        toDevice(deviceX, panel.left, std::min(panel.left, panel.right),
            std::max(panel.left, panel.right)),
        toDevice(deviceY, panel.bottom, std::min(panel.top, panel.bottom),
            std::max(panel.top, panel.bottom)),
    };
}
