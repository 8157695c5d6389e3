#include "plot/CurveLegend.h"

#include "plot/Palette.h"
#include "plot/PhysicalFrequency.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int MARGIN = 4;
constexpr int STROKE = 18;
constexpr int ROW_GAP = 2;

double timeStepOf(int hasTimeStep, double timeStep)
{
    return hasPhysicalFrequency(hasTimeStep, timeStep) ? timeStep : 1.0;
}

std::string frequencyUnit(int hasTimeStep, double timeStep, const std::string& timeUnit)
{
    if (!hasPhysicalFrequency(hasTimeStep, timeStep))
        return "cycles/sample";
    return timeUnit.empty() ? "cycles per unit" : "1/" + timeUnit;
}

// The stroke before a row's text: in two colours for a curve drawn in
// two (the live spectrum's low band and the bins beyond it).
struct LegendRow {
    std::string text;
    ColorRef color;
    ColorRef beyond;
};

} // namespace

double referenceFrequencyScale(const AnalysisState& live, const CurveIdentity& reference)
{
    // Held to a range whose products with the frequencies and the index
    // bounds of a zoom stay finite; a reference that far off lies beyond
    // the panel either way.
    const double ratio = timeStepOf(live.hasTimeStep, live.timeStep)
        / timeStepOf(reference.hasTimeStep, reference.timeStep);
    return std::clamp(ratio, 0x1p-60, 0x1p60);
}

std::string legendText(const AnalysisState& live, const CurveIdentity& curve)
{
    const std::string own = frequencyUnit(curve.hasTimeStep, curve.timeStep, curve.timeUnit);
    if (own == frequencyUnit(live.hasTimeStep, live.timeStep, live.timeUnit))
        return curveLabel(curve);
    return curveLabel(curve) + " (frequency in " + own + ")";
}

void drawCurveLegend(
    Canvas& canvas, const AnalysisState& state, const PictureView& view, DeviceRect panel)
{
    std::vector<LegendRow> rows { { legendText(state, view.live), spectrumColor,
        state.colorLb != 0 ? beyondLbColor : spectrumColor } };
    if (view.references)
        for (std::size_t i = 0; i < view.references->size(); ++i)
            rows.push_back({ legendText(state, (*view.references)[i].identity),
                referenceColors[i], referenceColors[i] });
    int widest = 0;
    for (const LegendRow& row : rows)
        widest = std::max(widest, canvas.textWidth(row.text));
    const int textHeight = canvas.textHeight();
    const int textLeft = panel.right - MARGIN - widest;
    canvas.setClipRect({ panel.left + 1, panel.top + 1, panel.right, panel.bottom });
    int top = panel.top + MARGIN;
    for (const LegendRow& row : rows) {
        const int middle = top + textHeight / 2;
        const int strokeMiddle = textLeft - MARGIN - STROKE / 2;
        canvas.selectPen(row.color);
        canvas.moveTo({ textLeft - MARGIN - STROKE, middle });
        canvas.lineTo({ strokeMiddle, middle });
        canvas.selectPen(row.beyond);
        canvas.lineTo({ textLeft - MARGIN, middle });
        canvas.textOut({ textLeft, top }, row.text);
        top += textHeight + ROW_GAP;
    }
    canvas.selectDefaultPen();
    canvas.clearClipRect();
}
