#include "plot/ColumnPolyline.h"
#include "plot/ColumnPixels.h"
#include "support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {

// What a set of lines covers, in a form that needs no rasteriser: vertical
// lines (square ends) as the pixels of their column, every other line as
// itself.
struct Coverage {
    std::set<std::pair<int, int>> verticalPixels;
    std::multiset<std::pair<std::pair<int, int>, std::pair<int, int>>> slanted;
    bool operator==(const Coverage&) const = default;
};

Coverage coverageOf(const std::vector<RecordedLine>& lines)
{
    Coverage coverage;
    for (const RecordedLine& line : lines) {
        if (line.from.x == line.to.x) {
            for (int y = std::min(line.from.y, line.to.y); y <= std::max(line.from.y, line.to.y);
                 ++y)
                coverage.verticalPixels.insert({ line.from.x, y });
        } else {
            coverage.slanted.insert({ { line.from.x, line.from.y }, { line.to.x, line.to.y } });
        }
    }
    return coverage;
}

std::vector<DevicePoint> randomWalk(int count, int columns, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> column(0, columns - 1);
    std::uniform_int_distribution<int> row(-5, 40);
    std::vector<DevicePoint> points;
    for (int i = 0; i < count; ++i) {
        const int x = points.empty() ? 0 : points.back().x + (column(random) == 0 ? 1 : 0);
        points.push_back({ x, row(random) });
    }
    return points;
}

// The reduced polyline covers the same pixels as one line per point,
// including zero-length lines and runs whose first point is an extreme.
TEST(ColumnPolyline, CoversTheSamePixelsAsOneLinePerPoint)
{
    const std::vector<std::vector<DevicePoint>> cases = {
        { { 0, 5 }, { 0, 5 } },
        { { 0, 5 }, { 1, 7 } },
        { { 0, 5 }, { 0, 9 }, { 0, 2 }, { 0, 6 }, { 1, 6 } },
        { { 0, 2 }, { 0, 9 }, { 0, 5 }, { 1, 3 } },
        { { 0, 9 }, { 0, 2 }, { 0, 5 }, { 2, 3 }, { 2, 3 }, { 3, 8 } },
        randomWalk(2000, 8, 1),
        randomWalk(2000, 1, 2),
        randomWalk(300, 200, 3),
    };
    for (std::size_t c = 0; c < cases.size(); ++c) {
        RecordingCanvas plain({ 0, 0, 100, 100 });
        RecordingCanvas reduced({ 0, 0, 100, 100 });
        ColumnPolyline polyline(reduced);
        plain.moveTo(cases[c].front());
        polyline.moveTo(cases[c].front());
        for (std::size_t i = 1; i < cases[c].size(); ++i) {
            plain.lineTo(cases[c][i]);
            polyline.lineTo(cases[c][i]);
        }
        polyline.flush();
        EXPECT_EQ(coverageOf(reduced.lines), coverageOf(plain.lines)) << "case " << c;
        EXPECT_LE(reduced.lines.size(), plain.lines.size()) << "case " << c;
    }
}

// A pen change in the middle of a column keeps each segment in its colour.
TEST(ColumnPolyline, FlushKeepsTheColoursOfAColumnSplitByAPenChange)
{
    RecordingCanvas canvas({ 0, 0, 100, 100 });
    ColumnPolyline polyline(canvas);
    polyline.moveTo({ 0, 10 });
    polyline.lineTo({ 0, 20 });
    polyline.lineTo({ 0, 15 });
    polyline.flush();
    canvas.selectPen(0xFA0000);
    polyline.lineTo({ 0, 30 });
    polyline.lineTo({ 1, 30 });
    polyline.flush();
    const std::vector<RecordedLine> expected = {
        { { 0, 10 }, { 0, 20 }, 0 },
        { { 0, 15 }, { 0, 30 }, 0xFA0000 },
        { { 0, 30 }, { 1, 30 }, 0xFA0000 },
    };
    EXPECT_EQ(canvas.lines, expected);
}

TEST(ColumnPixels, SetsEachVisiblePixelOnce)
{
    RecordingCanvas canvas({ 0, 0, 10, 10 });
    ColumnPixels pixels(canvas, canvas.clientRect(), 0);
    const DevicePoint points[] = { { 1, 2 }, { 1, 2 }, { 1, 3 }, { 1, 2 }, { 2, 2 }, { 1, 2 },
        { 1, -1 }, { 10, 5 }, { -1, 5 }, { 3, 10 }, { 9, 9 } };
    for (DevicePoint point : points)
        pixels.setPixel(point);
    const std::vector<RecordedPixel> expected
        = { { { 1, 2 }, 0 }, { { 1, 3 }, 0 }, { { 2, 2 }, 0 }, { { 1, 2 }, 0 }, { { 9, 9 }, 0 } };
    EXPECT_EQ(canvas.pixels, expected);
}

} // namespace
