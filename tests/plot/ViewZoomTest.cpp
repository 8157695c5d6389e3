#include "plot/ViewZoom.h"
#include "plot/PlotPicture.h"
#include "plot/PlotReadout.h"
#include "support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr DeviceRect client { 0, 0, 1200, 800 };

AnalysisState withSeriesAndSpectrum(unsigned count, int M)
{
    AnalysisState state;
    resetAnalysisState(state);
    state.series.allocate(count + 1);
    for (unsigned i = 0; i <= count; ++i)
        state.series[i] = static_cast<float>(std::sin(0.01 * i));
    state.sampleCount = count;
    state.psd.allocate(static_cast<std::size_t>(M) + 1);
    for (int i = 0; i <= M; ++i)
        state.psd[i] = -1.0f - 0.002f * static_cast<float>(i);
    state.psdSize = M;
    state.psdValid = 1;
    return state;
}

PictureLayout drawn(const AnalysisState& state, const PictureView& view)
{
    RecordingCanvas canvas(client);
    return drawPicture(canvas, state, view);
}

// A zoom to a rectangle and back to the full picture, on both panels and
// with and without axes: the zoomed window puts the rectangle's edges on
// the panel's edges, an entry or sample under the mouse before the zoom is
// the one under its new column after it, and zooming out gives back the
// readout of the full picture.
TEST(ViewZoom, RectangleZoomAndBackKeepsWhatTheReadoutNames)
{
    for (bool axes : { false, true })
        for (int logFrequency : { 1, 0 }) {
            AnalysisState state = withSeriesAndSpectrum(5000, 512);
            state.logFrequency = logFrequency;
            PictureView view;
            view.axes = axes;
            const PictureLayout full = drawn(state, view);
            const DeviceRect panel = full.spectrum.panel;
            const DevicePoint probe { panel.left + (panel.right - panel.left) * 3 / 4,
                (panel.top + panel.bottom) / 2 };
            const PlotReadout before = plotReadoutAt(state, full, probe);
            ASSERT_EQ(before.kind, PlotReadout::BIN);

            const DeviceRect drag { probe.x - 40, probe.y - 30, probe.x + 60, probe.y + 30 };
            const std::optional<PlotWindow> window
                = zoomToRect(full.spectrum.window, full.spectrum.mapping(), drag, true);
            ASSERT_TRUE(window);
            view.spectrumZoom = PanelZoom { *window, logFrequency != 0, true };
            const PictureLayout zoomed = drawn(state, view);
            const PlotMapping mapping = zoomed.spectrum.mapping();
            EXPECT_EQ(deviceX(window->xMin, mapping), zoomed.spectrum.panel.left);
            EXPECT_EQ(deviceX(window->xMax, mapping), zoomed.spectrum.panel.right);
            const double f = before.frequency;
            const int column = deviceX(logFrequency ? std::log10(f) : f, mapping);
            const PlotReadout inside = plotReadoutAt(state, zoomed, { column, probe.y });
            EXPECT_EQ(inside.kind, PlotReadout::BIN);
            EXPECT_EQ(inside.index, before.index) << "axes " << axes << " log " << logFrequency;

            view.spectrumZoom.reset();
            const PictureLayout back = drawn(state, view);
            EXPECT_EQ(plotReadoutAt(state, back, probe).index, before.index);
            EXPECT_EQ(back.spectrum.panel, full.spectrum.panel);
        }
}

TEST(ViewZoom, FlatDragZoomsSamplesOnlyAndTinyDragsDoNothing)
{
    AnalysisState state = withSeriesAndSpectrum(5000, 512);
    const PictureLayout full = drawn(state, {});
    const PlotMapping mapping = full.signal.mapping();
    const std::optional<PlotWindow> flat
        = zoomToRect(full.signal.window, mapping, { 120, 50, 600, 51 }, true);
    ASSERT_TRUE(flat);
    EXPECT_NEAR(flat->xMin, 120.0 * 5000 / 1200, 1e-9);
    EXPECT_NEAR(flat->xMax, 600.0 * 5000 / 1200, 1e-9);
    EXPECT_EQ(flat->yMin, state.signalMin);
    EXPECT_EQ(flat->yMax, state.signalMax);

    // Corners in any order; rows count only when asked for.
    const std::optional<PlotWindow> tall
        = zoomToRect(full.signal.window, mapping, { 600, 200, 120, 100 }, true);
    ASSERT_TRUE(tall);
    EXPECT_EQ(tall->xMin, flat->xMin);
    EXPECT_NEAR(tall->yMax, worldY(100, mapping), 1e-12);
    EXPECT_LT(tall->yMin, tall->yMax);

    EXPECT_FALSE(zoomToRect(full.signal.window, mapping, { 300, 10, 301, 200 }, true));
    // A series drawn without a height (min equal to max) still zooms in x.
    const PlotWindow flatSeries { 0.0, 5000.0, 0.25, 0.25 };
    const PlotMapping flatMapping = makePlotMapping(full.signal.panel, flatSeries);
    const std::optional<PlotWindow> along
        = zoomToRect(flatSeries, flatMapping, { 120, 50, 600, 51 }, true);
    ASSERT_TRUE(along);
    EXPECT_EQ(along->yMin, 0.25);
    EXPECT_TRUE(zoomAbout(flatSeries, flatMapping, { 300, 50 }, 0.5, false));
    // The Graphics dialog allows a window upside down; the zoom keeps it so.
    state.signalMin = 5.0;
    state.signalMax = -5.0;
    const PictureLayout upside = drawn(state, {});
    const std::optional<PlotWindow> kept
        = zoomToRect(upside.signal.window, upside.signal.mapping(), { 100, 20, 300, 120 }, true);
    ASSERT_TRUE(kept);
    EXPECT_GT(kept->yMin, kept->yMax);
}

TEST(ViewZoom, WheelZoomKeepsThePointUnderTheMouseAndPanMovesIt)
{
    const AnalysisState state = withSeriesAndSpectrum(5000, 512);
    const PictureLayout full = drawn(state, {});
    const PlotMapping mapping = full.signal.mapping();
    const DevicePoint at { 300, 100 };
    const std::optional<PlotWindow> in = zoomAbout(full.signal.window, mapping, at, 0.5, false);
    ASSERT_TRUE(in);
    EXPECT_NEAR(in->xMax - in->xMin, 2500.0, 1e-9);
    EXPECT_EQ(in->yMin, full.signal.window.yMin);
    const PlotMapping zoomed = makePlotMapping(full.signal.panel, *in);
    EXPECT_NEAR(worldX(at.x, zoomed), worldX(at.x, mapping), 1e-9);

    const PlotWindow moved = panWindow(full.signal.window, mapping, { 300, 100 }, { 400, 100 });
    EXPECT_NEAR(worldX(400, makePlotMapping(full.signal.panel, moved)), worldX(300, mapping), 1e-9);
    EXPECT_FALSE(zoomAbout(full.signal.window, mapping, at, 0.0, false));
    EXPECT_FALSE(zoomAbout(full.signal.window, mapping, at, 1e-30, false));
}

TEST(ViewZoom, FitSpectrumHoldsTheDrawnBins)
{
    AnalysisState state = withSeriesAndSpectrum(5000, 1024);
    state.psd[500] = std::numeric_limits<float>::quiet_NaN();
    state.psd[1] = 50.0f; // never drawn
    state.psd[1024] = -90.0f; // never drawn
    for (int logFrequency : { 1, 0 })
        for (int logPower : { 1, 0 }) {
            state.logFrequency = logFrequency;
            state.logPower = logPower;
            const std::optional<PlotWindow> fit = fitSpectrumWindow(state);
            ASSERT_TRUE(fit);
            const double first = 2.0 / 2048, last = 1023.0 / 2048;
            EXPECT_DOUBLE_EQ(fit->xMin, logFrequency ? std::log10(first) : first);
            EXPECT_DOUBLE_EQ(fit->xMax, logFrequency ? std::log10(last) : last);
            const double low = -1.0 - 0.002f * 1023, high = -1.0 - 0.002f * 2;
            const double bottom = logPower ? low : std::pow(10.0, low);
            const double top = logPower ? high : std::pow(10.0, high);
            EXPECT_LT(fit->yMin, bottom);
            EXPECT_GT(fit->yMin, bottom - (top - bottom) * 0.1);
            EXPECT_GT(fit->yMax, top);
            EXPECT_LT(fit->yMax, top + (top - bottom) * 0.1);
        }
    state.psdValid = 0;
    EXPECT_FALSE(fitSpectrumWindow(state));
}

// A zoomed series of many samples is reduced from the samples it shows:
// every line lies in the panel's clip and their number follows the
// panel's width, not the series' length.
TEST(ViewZoom, ZoomedSeriesDrawsOnlyItsVisibleSamples)
{
    const AnalysisState state = withSeriesAndSpectrum(2000000, 512);
    PictureView view;
    view.signalZoom = PanelZoom { { 1000000.0, 1000300.0, -1.0, 1.0 }, false, false };
    RecordingCanvas canvas(client);
    const PictureLayout layout = drawPicture(canvas, state, view);
    std::size_t curveLines = 0;
    for (std::size_t i = 0; i < canvas.lines.size(); ++i) {
        const std::optional<DeviceRect> clip = canvas.clipOfLine(i);
        if (clip && *clip == DeviceRect { 0, 0, client.right + 1, layout.third + 1 })
            ++curveLines;
    }
    EXPECT_GT(curveLines, 250u);
    EXPECT_LT(curveLines, 310u);
}

} // namespace
