#include "plot/PlotPicture.h"
#include "plot/Palette.h"
#include "support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

// 800 x 600: the signal panel is (0, 0, 800, 200) and the spectrum panel
// (450, 202, 799, 596).
constexpr DeviceRect client { 0, 0, 800, 600 };
constexpr RecordedLine axis { { 0, 200 }, { 800, 200 }, blackColor };
constexpr float nanValue = std::numeric_limits<float>::quiet_NaN();
constexpr float infinity = std::numeric_limits<float>::infinity();

AnalysisState startUpState()
{
    AnalysisState state;
    resetAnalysisState(state);
    return state;
}

AnalysisState withSeries(const std::vector<float>& samples)
{
    AnalysisState state = startUpState();
    state.sampleCount = static_cast<unsigned>(samples.size());
    state.series.allocate(samples.size() + 1);
    state.series[0] = 0.0f;
    for (std::size_t i = 0; i < samples.size(); ++i)
        state.series[i + 1] = samples[i];
    return state;
}

// A valid spectrum of size m whose entries all hold `value`, entry 2 `first`.
AnalysisState withSpectrum(int m, float value, float first)
{
    AnalysisState state = startUpState();
    state.psdSize = m;
    state.psdValid = 1;
    state.psd.allocate(static_cast<std::size_t>(m) + 1);
    for (int i = 0; i <= m; ++i)
        state.psd[i] = value;
    state.psd[2] = first;
    return state;
}

std::vector<RecordedLine> curveLines(const RecordingCanvas& canvas)
{
    std::vector<RecordedLine> curve;
    for (const RecordedLine& line : canvas.lines)
        if (line.color != blackColor)
            curve.push_back(line);
    return curve;
}

TEST(PlotPicture, TitleNamesTheDataFile)
{
    AnalysisState state;
    EXPECT_EQ(pictureTitle(state), " ZQ_PSD test.dat");
    state.dataFileName = "/data/run 7.dat";
    EXPECT_EQ(pictureTitle(state), " ZQ_PSD /data/run 7.dat");
}

// Only the axis and the statistics block, at their places and colours.
TEST(PlotPicture, StartUpRecord)
{
    RecordingCanvas canvas(client);
    drawPicture(canvas, startUpState());

    EXPECT_EQ(canvas.lines, std::vector<RecordedLine> { axis });
    EXPECT_TRUE(canvas.pixels.empty());
    const std::vector<RecordedText> expected = {
        { { 20, 210 }, "Y scale min=-1.000000 max=1.000000", blackColor },
        { { 20, 230 }, "N=0", blackColor },
        { { 80, 230 }, " ", originalDataColor },
        { { 20, 250 }, "Average=0.000000", blackColor },
        { { 20, 270 }, "Min=0.000000  Max=0.000000", blackColor },
        { { 20, 290 }, "St Deviation=0.000000", blackColor },
        { { 20, 330 }, "PSD size =1024", blackColor },
        { { 20, 350 }, "Max Peak at 0.000000", blackColor },
        { { 20, 380 }, "LB(16) = 0.00", lbTextColor },
    };
    EXPECT_EQ(canvas.texts, expected);
    EXPECT_EQ(canvas.textColor(), blackColor);
    EXPECT_EQ(canvas.penColor(), blackColor);
}

// Sample 1 stands at world x 0 and sample i at x i; the last sample is not
// drawn. Window (0, N) x (-1, 1) on (0, 0, 800, 200). Values below the
// window are raised to the bottom line, values above leave the panel.
TEST(PlotPicture, SignalCurveAsLinesOrDots)
{
    struct Case {
        std::vector<float> samples;
        int dotted;
        std::vector<RecordedLine> lines;
        std::vector<RecordedPixel> pixels;
    };
    const Case cases[] = {
        { { 0.5f, -0.5f, 0.9f }, 0, { axis, { { 0, 50 }, { 533, 150 }, blackColor } }, {} },
        { { 0.5f, -0.5f, 0.9f }, 1, { axis }, { { { 533, 150 }, blackColor } } },
        { { 0.5f, -100.0f, 100.0f, 0.0f }, 0,
            { axis, { { 0, 50 }, { 400, 200 }, blackColor },
                { { 400, 200 }, { 600, -9899 }, blackColor } },
            {} },
        { { 0.5f, nanValue, -infinity, 0.0f }, 0,
            { axis, { { 0, 50 }, { 400, 200 }, blackColor },
                { { 400, 200 }, { 600, 200 }, blackColor } },
            {} },
        { { 0.5f, 0.25f }, 0, { axis }, {} },
        { { 0.5f }, 1, { axis }, {} },
    };
    for (const Case& c : cases) {
        AnalysisState state = withSeries(c.samples);
        state.dottedSignal = c.dotted;
        RecordingCanvas canvas(client);
        drawPicture(canvas, state);
        EXPECT_EQ(canvas.lines, c.lines) << c.samples.size() << " samples, dotted " << c.dotted;
        EXPECT_EQ(canvas.pixels, c.pixels) << c.samples.size() << " samples, dotted " << c.dotted;
    }
}

TEST(PlotPicture, SignalWithoutHeightOrBufferStaysOnItsEdgeOrIsSkipped)
{
    AnalysisState flat = withSeries({ 0.3f, 0.3f, 0.3f, 0.3f });
    flat.signalMin = flat.signalMax = 0.3;
    RecordingCanvas flatCanvas(client);
    drawPicture(flatCanvas, flat);
    const std::vector<RecordedLine> onBottom = { axis, { { 0, 200 }, { 400, 200 }, blackColor },
        { { 400, 200 }, { 600, 200 }, blackColor } };
    EXPECT_EQ(flatCanvas.lines, onBottom);

    AnalysisState noBuffer = startUpState();
    noBuffer.sampleCount = 5;
    noBuffer.series.release();
    RecordingCanvas emptyCanvas(client);
    drawPicture(emptyCanvas, noBuffer);
    EXPECT_EQ(emptyCanvas.lines, std::vector<RecordedLine> { axis });
}

TEST(PlotPicture, SpectrumFrameAndPowerLabels)
{
    struct Case {
        int logPower;
        double maxNormalPower;
        std::vector<RecordedText> labels;
    };
    const Case cases[] = {
        { 1, 0.5, { { { 420, 207 }, "  0", blackColor }, { { 420, 581 }, "-12", blackColor } } },
        { 0, 0.5, { { { 410, 207 }, "0.50", blackColor }, { { 410, 581 }, "0.00", blackColor } } },
        { 0, 3.0, { { { 410, 207 }, "3.00", blackColor }, { { 410, 581 }, "0.00", blackColor } } },
    };
    for (const Case& c : cases) {
        AnalysisState state = withSpectrum(8, -3.0f, -3.0f);
        state.logPower = c.logPower;
        state.maxNormalPower = c.maxNormalPower;
        RecordingCanvas canvas(client);
        drawPicture(canvas, state);

        const std::vector<RecordedLine> frame = { axis, { { 450, 596 }, { 450, 202 }, blackColor },
            { { 799, 596 }, { 799, 202 }, blackColor }, { { 450, 596 }, { 799, 596 }, blackColor },
            { { 450, 202 }, { 799, 202 }, blackColor } };
        ASSERT_GE(canvas.lines.size(), frame.size());
        EXPECT_EQ(std::vector<RecordedLine>(canvas.lines.begin(), canvas.lines.begin() + 5), frame);
        ASSERT_EQ(canvas.texts.size(), 11u);
        EXPECT_EQ(
            std::vector<RecordedText>(canvas.texts.begin(), canvas.texts.begin() + 2), c.labels)
            << "logPower " << c.logPower;
        EXPECT_EQ(curveLines(canvas).size(), 5u); // entries 3 to 7
    }

    AnalysisState invalid = withSpectrum(8, -3.0f, -3.0f);
    invalid.psdValid = 0;
    RecordingCanvas canvas(client);
    drawPicture(canvas, invalid);
    EXPECT_EQ(canvas.lines, std::vector<RecordedLine> { axis });
    EXPECT_EQ(canvas.texts.size(), 9u);
}

// Segments up to entry lbFrequencies in red, the rest in blue. The canvas
// is wide enough that every entry of M = 1024 has a column of its own, so
// each segment is drawn as it is.
TEST(PlotPicture, LowBandColouring)
{
    struct Case {
        int colorLb;
        int lbFrequencies;
        std::size_t red;
    };
    const Case cases[] = {
        { 1, 16, 14 }, // entries 3..16
        { 0, 16, 1021 },
        { 1, 3, 1 },
        { 1, 1023, 1021 },
        { 1, 2, 1021 },
        { 1, 1024, 1021 },
        { 1, -1, 1021 },
    };
    for (const Case& c : cases) {
        AnalysisState state = withSpectrum(1024, -6.0f, -6.0f);
        state.colorLb = c.colorLb;
        state.lbFrequencies = c.lbFrequencies;
        RecordingCanvas canvas({ 0, 0, 40000, 600 });
        drawPicture(canvas, state);
        const std::vector<RecordedLine> curve = curveLines(canvas);
        ASSERT_EQ(curve.size(), 1021u);
        for (std::size_t k = 0; k < curve.size(); ++k) {
            EXPECT_EQ(curve[k].color, k < c.red ? spectrumColor : beyondLbColor)
                << "segment to entry " << k + 3 << ", lbFrequencies " << c.lbFrequencies;
            if (k > 0) {
                EXPECT_EQ(curve[k].from, curve[k - 1].to);
            }
        }
        EXPECT_EQ(canvas.penColor(), blackColor);
    }
}

// With the default window (-5, 0) x (-12, 0): entries below -12 are drawn
// on the bottom line, except entry 2 at its own value.
TEST(PlotPicture, SpectrumBelowTheWindowIsRaisedExceptItsFirstEntry)
{
    struct Case {
        float value;
        float first;
        int firstY;
    };
    const Case cases[] = {
        { -14.0f, -14.0f, 662 },
        { nanValue, -14.0f, 662 },
        { -infinity, -6.0f, 399 },
        { -14.0f, nanValue, 596 }, // not a number: on the bottom edge
        { -14.0f, -infinity, 596 },
    };
    for (const Case& c : cases) {
        AnalysisState state = withSpectrum(8, c.value, c.first);
        RecordingCanvas canvas(client);
        drawPicture(canvas, state);
        const std::vector<RecordedLine> curve = curveLines(canvas);
        ASSERT_EQ(curve.size(), 5u);
        EXPECT_EQ(curve.front().from.y, c.firstY) << c.value << ", first " << c.first;
        for (const RecordedLine& line : curve)
            EXPECT_EQ(line.to.y, 596) << c.value;
    }
}

// Linear axes: x = i / 16 on (0, 0.5), y = 10^-1 on (0, 0.5), M = 8.
TEST(PlotPicture, SpectrumOnLinearAxes)
{
    AnalysisState state = withSpectrum(8, -1.0f, -1.0f);
    state.logFrequency = 0;
    state.logPower = 0;
    RecordingCanvas canvas(client);
    drawPicture(canvas, state);
    const std::vector<RecordedLine> expected = {
        { { 537, 517 }, { 581, 517 }, spectrumColor },
        { { 581, 517 }, { 625, 517 }, spectrumColor },
        { { 625, 517 }, { 668, 517 }, spectrumColor },
        { { 668, 517 }, { 712, 517 }, spectrumColor },
        { { 712, 517 }, { 755, 517 }, spectrumColor },
    };
    EXPECT_EQ(curveLines(canvas), expected);
}

// The last entry drawn is M-1, at log10(1023/2048): about 94 % across.
TEST(PlotPicture, LogFrequencyCurveEndsShortOfTheRightEdge)
{
    RecordingCanvas canvas(client);
    drawPicture(canvas, withSpectrum(1024, -3.0f, -3.0f));
    const std::vector<RecordedLine> curve = curveLines(canvas);
    ASSERT_FALSE(curve.empty());
    EXPECT_EQ(curve.back().to.x, 778);
    for (const RecordedLine& line : curve)
        EXPECT_LE(std::max(line.from.x, line.to.x), 778);
}

TEST(PlotPicture, SpectrumReadsOnlyTheEntriesItHolds)
{
    struct Case {
        int psdSize;
        std::size_t bufferEntries;
        std::size_t segments;
    };
    const Case cases[] = {
        { 1024, 9, 5 }, // estimate of M = 8 after a failed read: entries 3 to 7
        { 1024, 2, 0 },
        { 1, 9, 5 },
        { 3, 4, 0 },
        { 4, 5, 1 },
    };
    for (const Case& c : cases) {
        AnalysisState state = startUpState();
        state.psdValid = 1;
        state.psdSize = c.psdSize;
        state.psd.allocate(c.bufferEntries);
        for (std::size_t i = 0; i < c.bufferEntries; ++i)
            state.psd[i] = -3.0f;
        RecordingCanvas canvas(client);
        drawPicture(canvas, state);
        EXPECT_EQ(curveLines(canvas).size(), c.segments) << c.psdSize << " " << c.bufferEntries;
        EXPECT_EQ(canvas.lines.size(), 5 + curveLines(canvas).size());
    }
}

// A spectrum held from an earlier estimate is drawn to its own length,
// whatever psdSize says after a failed read.
TEST(PlotPicture, HeldSpectrumIsDrawnToItsOwnLength)
{
    auto held = [] {
        AnalysisState state = withSpectrum(64, -3.0f, -2.0f);
        for (int i = 0; i <= 64; ++i)
            state.psd[i] = -1.0f - 0.1f * static_cast<float>(i % 7);
        return state;
    };
    RecordingCanvas reference(client);
    drawPicture(reference, held());
    const std::vector<RecordedLine> expected = curveLines(reference);
    ASSERT_EQ(expected.size(), 61u); // entries 3 to 63

    for (int psdSize : { 1 << 20, 128, 8, 1, 0, -4 }) {
        AnalysisState state = held();
        state.psdSize = psdSize;
        RecordingCanvas canvas(client);
        drawPicture(canvas, state);
        EXPECT_EQ(curveLines(canvas), expected) << "psdSize " << psdSize;
    }
}

// The curves are drawn inside their panels (right and bottom edge lines
// included); the axis, the frame, the labels and the text are not clipped.
TEST(PlotPicture, CurvesAreClippedToTheirPanels)
{
    const DeviceRect signalClip { 0, 0, 801, 201 };
    const DeviceRect spectrumClip { 450, 202, 800, 597 };
    for (int dotted : { 0, 1 }) {
        AnalysisState state = withSpectrum(1 << 12, -3.0f, -3.0f);
        state.sampleCount = 1000;
        state.series.allocate(1001);
        for (std::size_t i = 0; i <= 1000; ++i)
            state.series[i] = static_cast<float>(i % 3) - 1.0f;
        state.dottedSignal = dotted;
        RecordingCanvas canvas(client);
        drawPicture(canvas, state);

        ASSERT_FALSE(canvas.lines.empty());
        std::size_t unclipped = 0;
        std::size_t signalLines = 0;
        for (std::size_t line = 0; line < canvas.lines.size(); ++line) {
            const std::optional<DeviceRect> clip = canvas.clipOfLine(line);
            if (canvas.lines[line].color != blackColor) {
                EXPECT_EQ(clip, spectrumClip) << "line " << line;
            } else if (!clip) {
                ++unclipped;
            } else {
                EXPECT_EQ(clip, signalClip) << "line " << line;
                ++signalLines;
            }
        }
        EXPECT_EQ(unclipped, 5u) << "the axes and the spectrum frame";
        EXPECT_EQ(signalLines == 0, dotted == 1);
        for (std::size_t pixel = 0; pixel < canvas.pixels.size(); ++pixel)
            EXPECT_EQ(canvas.clipOfPixel(pixel), signalClip);
        EXPECT_EQ(canvas.pixels.empty(), dotted == 0);
        ASSERT_FALSE(canvas.clips.empty());
        EXPECT_EQ(canvas.clips.back().rect, std::nullopt); // cleared before the text
        EXPECT_EQ(canvas.clips.back().fromLine, canvas.lines.size());
    }
}

// "(Original data)" stands at x = 80 unless the N line reaches past it;
// then it follows that line after the width of one blank. The recording
// canvas makes every character 7 pixels wide.
TEST(PlotPicture, DataOriginNoteFollowsALongNLine)
{
    struct Case {
        unsigned sampleCount;
        int noteX;
    };
    const Case cases[] = {
        { 0, 80 }, // "N=0": 20 + 21 + 7
        { 10000, 80 }, // "N=10000": 20 + 49 + 7 = 76
        { 100000, 83 }, // 20 + 56 + 7
        { 10000000, 97 },
        { 4294967295u, 111 },
    };
    for (const Case& c : cases) {
        AnalysisState state = startUpState();
        state.sampleCount = c.sampleCount; // no buffer: nothing is drawn of the series
        state.isOriginal = 1;
        RecordingCanvas canvas(client);
        drawPicture(canvas, state);
        ASSERT_EQ(canvas.texts.size(), 9u);
        EXPECT_EQ(canvas.texts[2],
            (RecordedText { { c.noteX, 230 }, "(Original data)", originalDataColor }))
            << c.sampleCount;
        EXPECT_EQ(canvas.texts[1].at.x, 20);
    }
}

} // namespace
