#include "plot/ChunkedCurve.h"
#include "core/Parallel.h"
#include "plot/CurvePoints.h"
#include "plot/Palette.h"
#include "support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr DeviceRect client { 0, 0, 800, 600 };
constexpr std::size_t chunkSizes[] = { 1, 2, 3, 7, 1000, std::size_t { 1 } << 30 };

enum class Values { noise, steps, specials };

// `specials` mixes in values that are not numbers, infinities and values
// far beyond the window, so that columns are also taken point by point.
std::vector<float> valuesOf(Values kind, std::size_t count)
{
    std::mt19937 random(99);
    std::normal_distribution<float> gauss(0.0f, 1.0f);
    std::vector<float> values(count + 1, 0.0f);
    for (std::size_t i = 1; i <= count; ++i) {
        float value = kind == Values::steps ? static_cast<float>(i / 97 % 5) - 2.0f : gauss(random);
        if (kind == Values::specials) {
            if (i % 97 == 0)
                value = std::numeric_limits<float>::quiet_NaN();
            else if (i % 101 == 0)
                value = (i % 2 ? 1 : -1) * std::numeric_limits<float>::infinity();
            else if (i % 89 == 0)
                value = (i % 2 ? 1e30f : -1e30f);
        }
        values[i] = value;
    }
    return values;
}

// Every point by mapToDevice, limited as the picture limits it.
std::vector<DevicePoint> signalPoints(const std::vector<float>& samples, const PlotMapping& mapping)
{
    std::vector<DevicePoint> points(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        points[i] = mapToDevice(static_cast<double>(i), samples[i], mapping);
        points[i].y = std::min(points[i].y, mapping.panel.bottom);
    }
    return points;
}

std::vector<DevicePoint> spectrumPoints(const std::vector<float>& psd, const PlotMapping& mapping,
    bool logFrequency, bool logPower, double powerMin)
{
    const int m = static_cast<int>(psd.size()) - 1;
    std::vector<DevicePoint> points(psd.size());
    for (int i = 1; i <= m; ++i) {
        double x = i * 0.5 / m;
        if (logFrequency)
            x = std::log10(x);
        double y = logPower ? psd[i] : std::pow(10.0, psd[i]);
        if (!(y >= powerMin))
            y = powerMin;
        points[i] = mapToDevice(x, y, mapping);
    }
    return points;
}

// One lineTo per point, the pen changed after the last point of each piece
// but the last.
std::vector<RecordedLine> perPointLines(const std::vector<DevicePoint>& points, DevicePoint start,
    const std::vector<IndexRange>& pieces)
{
    RecordingCanvas canvas(client);
    ColumnPolyline curve(canvas);
    curve.moveTo(start);
    for (std::size_t piece = 0; piece < pieces.size(); ++piece) {
        if (piece > 0) {
            curve.flush();
            canvas.selectPen(beyondLbColor);
        }
        for (std::size_t i = pieces[piece].begin; i < pieces[piece].end; ++i)
            curve.lineTo(points[i]);
    }
    curve.flush();
    return canvas.lines;
}

template <typename Points>
std::vector<RecordedLine> chunkedLines(const Points& points, DevicePoint start,
    const std::vector<IndexRange>& pieces, std::size_t chunkPoints)
{
    ChunkedCurve<Points> chunked(points, pieces, chunkPoints);
    runTasks(chunked.chunkCount(), [&](std::size_t chunk) { chunked.reduceToRuns(chunk); });
    RecordingCanvas canvas(client);
    ColumnPolyline curve(canvas);
    curve.moveTo(start);
    for (std::size_t piece = 0; piece < pieces.size(); ++piece) {
        if (piece > 0) {
            curve.flush();
            canvas.selectPen(beyondLbColor);
        }
        chunked.drawRuns(piece, curve);
    }
    curve.flush();
    return canvas.lines;
}

struct SignalCase {
    std::string name;
    Values values;
    std::size_t count;
    int width;
    double yMin;
    double yMax;
};

// Reduced in chunks of any size, on one thread or two, the signal draws the
// very lines of one lineTo per point.
TEST(ChunkedCurve, SignalRunsDrawWhatOneLinePerPointDraws)
{
    const SignalCase cases[] = {
        { "crowded noise", Values::noise, 50000, 37, -2.0, 2.0 },
        { "sparse noise", Values::noise, 300, 800, -2.0, 2.0 },
        { "steps", Values::steps, 20000, 150, -3.0, 3.0 },
        { "specials", Values::specials, 30000, 90, -2.0, 2.0 },
        { "upside down", Values::noise, 20000, 64, 1.0, -1.0 },
        { "no height", Values::noise, 5000, 64, 0.5, 0.5 },
    };
    for (const SignalCase& c : cases) {
        const std::vector<float> samples = valuesOf(c.values, c.count);
        const PlotMapping mapping = makePlotMapping(
            { 0, 0, c.width, 200 }, { 0.0, static_cast<double>(c.count), c.yMin, c.yMax });
        const DevicePoint start = mapToDevice(0.0, samples[1], mapping);
        const std::vector<IndexRange> pieces { { 2, c.count } };
        const std::vector<RecordedLine> expected
            = perPointLines(signalPoints(samples, mapping), start, pieces);
        const SignalPoints points { samples.data(), mapping, 200 };
        for (int threads : { 1, 2 }) {
            setParallelThreads(threads);
            for (std::size_t chunk : chunkSizes)
                EXPECT_EQ(chunkedLines(points, start, pieces, chunk), expected)
                    << c.name << ", chunks of " << chunk << ", threads " << threads;
        }
    }
    setParallelThreads(0);
}

struct SpectrumCase {
    std::string name;
    Values values;
    int m;
    int logFrequency;
    int logPower;
    double xMin;
    double yMin;
    double yMax;
    int lb; // pen change after this entry, none below 3
};

template <bool logPower>
void expectSpectrumRuns(const SpectrumCase& c, const std::vector<float>& psd,
    const PlotMapping& mapping, const std::vector<IndexRange>& pieces,
    const std::vector<RecordedLine>& expected)
{
    const SpectrumPoints<logPower> points { psd.data(), mapping, c.m, c.logFrequency != 0, c.yMin };
    const DevicePoint start = mapToDevice(points.frequency(2), points.power(2), mapping);
    for (int threads : { 1, 2 }) {
        setParallelThreads(threads);
        for (std::size_t chunk : chunkSizes)
            EXPECT_EQ(chunkedLines(points, start, pieces, chunk), expected)
                << c.name << ", chunks of " << chunk << ", threads " << threads;
    }
}

// The same for the spectrum, with the pen change where a chunk may end or
// not, on logarithmic and linear axes, and with a frequency window so
// narrow that its columns are found point by point.
TEST(ChunkedCurve, SpectrumRunsDrawWhatOneLinePerPointDraws)
{
    const SpectrumCase cases[] = {
        { "log axes", Values::noise, 1 << 15, 1, 1, -5.0, -1.0, 1.0, 0 },
        { "log axes, LB", Values::noise, 1 << 15, 1, 1, -5.0, -1.0, 1.0, 1000 },
        { "log axes, LB at entry 3", Values::steps, 1 << 12, 1, 1, -5.0, -1.0, 1.0, 3 },
        { "specials, LB", Values::specials, 1 << 14, 1, 1, -5.0, -1.0, 1.0, 5000 },
        { "linear axes", Values::noise, 1 << 14, 0, 0, 0.0, 0.0, 2.0, 0 },
        { "linear axes, LB", Values::specials, 1 << 14, 0, 0, 0.0, 0.0, 2.0, 700 },
        { "linear frequency, log power", Values::noise, 1 << 14, 0, 1, 0.0, -1.0, 1.0, 9 },
        { "narrow frequency window", Values::noise, 1 << 12, 1, 1, -1e-12, -1.0, 1.0, 0 },
    };
    for (const SpectrumCase& c : cases) {
        std::vector<float> psd = valuesOf(c.values, static_cast<std::size_t>(c.m));
        const PlotMapping mapping = makePlotMapping(
            { 450, 202, 799, 596 }, { c.xMin, c.logFrequency ? 0.0 : 0.5, c.yMin, c.yMax });
        const std::size_t end = static_cast<std::size_t>(c.m);
        std::vector<IndexRange> pieces { { 3, end } };
        if (c.lb >= 3)
            pieces = { { 3, static_cast<std::size_t>(c.lb) + 1 },
                { static_cast<std::size_t>(c.lb) + 1, end } };
        const std::vector<DevicePoint> expectedPoints
            = spectrumPoints(psd, mapping, c.logFrequency, c.logPower, c.yMin);
        double x2 = 1.0 / c.m;
        if (c.logFrequency)
            x2 = std::log10(x2);
        const DevicePoint start
            = mapToDevice(x2, c.logPower ? psd[2] : std::pow(10.0, psd[2]), mapping);
        const std::vector<RecordedLine> expected = perPointLines(expectedPoints, start, pieces);
        if (c.logPower)
            expectSpectrumRuns<true>(c, psd, mapping, pieces, expected);
        else
            expectSpectrumRuns<false>(c, psd, mapping, pieces, expected);
    }
    setParallelThreads(0);
}

// Dots: each visible pixel of a column once, in the order one setPixel per
// point gives, however the chunks fall.
TEST(ChunkedCurve, DotsSetWhatOnePixelPerPointSets)
{
    const SignalCase cases[] = {
        { "crowded noise", Values::noise, 50000, 37, -2.0, 2.0 },
        { "sparse noise", Values::noise, 300, 800, -2.0, 2.0 },
        { "specials", Values::specials, 30000, 90, -2.0, 2.0 },
        { "wider than the canvas", Values::noise, 20000, 1000, -0.5, 0.5 },
    };
    const DeviceRect clip { 0, 0, 800, 150 }; // the lowest rows are outside
    for (const SignalCase& c : cases) {
        const std::vector<float> samples = valuesOf(c.values, c.count);
        const PlotMapping mapping = makePlotMapping(
            { 0, 0, c.width, 200 }, { 0.0, static_cast<double>(c.count), c.yMin, c.yMax });
        const std::vector<DevicePoint> expectedPoints = signalPoints(samples, mapping);
        RecordingCanvas plain(client);
        ColumnPixels plainDots(plain, clip, blackColor);
        for (std::size_t i = 2; i < c.count; ++i)
            plainDots.setPixel(expectedPoints[i]);

        const SignalPoints points { samples.data(), mapping, 200 };
        for (int threads : { 1, 2 }) {
            setParallelThreads(threads);
            for (std::size_t chunk : chunkSizes) {
                ChunkedCurve<SignalPoints> chunked(points, { { 2, c.count } }, chunk);
                runTasks(
                    chunked.chunkCount(), [&](std::size_t k) { chunked.reduceToDots(k, clip); });
                RecordingCanvas canvas(client);
                ColumnPixels dots(canvas, clip, blackColor);
                chunked.drawDots(dots);
                EXPECT_EQ(canvas.pixels, plain.pixels)
                    << c.name << ", chunks of " << chunk << ", threads " << threads;
            }
        }
    }
    setParallelThreads(0);
}

} // namespace
