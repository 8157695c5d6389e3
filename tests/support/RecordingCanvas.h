#pragma once

#include "plot/Canvas.h"

#include <string>
#include <vector>

struct RecordedLine {
    DevicePoint from;
    DevicePoint to;
    ColorRef color;
    friend bool operator==(const RecordedLine&, const RecordedLine&) = default;
};

struct RecordedPixel {
    DevicePoint at;
    ColorRef color;
    friend bool operator==(const RecordedPixel&, const RecordedPixel&) = default;
};

struct RecordedText {
    DevicePoint at;
    std::string text;
    ColorRef color;
    friend bool operator==(const RecordedText&, const RecordedText&) = default;
};

// A canvas that draws nothing and keeps every line, pixel and text with the
// colour it was drawn in, in drawing order. Starts with black pen and text.
class RecordingCanvas : public Canvas {
public:
    explicit RecordingCanvas(DeviceRect clientRect)
        : m_clientRect(clientRect)
    {
    }

    DeviceRect clientRect() const override { return m_clientRect; }
    void moveTo(DevicePoint point) override { m_position = point; }
    void lineTo(DevicePoint point) override;
    void setPixel(DevicePoint point, ColorRef color) override;
    void textOut(DevicePoint point, const std::string& text) override;
    void setTextColor(ColorRef color) override { m_textColor = color; }
    void selectPen(ColorRef color) override { m_penColor = color; }
    void selectDefaultPen() override { m_penColor = 0; }

    std::vector<RecordedLine> lines;
    std::vector<RecordedPixel> pixels;
    std::vector<RecordedText> texts;
    ColorRef penColor() const { return m_penColor; }
    ColorRef textColor() const { return m_textColor; }

private:
    DeviceRect m_clientRect;
    DevicePoint m_position;
    ColorRef m_penColor = 0;
    ColorRef m_textColor = 0;
};
