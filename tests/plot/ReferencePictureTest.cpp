#include "plot/CurveLegend.h"
#include "plot/Palette.h"
#include "plot/PlotPicture.h"
#include "plot/PlotReadout.h"
#include "plot/ReferenceCache.h"
#include "support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr DeviceRect client { 0, 0, 800, 600 };

FloatBuffer spectrum(int M, float value)
{
    FloatBuffer psd;
    psd.allocate(static_cast<std::size_t>(M) + 1);
    for (int i = 0; i <= M; ++i)
        psd[i] = value;
    return psd;
}

AnalysisState liveState(int M, float value)
{
    AnalysisState state;
    resetAnalysisState(state);
    state.dataFileName = "/data/live.dat";
    state.logFrequency = 0;
    state.psdSize = M;
    state.psdValid = 1;
    state.psd = spectrum(M, value);
    return state;
}

CurveIdentity named(const std::string& file, int M, double dt, const std::string& unit)
{
    return { file, 1, M, 1, "Hanning", dt > 0.0 ? 1 : 0, dt > 0.0 ? dt : 1.0, unit };
}

void keep(ReferenceCurves& references, const CurveIdentity& identity, float value)
{
    const FloatBuffer psd = spectrum(identity.psdSize, value);
    ASSERT_EQ(references.keep(identity, psd.data(), psd.size()), ReferenceCurves::Kept::KEPT);
}

PictureView comparing(const ReferenceCurves& references, const AnalysisState& state, bool axes)
{
    PictureView view;
    view.axes = axes;
    view.references = &references;
    view.live = named(state.dataFileName, static_cast<int>(state.psd.size() - 1),
        state.hasTimeStep ? state.timeStep : 0.0, state.timeUnit);
    return view;
}

std::vector<RecordedLine> linesIn(const RecordingCanvas& canvas, ColorRef color)
{
    std::vector<RecordedLine> found;
    std::copy_if(canvas.lines.begin(), canvas.lines.end(), std::back_inserter(found),
        [&](const RecordedLine& line) { return line.color == color; });
    return found;
}

std::size_t firstIndexOf(const RecordingCanvas& canvas, ColorRef color)
{
    for (std::size_t i = 0; i < canvas.lines.size(); ++i)
        if (canvas.lines[i].color == color)
            return i;
    return canvas.lines.size();
}

std::size_t lastIndexOf(const RecordingCanvas& canvas, ColorRef color)
{
    std::size_t last = 0;
    for (std::size_t i = 0; i < canvas.lines.size(); ++i)
        if (canvas.lines[i].color == color)
            last = i;
    return last;
}

} // namespace

// An empty set of references, or none, draws the picture of today line
// for line and text for text, with and without axes.
TEST(ReferencePicture, WithoutReferencesThePictureIsUnchanged)
{
    const AnalysisState state = liveState(64, -3.0f);
    const ReferenceCurves none;
    for (const bool axes : { false, true }) {
        RecordingCanvas plain(client);
        PictureView view;
        view.axes = axes;
        drawPicture(plain, state, view);
        RecordingCanvas empty(client);
        drawPicture(empty, state, comparing(none, state, axes));
        EXPECT_EQ(empty.lines, plain.lines);
        EXPECT_EQ(empty.texts, plain.texts);
    }
}

// Each reference in its own colour, in the order kept, all before the live
// curve, which stays what it was; with a DT a reference stands at its own
// physical frequencies on the live axis.
TEST(ReferencePicture, ReferencesLieBeneathTheLiveCurveInTheirColours)
{
    const struct {
        double liveDt;
        double referenceDt;
        double reach; // of the reference's last entry, in panel widths
    } cases[] = { { 0.0, 0.0, 1.0 }, { 1.0, 2.0, 0.5 }, { 2.0, 1.0, 2.0 }, { 1.0, 4.0, 0.25 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.referenceDt);
        AnalysisState state = liveState(64, -3.0f);
        state.hasTimeStep = c.liveDt > 0.0;
        state.timeStep = c.liveDt > 0.0 ? c.liveDt : 1.0;
        ReferenceCurves references;
        keep(references, named("a.dat", 128, c.referenceDt, ""), -5.0f);
        keep(references, named("b.dat", 32, 0.0, ""), -7.0f);
        RecordingCanvas canvas(client);
        drawPicture(canvas, state, comparing(references, state, false));
        RecordingCanvas plain(client);
        drawPicture(plain, state);

        ASSERT_FALSE(linesIn(canvas, referenceColors[0]).empty());
        ASSERT_FALSE(linesIn(canvas, referenceColors[1]).empty());
        EXPECT_LT(
            lastIndexOf(canvas, referenceColors[0]), firstIndexOf(canvas, referenceColors[1]));
        EXPECT_LT(lastIndexOf(canvas, referenceColors[1]), firstIndexOf(canvas, spectrumColor));
        EXPECT_EQ(linesIn(canvas, spectrumColor), linesIn(plain, spectrumColor));
        EXPECT_EQ(linesIn(canvas, beyondLbColor), linesIn(plain, beyondLbColor));

        const DeviceRect panel = spectrumPanel(client);
        int right = panel.left;
        for (const RecordedLine& line : linesIn(canvas, referenceColors[0]))
            right = std::max(right, line.to.x);
        const double expected = panel.left + c.reach * 127.0 / 128.0 * (panel.right - panel.left);
        EXPECT_NEAR(right, expected, 2.0);
    }
}

// With axes each curve has a legend line, the live one first; a reference
// in another time unit says which.
TEST(ReferencePicture, LegendNamesEveryCurveOnlyWithAxes)
{
    AnalysisState state = liveState(64, -3.0f);
    state.hasTimeStep = 1;
    state.timeUnit = "sec";
    ReferenceCurves references;
    keep(references, named("/x/same.dat", 32, 1.0, "sec"), -5.0f);
    keep(references, named("days.dat", 16, 1.0, "d"), -6.0f);
    keep(references, named("plain.dat", 16, 0.0, ""), -6.0f);
    auto textsOf = [&](bool axes) {
        RecordingCanvas canvas(client);
        drawPicture(canvas, state, comparing(references, state, axes));
        std::vector<std::string> texts;
        for (const RecordedText& text : canvas.texts)
            texts.push_back(text.text);
        return texts;
    };
    const std::vector<std::string> legend = { "live.dat:1, M=64, K=1, Hanning",
        "same.dat:1, M=32, K=1, Hanning", "days.dat:1, M=16, K=1, Hanning (frequency in 1/d)",
        "plain.dat:1, M=16, K=1, Hanning (frequency in cycles/sample)" };
    const std::vector<std::string> withAxes = textsOf(true);
    const std::vector<std::string> withoutAxes = textsOf(false);
    for (const std::string& line : legend) {
        EXPECT_NE(std::find(withAxes.begin(), withAxes.end(), line), withAxes.end()) << line;
        EXPECT_EQ(std::find(withoutAxes.begin(), withoutAxes.end(), line), withoutAxes.end());
    }
}

// The readout names the curve drawn nearest to the pointer in its column.
TEST(ReferencePicture, ReadoutNamesTheNearestCurve)
{
    const AnalysisState state = liveState(64, -3.0f);
    ReferenceCurves references;
    keep(references, named("low.dat", 64, 0.0, ""), -9.0f);
    const PictureView view = comparing(references, state, false);
    const PictureLayout layout = plainLayout(client, state, view);
    const PlotMapping mapping = layout.spectrum.mapping();
    const int x = deviceX(0.25, mapping);
    const struct {
        double power;
        std::size_t curve;
        std::string lead;
    } cases[] = { { -3.5, 0, "live.dat:1, M=64, K=1, Hanning: Bin 32:" },
        { -8.0, 1, "low.dat:1, M=64, K=1, Hanning: Bin 32:" } };
    for (const auto& c : cases) {
        const PlotReadout readout
            = plotReadoutAt(state, layout, view, { x, deviceY(c.power, mapping) });
        EXPECT_EQ(readout.curve, c.curve);
        EXPECT_EQ(plotReadoutText(state, readout, view).rfind(c.lead, 0), 0u)
            << plotReadoutText(state, readout, view);
    }
}

// A view's cache draws what a fresh reduction draws, through a change of
// size, window or scale and back.
TEST(ReferencePicture, CachedReferencesDrawWhatAFreshPaintDraws)
{
    AnalysisState state = liveState(256, -3.0f);
    ReferenceCurves references;
    keep(references, named("a.dat", 512, 0.0, ""), -5.0f);
    keep(references, named("b.dat", 128, 2.0, ""), -6.0f);
    ReferenceCache cache;
    const struct {
        DeviceRect client;
        int logFrequency;
        int logPower;
    } paints[] = { { client, 0, 1 }, { { 0, 0, 640, 480 }, 0, 1 }, { client, 1, 1 },
        { client, 1, 0 }, { client, 0, 1 } };
    for (const auto& p : paints) {
        state.logFrequency = p.logFrequency;
        state.logPower = p.logPower;
        PictureView view = comparing(references, state, true);
        RecordingCanvas fresh(p.client);
        drawPicture(fresh, state, view);
        view.cache = &cache;
        for (int repeat = 0; repeat < 2; ++repeat) {
            RecordingCanvas cached(p.client);
            drawPicture(cached, state, view);
            EXPECT_EQ(cached.lines, fresh.lines);
        }
    }
}
