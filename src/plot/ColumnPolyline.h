#pragma once

#include "plot/Canvas.h"
#include "plot/ColumnRun.h"

// A polyline drawn onto a canvas with the same pixels as one line per
// point, but with few lines when many consecutive points fall into one
// device column. Pens have square ends (both end pixels drawn), so the
// lines between points of one column cover exactly that column from the
// points' lowest to their highest pixel: one vertical line from the
// minimum to the maximum draws the same, and the lines into and out of the
// column are drawn as they are. Holds nothing beyond one column.
class ColumnPolyline {
public:
    explicit ColumnPolyline(Canvas& canvas)
        : m_canvas(canvas)
    {
    }

    void moveTo(DevicePoint point)
    {
        flush();
        m_canvas.moveTo(point);
        start(point);
    }

    void lineTo(DevicePoint point)
    {
        if (point.x == m_last.x && m_started) {
            m_low = point.y < m_low ? point.y : m_low;
            m_high = point.y > m_high ? point.y : m_high;
            m_last = point;
            m_pending = true;
            return;
        }
        flush();
        m_canvas.lineTo(point);
        start(point);
    }

    // Draws as lineTo would for each point of the run in turn.
    void lineToRun(const ColumnRun& run)
    {
        if (!(run.x == m_last.x && m_started)) {
            const DevicePoint first { run.x, run.first };
            flush();
            m_canvas.lineTo(first);
            start(first);
            if (run.single)
                return;
        }
        m_low = run.low < m_low ? run.low : m_low;
        m_high = run.high > m_high ? run.high : m_high;
        m_last = { run.x, run.last };
        m_pending = true;
    }

    // Draws what the current column holds, leaving the canvas at the last
    // point. Call before changing the pen and at the end.
    void flush();

private:
    void start(DevicePoint point)
    {
        m_first = m_last = point;
        m_low = m_high = point.y;
        m_pending = false;
        m_started = true;
    }

    Canvas& m_canvas;
    DevicePoint m_first; // where the canvas is while the column is pending
    DevicePoint m_last;
    int m_low = 0;
    int m_high = 0;
    bool m_pending = false; // lines into the current column not yet drawn
    bool m_started = false;
};
