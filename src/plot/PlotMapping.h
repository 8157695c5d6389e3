#pragma once

#include "plot/Canvas.h"

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

// Rounds to the nearest pixel with halves going up, truncating towards zero
// for negative results, and does not clip. A device value that is not a
// number goes to the left (x) or bottom (y) edge of the panel; one that is
// infinite or beyond the 32-bit range goes to the panel's edge on its side.
// Nothing non-finite or out of range is ever converted to an integer.
DevicePoint mapToDevice(double x, double y, const PlotMapping& mapping);
