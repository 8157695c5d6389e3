#include "plot/ColumnPolyline.h"

void ColumnPolyline::flush()
{
    if (!m_pending)
        return;
    const int x = m_last.x;
    DevicePoint end;
    if (m_first.y == m_low) {
        end = { x, m_high };
    } else if (m_first.y == m_high) {
        end = { x, m_low };
    } else {
        m_canvas.moveTo({ x, m_low });
        end = { x, m_high };
    }
    m_canvas.lineTo(end);
    if (!(end == m_last))
        m_canvas.moveTo(m_last);
    start(m_last);
}
