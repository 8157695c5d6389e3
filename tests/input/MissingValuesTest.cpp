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

TEST(MissingValuesTest, CountsTheValuesThatAreNotFinite)
{
    struct Case {
        std::vector<float> samples;
        std::uint64_t count;
        std::uint64_t first;
    };
    const Case cases[] = {
        { { 1, 2, 3 }, 0, 0 },
        { { 1, NaN, 3, -INF, NaN }, 3, 2 },
        { { INF }, 1, 1 },
        { {}, 0, 0 },
    };
    for (const Case& c : cases) {
        const std::vector<float> s = series(c.samples);
        const NonFiniteValues found = findNonFinite(s.data(), c.samples.size());
        EXPECT_EQ(found.count, c.count);
        EXPECT_EQ(found.first, c.first);
    }
    EXPECT_EQ(nonFiniteMessage({ 59, 12 }),
        "The series holds 59 values that are not finite numbers (the first at sample 12)");
    EXPECT_EQ(filledMessage(3), "3 missing values filled by linear interpolation");
}

TEST(MissingValuesTest, FillsGapsBetweenTheirFiniteNeighbours)
{
    struct Case {
        const char* name;
        std::vector<float> samples;
        std::vector<float> filled;
        std::uint64_t count;
    };
    const Case cases[] = {
        { "nothing to fill", { 1, 2 }, { 1, 2 }, 0 },
        { "one inside", { 1, NaN, 3 }, { 1, 2, 3 }, 1 },
        { "a run inside", { 0, NaN, INF, NaN, 8 }, { 0, 2, 4, 6, 8 }, 3 },
        { "at both ends", { NaN, NaN, 5, -INF }, { 5, 5, 5, 5 }, 3 },
        { "two gaps", { 1, NaN, 2, NaN, NaN, 5 }, { 1, 1.5f, 2, 3, 4, 5 }, 3 },
        { "thirds round once", { 0, NaN, NaN, 1 },
            { 0, static_cast<float>(1.0 / 3), static_cast<float>(2.0 / 3), 1 }, 2 },
    };
    for (const Case& c : cases) {
        std::vector<float> s = series(c.samples);
        EXPECT_EQ(fillGapsLinearly(s.data(), c.samples.size()), c.count) << c.name;
        EXPECT_EQ(std::vector<float>(s.begin() + 1, s.end()), c.filled) << c.name;
    }
    // No finite value: nothing to fill from, the series stays as it is.
    std::vector<float> none = series({ NaN, INF });
    EXPECT_EQ(fillGapsLinearly(none.data(), 2), 0u);
    EXPECT_TRUE(std::isnan(none[1]));
    EXPECT_TRUE(std::isinf(none[2]));
}

TEST(TimeStepTest, TakesTheMedianStepAndWarnsOfUnevenSteps)
{
    struct Case {
        const char* name;
        std::vector<float> times;
        bool found;
        double step;
        bool uneven;
    };
    const Case cases[] = {
        { "even years", { 1700, 1701, 1702, 1703 }, true, 1.0, false },
        { "one gap", { 0, 0.5f, 1, 2, 2.5f }, true, 0.5, true },
        { "within 1 %", { 0, 1, 2.005f, 3 }, true, 1.0, false },
        { "even count takes the middle pair", { 0, 1, 3, 6, 10 }, true, 2.5, true },
        { "one time", { 5 }, false, 0.0, false },
        { "times that fall", { 3, 2, 1 }, false, -1.0, false },
        { "a time that is no number", { 0, 1, NaN, 3 }, false, 0.0, false },
    };
    for (const Case& c : cases) {
        const std::vector<float> s = series(c.times);
        const TimeStep step = medianTimeStep(s.data(), c.times.size());
        EXPECT_EQ(step.found, c.found) << c.name;
        if (c.found) {
            EXPECT_NEAR(step.step, c.step, 1e-6 * std::fabs(c.step)) << c.name;
            EXPECT_EQ(step.uneven, c.uneven) << c.name;
        }
    }
}

} // namespace
