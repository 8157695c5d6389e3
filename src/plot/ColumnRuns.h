#pragma once

#include "plot/Canvas.h"
#include "plot/ColumnRun.h"
#include "plot/PlotMapping.h"
#include "plot/ValueRange.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace columnRunsDetail {

inline bool fitsInt(double value)
{
    return value < plotMappingDetail::intLimit && value > -plotMappingDetail::intLimit - 1.0;
}

// Whether the pixel x of every point in [begin, last] follows from a search:
// the unrounded device x never decreases or never increases with the index,
// so when both ends fit the integer range every point between them does,
// the conversion is plain truncation there, and each column's points are
// consecutive. A curve whose ends do not fit is taken point by point.
template <typename Points>
bool columnsBySearch(const Points& points, std::size_t begin, std::size_t last)
{
    return fitsInt(points.deviceValue(begin)) && fitsInt(points.deviceValue(last));
}

// One past the last index in [i, end) whose point lies in column x, the
// column of point i: a galloping search, so that a column of k points
// costs about 2 log2 k evaluations of x.
template <typename Points>
std::size_t columnEndBySearch(const Points& points, std::size_t i, std::size_t end, int x)
{
    std::size_t inside = i;
    std::size_t outside = end;
    for (std::size_t step = 1; step < end - inside; step *= 2) {
        const std::size_t probe = inside + step;
        if (points.x(probe) != x) {
            outside = probe;
            break;
        }
        inside = probe;
    }
    while (outside - inside > 1) {
        const std::size_t middle = inside + (outside - inside) / 2;
        (points.x(middle) == x ? inside : outside) = middle;
    }
    return outside;
}

template <typename Points>
std::size_t columnEndByScan(const Points& points, std::size_t i, std::size_t end, int x)
{
    std::size_t next = i + 1;
    while (next < end && points.x(next) == x)
        ++next;
    return next;
}

// The lowest and highest y of points [i, next), point by point.
template <typename Points>
void lowAndHighByPoints(const Points& points, std::size_t i, std::size_t next, ColumnRun& run)
{
    int low = run.first;
    int high = run.first;
    for (std::size_t k = i + 1; k < next; ++k) {
        const int y = points.y(k);
        low = std::min(low, y);
        high = std::max(high, y);
    }
    run.low = low;
    run.high = high;
}

// The same from the column's lowest and highest value, when the values
// order the y (a column holding a value that is not a number, or whose
// extremes map outside the integer range, is taken point by point).
template <typename Points>
bool lowAndHighByValues(const Points& points, std::size_t i, std::size_t next, ColumnRun& run)
{
    const ValueRange range = valueRange(points.values() + i, next - i);
    const float low = range.low;
    const float high = range.high;
    if (range.notANumber || !fitsInt(points.deviceValueYOf(low))
        || !fitsInt(points.deviceValueYOf(high)))
        return false;
    const int atLow = points.yOf(low);
    const int atHigh = points.yOf(high);
    run.low = std::min(atLow, atHigh);
    run.high = std::max(atLow, atHigh);
    return true;
}

template <typename Points>
ColumnRun columnRun(const Points& points, std::size_t i, std::size_t next, int x)
{
    ColumnRun run;
    run.x = x;
    run.first = points.y(i);
    run.last = next - 1 > i ? points.y(next - 1) : run.first;
    run.single = next - i == 1;
    run.low = run.high = run.first;
    if (run.single)
        return run;
    if constexpr (Points::valueOrdersY)
        if (lowAndHighByValues(points, i, next, run))
            return run;
    lowAndHighByPoints(points, i, next, run);
    return run;
}

} // namespace columnRunsDetail

// Appends the column runs of points [begin, end) in order. Runs are cut
// only where the column changes, so the runs of consecutive index ranges,
// appended one after the other, differ from those of the whole range only
// in that a column met by both ranges gives one run in each.
template <typename Points>
void appendColumnRuns(
    const Points& points, std::size_t begin, std::size_t end, std::vector<ColumnRun>& runs)
{
    using namespace columnRunsDetail;
    if (begin >= end)
        return;
    const bool bySearch = columnsBySearch(points, begin, end - 1);
    for (std::size_t i = begin; i < end;) {
        const int x = points.x(i);
        const std::size_t next
            = bySearch ? columnEndBySearch(points, i, end, x) : columnEndByScan(points, i, end, x);
        ColumnRun run = columnRun(points, i, next, x);
        runs.push_back(run);
        i = next;
    }
}

// Appends the pixels of points [begin, end) that lie inside `clip` (left
// and top inclusive, right and bottom exclusive), in order, leaving out a
// pixel that an earlier point of the same column run already set.
// `rowSeen` holds one zero per clip row and is returned all zero.
template <typename Points>
void appendColumnDots(const Points& points, std::size_t begin, std::size_t end, DeviceRect clip,
    std::vector<unsigned char>& rowSeen, std::vector<DevicePoint>& dots)
{
    using namespace columnRunsDetail;
    if (begin >= end)
        return;
    const bool bySearch = columnsBySearch(points, begin, end - 1);
    for (std::size_t i = begin; i < end;) {
        const int x = points.x(i);
        const std::size_t next
            = bySearch ? columnEndBySearch(points, i, end, x) : columnEndByScan(points, i, end, x);
        if (x >= clip.left && x < clip.right) {
            const std::size_t firstDot = dots.size();
            for (std::size_t k = i; k < next; ++k) {
                const int y = points.y(k);
                if (y < clip.top || y >= clip.bottom)
                    continue;
                unsigned char& seen = rowSeen[static_cast<std::size_t>(y - clip.top)];
                if (!seen) {
                    seen = 1;
                    dots.push_back({ x, y });
                }
            }
            for (std::size_t d = firstDot; d < dots.size(); ++d)
                rowSeen[static_cast<std::size_t>(dots[d].y - clip.top)] = 0;
        }
        i = next;
    }
}
