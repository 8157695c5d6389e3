// One paint of the full picture into a 1200 x 800 image, beside the plain
// drawing that makes one line per sample and per spectrum entry and beside
// one plain minimum/maximum pass over the same samples and spectrum entries
// (the least any drawing of every value has to read): a series of
// 16,777,216 samples (a tone in noise) with its 8,388,608-bin spectrum, on
// the default axes (logarithmic frequency and power). Before anything is
// timed both drawings must give the same image.

#include "core/Parallel.h"
#include "platform/QtPainterCanvas.h"
#include "plot/PlotPicture.h"
#include "plot/ReferenceCache.h"
#include "support/PlainPaint.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>

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

void drawFast(Canvas& canvas, const AnalysisState& state)
{
    drawPicture(canvas, state);
}

bool picturesAgree()
{
    static const bool agree = [] {
        QImage fast(WIDTH, HEIGHT, QImage::Format_RGB32);
        QImage plain(WIDTH, HEIGHT, QImage::Format_RGB32);
        paintInto(fast, drawFast);
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
    paintBenchmark(run, drawFast);
}

// The full picture with axes, and a zoom into a tenth of the series and
// two decades of the spectrum with axes: a zoom reduces only the samples
// it shows, so it costs no more than the full picture.
void drawWithAxes(Canvas& canvas, const AnalysisState& state)
{
    PictureView view;
    view.axes = true;
    drawPicture(canvas, state, view);
}

void drawZoomed(Canvas& canvas, const AnalysisState& state)
{
    PictureView view;
    view.axes = true;
    view.signalZoom = PanelZoom { { SAMPLES * 0.45, SAMPLES * 0.55, -2.0, 2.0 } };
    view.spectrumZoom = PanelZoom { { -3.0, -1.0, -12.0, -4.0 }, true, true };
    drawPicture(canvas, state, view);
}

void BM_PaintPictureAxes(benchmark::State& run)
{
    paintBenchmark(run, drawWithAxes);
}

void BM_PaintPictureZoomed(benchmark::State& run)
{
    paintBenchmark(run, drawZoomed);
}

// The full picture with axes and eight references of the live spectrum's
// size beneath it, each a copy of the spectrum a little lower, with their
// legend; compared with BM_PaintPictureAxes.
const ReferenceCurves& benchReferences()
{
    static const ReferenceCurves references = [] {
        ReferenceCurves kept;
        const AnalysisState& state = benchState();
        FloatBuffer lower;
        lower.allocate(state.psd.size());
        for (std::size_t r = 0; r < MAX_REFERENCES; ++r) {
            for (std::size_t i = 0; i < state.psd.size(); ++i)
                lower[i] = state.psd[i] - 0.25f * static_cast<float>(r + 1);
            const CurveIdentity identity { "reference.dat", static_cast<int>(r + 1), BINS, 1,
                "Hanning", 0, 1.0, "" };
            kept.keep(identity, lower.data(), lower.size());
        }
        return kept;
    }();
    return references;
}

// A paint of the window's view, which keeps the references as it reduced
// them, and one that reduces all eight again, as a zoom or a new size does.
ReferenceCache benchCache;

void drawWithReferences(Canvas& canvas, const AnalysisState& state, ReferenceCache* cache)
{
    PictureView view;
    view.cache = cache;
    view.axes = true;
    view.references = &benchReferences();
    view.live = { "live.dat", 1, BINS, 1, "Hanning", 0, 1.0, "" };
    drawPicture(canvas, state, view);
}

void drawWithCachedReferences(Canvas& canvas, const AnalysisState& state)
{
    drawWithReferences(canvas, state, &benchCache);
}

void drawWithFreshReferences(Canvas& canvas, const AnalysisState& state)
{
    drawWithReferences(canvas, state, nullptr);
}

// The cache's second paint is the first paint's image.
bool cachedReferencesAgree()
{
    QImage fresh(WIDTH, HEIGHT, QImage::Format_RGB32);
    QImage cached(WIDTH, HEIGHT, QImage::Format_RGB32);
    paintInto(fresh, drawWithFreshReferences);
    paintInto(cached, drawWithCachedReferences);
    paintInto(cached, drawWithCachedReferences);
    return fresh == cached;
}

void BM_PaintPictureReferences(benchmark::State& run)
{
    benchReferences();
    if (!cachedReferencesAgree()) {
        run.SkipWithError("the kept references give another image");
        return;
    }
    paintBenchmark(run, drawWithCachedReferences);
}

void BM_PaintPictureReferencesReduced(benchmark::State& run)
{
    benchReferences();
    paintBenchmark(run, drawWithFreshReferences);
}

// The same paint on the calling thread alone.
void BM_PaintPictureOneThread(benchmark::State& run)
{
    setParallelThreads(1);
    paintBenchmark(run, drawFast);
    setParallelThreads(0);
}

void BM_PaintPlain(benchmark::State& run)
{
    paintBenchmark(run, paintPlain);
}

// Entries 1 to N of the series and 2 to M-1 of the spectrum, the values the
// picture draws, once through the standard library's pass and once through
// a loop of std::min and std::max.
void BM_MinMaxElement(benchmark::State& run)
{
    const AnalysisState& state = benchState();
    for (auto _ : run) {
        const auto series
            = std::minmax_element(state.series.data() + 1, state.series.data() + SAMPLES + 1);
        const auto spectrum = std::minmax_element(state.psd.data() + 2, state.psd.data() + BINS);
        benchmark::DoNotOptimize(std::pair(
            std::min(*series.first, *spectrum.first), std::max(*series.second, *spectrum.second)));
    }
}

void BM_MinMaxLoop(benchmark::State& run)
{
    const AnalysisState& state = benchState();
    for (auto _ : run) {
        float low = state.series[1];
        float high = low;
        for (unsigned i = 1; i <= SAMPLES; ++i) {
            low = std::min(low, state.series[i]);
            high = std::max(high, state.series[i]);
        }
        for (int i = 2; i < BINS; ++i) {
            low = std::min(low, state.psd[i]);
            high = std::max(high, state.psd[i]);
        }
        benchmark::DoNotOptimize(std::pair(low, high));
    }
}

} // namespace

BENCHMARK(BM_MinMaxElement)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MinMaxLoop)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PaintPicture)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PaintPictureAxes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PaintPictureReferences)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PaintPictureReferencesReduced)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PaintPictureZoomed)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PaintPictureOneThread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PaintPlain)->Unit(benchmark::kMillisecond)->UseRealTime();
