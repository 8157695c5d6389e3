#include "plot/ColumnPixels.h"

#include <algorithm>

ColumnPixels::ColumnPixels(Canvas& canvas, DeviceRect clip, ColorRef color)
    : m_canvas(canvas)
    , m_clip(clip)
    , m_color(color)
    , m_column(clip.left - 1)
    , m_rowSet(static_cast<std::size_t>(std::max(0, clip.bottom - clip.top)), 0)
{
}

void ColumnPixels::setPixel(DevicePoint point)
{
    if (point.x < m_clip.left || point.x >= m_clip.right || point.y < m_clip.top
        || point.y >= m_clip.bottom)
        return;
    if (point.x != m_column) {
        for (int row : m_setRows)
            m_rowSet[static_cast<std::size_t>(row)] = 0;
        m_setRows.clear();
        m_column = point.x;
    }
    const int row = point.y - m_clip.top;
    if (m_rowSet[static_cast<std::size_t>(row)])
        return;
    m_rowSet[static_cast<std::size_t>(row)] = 1;
    m_setRows.push_back(row);
    m_canvas.setPixel(point, m_color);
}
