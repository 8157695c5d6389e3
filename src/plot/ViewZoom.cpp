#include "plot/ViewZoom.h"

#include "plot/ValueRange.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// A drag narrower than this is a click.
constexpr int MIN_DRAG_PIXELS = 3;
// Share of the power range left free above and below a fitted curve.
constexpr double FIT_MARGIN = 0.02;

// Whether a window from `low` to `high` is one the picture can draw with
// distinct ticks: finite, and wider than the numbers' last digits.
bool usableSpan(double low, double high)
{
    const double width = std::fabs(high - low);
    const double size = std::max(std::fabs(low), std::fabs(high));
    return std::isfinite(low) && std::isfinite(high) && width > size * 1e-12 && width > 1e-300;
}

bool usable(const PlotWindow& window)
{
    return usableSpan(window.xMin, window.xMax) && usableSpan(window.yMin, window.yMax);
}

} // namespace

double worldX(double x, const PlotMapping& mapping)
{
    return (x + mapping.xOffset) / mapping.xScale;
}

double worldY(double y, const PlotMapping& mapping)
{
    return (y + mapping.yOffset) / mapping.yScale;
}

std::optional<PlotWindow> zoomToRect(
    const PlotWindow& window, const PlotMapping& mapping, DeviceRect drag, bool withRows)
{
    const int left = std::min(drag.left, drag.right);
    const int right = std::max(drag.left, drag.right);
    const int top = std::min(drag.top, drag.bottom);
    const int bottom = std::max(drag.top, drag.bottom);
    if (right - left < MIN_DRAG_PIXELS || mapping.xScale == 0.0)
        return std::nullopt;
    PlotWindow zoomed = window;
    // The panel's left edge is drawn at xMin, so the drag's left column
    // becomes the new xMin whichever way the axis runs.
    zoomed.xMin = worldX(left, mapping);
    zoomed.xMax = worldX(right, mapping);
    if (!usableSpan(zoomed.xMin, zoomed.xMax))
        return std::nullopt;
    // A window the panel shows without a height (a flat series' range)
    // still zooms along x.
    if (withRows && bottom - top >= MIN_DRAG_PIXELS && mapping.yScale != 0.0) {
        zoomed.yMin = worldY(bottom, mapping);
        zoomed.yMax = worldY(top, mapping);
        if (!usableSpan(zoomed.yMin, zoomed.yMax))
            return std::nullopt;
    }
    return zoomed;
}

std::optional<PlotWindow> zoomAbout(const PlotWindow& window, const PlotMapping& mapping,
    DevicePoint at, double factor, bool alongY)
{
    if (!(factor > 0.0) || !std::isfinite(factor) || mapping.xScale == 0.0)
        return std::nullopt;
    PlotWindow zoomed = window;
    const double x = worldX(at.x, mapping);
    zoomed.xMin = x + (window.xMin - x) * factor;
    zoomed.xMax = x + (window.xMax - x) * factor;
    if (!usableSpan(zoomed.xMin, zoomed.xMax))
        return std::nullopt;
    if (alongY && mapping.yScale != 0.0) {
        const double y = worldY(at.y, mapping);
        zoomed.yMin = y + (window.yMin - y) * factor;
        zoomed.yMax = y + (window.yMax - y) * factor;
        if (!usableSpan(zoomed.yMin, zoomed.yMax))
            return std::nullopt;
    }
    return zoomed;
}

PlotWindow panWindow(
    const PlotWindow& window, const PlotMapping& mapping, DevicePoint from, DevicePoint to)
{
    // An axis whose move the numbers cannot hold stays where it is.
    PlotWindow moved = window;
    if (mapping.xScale != 0.0) {
        const double dx = worldX(from.x, mapping) - worldX(to.x, mapping);
        if (usableSpan(window.xMin + dx, window.xMax + dx)) {
            moved.xMin += dx;
            moved.xMax += dx;
        }
    }
    if (mapping.yScale != 0.0) {
        const double dy = worldY(from.y, mapping) - worldY(to.y, mapping);
        if (usableSpan(window.yMin + dy, window.yMax + dy)) {
            moved.yMin += dy;
            moved.yMax += dy;
        }
    }
    return moved;
}

std::optional<PlotWindow> fitSpectrumWindow(const AnalysisState& state)
{
    const std::size_t entries = state.psd.size();
    if (!state.psdValid || entries < 5)
        return std::nullopt;
    const std::size_t M = entries - 1;
    // Entries 2 to M-1; a value that is not a number is drawn at the
    // bottom and does not widen the range.
    float low = 0.0f, high = 0.0f;
    bool found = false;
    const ValueRange whole = valueRange(state.psd.data() + 2, M - 2);
    if (!whole.notANumber) {
        low = whole.low;
        high = whole.high;
        found = true;
    } else {
        for (std::size_t i = 2; i < M; ++i) {
            const float value = state.psd[i];
            if (std::isnan(value))
                continue;
            low = found ? std::min(low, value) : value;
            high = found ? std::max(high, value) : value;
            found = true;
        }
    }
    if (!found)
        return std::nullopt;
    const double first = 2.0 * 0.5 / static_cast<double>(M);
    const double last = static_cast<double>(M - 1) * 0.5 / static_cast<double>(M);
    PlotWindow window;
    window.xMin = state.logFrequency ? std::log10(first) : first;
    window.xMax = state.logFrequency ? std::log10(last) : last;
    double bottom = state.logPower ? low : std::pow(10.0, low);
    double top = state.logPower ? high : std::pow(10.0, high);
    const double margin
        = top > bottom ? (top - bottom) * FIT_MARGIN : std::max(std::fabs(top), 1.0) * 0.1;
    bottom -= margin;
    top += margin;
    window.yMin = bottom;
    window.yMax = top;
    if (!usable(window))
        return std::nullopt;
    return window;
}
