#pragma once

#include "plot/Canvas.h"

#include <cstddef>
#include <optional>
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

// From the line and pixel counts given on, the clip is `rect` (none when
// empty).
struct RecordedClip {
    std::size_t fromLine;
    std::size_t fromPixel;
    std::optional<DeviceRect> rect;
    friend bool operator==(const RecordedClip&, const RecordedClip&) = default;
};

// A canvas that draws nothing and keeps every line, pixel and text with the
// colour it was drawn in, in drawing order, and every change of the clip.
// Starts with black pen and text and no clip; every character of a text is
// charWidth pixels wide and lineHeight high.
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
    int textWidth(const std::string& text) const override
    {
        return static_cast<int>(text.size()) * charWidth;
    }
    int textHeight() const override { return lineHeight; }
    void setTextColor(ColorRef color) override { m_textColor = color; }
    void selectPen(ColorRef color) override { m_penColor = color; }
    void selectDefaultPen() override { m_penColor = 0; }
    void setClipRect(DeviceRect rect) override;
    void clearClipRect() override;

    // The clip the line with that index was drawn under.
    std::optional<DeviceRect> clipOfLine(std::size_t line) const;
    std::optional<DeviceRect> clipOfPixel(std::size_t pixel) const;

    static constexpr int charWidth = 7;
    static constexpr int lineHeight = 14;

    std::vector<RecordedLine> lines;
    std::vector<RecordedPixel> pixels;
    std::vector<RecordedText> texts;
    std::vector<RecordedClip> clips;
    ColorRef penColor() const { return m_penColor; }
    ColorRef textColor() const { return m_textColor; }

private:
    DeviceRect m_clientRect;
    DevicePoint m_position;
    ColorRef m_penColor = 0;
    ColorRef m_textColor = 0;
};
