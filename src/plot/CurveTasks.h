#pragma once

#include "plot/Canvas.h"
#include "plot/ChunkedCurve.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <vector>

// What the picture's curves share: the tasks that reduce their chunks on
// the threads, the chunk size, the part of a curve a zoom shows and the
// clip of a panel.
namespace curveDrawing {

// Points per chunk of a curve: enough that reducing a chunk outweighs
// handing it to a thread, and no more than a few hundred chunks.
inline std::size_t chunkPointsFor(std::size_t points)
{
    return std::max<std::size_t>(std::size_t { 1 } << 18, points / 256 + 1);
}

using Tasks = std::vector<std::function<void()>>;

template <typename Points> void addRunTasks(ChunkedCurve<Points>& curve, Tasks& tasks)
{
    for (std::size_t chunk = 0; chunk < curve.chunkCount(); ++chunk)
        tasks.push_back([&curve, chunk] { curve.reduceToRuns(chunk); });
}

// Indices from `first` to `last` (inclusive) of a curve whose point i
// lies at world x i / perIndex, narrowed to those whose line segments can
// reach the window from `low` to `high` (world x, either order): a
// zoomed picture costs the points it shows, not the curve's length.
inline IndexRange visibleRange(
    std::size_t first, std::size_t last, double low, double high, double perIndex)
{
    const double from = std::min(low, high) * perIndex - 1.0;
    const double to = std::max(low, high) * perIndex + 1.0;
    const double begin
        = std::clamp(std::floor(from), static_cast<double>(first), static_cast<double>(last));
    const double end
        = std::clamp(std::ceil(to), static_cast<double>(first), static_cast<double>(last));
    return { static_cast<std::size_t>(begin), static_cast<std::size_t>(end) + 1 };
}

inline DeviceRect clipOf(DeviceRect panel)
{
    return { panel.left, panel.top, panel.right + 1, panel.bottom + 1 };
}

} // namespace curveDrawing
