#pragma once

#include "core/AnalysisState.h"
#include "plot/Canvas.h"
#include "plot/PlotMapping.h"

#include <optional>

// Device to world: the world x and y that `mapping` draws at the centre of
// device column x and row y (the inverse of mapToDevice's rounding).
double worldX(double x, const PlotMapping& mapping);
double worldY(double y, const PlotMapping& mapping);

// The window of the device rectangle `drag` (corners in any order) inside
// a panel drawn with `mapping` from `window`: its columns always, its rows
// only when `withRows` (a flat drag keeps the window's y). The edges keep
// the window's orientation. Nothing for a drag narrower than a few pixels,
// or one that would leave an axis the numbers cannot tell apart.
std::optional<PlotWindow> zoomToRect(
    const PlotWindow& window, const PlotMapping& mapping, DeviceRect drag, bool withRows);

// The window scaled by `factor` (below 1 zooms in) about the world point
// under device point `at`, along x and, when `alongY`, along y.
std::optional<PlotWindow> zoomAbout(const PlotWindow& window, const PlotMapping& mapping,
    DevicePoint at, double factor, bool alongY);

// The window moved so that what was under device point `from` is under
// `to`.
PlotWindow panWindow(
    const PlotWindow& window, const PlotMapping& mapping, DevicePoint from, DevicePoint to);

// The spectrum window, in the units the panel draws with the record's
// scales, that holds the drawn entries 2 to M-1: their frequencies from
// 2/(2M) to (M-1)/(2M), and their powers (those that are numbers) with a
// small margin. Nothing without a valid spectrum of at least four entries
// or without a power that is a number.
std::optional<PlotWindow> fitSpectrumWindow(const AnalysisState& state);
