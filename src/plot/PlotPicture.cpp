#include "plot/PlotPicture.h"

#include "core/CFormat.h"
#include "core/Parallel.h"
#include "plot/AxesLayout.h"
#include "plot/ChunkedCurve.h"
#include "plot/CurveLegend.h"
#include "plot/CurvePoints.h"
#include "plot/Palette.h"
#include "plot/PlotMapping.h"
#include "plot/ReferenceCache.h"
#include "plot/StatisticsLayout.h"
#include "plot/StatisticsText.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace {

void drawLine(Canvas& canvas, DevicePoint from, DevicePoint to)
{
    canvas.moveTo(from);
    canvas.lineTo(to);
}

// Points per chunk of a curve: enough that reducing a chunk outweighs
// handing it to a thread, and no more than a few hundred chunks.
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

void drawFrame(Canvas& canvas, DeviceRect panel)
{
    drawLine(canvas, { panel.left, panel.bottom }, { panel.left, panel.top });
    drawLine(canvas, { panel.right, panel.bottom }, { panel.right, panel.top });
    drawLine(canvas, { panel.left, panel.bottom }, { panel.right, panel.bottom });
    drawLine(canvas, { panel.left, panel.top }, { panel.right, panel.top });
}

// Indices from `first` to `last` (inclusive) of a curve whose point i
// lies at world x i / perIndex, narrowed to those whose line segments can
// reach the window from `low` to `high` (world x, either order): a
// zoomed picture costs the points it shows, not the curve's length.
IndexRange visibleRange(
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

DeviceRect clipOf(DeviceRect panel)
{
    return { panel.left, panel.top, panel.right + 1, panel.bottom + 1 };
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

// Entries 2 to M-1 of the estimate a buffer holds (M + 1 entries, M
// perhaps no longer psdSize after a failed read), the live spectrum's red
// up to entry lbFrequencies and blue after it when colorLb is set. Entry 2
// is drawn at its own value; later entries below the window (or not a
// number) are raised to its bottom. Drawn only inside the panel: with a
// large M or a window whose minimum is above its maximum the curve would
// cover the statistics and the series. A zoomed panel takes only the
// entries it shows, and starts from the entry before them. A reference
// is drawn the same way in one colour, at its frequencies times
// `frequencyScale`.
template <bool logPower> class SpectrumCurve {
public:
    SpectrumCurve(const AnalysisState& state, const PanelPlacement& placement, Tasks& tasks)
        : SpectrumCurve(state, state.psd, 1.0, state.colorLb != 0, placement, tasks)
    {
    }

    SpectrumCurve(const AnalysisState& state, const FloatBuffer& psd, double frequencyScale,
        bool lbColored, const PanelPlacement& placement, Tasks& tasks)
        : m_panel(placement.panel)
    {
        const PlotWindow& window = placement.window;
        const std::size_t entries = psd.size();
        if (entries < 3)
            return;
        const int size = static_cast<int>(std::min<std::size_t>(entries - 1, INT_MAX));
        const SpectrumPoints<logPower> points { psd.data(), placement.mapping(), size,
            state.logFrequency != 0, window.yMin, frequencyScale };
        m_start = mapToDevice(points.frequency(2), points.power(2), points.mapping);
        const std::size_t end = static_cast<std::size_t>(size);
        IndexRange shown { 3, std::max<std::size_t>(3, end) };
        if (placement.zoomed && end > 3) {
            const double low = state.logFrequency ? std::pow(10.0, window.xMin) : window.xMin;
            const double high = state.logFrequency ? std::pow(10.0, window.xMax) : window.xMax;
            shown = visibleRange(3, end - 1, low, high, 2.0 * size / frequencyScale);
            if (shown.begin > 3)
                m_start = { points.x(shown.begin - 1), points.y(shown.begin - 1) };
        }
        const long long lb = state.lbFrequencies;
        std::vector<IndexRange> pieces { shown };
        if (lbColored && lb >= 3 && lb < size) {
            const std::size_t split = std::clamp(
                static_cast<std::size_t>(lb) + 1, shown.begin, std::max(shown.begin, shown.end));
            pieces = { { shown.begin, split }, { split, std::max(split, shown.end) } };
        }
        m_curve.emplace(points, pieces, chunkPointsFor(end));
        addRunTasks(*m_curve, tasks);
    }

    void draw(Canvas& canvas, ColorRef color) const
    {
        if (!m_curve)
            return;
        canvas.setClipRect(clipOf(m_panel));
        canvas.selectPen(color);
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

// What a reference's reduced curve was made under: the same key draws
// the same pixels.
struct ReferenceKey {
    std::uint64_t serial = 0;
    DeviceRect panel;
    PlotWindow window;
    bool zoomed = false;
    bool logFrequency = false;
    double frequencyScale = 1.0;

    bool operator==(const ReferenceKey& other) const
    {
        return serial == other.serial && panel == other.panel && window.xMin == other.window.xMin
            && window.xMax == other.window.xMax && window.yMin == other.window.yMin
            && window.yMax == other.window.yMax && zoomed == other.zoomed
            && logFrequency == other.logFrequency && frequencyScale == other.frequencyScale;
    }
};

template <bool logPower>
using CachedCurves
    = std::vector<std::pair<ReferenceKey, std::shared_ptr<const SpectrumCurve<logPower>>>>;

} // namespace

struct ReferenceCache::Entries {
    CachedCurves<true> logCurves;
    CachedCurves<false> linearCurves;
};

ReferenceCache::ReferenceCache()
    : m_entries(std::make_unique<Entries>())
{
}

ReferenceCache::~ReferenceCache() = default;

namespace {

template <bool logPower> CachedCurves<logPower>& cachedCurves(ReferenceCache& cache)
{
    if constexpr (logPower)
        return cache.entries().logCurves;
    else
        return cache.entries().linearCurves;
}

// The live spectrum and the references beneath it, which share its
// window. A reference the view's cache holds under the same key is drawn
// from there; the others are reduced on the threads with the live curve.
template <bool logPower> class SpectrumCurves {
public:
    SpectrumCurves(const AnalysisState& state, const PictureView& view,
        const PanelPlacement& placement, Tasks& tasks)
    {
        if (view.comparing())
            makeReferences(state, view, placement, tasks);
        m_live.emplace(state, placement, tasks);
    }

    void draw(Canvas& canvas) const
    {
        for (std::size_t i = 0; i < m_references.size(); ++i)
            m_references[i]->draw(canvas, referenceColors[i]);
        m_live->draw(canvas, spectrumColor);
    }

private:
    void makeReferences(const AnalysisState& state, const PictureView& view,
        const PanelPlacement& placement, Tasks& tasks)
    {
        const ReferenceCurves& references = *view.references;
        CachedCurves<logPower> drawn;
        for (std::size_t i = 0; i < references.size(); ++i) {
            const double scale = referenceFrequencyScale(state, references[i].identity);
            const ReferenceKey key { references[i].serial, placement.panel, placement.window,
                placement.zoomed, state.logFrequency != 0, scale };
            std::shared_ptr<const SpectrumCurve<logPower>> curve;
            if (view.cache)
                for (const auto& [cachedKey, cached] : cachedCurves<logPower>(*view.cache))
                    if (cachedKey == key)
                        curve = cached;
            if (!curve)
                curve = std::make_shared<SpectrumCurve<logPower>>(
                    state, references[i].psd, scale, false, placement, tasks);
            m_references.push_back(curve);
            drawn.emplace_back(key, curve);
        }
        if (view.cache) {
            cachedCurves<logPower>(*view.cache) = std::move(drawn);
            cachedCurves<!logPower>(*view.cache).clear();
        }
    }

    std::vector<std::shared_ptr<const SpectrumCurve<logPower>>> m_references;
    std::optional<SpectrumCurve<logPower>> m_live;
};

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
