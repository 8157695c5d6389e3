#pragma once

#include "plot/Canvas.h"

#include <vector>

// Single pixels of one colour set on a canvas, each at most once while
// consecutive pixels stay in one device column, and only those inside the
// clip rectangle (left and top inclusive, right and bottom exclusive): a
// long series crowds thousands of samples into one column, and setting
// each of them would change nothing on the screen.
class ColumnPixels {
public:
    ColumnPixels(Canvas& canvas, DeviceRect clip, ColorRef color);

    void setPixel(DevicePoint point);

private:
    Canvas& m_canvas;
    DeviceRect m_clip;
    ColorRef m_color;
    int m_column;
    std::vector<unsigned char> m_rowSet; // rows of m_column already set
    std::vector<int> m_setRows;
};
