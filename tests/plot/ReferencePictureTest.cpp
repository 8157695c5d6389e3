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
    std::fill(psd.data(), psd.data() + M + 1, value);
    return psd;
}

AnalysisState liveState(int M, float value)
{
    AnalysisState state;
    resetAnalysisState(state);
    state.dataFileName = "/data/live.dat";
    state.logFrequency = 0;
    state.psdValid = 1;
    state.psd = spectrum(M, value);
    return state;
}

CurveIdentity named(const std::string& file, int M, double dt, const std::string& unit = "")
{
    return { file, 1, M, 1, "Hanning", dt > 0.0, dt > 0.0 ? dt : 1.0, unit };
}

void keep(ReferenceCurves& references, const CurveIdentity& identity, float value)
{
    const FloatBuffer psd = spectrum(identity.psdSize, value);
    references.keep(identity, psd.data(), psd.size());
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

// The colours of the curves in the order drawn, each once per stretch.
std::vector<ColorRef> curveColours(const RecordingCanvas& canvas)
{
    std::vector<ColorRef> colours;
    for (const RecordedLine& line : canvas.lines)
        if (line.color != blackColor && (colours.empty() || colours.back() != line.color))
            colours.push_back(line.color);
    return colours;
}

} // namespace

// Each reference in its own colour, in the order kept, before the live
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
        keep(references, named("a.dat", 128, c.referenceDt), -5.0f);
        keep(references, named("b.dat", 32, 0.0), -7.0f);
        RecordingCanvas canvas(client);
        drawPicture(canvas, state, comparing(references, state, false));
        RecordingCanvas plain(client);
        drawPicture(plain, state);

        EXPECT_EQ(curveColours(canvas),
            (std::vector<ColorRef> {
                referenceColors[0], referenceColors[1], spectrumColor, beyondLbColor }));
        EXPECT_EQ(linesIn(canvas, spectrumColor), linesIn(plain, spectrumColor));
        EXPECT_EQ(linesIn(canvas, beyondLbColor), linesIn(plain, beyondLbColor));
        const DeviceRect panel = spectrumPanel(client);
        int right = panel.left;
        for (const RecordedLine& line : linesIn(canvas, referenceColors[0]))
            right = std::max(right, line.to.x);
        EXPECT_NEAR(right, panel.left + c.reach * 127.0 / 128.0 * (panel.right - panel.left), 2.0);
    }
}

// With axes a legend line names each curve, the live one first, and says
// when a reference's time unit differs; the readout names the curve drawn
// nearest to the pointer in its column.
TEST(ReferencePicture, LegendAndReadoutNameTheCurves)
{
    AnalysisState state = liveState(64, -3.0f);
    state.hasTimeStep = 1;
    state.timeUnit = "sec";
    ReferenceCurves references;
    keep(references, named("/x/low.dat", 64, 1.0, "sec"), -9.0f);
    keep(references, named("days.dat", 16, 1.0, "d"), -6.0f);
    keep(references, named("plain.dat", 16, 0.0), -6.0f);
    const std::vector<std::string> legend = { "live.dat:1, M=64, K=1, Hanning",
        "low.dat:1, M=64, K=1, Hanning", "days.dat:1, M=16, K=1, Hanning (frequency in 1/d)",
        "plain.dat:1, M=16, K=1, Hanning (frequency in cycles/sample)" };
    for (const bool axes : { true, false }) {
        RecordingCanvas canvas(client);
        drawPicture(canvas, state, comparing(references, state, axes));
        for (const std::string& line : legend)
            EXPECT_EQ(std::count_if(canvas.texts.begin(), canvas.texts.end(),
                          [&](const RecordedText& text) { return text.text == line; }),
                axes ? 1 : 0)
                << line;
    }

    const PictureView view = comparing(references, state, false);
    const PictureLayout layout = plainLayout(client, state, view);
    const PlotMapping mapping = layout.spectrum.mapping();
    for (const auto& [power, curve] : { std::pair { -3.5, 0 }, std::pair { -8.5, 1 } }) {
        const PlotReadout readout = plotReadoutAt(
            state, layout, view, { deviceX(0.25, mapping), deviceY(power, mapping) });
        EXPECT_EQ(readout.curve, static_cast<std::size_t>(curve));
        EXPECT_EQ(plotReadoutText(state, readout, view).rfind(legend[curve] + ": Bin 32:", 0), 0u);
    }
}

// A view's cache draws what a fresh reduction draws, through changes of
// size and scales.
TEST(ReferencePicture, CachedReferencesDrawWhatAFreshPaintDraws)
{
    AnalysisState state = liveState(256, -3.0f);
    ReferenceCurves references;
    keep(references, named("a.dat", 512, 0.0), -5.0f);
    keep(references, named("b.dat", 128, 2.0), -6.0f);
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
