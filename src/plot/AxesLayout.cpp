#include "plot/AxesLayout.h"

#include "plot/AxisTicks.h"
#include "plot/PhysicalFrequency.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr int TICK_LENGTH = 4;
constexpr int MINOR_TICK_LENGTH = 2;
constexpr int LABEL_GAP = 2;
// Room right of the panels for half of a last label.
constexpr int RIGHT_ROOM = 8;
// Spacing of tick labels, in pixels of axis per tick.
constexpr int X_PIXELS_PER_TICK = 70;
constexpr int DECADE_PIXELS_PER_TICK = 40;
constexpr int MINOR_TICKS_FROM_DECADE_PIXELS = 60;

enum class Axis { signalX, signalY, spectrumX, spectrumY };

int height(DeviceRect rect)
{
    return std::abs(rect.bottom - rect.top);
}

int width(DeviceRect rect)
{
    return std::abs(rect.right - rect.left);
}

// The frequency axis' world values are cycles per sample (or their log10);
// with a time step the ticks fall on round values of cycles per unit.
std::vector<AxisTick> frequencyTicks(
    const AnalysisState& state, const PlotWindow& window, int across, int xTicks)
{
    const bool physical = hasPhysicalFrequency(state);
    const double dt = physical ? state.timeStep : 1.0;
    std::vector<AxisTick> ticks;
    if (!state.logFrequency) {
        ticks = linearTicks(window.xMin / dt, window.xMax / dt, xTicks);
        if (physical)
            for (AxisTick& tick : ticks)
                tick.value *= dt;
        return ticks;
    }
    const double decades = std::fabs(window.xMax - window.xMin);
    const bool minor = decades > 0.0 && across / decades >= MINOR_TICKS_FROM_DECADE_PIXELS;
    const double shift = physical ? std::log10(dt) : 0.0;
    ticks = logTicks(window.xMin - shift, window.xMax - shift,
        std::max(2, across / DECADE_PIXELS_PER_TICK), minor);
    if (physical)
        for (AxisTick& tick : ticks)
            tick.value += shift;
    return ticks;
}

std::vector<AxisTick> ticksOf(
    Axis axis, const AnalysisState& state, const PanelPlacement& placement, int textHeight)
{
    const PlotWindow& window = placement.window;
    const int across = width(placement.panel);
    const int along = height(placement.panel);
    const int yTicks = std::max(2, along / (textHeight + 12));
    const int xTicks = std::max(2, across / X_PIXELS_PER_TICK);
    switch (axis) {
    case Axis::signalX:
        return linearTicks(window.xMin, window.xMax, xTicks);
    case Axis::signalY:
    case Axis::spectrumY:
        return linearTicks(window.yMin, window.yMax, yTicks);
    case Axis::spectrumX:
        return frequencyTicks(state, window, across, xTicks);
    }
    return {};
}

int widestLabel(const Canvas& canvas, const std::vector<AxisTick>& ticks)
{
    int widest = 0;
    for (const AxisTick& tick : ticks)
        widest = std::max(widest, canvas.textWidth(tick.label));
    return widest;
}

int statisticsRight(const Canvas& canvas, const std::vector<PlacedText>& statistics)
{
    int right = 0;
    for (const PlacedText& line : statistics)
        right = std::max(right, line.at.x + canvas.textWidth(line.text));
    return right;
}

std::string spectrumYTitle(const AnalysisState& state)
{
    return state.logPower ? "log10 power" : "power";
}

bool overlaps(DeviceRect a, DeviceRect b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Texts placed so far and the areas no text may enter.
class LabelSpace {
public:
    LabelSpace(Canvas& canvas, DeviceRect client)
        : m_canvas(canvas)
        , m_client(client)
    {
    }

    void block(DeviceRect rect) { m_taken.push_back(rect); }

    // Draws `text` with its top-left corner at `at` when it fits.
    void place(DevicePoint at, const std::string& text)
    {
        const DeviceRect rect { at.x, at.y, at.x + m_canvas.textWidth(text),
            at.y + m_canvas.textHeight() };
        if (rect.left < m_client.left || rect.top < m_client.top || rect.right > m_client.right
            || rect.bottom > m_client.bottom)
            return;
        // Labels keep a pixel or two apart so that they read as separate.
        const DeviceRect padded { rect.left - LABEL_GAP, rect.top - 1, rect.right + LABEL_GAP,
            rect.bottom + 1 };
        for (const DeviceRect& taken : m_taken)
            if (overlaps(padded, taken))
                return;
        m_canvas.textOut(at, text);
        m_taken.push_back(rect);
    }

private:
    Canvas& m_canvas;
    DeviceRect m_client;
    std::vector<DeviceRect> m_taken;
};

void drawLine(Canvas& canvas, DevicePoint from, DevicePoint to)
{
    canvas.moveTo(from);
    canvas.lineTo(to);
}

// Ticks below the panel and labels centred under them; the title above
// the panel's top-right corner.
void drawXAxis(Canvas& canvas, LabelSpace& labels, const PanelPlacement& placement,
    const std::vector<AxisTick>& ticks, const std::string& title)
{
    const DeviceRect panel = placement.panel;
    const PlotMapping mapping = placement.mapping();
    const int row = panel.bottom + TICK_LENGTH + LABEL_GAP;
    labels.place(
        { panel.right - canvas.textWidth(title), panel.top - canvas.textHeight() - LABEL_GAP },
        title);
    const int low = std::min(panel.left, panel.right);
    const int high = std::max(panel.left, panel.right);
    for (const AxisTick& tick : ticks) {
        const int x = deviceX(tick.value, mapping);
        if (x < low || x > high)
            continue;
        drawLine(canvas, { x, panel.bottom },
            { x, panel.bottom + (tick.major ? TICK_LENGTH : MINOR_TICK_LENGTH) });
        if (!tick.label.empty())
            labels.place({ x - canvas.textWidth(tick.label) / 2, row }, tick.label);
    }
}

// Ticks left of the panel and labels right-aligned to them, centred on
// their tick; the title above the panel's top-left corner.
void drawYAxis(Canvas& canvas, LabelSpace& labels, const PanelPlacement& placement,
    const std::vector<AxisTick>& ticks, const std::string& title)
{
    const DeviceRect panel = placement.panel;
    const PlotMapping mapping = placement.mapping();
    const int textHeight = canvas.textHeight();
    labels.place({ panel.left, panel.top - textHeight - LABEL_GAP }, title);
    const int low = std::min(panel.top, panel.bottom);
    const int high = std::max(panel.top, panel.bottom);
    for (const AxisTick& tick : ticks) {
        const int y = deviceY(tick.value, mapping);
        if (y < low || y > high)
            continue;
        drawLine(canvas, { panel.left - TICK_LENGTH, y }, { panel.left, y });
        const int labelWidth = canvas.textWidth(tick.label);
        labels.place(
            { panel.left - TICK_LENGTH - LABEL_GAP - labelWidth, y - textHeight / 2 }, tick.label);
    }
}

DeviceRect interior(DeviceRect panel)
{
    return { std::min(panel.left, panel.right), std::min(panel.top, panel.bottom),
        std::max(panel.left, panel.right) + 1, std::max(panel.top, panel.bottom) + 1 };
}

} // namespace

void makeRoomForAxes(const Canvas& canvas, const AnalysisState& state, PictureLayout& layout)
{
    layout.axes = true;
    const DeviceRect client = layout.client;
    const int textHeight = canvas.textHeight();
    const int labelRow = TICK_LENGTH + LABEL_GAP + textHeight + LABEL_GAP;
    const int titleRow = textHeight + 2 * LABEL_GAP;

    DeviceRect& signal = layout.signal.panel;
    signal.top = titleRow;
    signal.bottom = layout.third - labelRow;
    signal.right = client.right - RIGHT_ROOM;
    const int signalLabels
        = widestLabel(canvas, ticksOf(Axis::signalY, state, layout.signal, textHeight));
    signal.left = LABEL_GAP + signalLabels + LABEL_GAP + TICK_LENGTH;

    DeviceRect& spectrum = layout.spectrum.panel;
    spectrum.top = layout.third + 2 + titleRow;
    spectrum.bottom = client.bottom - 4 - labelRow;
    spectrum.right = client.right - RIGHT_ROOM;
    const int spectrumLabels
        = widestLabel(canvas, ticksOf(Axis::spectrumY, state, layout.spectrum, textHeight));
    const int statistics
        = statisticsRight(canvas, statisticsPlacement(canvas, state, layout.third, true));
    spectrum.left = std::max(
        spectrum.left, statistics + 2 * RIGHT_ROOM + spectrumLabels + LABEL_GAP + TICK_LENGTH);
}

void drawAxes(Canvas& canvas, const AnalysisState& state, const PictureLayout& layout,
    const std::vector<PlacedText>& statistics)
{
    const int textHeight = canvas.textHeight();
    LabelSpace labels(canvas, layout.client);
    for (const PlacedText& line : statistics)
        labels.block({ line.at.x, line.at.y, line.at.x + canvas.textWidth(line.text),
            line.at.y + textHeight });
    labels.block(interior(layout.signal.panel));
    const bool spectrumShown = state.psdValid != 0;
    if (spectrumShown)
        labels.block(interior(layout.spectrum.panel));

    drawXAxis(canvas, labels, layout.signal,
        ticksOf(Axis::signalX, state, layout.signal, textHeight), "sample");
    drawYAxis(canvas, labels, layout.signal,
        ticksOf(Axis::signalY, state, layout.signal, textHeight), "value");
    if (!spectrumShown)
        return;
    drawXAxis(canvas, labels, layout.spectrum,
        ticksOf(Axis::spectrumX, state, layout.spectrum, textHeight),
        hasPhysicalFrequency(state) ? frequencyAxisTitle(state) : "frequency (cycles/sample)");
    drawYAxis(canvas, labels, layout.spectrum,
        ticksOf(Axis::spectrumY, state, layout.spectrum, textHeight), spectrumYTitle(state));
}
