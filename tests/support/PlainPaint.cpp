#include "support/PlainPaint.h"

#include "core/CFormat.h"
#include "plot/Palette.h"
#include "plot/PlotMapping.h"
#include "plot/StatisticsText.h"

#include <algorithm>
#include <cmath>

void paintPlain(Canvas& canvas, const AnalysisState& state)
{
    const DeviceRect client = canvas.clientRect();
    const int w = client.right;
    const int h = client.bottom;
    const unsigned n = state.sampleCount;

    const PlotMapping signal = makePlotMapping(
        { 0, 0, w, h / 3 }, { 0.0, static_cast<double>(n), state.signalMin, state.signalMax });
    canvas.moveTo({ 0, h / 3 });
    canvas.lineTo({ w, h / 3 });
    if (n > 0 && state.series.size() >= n + 1ull) {
        canvas.setClipRect({ 0, 0, w + 1, h / 3 + 1 });
        canvas.moveTo(mapToDevice(0.0, state.series[1], signal));
        for (unsigned i = 2; i < n; ++i) {
            DevicePoint p = mapToDevice(i, state.series[i], signal);
            if (p.y > h / 3)
                p.y = h / 3;
            if (state.dottedSignal)
                canvas.setPixel(p, blackColor);
            else
                canvas.lineTo(p);
        }
        canvas.clearClipRect();
    }

    if (state.psdValid) {
        const int xL = w / 2 + 50, yT = h / 3 + 2, xR = w - 1, yB = h - 4;
        PlotWindow window;
        window.xMin = state.logFrequency ? state.minLogFrequency : 0.0;
        window.xMax = state.logFrequency ? 0.0 : 0.5;
        window.yMin = state.logPower ? state.minLogPower : 0.0;
        window.yMax = state.logPower ? state.maxLogPower : state.maxNormalPower;
        const PlotMapping spectrum = makePlotMapping({ xL, yT, xR, yB }, window);
        canvas.moveTo({ xL, yB });
        canvas.lineTo({ xL, yT });
        canvas.moveTo({ xR, yB });
        canvas.lineTo({ xR, yT });
        canvas.moveTo({ xL, yB });
        canvas.lineTo({ xR, yB });
        canvas.moveTo({ xL, yT });
        canvas.lineTo({ xR, yT });
        if (state.logPower) {
            canvas.textOut({ xL - 30, yT + 5 }, formatC("%3.0f", state.maxLogPower));
            canvas.textOut({ xL - 30, yB - 15 }, formatC("%3.0f", state.minLogPower));
        } else {
            canvas.textOut({ xL - 40, yT + 5 }, formatC("%0.2f", state.maxNormalPower));
            canvas.textOut({ xL - 40, yB - 15 }, "0.00");
        }
        const int m = static_cast<int>(state.psd.size()) - 1;
        if (m >= 2) {
            canvas.setClipRect({ xL, yT, xR + 1, yB + 1 });
            canvas.selectPen(spectrumColor);
            const double x2 = state.logFrequency ? std::log10(1.0 / m) : 1.0 / m;
            const double y2 = state.logPower ? state.psd[2] : std::pow(10.0, state.psd[2]);
            canvas.moveTo(mapToDevice(x2, y2, spectrum));
            for (int i = 3; i <= m - 1; ++i) {
                double y = state.logPower ? state.psd[i] : std::pow(10.0, state.psd[i]);
                if (!(y >= window.yMin))
                    y = window.yMin;
                double x = i * 0.5 / m;
                if (state.logFrequency)
                    x = std::log10(x);
                canvas.lineTo(mapToDevice(x, y, spectrum));
                if (i == state.lbFrequencies && state.colorLb)
                    canvas.selectPen(beyondLbColor);
            }
            canvas.selectDefaultPen();
            canvas.clearClipRect();
        }
    }

    const std::vector<std::string> texts = statisticsTexts(state);
    const int note = std::max(80, 20 + canvas.textWidth(texts[1]) + canvas.textWidth(" "));
    const int x[] = { 20, 20, note, 20, 20, 20, 20, 20, 20 };
    const int y[] = { 10, 30, 30, 50, 70, 90, 130, 150, 180 };
    for (int line = 0; line < 9; ++line) {
        if (line == 2)
            canvas.setTextColor(originalDataColor);
        if (line == 8)
            canvas.setTextColor(lbTextColor);
        canvas.textOut({ x[line], h / 3 + y[line] }, texts[line]);
        if (line == 2 || line == 8)
            canvas.setTextColor(blackColor);
    }
}
