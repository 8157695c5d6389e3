#include "plot/PlotPicture.h"

#include "core/CFormat.h"
#include "core/Parallel.h"
#include "plot/ChunkedCurve.h"
#include "plot/CurvePoints.h"
#include "plot/Palette.h"
#include "plot/PlotMapping.h"
#include "plot/StatisticsText.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace {

void drawLine(Canvas& canvas, DevicePoint from, DevicePoint to)
{
    canvas.moveTo(from);
    canvas.lineTo(to);
}

// Points per chunk of a curve: enough that reducing a chunk outweighs
// handing it to a thread, and few enough chunks that progress is reported
// a few hundred times at most.
std::size_t chunkPointsFor(std::size_t points)
{
    return std::max<std::size_t>(std::size_t { 1 } << 18, points / 256 + 1);
}

using Tasks = std::vector<std::function<void()>>;

template <typename Points> void addRunTasks(ChunkedCurve<Points>& curve, Tasks& tasks)
{
    for (std::size_t chunk = 0; chunk < curve.chunkCount(); ++chunk)
        tasks.push_back([&curve, chunk] { curve.reduceToRuns(chunk); });
}

// The series across the top third: its axis, then samples 1 to N-1 (the
// last sample is not drawn). Samples below the window sit on the bottom
// line; those above it leave the panel at the top.
class SignalCurve {
public:
    SignalCurve(const AnalysisState& state, DeviceRect client, int third, Tasks& tasks)
        : m_client(client)
        , m_third(third)
    {
        const unsigned count = state.sampleCount;
        if (count == 0 || state.series.size() < static_cast<std::size_t>(count) + 1)
            return;
        const PlotMapping mapping = makePlotMapping({ 0, 0, client.right, third },
            { 0.0, static_cast<double>(count), state.signalMin, state.signalMax });
        const SignalPoints points { state.series.data(), mapping, third };
        m_start = mapToDevice(0.0, points.samples[1], mapping);
        m_dotted = state.dottedSignal != 0;
        const IndexRange samples { 2, std::max<std::size_t>(2, count) };
        m_curve.emplace(points, std::vector<IndexRange> { samples }, chunkPointsFor(count));
        if (!m_dotted) {
            addRunTasks(*m_curve, tasks);
            return;
        }
        for (std::size_t chunk = 0; chunk < m_curve->chunkCount(); ++chunk)
            tasks.push_back([this, chunk] { m_curve->reduceToDots(chunk, m_client); });
    }

    void draw(Canvas& canvas) const
    {
        drawLine(canvas, { 0, m_third }, { m_client.right, m_third });
        if (!m_curve)
            return;
        canvas.setClipRect({ 0, 0, m_client.right + 1, m_third + 1 });
        if (m_dotted) {
            canvas.moveTo(m_start);
            ColumnPixels dots(canvas, m_client, blackColor);
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
    int m_third;
    DevicePoint m_start;
    bool m_dotted = false;
    std::optional<ChunkedCurve<SignalPoints>> m_curve;
};

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

// Entries 2 to M-1 of the estimate the buffer holds (M + 1 entries, M
// perhaps no longer psdSize after a failed read), red up to entry
// lbFrequencies and blue after it when colorLb is set. Entry 2 is drawn at
// its own value; later entries below the window (or not a number) are
// raised to its bottom. Drawn only inside the panel: with a large M or a
// window whose minimum is above its maximum the curve would cover the
// statistics and the series.
template <bool logPower> class SpectrumCurve {
public:
    SpectrumCurve(const AnalysisState& state, DeviceRect panel, Tasks& tasks)
        : m_panel(panel)
    {
        const PlotWindow window = spectrumWindow(state);
        const std::size_t entries = state.psd.size();
        if (entries < 3)
            return;
        const int size = static_cast<int>(std::min<std::size_t>(entries - 1, INT_MAX));
        const SpectrumPoints<logPower> points { state.psd.data(), makePlotMapping(panel, window),
            size, state.logFrequency != 0, window.yMin };
        m_start = mapToDevice(points.frequency(2), points.power(2), points.mapping);
        const std::size_t end = static_cast<std::size_t>(size);
        const long long lb = state.lbFrequencies;
        std::vector<IndexRange> pieces { { 3, std::max<std::size_t>(3, end) } };
        if (state.colorLb && lb >= 3 && lb < size)
            pieces = { { 3, static_cast<std::size_t>(lb) + 1 },
                { static_cast<std::size_t>(lb) + 1, end } };
        m_curve.emplace(points, pieces, chunkPointsFor(end));
        addRunTasks(*m_curve, tasks);
    }

    void draw(Canvas& canvas) const
    {
        if (!m_curve)
            return;
        canvas.setClipRect({ m_panel.left, m_panel.top, m_panel.right + 1, m_panel.bottom + 1 });
        canvas.selectPen(spectrumColor);
        ColumnPolyline curve(canvas);
        curve.moveTo(m_start);
        m_curve->drawRuns(0, curve);
        if (m_curve->pieceCount() > 1) {
            curve.flush();
            canvas.selectPen(beyondLbColor);
            m_curve->drawRuns(1, curve);
        }
        curve.flush();
        canvas.selectDefaultPen();
        canvas.clearClipRect();
    }

private:
    DeviceRect m_panel;
    DevicePoint m_start;
    std::optional<ChunkedCurve<SpectrumPoints<logPower>>> m_curve;
};

class SpectrumPanel {
public:
    SpectrumPanel(const AnalysisState& state, DeviceRect client, Tasks& tasks)
        : m_state(state)
        , m_panel(spectrumPanel(client))
    {
        if (!state.psdValid)
            return;
        if (state.logPower)
            m_logCurve.emplace(state, m_panel, tasks);
        else
            m_linearCurve.emplace(state, m_panel, tasks);
    }

    void draw(Canvas& canvas) const
    {
        if (!m_state.psdValid)
            return;
        drawSpectrumFrame(canvas, m_panel);
        drawPowerLabels(canvas, m_state, m_panel);
        if (m_logCurve)
            m_logCurve->draw(canvas);
        if (m_linearCurve)
            m_linearCurve->draw(canvas);
    }

private:
    const AnalysisState& m_state;
    DeviceRect m_panel;
    std::optional<SpectrumCurve<true>> m_logCurve;
    std::optional<SpectrumCurve<false>> m_linearCurve;
};

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
    // The data-origin note follows the N line when a long count reaches
    // past its usual place.
    const int noteX = std::max(
        placements[2].x, placements[1].x + canvas.textWidth(texts[1]) + canvas.textWidth(" "));
    for (std::size_t line = 0; line < texts.size(); ++line) {
        const Placement& place = placements[line];
        if (place.color != blackColor)
            canvas.setTextColor(place.color);
        canvas.textOut({ line == 2 ? noteX : place.x, third + place.below }, texts[line]);
        if (place.color != blackColor)
            canvas.setTextColor(blackColor);
    }
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

void drawPicture(Canvas& canvas, const AnalysisState& state, const ProgressCallback& progress)
{
    reportProgress(progress, PROGRESS_PAINT, 0.0);
    const DeviceRect client = canvas.clientRect();
    const int third = client.bottom / 3;
    Tasks tasks;
    SignalCurve signal(state, client, third, tasks);
    SpectrumPanel spectrum(state, client, tasks);
    const double parts = static_cast<double>(tasks.size()) + 1.0;
    runTasks(
        tasks.size(), [&](std::size_t task) { tasks[task](); },
        [&](std::size_t finished) {
            reportProgress(progress, PROGRESS_PAINT, static_cast<double>(finished) / parts);
        });
    signal.draw(canvas);
    spectrum.draw(canvas);
    drawStatistics(canvas, state, third);
    reportProgress(progress, PROGRESS_PAINT, 1.0);
}
