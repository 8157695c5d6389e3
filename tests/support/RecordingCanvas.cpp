#include "support/RecordingCanvas.h"

void RecordingCanvas::lineTo(DevicePoint point)
{
    lines.push_back({ m_position, point, m_penColor });
    m_position = point;
}

void RecordingCanvas::setPixel(DevicePoint point, ColorRef color)
{
    pixels.push_back({ point, color });
}

void RecordingCanvas::textOut(DevicePoint point, const std::string& text)
{
    texts.push_back({ point, text, m_textColor });
}

void RecordingCanvas::setClipRect(DeviceRect rect)
{
    clips.push_back({ lines.size(), pixels.size(), rect });
}

void RecordingCanvas::clearClipRect()
{
    clips.push_back({ lines.size(), pixels.size(), std::nullopt });
}

std::optional<DeviceRect> RecordingCanvas::clipOfLine(std::size_t line) const
{
    std::optional<DeviceRect> clip;
    for (const RecordedClip& change : clips)
        if (change.fromLine <= line)
            clip = change.rect;
    return clip;
}

std::optional<DeviceRect> RecordingCanvas::clipOfPixel(std::size_t pixel) const
{
    std::optional<DeviceRect> clip;
    for (const RecordedClip& change : clips)
        if (change.fromPixel <= pixel)
            clip = change.rect;
    return clip;
}
