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
