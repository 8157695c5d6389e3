#pragma once

#include "plot/Canvas.h"

#include <algorithm>
#include <cmath>

// World range of one panel: x at the left and right edges, y at the bottom
// and top edges.
struct PlotWindow {
    double xMin = 0.0;
    double xMax = 0.0;
    double yMin = 0.0;
    double yMax = 0.0;
};

// Linear map from world coordinates to device pixels:
// X = xScale * x - xOffset, Y = yScale * y - yOffset, then rounded.
// `panel` is the rectangle it was built for; points that cannot be placed
// by the formula go onto its edges.
struct PlotMapping {
    double xScale = 0.0;
    double xOffset = 0.0;
    double yScale = 0.0;
    double yOffset = 0.0;
    DeviceRect panel;
};

// Maps xMin to left, xMax to right, yMin to bottom and yMax to top. An axis
// whose window has no width (or is not finite) gets scale 0, so that every
// point lands on the panel's left or bottom edge instead of at infinity.
PlotMapping makePlotMapping(DeviceRect panel, PlotWindow window);

namespace plotMappingDetail {

// 2^31: the first value that no longer fits a 32-bit signed integer.
inline constexpr double intLimit = 2147483648.0;

inline int toDevice(double value, int nanEdge, int lowEdge, int highEdge)
{
    if (std::isnan(value))
        return nanEdge;
    if (value >= intLimit)
        return highEdge;
    if (value <= -intLimit - 1.0)
        return lowEdge;
    return static_cast<int>(value);
}

} // namespace plotMappingDetail

// Rounds to the nearest pixel with halves going up, truncating towards zero
// for negative results, and does not clip. A device value that is not a
// number goes to the left (x) or bottom (y) edge of the panel; one that is
// infinite or beyond the 32-bit range goes to the panel's edge on its side.
// Nothing non-finite or out of range is ever converted to an integer.
// Inline: the picture maps every sample of a long series through it.
inline DevicePoint mapToDevice(double x, double y, const PlotMapping& mapping)
{
    using plotMappingDetail::toDevice;
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
