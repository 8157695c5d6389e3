#include "platform/QtPainterCanvas.h"

#include <QFontMetrics>
#include <QLine>
#include <QLineF>
#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <QRect>
#include <QString>

#include <algorithm>
#include <utility>

namespace {

QColor toQColor(ColorRef color)
{
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
        static_cast<int>((color >> 16) & 0xFF));
}

QPoint toQPoint(DevicePoint point)
{
    return QPoint(point.x, point.y);
}

// The part of the segment from `from` to `to` inside the pixel centres
// `low` to `high` (inclusive) of one axis, as parameters of the segment
// (Liang-Barsky); false when none of it is.
bool clipAxis(double from, double to, double low, double high, double& enter, double& leave)
{
    const double delta = to - from;
    if (delta == 0.0)
        return from >= low && from <= high;
    double a = (low - from) / delta;
    double b = (high - from) / delta;
    if (a > b)
        std::swap(a, b);
    enter = std::max(enter, a);
    leave = std::min(leave, b);
    return enter <= leave;
}

} // namespace

QtPainterCanvas::QtPainterCanvas(QPainter& painter, DeviceRect clientRect)
    : m_painter(painter)
    , m_clientRect(clientRect)
    , m_lineColor(Qt::black)
    , m_textColor(Qt::black)
{
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    m_painter.setBackgroundMode(Qt::TransparentMode);
    m_painter.setBrush(Qt::NoBrush);
    const QPaintEngine* engine = m_painter.paintEngine();
    m_clipsByGeometry = engine && engine->type() == QPaintEngine::SVG;
    // Force the first usePenColor to install our pen whatever the painter had.
    m_painterColor = QColor();
    usePenColor(m_lineColor);
}

void QtPainterCanvas::usePenColor(QColor color)
{
    if (color == m_painterColor)
        return;
    QPen pen(color);
    pen.setWidth(1);
    pen.setCosmetic(true);
    pen.setCapStyle(Qt::SquareCap);
    pen.setStyle(Qt::SolidLine);
    m_painter.setPen(pen);
    m_painterColor = color;
}

void QtPainterCanvas::moveTo(DevicePoint point)
{
    m_position = toQPoint(point);
}

void QtPainterCanvas::lineTo(DevicePoint point)
{
    const QPoint to = toQPoint(point);
    usePenColor(m_lineColor);
    if (m_clipped && m_clipsByGeometry)
        drawClippedLine(m_position, to);
    else
        m_painter.drawLine(QLine(m_position, to));
    m_position = to;
}

void QtPainterCanvas::drawClippedLine(QPoint from, QPoint to)
{
    double enter = 0.0;
    double leave = 1.0;
    if (!clipAxis(from.x(), to.x(), m_clipRect.left, m_clipRect.right - 1.0, enter, leave)
        || !clipAxis(from.y(), to.y(), m_clipRect.top, m_clipRect.bottom - 1.0, enter, leave))
        return;
    const QLineF line(from, to);
    m_painter.drawLine(QLineF(line.pointAt(enter), line.pointAt(leave)));
}

void QtPainterCanvas::setPixel(DevicePoint point, ColorRef color)
{
    if (m_clipped && m_clipsByGeometry
        && (point.x < m_clipRect.left || point.x >= m_clipRect.right || point.y < m_clipRect.top
            || point.y >= m_clipRect.bottom))
        return;
    usePenColor(toQColor(color));
    m_painter.drawPoint(toQPoint(point));
}

void QtPainterCanvas::textOut(DevicePoint point, const std::string& text)
{
    usePenColor(m_textColor);
    const QFontMetrics metrics = m_painter.fontMetrics();
    m_painter.drawText(QPoint(point.x, point.y + metrics.ascent()), QString::fromStdString(text));
}

int QtPainterCanvas::textWidth(const std::string& text) const
{
    return m_painter.fontMetrics().horizontalAdvance(QString::fromStdString(text));
}

int QtPainterCanvas::textHeight() const
{
    return m_painter.fontMetrics().height();
}

void QtPainterCanvas::setTextColor(ColorRef color)
{
    m_textColor = toQColor(color);
}

void QtPainterCanvas::selectPen(ColorRef color)
{
    m_lineColor = toQColor(color);
}

void QtPainterCanvas::selectDefaultPen()
{
    m_lineColor = Qt::black;
}

void QtPainterCanvas::setClipRect(DeviceRect rect)
{
    clearClipRect();
    m_painter.save();
    m_painter.setClipRect(
        QRect(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1)),
        Qt::IntersectClip);
    m_clipped = true;
    m_clipRect = rect;
}

void QtPainterCanvas::clearClipRect()
{
    if (!m_clipped)
        return;
    m_painter.restore();
    m_clipped = false;
    // restore() put back the pen of the save.
    m_painterColor = QColor();
}
