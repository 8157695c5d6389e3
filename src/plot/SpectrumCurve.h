#pragma once

#include "core/AnalysisState.h"
#include "core/FloatBuffer.h"
#include "plot/Canvas.h"
#include "plot/ChunkedCurve.h"
#include "plot/CurvePoints.h"
#include "plot/CurveTasks.h"
#include "plot/Palette.h"
#include "plot/PictureLayout.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <optional>
#include <vector>

namespace curveDrawing {

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

} // namespace curveDrawing
