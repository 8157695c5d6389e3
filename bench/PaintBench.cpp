// One paint of the full picture into a 1200 x 800 image, beside the plain
// drawing that makes one line per sample and per spectrum entry: a series
// of 16,777,216 samples (a tone in noise) with its 8,388,608-bin spectrum,
// on the default axes (logarithmic frequency and power). Before anything is
// timed both drawings must give the same image.

#include "platform/QtPainterCanvas.h"
#include "plot/PlotPicture.h"
#include "support/PlainPaint.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace {

constexpr unsigned SAMPLES = 16'777'216;
constexpr int BINS = 8'388'608;
constexpr int WIDTH = 1200;
constexpr int HEIGHT = 800;

const AnalysisState& benchState()
{
    static const AnalysisState state = [] {
        AnalysisState s;
        resetAnalysisState(s);
        std::mt19937 random(7);
        std::normal_distribution<float> noise(0.0f, 0.3f);
        s.sampleCount = SAMPLES;
        s.series.allocate(SAMPLES + 1);
        s.series[0] = 0.0f;
        for (unsigned i = 1; i <= SAMPLES; ++i)
            s.series[i] = static_cast<float>(std::sin(0.001 * i)) + noise(random);
        s.signalMin = -2.0;
        s.signalMax = 2.0;
        s.isOriginal = 1;
        s.psdSize = BINS;
        s.psdValid = 1;
        s.psd.allocate(BINS + 1);
        std::normal_distribution<float> scatter(0.0f, 0.5f);
        for (int i = 0; i <= BINS; ++i)
            s.psd[i] = static_cast<float>(-6.0 - 5.0 * i / BINS) + scatter(random);
        return s;
    }();
    return state;
}

template <typename Draw> void paintInto(QImage& image, Draw draw)
{
    image.fill(Qt::white);
    QPainter painter(&image);
    QtPainterCanvas canvas(painter, { 0, 0, WIDTH, HEIGHT });
    draw(canvas, benchState());
}

bool picturesAgree()
{
    static const bool agree = [] {
        QImage fast(WIDTH, HEIGHT, QImage::Format_RGB32);
        QImage plain(WIDTH, HEIGHT, QImage::Format_RGB32);
        paintInto(fast, drawPicture);
        paintInto(plain, paintPlain);
        return fast == plain;
    }();
    return agree;
}

void paintBenchmark(benchmark::State& run, void (*draw)(Canvas&, const AnalysisState&))
{
    if (!picturesAgree()) {
        run.SkipWithError("the two drawings give different images");
        return;
    }
    QImage image(WIDTH, HEIGHT, QImage::Format_RGB32);
    for (auto _ : run) {
        paintInto(image, draw);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_PaintPicture(benchmark::State& run)
{
    paintBenchmark(run, drawPicture);
}

void BM_PaintPlain(benchmark::State& run)
{
    paintBenchmark(run, paintPlain);
}

} // namespace

BENCHMARK(BM_PaintPicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintPlain)->Unit(benchmark::kMillisecond);
