#include "plot/PlotMapping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

TEST(PlotMapping, ScalesAndOffsetsOfAPanel)
{
    const PlotMapping mapping = makePlotMapping({ 0, 0, 400, 100 }, { 0, 200, -1, 1 });
    EXPECT_EQ(mapping.xScale, 2.0);
    EXPECT_EQ(mapping.xOffset, 0.0);
    EXPECT_EQ(mapping.yScale, -50.0);
    EXPECT_EQ(mapping.yOffset, -50.0);
}

TEST(PlotMapping, RoundsHalvesUpAndTruncatesNegativesTowardsZero)
{
    const PlotMapping mapping = makePlotMapping({ 0, 0, 400, 100 }, { 0, 200, -1, 1 });
    struct Case {
        double x, y;
        DevicePoint expected;
    };
    const Case cases[] = {
        { 100, 0, { 200, 50 } },
        { 0, 1, { 0, 0 } },
        { 200, -1, { 400, 100 } },
        { 0, -1.02, { 0, 101 } }, // below the window: below the bottom, not limited
        { 0.25, 0, { 1, 50 } }, // 0.5 + 0.5 goes up
        { 0.24, 0, { 0, 50 } },
        { -0.85, 0, { -1, 50 } }, // -1.2 truncates to -1
        { -2.0, 3, { -3, -99 } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(mapToDevice(c.x, c.y, mapping), c.expected) << c.x << ", " << c.y;

    const PlotMapping half { 1.0, -0.5, 1.0, 0.0, { 0, 0, 10, 10 } };
    EXPECT_EQ(mapToDevice(0.0, 0.0, half).x, 1);
}

// Nothing that cannot be converted to an integer ever is: degenerate
// windows, non-finite values and values beyond 32 bits land on the edge.
TEST(PlotMapping, PlacesUnmappablePointsOnThePanelEdge)
{
    const DeviceRect panel { 10, 20, 410, 120 };
    struct Case {
        PlotWindow window;
        double x, y;
        DevicePoint expected;
    };
    const PlotWindow normal { 0, 200, -1, 1 };
    const Case cases[] = {
        { { 5, 5, -1, 1 }, 7, 0, { 10, 70 } }, // no width: left edge
        { { 0, 200, 3, 3 }, 100, 3, { 210, 120 } }, // no height: bottom edge
        { { 0, 200, nan, 1 }, 100, 0, { 210, 120 } }, { { -inf, 0, -1, 1 }, 100, 0, { 10, 70 } },
        { normal, nan, nan, { 10, 120 } }, { normal, 100, inf, { 210, 20 } },
        { normal, 100, -inf, { 210, 120 } }, { normal, inf, 0, { 410, 70 } },
        { normal, -inf, 0, { 10, 70 } }, { normal, 1e300, 1e300, { 410, 20 } },
        { normal, -1e300, -1e300, { 10, 120 } },
        // Just inside and just outside the 32-bit range.
        { normal, 100, -42949671.54, { 210, 2147483647 } }, // 2147483647.5
        { normal, 100, -42949671.56, { 210, 120 } }, // 2147483648.5
        { normal, 100, 42949674.378, { 210, -2147483647 - 1 } }, // -2147483648.4
        { normal, 100, 42949674.40, { 210, 20 } }, // -2147483649.5
    };
    for (const Case& c : cases) {
        const PlotMapping mapping = makePlotMapping(panel, c.window);
        EXPECT_EQ(mapToDevice(c.x, c.y, mapping), c.expected)
            << c.window.xMin << " " << c.window.xMax << " " << c.window.yMin << " " << c.window.yMax
            << " at " << c.x << ", " << c.y;
    }
}

} // namespace
