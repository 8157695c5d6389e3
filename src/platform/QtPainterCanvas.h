#pragma once

#include "plot/Canvas.h"

#include <QColor>
#include <QPoint>

class QPainter;

// The canvas over a QPainter: no antialiasing, cosmetic pens one device
// pixel wide with square ends (both end pixels of a line are drawn), text
// placed by its top-left corner in the painter's font on a transparent
// background. The painter's pen is changed while the canvas lives; the
// caller's state is otherwise left alone. On a device that keeps no clip
// (an SVG drawing) lines and pixels are cut to the clip rectangle here.
class QtPainterCanvas : public Canvas {
public:
    QtPainterCanvas(QPainter& painter, DeviceRect clientRect);
    ~QtPainterCanvas() override { clearClipRect(); }

    DeviceRect clientRect() const override { return m_clientRect; }
    void moveTo(DevicePoint point) override;
    void lineTo(DevicePoint point) override;
    void setPixel(DevicePoint point, ColorRef color) override;
    void textOut(DevicePoint point, const std::string& text) override;
    int textWidth(const std::string& text) const override;
    int textHeight() const override;
    void setTextColor(ColorRef color) override;
    void selectPen(ColorRef color) override;
    void selectDefaultPen() override;
    // Within any clip the caller's painter already has.
    void setClipRect(DeviceRect rect) override;
    void clearClipRect() override;

private:
    // Puts a pen of `color` on the painter unless it already has one.
    void usePenColor(QColor color);
    void drawClippedLine(QPoint from, QPoint to);

    QPainter& m_painter;
    DeviceRect m_clientRect;
    QPoint m_position;
    QColor m_lineColor;
    QColor m_textColor;
    QColor m_painterColor;
    bool m_clipped = false;
    bool m_clipsByGeometry = false;
    DeviceRect m_clipRect;
};
