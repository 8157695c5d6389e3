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

// Written without branches, so that loops mapping many points vectorise:
// only a value that fits is converted, the others get a stand-in first.
inline int toDevice(double value, int nanEdge, int lowEdge, int highEdge)
{
    const bool notANumber = std::isnan(value);
    const bool above = value >= intLimit;
    const bool below = value <= -intLimit - 1.0;
    const double fitting = notANumber || above || below ? 0.0 : value;
    const int converted = static_cast<int>(fitting);
    return notANumber ? nanEdge : above ? highEdge : below ? lowEdge : converted;
}

} // namespace plotMappingDetail

// The unrounded device x of world x and y of world y, before their
// conversion to pixels.
inline double deviceValueX(double x, const PlotMapping& mapping)
{
    return mapping.xScale * x - mapping.xOffset + 0.5;
}

inline double deviceValueY(double y, const PlotMapping& mapping)
{
    return mapping.yScale * y - mapping.yOffset + 0.5;
}

// Rounds to the nearest pixel with halves going up, truncating towards zero
// for negative results, and does not clip. A device value that is not a
// number goes to the left (x) or bottom (y) edge of the panel; one that is
// infinite or beyond the 32-bit range goes to the panel's edge on its side.
// Nothing non-finite or out of range is ever converted to an integer.
// Inline: the picture maps every sample of a long series through these.
inline int deviceX(double x, const PlotMapping& mapping)
{
    const DeviceRect& panel = mapping.panel;
    return plotMappingDetail::toDevice(deviceValueX(x, mapping), panel.left,
        std::min(panel.left, panel.right), std::max(panel.left, panel.right));
}

inline int deviceY(double y, const PlotMapping& mapping)
{
    const DeviceRect& panel = mapping.panel;
    return plotMappingDetail::toDevice(deviceValueY(y, mapping), panel.bottom,
        std::min(panel.top, panel.bottom), std::max(panel.top, panel.bottom));
}

inline DevicePoint mapToDevice(double x, double y, const PlotMapping& mapping)
{
    return { deviceX(x, mapping), deviceY(y, mapping) };
}
