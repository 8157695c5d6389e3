#include "plot/PlotPicture.h"
#include "plot/StatisticsText.h"
#include "support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

AnalysisState analysed(double scale, int logFrequency, int logPower)
{
    AnalysisState state;
    resetAnalysisState(state);
    const unsigned count = 70000;
    state.series.allocate(count + 1);
    for (unsigned i = 0; i <= count; ++i)
        state.series[i] = static_cast<float>(scale * std::sin(0.001 * i));
    state.sampleCount = count;
    state.signalMin = -scale;
    state.signalMax = scale;
    state.seriesMin = -scale;
    state.seriesMax = scale;
    const int M = 4096;
    state.psd.allocate(M + 1);
    for (int i = 0; i <= M; ++i)
        state.psd[i] = -2.0f - 0.002f * static_cast<float>(i);
    state.psdSize = M;
    state.psdValid = 1;
    state.logFrequency = logFrequency;
    state.logPower = logPower;
    state.maxNormalPower = 0.01;
    return state;
}

DeviceRect rectOf(const RecordedText& text)
{
    return { text.at.x, text.at.y,
        text.at.x + static_cast<int>(text.text.size()) * RecordingCanvas::charWidth,
        text.at.y + RecordingCanvas::lineHeight };
}

bool overlaps(DeviceRect a, DeviceRect b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool within(DeviceRect inner, DeviceRect outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right
        && inner.bottom <= outer.bottom;
}

bool drawnText(const RecordingCanvas& canvas, const std::string& text)
{
    return std::any_of(canvas.texts.begin(), canvas.texts.end(),
        [&](const RecordedText& drawn) { return drawn.text == text; });
}

// With axes on, at the smallest and at a large window size, on every
// scale and with values whose labels are long: no text overlaps another,
// none enters a panel or leaves the window, and each axis keeps labels.
TEST(PictureAxes, LabelsNeverOverlapEachOtherThePanelsOrTheStatistics)
{
    struct Size {
        int width;
        int height;
    };
    for (Size size : { Size { 640, 480 }, Size { 1600, 1000 } })
        for (double scale : { 1.0, 123456.0, 0.00042 })
            for (int logFrequency : { 1, 0 })
                for (int logPower : { 1, 0 }) {
                    const AnalysisState state = analysed(scale, logFrequency, logPower);
                    const DeviceRect client { 0, 0, size.width, size.height };
                    RecordingCanvas canvas(client);
                    PictureView view;
                    view.axes = true;
                    const PictureLayout layout = drawPicture(canvas, state, view);
                    const std::string where = std::to_string(size.width) + " scale "
                        + std::to_string(scale) + " log " + std::to_string(logFrequency)
                        + std::to_string(logPower);
                    const DeviceRect panels[] = { layout.signal.panel, layout.spectrum.panel };
                    for (std::size_t i = 0; i < canvas.texts.size(); ++i) {
                        const DeviceRect rect = rectOf(canvas.texts[i]);
                        if (canvas.texts[i].text == " ")
                            continue;
                        EXPECT_TRUE(within(rect, client)) << where << canvas.texts[i].text;
                        for (DeviceRect panel : panels)
                            EXPECT_FALSE(overlaps(
                                rect, { panel.left, panel.top, panel.right + 1, panel.bottom + 1 }))
                                << where << " " << canvas.texts[i].text;
                        for (std::size_t j = i + 1; j < canvas.texts.size(); ++j)
                            EXPECT_FALSE(overlaps(rect, rectOf(canvas.texts[j])))
                                << where << " '" << canvas.texts[i].text << "' and '"
                                << canvas.texts[j].text << "'";
                    }
                    EXPECT_TRUE(drawnText(canvas, "sample")) << where;
                    EXPECT_TRUE(drawnText(canvas, "value")) << where;
                    EXPECT_TRUE(drawnText(canvas, "frequency (cycles/sample)")) << where;
                    EXPECT_TRUE(drawnText(canvas, logPower ? "log10 power" : "power")) << where;
                    // Labels drawn besides the titles and the nine statistics lines.
                    EXPECT_GE(canvas.texts.size(), 9u + 4u + 8u) << where;
                    EXPECT_GT(layout.spectrum.panel.right - layout.spectrum.panel.left, 100)
                        << where;
                }
}

TEST(PictureAxes, FrequencyAxisShowsDecadesOnALogScaleAndStepsOnALinearOne)
{
    const DeviceRect client { 0, 0, 1000, 700 };
    RecordingCanvas logCanvas(client);
    PictureView view;
    view.axes = true;
    drawPicture(logCanvas, analysed(1.0, 1, 1), view);
    for (const char* decade : { "1e-5", "0.0001", "0.001", "0.01", "0.1", "1" })
        EXPECT_TRUE(drawnText(logCanvas, decade)) << decade;

    RecordingCanvas linearCanvas(client);
    drawPicture(linearCanvas, analysed(1.0, 0, 1), view);
    for (const char* step : { "0", "0.1", "0.2", "0.3", "0.4", "0.5" })
        EXPECT_TRUE(drawnText(linearCanvas, step)) << step;
}

// The axes do not change what the record holds or what the default
// picture draws.
TEST(PictureAxes, DefaultViewDrawsThePictureWithoutAxes)
{
    const AnalysisState state = analysed(1.0, 1, 1);
    const DeviceRect client { 0, 0, 800, 600 };
    RecordingCanvas plain(client);
    drawPicture(plain, state);
    RecordingCanvas viewed(client);
    drawPicture(viewed, state, PictureView {});
    EXPECT_EQ(viewed.lines, plain.lines);
    EXPECT_EQ(viewed.texts, plain.texts);
    EXPECT_EQ(viewed.clips, plain.clips);
}

// With a time step the frequency axis and the statistics speak cycles per
// unit; with the axes off the picture is the one without a time step.
TEST(PictureAxes, TimeStepLabelsTheFrequencyAxisInCyclesPerUnit)
{
    struct Case {
        const char* name;
        double timeStep;
        const char* unit;
        int logFrequency;
        const char* title;
        std::vector<const char*> labels;
        const char* peakLine;
    };
    const Case cases[] = {
        { "yearly, linear", 1.0, "yr", 0, "frequency (1/yr)", { "0", "0.1", "0.5" },
            "peak 0.0898 /yr, period 11.1 yr" },
        { "half-yearly, log", 0.5, "yr", 1, "frequency (1/yr)", { "0.0001", "0.01", "1" },
            "peak 0.18 /yr, period 5.57 yr" },
        { "no unit name, linear", 0.25, "", 0, "frequency (cycles per unit)",
            { "0", "0.5", "1.0", "1.5" }, "peak 0.359 per unit, period 2.78 unit" },
    };
    const DeviceRect client { 0, 0, 1000, 700 };
    for (const Case& c : cases) {
        AnalysisState state = analysed(1.0, c.logFrequency, 1);
        state.peakFrequency = 0.179688;
        state.hasTimeStep = 1;
        state.timeStep = c.timeStep;
        state.timeUnit = c.unit;
        PictureView view;
        view.axes = true;
        RecordingCanvas canvas(client);
        drawPicture(canvas, state, view);
        EXPECT_TRUE(drawnText(canvas, c.title)) << c.name;
        EXPECT_FALSE(drawnText(canvas, "frequency (cycles/sample)")) << c.name;
        for (const char* label : c.labels)
            EXPECT_TRUE(drawnText(canvas, label)) << c.name << " " << label;
        EXPECT_TRUE(drawnText(canvas, c.peakLine)) << c.name;
        EXPECT_TRUE(drawnText(canvas, "Max Peak at 0.179688")) << c.name;

        RecordingCanvas withoutAxes(client);
        drawPicture(withoutAxes, state, PictureView {});
        state.hasTimeStep = 0;
        RecordingCanvas seed(client);
        drawPicture(seed, state, PictureView {});
        EXPECT_EQ(withoutAxes.lines, seed.lines) << c.name;
        EXPECT_EQ(withoutAxes.texts, seed.texts) << c.name;
    }
}

} // namespace

namespace {

// Windows far below the usual size leave the panels no room: the picture
// is still drawn, and every text it keeps stays inside the window.
TEST(PictureAxes, TinyWindowsDrawWithoutTextOutside)
{
    AnalysisState state = analysed(1.0, 1, 1);
    for (int dotted : { 0, 1 }) {
        state.dottedSignal = dotted;
        for (DeviceRect client : { DeviceRect { 0, 0, 1, 1 }, DeviceRect { 0, 0, 50, 40 },
                 DeviceRect { 0, 0, 200, 100 }, DeviceRect { 0, 0, 0, 0 } }) {
            RecordingCanvas canvas(client);
            PictureView view;
            view.axes = true;
            view.signalZoom = PanelZoom { { 10.0, 20.0, -0.5, 0.5 } };
            drawPicture(canvas, state, view);
            // The statistics keep their places whatever the size.
            const std::vector<std::string> statistics = statisticsTexts(state);
            for (const RecordedText& text : canvas.texts) {
                if (std::find(statistics.begin(), statistics.end(), text.text) != statistics.end())
                    continue;
                EXPECT_TRUE(within(rectOf(text), client)) << client.right << " " << text.text;
            }
        }
    }
}

} // namespace
