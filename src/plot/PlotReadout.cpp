#include "plot/PlotReadout.h"

#include "core/CFormat.h"
#include "plot/CurveLegend.h"
#include "plot/PhysicalFrequency.h"
#include "plot/PlotMapping.h"
#include "plot/PlotPicture.h"

#include <cmath>

namespace {

bool inside(DeviceRect rect, DevicePoint at)
{
    return at.x >= rect.left && at.x <= rect.right && at.y >= rect.top && at.y <= rect.bottom;
}

PlotReadout sampleAt(const AnalysisState& state, const PanelPlacement& placement, int x)
{
    const unsigned count = state.sampleCount;
    if (count == 0 || state.series.size() < static_cast<std::size_t>(count) + 1)
        return {};
    const PlotMapping mapping = placement.mapping();
    if (mapping.xScale == 0.0)
        return {};
    // Sample i is drawn at the device x of world x i (sample 1 at world 0);
    // the last sample is not drawn.
    const double world = (x - 0.5 + mapping.xOffset) / mapping.xScale;
    const double last = count > 1 ? static_cast<double>(count - 1) : 1.0;
    const double nearest = std::clamp(std::round(world), 1.0, last);
    PlotReadout readout;
    readout.kind = PlotReadout::SAMPLE;
    readout.index = static_cast<std::size_t>(nearest);
    readout.value = state.series[readout.index];
    return readout;
}

// The entry of `psd` (M + 1 entries) drawn nearest to column x, its
// frequencies drawn `frequencyScale` times their own.
PlotReadout binOf(const FloatBuffer& psd, double frequencyScale, bool logFrequency,
    const PanelPlacement& placement, int x)
{
    const std::size_t entries = psd.size();
    if (entries < 4 || entries - 1 > 0x40000000u)
        return {};
    const std::size_t M = entries - 1;
    const PlotMapping mapping = placement.mapping();
    auto frequency = [&](std::size_t i) { return static_cast<double>(i) * 0.5 / M; };
    auto deviceValue = [&](std::size_t i) {
        const double f = frequency(i) * frequencyScale;
        return deviceValueX(logFrequency ? std::log10(f) : f, mapping);
    };
    // The drawn x grows with the entry: the first entry at or right of the
    // column, or the one before it, whichever is nearer.
    std::size_t low = 2;
    std::size_t high = M - 1;
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (deviceValue(middle) < x)
            low = middle + 1;
        else
            high = middle;
    }
    // Compared by the columns they are drawn in, the one at or right of
    // the mouse winning a tie.
    auto distance = [&](std::size_t i) { return std::fabs(std::floor(deviceValue(i)) - x); };
    std::size_t index = low;
    if (index > 2 && distance(index - 1) < distance(index))
        index -= 1;
    PlotReadout readout;
    readout.kind = PlotReadout::BIN;
    readout.index = index;
    readout.frequency = frequency(index);
    readout.value = psd[index];
    return readout;
}

PlotReadout binAt(const AnalysisState& state, const PanelPlacement& placement, int x)
{
    if (!state.psdValid)
        return {};
    return binOf(state.psd, 1.0, state.logFrequency != 0, placement, x);
}

// How far from `y` the entry is drawn, its power raised to the window's
// bottom as the curve raises it.
double rowDistance(
    const AnalysisState& state, const PanelPlacement& placement, const PlotReadout& readout, int y)
{
    const double power = state.logPower ? readout.value : std::pow(10.0, readout.value);
    const double drawn = power >= placement.window.yMin ? power : placement.window.yMin;
    return std::fabs(deviceValueY(drawn, placement.mapping()) - y);
}

PlotReadout nearestBinAt(const AnalysisState& state, const PanelPlacement& placement,
    const PictureView& view, DevicePoint at)
{
    PlotReadout nearest = binAt(state, placement, at.x);
    if (nearest.kind == PlotReadout::NOTHING)
        return nearest;
    double best = rowDistance(state, placement, nearest, at.y);
    const ReferenceCurves& references = *view.references;
    for (std::size_t r = 0; r < references.size(); ++r) {
        PlotReadout candidate
            = binOf(references[r].psd, referenceFrequencyScale(state, references[r].identity),
                state.logFrequency != 0, placement, at.x);
        if (candidate.kind == PlotReadout::NOTHING)
            continue;
        const double distance = rowDistance(state, placement, candidate, at.y);
        if (distance < best) {
            best = distance;
            candidate.curve = r + 1;
            nearest = candidate;
        }
    }
    return nearest;
}

std::string binText(const PlotReadout& readout, const AnalysisState& state)
{
    std::string text = formatC("Bin %zu: f = %.6g cycles/sample", readout.index, readout.frequency);
    if (hasPhysicalFrequency(state))
        text += " = " + physicalFrequencyText(state, readout.frequency);
    else if (state.exportDt != 1.0 && std::isfinite(state.exportDt) && state.exportDt != 0.0)
        text
            += formatC(" = %.6g /DT (DT=%.6g)", readout.frequency / state.exportDt, state.exportDt);
    return text + formatC(", log power %.4f", readout.value);
}

std::string referenceBinText(const PlotReadout& readout, const CurveIdentity& curve)
{
    std::string text = formatC("Bin %zu: f = %.6g cycles/sample", readout.index, readout.frequency);
    if (hasPhysicalFrequency(curve.hasTimeStep, curve.timeStep))
        text += " = " + physicalFrequencyText(curve.timeStep, curve.timeUnit, readout.frequency);
    return text + formatC(", log power %.4f", readout.value);
}

} // namespace

PlotReadout plotReadoutAt(const AnalysisState& state, DeviceRect client, DevicePoint at)
{
    return plotReadoutAt(state, plainLayout(client, state, PictureView {}), at);
}

PlotReadout plotReadoutAt(const AnalysisState& state, const PictureLayout& layout, DevicePoint at)
{
    if (inside(layout.signal.panel, at))
        return sampleAt(state, layout.signal, at.x);
    if (inside(layout.spectrum.panel, at))
        return binAt(state, layout.spectrum, at.x);
    return {};
}

PlotReadout plotReadoutAt(const AnalysisState& state, const PictureLayout& layout,
    const PictureView& view, DevicePoint at)
{
    if (view.comparing() && inside(layout.spectrum.panel, at))
        return nearestBinAt(state, layout.spectrum, view, at);
    return plotReadoutAt(state, layout, at);
}

std::string plotReadoutText(const AnalysisState& state, const PlotReadout& readout)
{
    switch (readout.kind) {
    case PlotReadout::SAMPLE:
        return formatC("Sample %zu: %.7g", readout.index, readout.value);
    case PlotReadout::BIN:
        return binText(readout, state);
    case PlotReadout::NOTHING:
        break;
    }
    return {};
}

std::string plotReadoutText(
    const AnalysisState& state, const PlotReadout& readout, const PictureView& view)
{
    if (readout.kind != PlotReadout::BIN || !view.comparing())
        return plotReadoutText(state, readout);
    if (readout.curve == 0 || readout.curve > view.references->size())
        return legendText(state, view.live) + ": " + binText(readout, state);
    const CurveIdentity& curve = (*view.references)[readout.curve - 1].identity;
    return legendText(state, curve) + ": " + referenceBinText(readout, curve);
}
