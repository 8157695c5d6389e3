// The axes' labels measured in a real font: at the smallest window and a
// large one no text overlaps another or a panel, and none leaves the window.

#include "platform/QtPainterCanvas.h"
#include "plot/PlotPicture.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// Draws through a QtPainterCanvas and keeps the rectangle of every text.
class TextRecordingCanvas : public QtPainterCanvas {
public:
    using QtPainterCanvas::QtPainterCanvas;
    void textOut(DevicePoint point, const std::string& text) override
    {
        QtPainterCanvas::textOut(point, text);
        if (text != " ")
            texts.push_back(
                { { point.x, point.y, point.x + textWidth(text), point.y + textHeight() }, text });
    }
    struct Placed {
        DeviceRect rect;
        std::string text;
    };
    std::vector<Placed> texts;
};

bool overlaps(DeviceRect a, DeviceRect b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TEST(AxesFont, LabelsInTheProgramsFontNeverOverlap)
{
    AnalysisState state;
    resetAnalysisState(state);
    const unsigned count = 100000;
    state.series.allocate(count + 1);
    for (unsigned i = 0; i <= count; ++i)
        state.series[i] = static_cast<float>(1234.5 * std::sin(0.01 * i));
    state.sampleCount = count;
    state.signalMin = -1300.0;
    state.signalMax = 1300.0;
    state.psd.allocate(8193);
    for (int i = 0; i <= 8192; ++i)
        state.psd[i] = -3.0f - 0.0007f * static_cast<float>(i);
    state.psdSize = 8192;
    state.psdValid = 1;
    struct Size {
        int width;
        int height;
    };
    for (Size size : { Size { 640, 480 }, Size { 1600, 1000 } })
        for (int logFrequency : { 1, 0 }) {
            state.logFrequency = logFrequency;
            QImage image(size.width, size.height, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            const DeviceRect client { 0, 0, size.width, size.height };
            TextRecordingCanvas canvas(painter, client);
            PictureView view;
            view.axes = true;
            const PictureLayout layout = drawPicture(canvas, state, view);
            const std::string where
                = std::to_string(size.width) + " log " + std::to_string(logFrequency);
            EXPECT_GT(canvas.texts.size(), 9u + 4u + 10u) << where;
            for (std::size_t i = 0; i < canvas.texts.size(); ++i) {
                const DeviceRect rect = canvas.texts[i].rect;
                EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= client.right
                    && rect.bottom <= client.bottom)
                    << where << " " << canvas.texts[i].text;
                for (DeviceRect panel : { layout.signal.panel, layout.spectrum.panel })
                    EXPECT_FALSE(overlaps(
                        rect, { panel.left, panel.top, panel.right + 1, panel.bottom + 1 }))
                        << where << " " << canvas.texts[i].text;
                for (std::size_t j = i + 1; j < canvas.texts.size(); ++j)
                    EXPECT_FALSE(overlaps(rect, canvas.texts[j].rect))
                        << where << " '" << canvas.texts[i].text << "' '" << canvas.texts[j].text
                        << "'";
            }
        }
}

} // namespace
