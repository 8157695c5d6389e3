#include "platform/QtPainterCanvas.h"
#include "plot/Palette.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

constexpr QRgb white = 0xFFFFFFFF;

QImage blankImage()
{
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// Lines are one pixel wide with both end pixels, in the selected pen's
// colour (0x00BBGGRR turned into red, green, blue); pixels take their own
// colour and do not change the pen.
TEST(QtPainterCanvas, LinesAndPixelsInTheirColours)
{
    QImage image = blankImage();
    {
        QPainter painter(&image);
        QtPainterCanvas canvas(painter, { 0, 0, 40, 40 });
        canvas.moveTo({ 2, 3 });
        canvas.lineTo({ 2, 8 });
        canvas.selectPen(spectrumColor);
        canvas.lineTo({ 12, 8 });
        canvas.setPixel({ 20, 20 }, beyondLbColor);
        canvas.lineTo({ 12, 12 });
        canvas.selectDefaultPen();
        canvas.moveTo({ 30, 30 });
        canvas.lineTo({ 30, 30 });
    }
    EXPECT_EQ(image.pixel(2, 3), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(2, 7), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(2, 2), white);
    EXPECT_EQ(image.pixel(12, 8), qRgb(200, 0, 0));
    EXPECT_EQ(image.pixel(7, 8), qRgb(200, 0, 0));
    EXPECT_EQ(image.pixel(13, 8), white);
    EXPECT_EQ(image.pixel(12, 12), qRgb(200, 0, 0));
    EXPECT_EQ(image.pixel(20, 20), qRgb(0, 0, 250));
    EXPECT_EQ(image.pixel(21, 20), white);
    EXPECT_EQ(image.pixel(30, 30), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(7, 9), white); // one pixel wide
}

// Text hangs below and to the right of its point, in the text colour.
TEST(QtPainterCanvas, TextByItsTopLeftCorner)
{
    QImage image(200, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QtPainterCanvas canvas(painter, { 0, 0, 200, 60 });
        canvas.setTextColor(originalDataColor);
        canvas.textOut({ 30, 20 }, "HHHH");
    }
    int inked = 0;
    bool green = false;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (pixel == white)
                continue;
            ++inked;
            EXPECT_GE(x, 30);
            EXPECT_GE(y, 20);
            EXPECT_LT(y, 50);
            green = green || (qGreen(pixel) > 100 && qRed(pixel) < 60 && qBlue(pixel) < 60);
        }
    }
    EXPECT_GT(inked, 10);
    EXPECT_TRUE(green);
}

} // namespace
