#include "plot/PlotPicture.h"

#include "core/CFormat.h"
#include "plot/ColumnPixels.h"
#include "plot/ColumnPolyline.h"
#include "plot/Palette.h"
#include "plot/PlotMapping.h"
#include "plot/StatisticsText.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

void drawLine(Canvas& canvas, DevicePoint from, DevicePoint to)
{
    canvas.moveTo(from);
    canvas.lineTo(to);
}

// The series across the top third: its axis, then samples 1 to N-1 (the
// last sample is not drawn). Samples below the window sit on the bottom
// line; those above it leave the panel at the top.
void drawSignalPanel(Canvas& canvas, const AnalysisState& state, int width, int third)
{
    drawLine(canvas, { 0, third }, { width, third });
    const unsigned count = state.sampleCount;
    if (count == 0 || state.series.size() < static_cast<std::size_t>(count) + 1)
        return;
    const PlotMapping mapping = makePlotMapping({ 0, 0, width, third },
        { 0.0, static_cast<double>(count), state.signalMin, state.signalMax });
    const float* samples = state.series.data();
    auto pointOf = [&](std::size_t i) {
        DevicePoint point = mapToDevice(static_cast<double>(i), samples[i], mapping);
        point.y = std::min(point.y, third);
        return point;
    };
    const DevicePoint start = mapToDevice(0.0, samples[1], mapping);
    if (state.dottedSignal) {
        canvas.moveTo(start);
        ColumnPixels dots(canvas, canvas.clientRect(), blackColor);
        for (std::size_t i = 2; i < count; ++i)
            dots.setPixel(pointOf(i));
        return;
    }
    ColumnPolyline curve(canvas);
    curve.moveTo(start);
    for (std::size_t i = 2; i < count; ++i)
        curve.lineTo(pointOf(i));
    curve.flush();
}

PlotWindow spectrumWindow(const AnalysisState& state)
{
    PlotWindow window;
    window.xMin = state.logFrequency ? state.minLogFrequency : 0.0;
    window.xMax = state.logFrequency ? 0.0 : 0.5;
    window.yMin = state.logPower ? state.minLogPower : 0.0;
    window.yMax = state.logPower ? state.maxLogPower : state.maxNormalPower;
    return window;
}

void drawSpectrumFrame(Canvas& canvas, DeviceRect panel)
{
    drawLine(canvas, { panel.left, panel.bottom }, { panel.left, panel.top });
    drawLine(canvas, { panel.right, panel.bottom }, { panel.right, panel.top });
    drawLine(canvas, { panel.left, panel.bottom }, { panel.right, panel.bottom });
    drawLine(canvas, { panel.left, panel.top }, { panel.right, panel.top });
}

void drawPowerLabels(Canvas& canvas, const AnalysisState& state, DeviceRect panel)
{
    if (state.logPower) {
        canvas.textOut({ panel.left - 30, panel.top + 5 },
            formatC("%3.0f", withoutNanSign(state.maxLogPower)));
        canvas.textOut({ panel.left - 30, panel.bottom - 15 },
            formatC("%3.0f", withoutNanSign(state.minLogPower)));
    } else {
        canvas.textOut({ panel.left - 40, panel.top + 5 },
            formatC("%0.2f", withoutNanSign(state.maxNormalPower)));
        canvas.textOut({ panel.left - 40, panel.bottom - 15 }, "0.00");
    }
}

// Entries 2 to M-1, red up to entry lbFrequencies and blue after it when
// colorLb is set. Entry 2 is drawn at its own value; later entries below
// the window (or not a number) are raised to its bottom.
void drawSpectrumCurve(
    Canvas& canvas, const AnalysisState& state, const PlotMapping& mapping, double powerMin)
{
    const int size = state.psdSize;
    // psdSize may exceed the estimate held after a failed read; nothing past
    // the buffer is read.
    const long long lastEntry
        = std::min<long long>(size - 1LL, static_cast<long long>(state.psd.size()) - 1);
    if (size < 2 || state.psd.size() < 3)
        return;
    const float* psd = state.psd.data();
    auto frequencyOf = [&](long long i) {
        const double frequency = static_cast<double>(i) * 0.5 / size;
        return state.logFrequency ? std::log10(frequency) : frequency;
    };
    auto powerOf = [&](long long i) {
        return state.logPower ? static_cast<double>(psd[i]) : std::pow(10.0, psd[i]);
    };

    canvas.selectPen(spectrumColor);
    ColumnPolyline curve(canvas);
    curve.moveTo(mapToDevice(frequencyOf(2), powerOf(2), mapping));
    for (long long i = 3; i <= lastEntry; ++i) {
        double power = powerOf(i);
        if (!(power >= powerMin))
            power = powerMin;
        curve.lineTo(mapToDevice(frequencyOf(i), power, mapping));
        if (i == state.lbFrequencies && state.colorLb) {
            curve.flush();
            canvas.selectPen(beyondLbColor);
        }
    }
    curve.flush();
    canvas.selectDefaultPen();
}

void drawSpectrumPanel(Canvas& canvas, const AnalysisState& state, int width, int height, int third)
{
    const DeviceRect panel { width / 2 + 50, third + 2, width - 1, height - 4 };
    const PlotWindow window = spectrumWindow(state);
    drawSpectrumFrame(canvas, panel);
    drawPowerLabels(canvas, state, panel);
    drawSpectrumCurve(canvas, state, makePlotMapping(panel, window), window.yMin);
}

void drawStatistics(Canvas& canvas, const AnalysisState& state, int third)
{
    struct Placement {
        int x;
        int below; // pixels below the signal panel
        ColorRef color;
    };
    static constexpr Placement placements[] = {
        { 20, 10, blackColor },
        { 20, 30, blackColor },
        { 80, 30, originalDataColor },
        { 20, 50, blackColor },
        { 20, 70, blackColor },
        { 20, 90, blackColor },
        { 20, 130, blackColor },
        { 20, 150, blackColor },
        { 20, 180, lbTextColor },
    };
    const std::vector<std::string> texts = statisticsTexts(state);
    for (std::size_t line = 0; line < texts.size(); ++line) {
        const Placement& place = placements[line];
        if (place.color != blackColor)
            canvas.setTextColor(place.color);
        canvas.textOut({ place.x, third + place.below }, texts[line]);
        if (place.color != blackColor)
            canvas.setTextColor(blackColor);
    }
}

} // namespace

std::string pictureTitle(const AnalysisState& state)
{
    return " ZQ_PSD " + state.dataFileName;
}

void drawPicture(Canvas& canvas, const AnalysisState& state)
{
    const DeviceRect client = canvas.clientRect();
    const int width = client.right;
    const int height = client.bottom;
    const int third = height / 3;
    drawSignalPanel(canvas, state, width, third);
    if (state.psdValid)
        drawSpectrumPanel(canvas, state, width, height, third);
    drawStatistics(canvas, state, third);
}
