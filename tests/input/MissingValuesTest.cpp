// Values that are no finite numbers, counted and filled, and the time step
// of a column of times.

#include "input/MissingValues.h"
#include "input/TimeStep.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr float INF = std::numeric_limits<float>::infinity();

// Series from sample 1; entry 0 holds no sample.
std::vector<float> series(std::vector<float> samples)
{
    samples.insert(samples.begin(), 0.0f);
    return samples;
}

TEST(MissingValuesTest, CountsAndFillsTheValuesThatAreNotFinite)
{
    struct Case {
        std::vector<float> samples;
        std::uint64_t count, first;
        std::vector<float> filled; // empty: left as it is
    };
    const float third = static_cast<float>(1.0 / 3), twoThirds = static_cast<float>(2.0 / 3);
    const Case cases[] = {
        { { 1, 2 }, 0, 0, { 1, 2 } },
        { { 0, NaN, INF, NaN, 8 }, 3, 2, { 0, 2, 4, 6, 8 } },
        { { NaN, NaN, 5, -INF }, 3, 1, { 5, 5, 5, 5 } },
        { { 1, NaN, 2, NaN, NaN, 5 }, 3, 2, { 1, 1.5f, 2, 3, 4, 5 } },
        { { 0, NaN, NaN, 1 }, 2, 2, { 0, third, twoThirds, 1 } },
        { { NaN, INF }, 2, 1, {} },
        // Zero of either sign, the smallest and the largest float are finite.
        { { -0.0f, 1e-45f, 3.4028235e38f, -NaN }, 1, 4,
            { -0.0f, 1e-45f, 3.4028235e38f, 3.4028235e38f } },
    };
    for (const Case& c : cases) {
        std::vector<float> s = series(c.samples);
        const NonFiniteValues found = findNonFinite(s.data(), c.samples.size());
        EXPECT_EQ(found.count, c.count);
        EXPECT_EQ(found.first, c.first);
        const std::uint64_t filled = fillGapsLinearly(s.data(), c.samples.size());
        EXPECT_EQ(filled, c.filled.empty() ? 0 : c.count);
        if (!c.filled.empty())
            EXPECT_EQ(std::vector<float>(s.begin() + 1, s.end()), c.filled);
        else
            EXPECT_EQ(findNonFinite(s.data(), c.samples.size()).count, c.count);
    }
    EXPECT_EQ(nonFiniteMessage({ 59, 12 }),
        "The series holds 59 values that are not finite numbers (the first at sample 12)");
    EXPECT_EQ(filledMessage(3), "3 missing values filled by linear interpolation");
}

TEST(TimeStepTest, TakesTheMedianStepAndWarnsOfUnevenSteps)
{
    struct Case {
        std::vector<float> times;
        bool found;
        double step;
        bool uneven;
    };
    const Case cases[] = {
        { { 1700, 1701, 1702, 1703 }, true, 1.0, false },
        { { 0, 0.5f, 1, 2, 2.5f }, true, 0.5, true },
        { { 0, 1, 2.005f, 3 }, true, 1.0, false },
        { { 0, 1, 3, 6, 10 }, true, 2.5, true }, // the middle pair of an even count
        { { 5 }, false, 0, false },
        { { 3, 2, 1 }, false, 0, false },
        { { 0, 1, NaN, 3 }, false, 0, false },
    };
    for (const Case& c : cases) {
        const std::vector<float> s = series(c.times);
        const TimeStep step = medianTimeStep(s.data(), c.times.size());
        EXPECT_EQ(step.found, c.found) << c.times.size();
        if (c.found) {
            EXPECT_NEAR(step.step, c.step, 1e-6 * c.step);
            EXPECT_EQ(step.uneven, c.uneven) << c.step;
        }
    }
}

} // namespace
