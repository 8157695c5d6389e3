#include "app/HeldPicture.h"

#include <QPainter>
#include <QWidget>

void HeldPicture::hold(QWidget& widget)
{
    // Taken before the hold starts, so that it is drawn from the data.
    m_held = false;
    m_picture = widget.grab();
    m_held = true;
}

void HeldPicture::release(QWidget& widget)
{
    if (!m_held)
        return;
    m_held = false;
    m_picture = QPixmap();
    widget.update();
}

bool HeldPicture::paint(QWidget& widget) const
{
    if (!m_held)
        return false;
    QPainter painter(&widget);
    const QRect covered(QPoint(0, 0), m_picture.deviceIndependentSize().toSize());
    const QRegion beyond = QRegion(widget.rect()).subtracted(covered);
    for (const QRect& rect : beyond)
        painter.fillRect(rect, widget.palette().window());
    painter.drawPixmap(0, 0, m_picture);
    return true;
}
