#pragma once

#include <cstdint>
#include <string>

// 24-bit colour in the 0x00BBGGRR layout (red in the low byte).
using ColorRef = std::uint32_t;

struct DevicePoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const DevicePoint&, const DevicePoint&) = default;
};

struct DeviceRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const DeviceRect&, const DeviceRect&) = default;
};

// The drawing surface the picture is painted on: a window, a printer page,
// an image or, in tests, a recorder. Pens are solid and one pixel wide; text
// is placed by its top-left corner. A fresh canvas has a black default pen
// and black text.
class Canvas {
public:
    virtual ~Canvas() = default;
    virtual DeviceRect clientRect() const = 0;
    virtual void moveTo(DevicePoint point) = 0;
    virtual void lineTo(DevicePoint point) = 0;
    virtual void setPixel(DevicePoint point, ColorRef color) = 0;
    virtual void textOut(DevicePoint point, const std::string& text) = 0;
    // Width in pixels that textOut would give `text`.
    virtual int textWidth(const std::string& text) const = 0;
    // Height in pixels of one line of text.
    virtual int textHeight() const = 0;
    virtual void setTextColor(ColorRef color) = 0;
    // Selects a solid 1-pixel pen of `color`; selectDefaultPen returns to
    // the canvas's own black pen.
    virtual void selectPen(ColorRef color) = 0;
    virtual void selectDefaultPen() = 0;
    // Lines and pixels land only inside `rect` (left and top inclusive,
    // right and bottom exclusive) until clearClipRect; inside it they are
    // exactly what they would be without the clip. Text is clipped too.
    virtual void setClipRect(DeviceRect rect) = 0;
    virtual void clearClipRect() = 0;
};
