#include "plot/AxisTicks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

std::vector<std::string> labelsOf(const std::vector<AxisTick>& ticks)
{
    std::vector<std::string> labels;
    for (const AxisTick& tick : ticks)
        if (tick.major)
            labels.push_back(tick.label);
    return labels;
}

struct LinearCase {
    const char* name;
    double from;
    double to;
    int maxTicks;
    std::vector<std::string> labels;
};

TEST(AxisTicks, LinearStepsAreOneTwoOrFiveTimesAPowerOfTen)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<LinearCase> cases = {
        { "unit range", 0.0, 1.0, 5, { "0", "0.2", "0.4", "0.6", "0.8", "1.0" } },
        { "reversed as the Graphics dialog allows", 5.0, -5.0, 4, { "-5", "0", "5" } },
        { "steps of two", 0.0, 9.0, 5, { "0", "2", "4", "6", "8" } },
        { "steps of five across zero", -12.0, 12.0, 5, { "-10", "-5", "0", "5", "10" } },
        { "Nyquist range", 0.0, 0.5, 5, { "0", "0.1", "0.2", "0.3", "0.4", "0.5" } },
        { "sample indices", 0.0, 69000000.0, 8,
            { "0", "1e+07", "2e+07", "3e+07", "4e+07", "5e+07", "6e+07" } },
        { "tiny range far from zero", 1.00001, 1.00002, 3, { "1.000010", "1.000015", "1.000020" } },
        { "empty range", 3.0, 3.0, 5, {} },
        { "narrower than the numbers' digits", 1.0, 1.0 + 1e-15, 5, {} },
        { "not finite", 0.0, inf, 5, {} },
        { "not a number", nan, 1.0, 5, {} },
        { "no ticks asked", 0.0, 1.0, 0, {} },
    };
    for (const LinearCase& c : cases)
        EXPECT_EQ(labelsOf(linearTicks(c.from, c.to, c.maxTicks)), c.labels) << c.name;
}

TEST(AxisTicks, LinearTicksLieInsideTheRangeAtMostMaxTicksPlusOne)
{
    for (int maxTicks : { 1, 2, 3, 7, 10, 40 })
        for (double span : { 0.3, 1.0, 7.7, 123.0, 1e-9 }) {
            const std::vector<AxisTick> ticks = linearTicks(-span / 3, span, maxTicks);
            ASSERT_FALSE(ticks.empty()) << span;
            EXPECT_LE(static_cast<int>(ticks.size()), maxTicks + 1) << span << " " << maxTicks;
            for (const AxisTick& tick : ticks) {
                EXPECT_GE(tick.value, -span / 3 - span * 1e-9);
                EXPECT_LE(tick.value, span + span * 1e-9);
            }
        }
}

struct LogCase {
    const char* name;
    double from;
    double to;
    int maxTicks;
    bool minor;
    std::vector<std::string> labels;
    std::size_t minorCount;
};

TEST(AxisTicks, LogAxesMarkDecadesWithMinorTicksBetween)
{
    const std::vector<LogCase> cases = {
        { "default frequency window", -5.0, 0.0, 10, true,
            { "1e-5", "0.0001", "0.001", "0.01", "0.1", "1" }, 5 * 8 },
        { "reversed", 0.0, -5.0, 10, false, { "1e-5", "0.0001", "0.001", "0.01", "0.1", "1" }, 0 },
        { "within two decades: steps of the quantity", std::log10(0.03), std::log10(0.3), 10, true,
            { "0.05", "0.1", "0.15", "0.2", "0.25", "0.3" }, 0 },
        { "too many decades: every fifth", -20.0, 0.0, 8, true,
            { "1e-20", "1e-15", "1e-10", "1e-5", "1" }, 0 },
        { "empty", -2.0, -2.0, 10, true, {}, 0 },
    };
    for (const LogCase& c : cases) {
        const std::vector<AxisTick> ticks = logTicks(c.from, c.to, c.maxTicks, c.minor);
        const std::vector<std::string> labels = labelsOf(ticks);
        EXPECT_EQ(labels, c.labels) << c.name;
        std::size_t minor = 0;
        for (const AxisTick& tick : ticks)
            minor += tick.major ? 0 : 1;
        EXPECT_EQ(minor, c.minorCount) << c.name;
    }
}

TEST(AxisTicks, MinorTicksSitAtTwoToNineTimesTheDecade)
{
    const std::vector<AxisTick> ticks = logTicks(-1.0, 0.0, 10, true);
    std::vector<double> minor;
    for (const AxisTick& tick : ticks)
        if (!tick.major)
            minor.push_back(std::pow(10.0, tick.value));
    ASSERT_EQ(minor.size(), 8u);
    for (int factor = 2; factor <= 9; ++factor)
        EXPECT_NEAR(minor[static_cast<std::size_t>(factor - 2)], factor * 0.1, 1e-12);
}

} // namespace
