#include "core/Parallel.h"
#include "platform/QtPainterCanvas.h"
#include "plot/PlotPicture.h"
#include "support/PlainPaint.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>

namespace {

constexpr int width = 1200;
constexpr int height = 800;

enum class Shape { sine, noise, steps, spikes };

float sampleOf(Shape shape, std::size_t i, std::size_t count, std::mt19937& random)
{
    std::normal_distribution<float> gauss(0.0f, 1.0f);
    const double phase = static_cast<double>(i) / static_cast<double>(count);
    switch (shape) {
    case Shape::sine:
        return static_cast<float>(std::sin(2 * M_PI * 7.3 * phase));
    case Shape::noise:
        return gauss(random);
    case Shape::steps:
        return static_cast<float>(std::floor(phase * 23.0) / 7.0 - 1.5);
    case Shape::spikes:
        return i % 9973 == 0 ? 40.0f * gauss(random) : 0.05f * gauss(random);
    }
    return 0.0f;
}

struct Scene {
    std::string name;
    Shape shape;
    unsigned count;
    int dotted = 0;
    int lbFrequencies = 16;
    int logFrequency = 1;
    int logPower = 1;
};

AnalysisState stateOf(const Scene& scene)
{
    AnalysisState state;
    resetAnalysisState(state);
    std::mt19937 random(1234);
    state.sampleCount = scene.count;
    state.series.allocate(scene.count + 1);
    state.series[0] = 0.0f;
    float low = 0.0f, high = 0.0f;
    for (std::size_t i = 1; i <= scene.count; ++i) {
        state.series[i] = sampleOf(scene.shape, i, scene.count, random);
        low = std::min(low, state.series[i]);
        high = std::max(high, state.series[i]);
    }
    state.signalMin = low;
    state.signalMax = scene.shape == Shape::spikes ? 1.0 : high; // spikes leave the panel
    state.dottedSignal = scene.dotted;
    state.logFrequency = scene.logFrequency;
    state.logPower = scene.logPower;
    state.lbFrequencies = scene.lbFrequencies;

    // A falling spectrum with the scatter of an estimate, partly below the
    // window's bottom so that the raised entries are drawn too.
    const int m = static_cast<int>(std::max(8u, scene.count / 2));
    state.psdSize = m;
    state.psdValid = 1;
    state.psd.allocate(static_cast<std::size_t>(m) + 1);
    std::normal_distribution<float> scatter(0.0f, 0.7f);
    for (int i = 0; i <= m; ++i)
        state.psd[i] = static_cast<float>(-2.0 - 11.0 * i / m) + scatter(random);
    state.psd[m / 3] = 1.0f;
    return state;
}

QImage paint(
    const AnalysisState& state, const std::function<void(Canvas&, const AnalysisState&)>& draw)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QtPainterCanvas canvas(painter, { 0, 0, width, height });
    draw(canvas, state);
    return image;
}

long long differingPixels(const QImage& a, const QImage& b)
{
    long long differing = 0;
    for (int y = 0; y < height; ++y) {
        const QRgb* rowA = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const QRgb* rowB = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < width; ++x)
            differing += rowA[x] != rowB[x];
    }
    return differing;
}

void drawFast(Canvas& canvas, const AnalysisState& state)
{
    drawPicture(canvas, state);
}

// The drawing that reduces the samples of a column, in chunks on one or two
// threads, gives the picture of one line (or pixel) per sample. With 2^20
// samples on 1200 columns chunks end inside a column; the LB colour change
// ends a chunk of its own.
TEST(PaintAgreement, FastPictureIsThePlainOne)
{
    const Scene scenes[] = {
        { "sine", Shape::sine, 1u << 20 },
        { "noise", Shape::noise, 1u << 20 },
        { "steps", Shape::steps, 1u << 20 },
        { "spikes", Shape::spikes, 1u << 20 },
        { "noise, few samples", Shape::noise, 900 },
        { "sine, dotted", Shape::sine, 1u << 20, 1 },
        { "noise, dotted", Shape::noise, 1u << 18, 1 },
        { "spikes, dotted", Shape::spikes, 1u << 18, 1 },
        { "noise, LB in a crowded column", Shape::noise, 1u << 18, 0, 100000 },
        { "noise, LB at a chunk's end", Shape::noise, 1u << 20, 0, (1 << 18) + 2 },
        { "steps, linear axes", Shape::steps, 1u << 18, 0, 16, 0, 0 },
        { "noise, linear axes, dotted", Shape::noise, 1u << 20, 1, 16, 0, 0 },
        { "sine, linear power", Shape::sine, 1u << 20, 0, 16, 1, 0 },
    };
    for (const Scene& scene : scenes) {
        const AnalysisState state = stateOf(scene);
        const QImage plain = paint(state, paintPlain);
        for (int threads : { 1, 2 }) {
            setParallelThreads(threads);
            const QImage fast = paint(state, drawFast);
            EXPECT_EQ(differingPixels(fast, plain), 0) << scene.name << ", threads " << threads;
        }
    }
    setParallelThreads(0);
}

// The curves of a zoomed picture the plain way, one line per point through
// the zoomed mappings, whatever lies outside the windows included.
void paintZoomedCurvesPlain(Canvas& canvas, const AnalysisState& state, const PictureLayout& layout)
{
    const DeviceRect signal = layout.signal.panel;
    const PlotMapping signalMapping = layout.signal.mapping();
    canvas.setClipRect({ signal.left, signal.top, signal.right + 1, signal.bottom + 1 });
    canvas.moveTo(mapToDevice(0.0, state.series[1], signalMapping));
    for (unsigned i = 2; i < state.sampleCount; ++i) {
        DevicePoint p = mapToDevice(i, state.series[i], signalMapping);
        p.y = std::min(p.y, signal.bottom);
        canvas.lineTo(p);
    }
    const DeviceRect spectrum = layout.spectrum.panel;
    const PlotMapping spectrumMapping = layout.spectrum.mapping();
    canvas.setClipRect({ spectrum.left, spectrum.top, spectrum.right + 1, spectrum.bottom + 1 });
    const int m = static_cast<int>(state.psd.size()) - 1;
    auto x = [&](int i) { return std::log10(i * 0.5 / m); };
    canvas.selectPen(0xC8);
    canvas.moveTo(mapToDevice(x(2), state.psd[2], spectrumMapping));
    for (int i = 3; i < m; ++i) {
        const double y = state.psd[i] >= layout.spectrum.window.yMin ? state.psd[i]
                                                                     : layout.spectrum.window.yMin;
        canvas.lineTo(mapToDevice(x(i), y, spectrumMapping));
        if (i == state.lbFrequencies && state.colorLb)
            canvas.selectPen(0xFA0000);
    }
    canvas.clearClipRect();
}

// A zoomed picture reduces only the points it shows, and its curves are
// still those of one line per point.
TEST(PaintAgreement, ZoomedCurvesAreThePlainOnes)
{
    const AnalysisState state = stateOf({ "noise", Shape::noise, 1u << 20, 0, 40000 });
    PictureView view;
    view.signalZoom = PanelZoom { { 300000.5, 301234.25, state.signalMin, state.signalMax } };
    view.spectrumZoom = PanelZoom { { -2.0, -0.9, -9.0, -3.0 }, true, true };
    PictureLayout layout;
    const QImage fast = paint(state, [&](Canvas& canvas, const AnalysisState& record) {
        layout = drawPicture(canvas, record, view);
    });
    const QImage plain = paint(state, [&](Canvas& canvas, const AnalysisState& record) {
        paintZoomedCurvesPlain(canvas, record, layout);
    });
    auto differingIn = [&](DeviceRect area) {
        long long differing = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                differing += fast.pixel(x, y) != plain.pixel(x, y);
        return differing;
    };
    const DeviceRect signal = layout.signal.panel;
    const DeviceRect spectrum = layout.spectrum.panel;
    EXPECT_EQ(differingIn({ 0, 0, width, signal.bottom }), 0);
    EXPECT_EQ(
        differingIn({ spectrum.left + 1, spectrum.top + 1, spectrum.right, spectrum.bottom }), 0);
}

} // namespace
