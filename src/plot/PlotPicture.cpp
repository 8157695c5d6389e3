#include "plot/PlotPicture.h"

#include "core/CFormat.h"
#include "core/Parallel.h"
#include "plot/AxesLayout.h"
#include "plot/ChunkedCurve.h"
#include "plot/CurveLegend.h"
#include "plot/CurvePoints.h"
#include "plot/CurveTasks.h"
#include "plot/Palette.h"
#include "plot/PlotMapping.h"
#include "plot/SpectrumCurves.h"
#include "plot/StatisticsLayout.h"
#include "plot/StatisticsText.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <optional>
#include <vector>

namespace {

using namespace curveDrawing;

void drawLine(Canvas& canvas, DevicePoint from, DevicePoint to)
{
    canvas.moveTo(from);
    canvas.lineTo(to);
}

void drawFrame(Canvas& canvas, DeviceRect panel)
{
    drawLine(canvas, { panel.left, panel.bottom }, { panel.left, panel.top });
    drawLine(canvas, { panel.right, panel.bottom }, { panel.right, panel.top });
    drawLine(canvas, { panel.left, panel.bottom }, { panel.right, panel.bottom });
    drawLine(canvas, { panel.left, panel.top }, { panel.right, panel.top });
}

DeviceRect intersection(DeviceRect a, DeviceRect b)
{
    return { std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
        std::min(a.bottom, b.bottom) };
}

// The series across its panel: samples 1 to N-1 (the last sample is not
// drawn). Samples below the full window sit on the bottom line; those
// above it leave the panel at the top. A zoom in value shows only what
// lies inside the zoomed window.
class SignalCurve {
public:
    SignalCurve(const AnalysisState& state, const PictureLayout& layout, Tasks& tasks)
        : m_client(layout.client)
        , m_panel(layout.signal.panel)
        , m_axes(layout.axes)
    {
        const unsigned count = state.sampleCount;
        if (count == 0 || state.series.size() < static_cast<std::size_t>(count) + 1)
            return;
        const PlotWindow& window = layout.signal.window;
        const PlotMapping mapping = makePlotMapping(m_panel, window);
        const bool valueZoomed = layout.signal.zoomed
            && (window.yMin != state.signalMin || window.yMax != state.signalMax);
        const SignalPoints points { state.series.data(), mapping,
            valueZoomed ? INT_MAX : m_panel.bottom };
        m_start = mapToDevice(0.0, points.samples[1], mapping);
        m_dotted = state.dottedSignal != 0;
        IndexRange samples { 2, std::max<std::size_t>(2, count) };
        if (layout.signal.zoomed && count > 2) {
            samples = visibleRange(2, count - 1, window.xMin, window.xMax, 1.0);
            if (samples.begin > 2)
                m_start = { points.x(samples.begin - 1), points.y(samples.begin - 1) };
        }
        m_curve.emplace(points, std::vector<IndexRange> { samples }, chunkPointsFor(count));
        if (!m_dotted) {
            addRunTasks(*m_curve, tasks);
            return;
        }
        const DeviceRect clip = intersection(m_client, clipOf(m_panel));
        for (std::size_t chunk = 0; chunk < m_curve->chunkCount(); ++chunk)
            tasks.push_back([this, chunk, clip] { m_curve->reduceToDots(chunk, clip); });
    }

    void draw(Canvas& canvas) const
    {
        if (m_axes)
            drawFrame(canvas, m_panel);
        else
            drawLine(canvas, { 0, m_panel.bottom }, { m_client.right, m_panel.bottom });
        if (!m_curve)
            return;
        canvas.setClipRect(clipOf(m_panel));
        if (m_dotted) {
            canvas.moveTo(m_start);
            ColumnPixels dots(canvas, intersection(m_client, clipOf(m_panel)), blackColor);
            m_curve->drawDots(dots);
        } else {
            ColumnPolyline curve(canvas);
            curve.moveTo(m_start);
            m_curve->drawRuns(0, curve);
            curve.flush();
        }
        canvas.clearClipRect();
    }

private:
    DeviceRect m_client;
    DeviceRect m_panel;
    bool m_axes;
    DevicePoint m_start;
    bool m_dotted = false;
    std::optional<ChunkedCurve<SignalPoints>> m_curve;
};

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

class SpectrumPanel {
public:
    SpectrumPanel(const AnalysisState& state, const PictureView& view, const PictureLayout& layout,
        Tasks& tasks)
        : m_state(state)
        , m_view(view)
        , m_panel(layout.spectrum.panel)
        , m_axes(layout.axes)
    {
        if (!state.psdValid)
            return;
        if (state.logPower)
            m_logCurves.emplace(state, view, layout.spectrum, tasks);
        else
            m_linearCurves.emplace(state, view, layout.spectrum, tasks);
    }

    void draw(Canvas& canvas) const
    {
        if (!m_state.psdValid)
            return;
        drawFrame(canvas, m_panel);
        // With axes the power ticks say what the two labels said.
        if (!m_axes)
            drawPowerLabels(canvas, m_state, m_panel);
        if (m_logCurves)
            m_logCurves->draw(canvas);
        if (m_linearCurves)
            m_linearCurves->draw(canvas);
        if (m_axes && m_view.comparing())
            drawCurveLegend(canvas, m_state, m_view, m_panel);
    }

private:
    const AnalysisState& m_state;
    const PictureView& m_view;
    DeviceRect m_panel;
    bool m_axes;
    std::optional<SpectrumCurves<true>> m_logCurves;
    std::optional<SpectrumCurves<false>> m_linearCurves;
};

void drawStatistics(Canvas& canvas, const std::vector<PlacedText>& lines)
{
    for (const PlacedText& line : lines) {
        if (line.color != blackColor)
            canvas.setTextColor(line.color);
        canvas.textOut(line.at, line.text);
        if (line.color != blackColor)
            canvas.setTextColor(blackColor);
    }
}

// Reduces the curves to their columns on the threads, then draws the
// picture on the calling thread.
void reduceCurvesAndDraw(Canvas& canvas, const AnalysisState& state, const PictureView& view,
    const PictureLayout& layout)
{
    Tasks tasks;
    SignalCurve signal(state, layout, tasks);
    SpectrumPanel spectrum(state, view, layout, tasks);
    runTasks(tasks.size(), [&](std::size_t task) { tasks[task](); });
    signal.draw(canvas);
    spectrum.draw(canvas);
    const std::vector<PlacedText> statistics
        = statisticsPlacement(canvas, state, layout.third, layout.axes);
    if (layout.axes)
        drawAxes(canvas, state, layout, statistics);
    drawStatistics(canvas, statistics);
}

} // namespace

PlotWindow spectrumWindow(const AnalysisState& state)
{
    PlotWindow window;
    window.xMin = state.logFrequency ? state.minLogFrequency : 0.0;
    window.xMax = state.logFrequency ? 0.0 : 0.5;
    window.yMin = state.logPower ? state.minLogPower : 0.0;
    window.yMax = state.logPower ? state.maxLogPower : state.maxNormalPower;
    return window;
}

DeviceRect spectrumPanel(DeviceRect client)
{
    return { client.right / 2 + 50, client.bottom / 3 + 2, client.right - 1, client.bottom - 4 };
}

std::string pictureTitle(const AnalysisState& state)
{
    return " ZQ_PSD " + state.dataFileName;
}

void drawPicture(Canvas& canvas, const AnalysisState& state)
{
    drawPicture(canvas, state, PictureView {});
}

PictureLayout drawPicture(Canvas& canvas, const AnalysisState& state, const PictureView& view)
{
    const PictureLayout layout = layoutPicture(canvas, state, view);
    reduceCurvesAndDraw(canvas, state, view, layout);
    return layout;
}
