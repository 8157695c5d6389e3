#include "spectrum/DataWindow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

TEST(ApplyDataWindow, WeightsOfShortSegments)
{
    struct Case {
        int windowType;
        std::vector<double> weights;
    };
    // Hand-derived: a = (n-1)/2, b = (n+1)/2.
    const Case cases[] = {
        { HANNING_WINDOW, { 0.0, 0.0 } },
        { PARZEN_WINDOW, { 2.0 / 3.0, 2.0 / 3.0 } },
        { WELCH_WINDOW, { 8.0 / 9.0, 8.0 / 9.0 } },
        { HANNING_WINDOW, { 0.0, 0.75, 0.75, 0.0 } },
        { PARZEN_WINDOW, { 0.4, 0.8, 0.8, 0.4 } },
        { WELCH_WINDOW, { 0.64, 0.96, 0.96, 0.64 } },
        { NO_WINDOW, { 1.0, 1.0, 1.0, 1.0 } },
        { 5, { 1.0, 1.0, 1.0, 1.0 } },
        { -1, { 1.0, 1.0 } },
    };
    for (const Case& c : cases) {
        const int n = static_cast<int>(c.weights.size());
        std::vector<float> data(n + 1, 1.0f);
        data[0] = 42.0f;
        applyDataWindow(c.windowType, data.data(), n);
        EXPECT_EQ(42.0f, data[0]) << "entry 0 is no sample";
        for (int j = 0; j < n; ++j)
            EXPECT_FLOAT_EQ(static_cast<float>(c.weights[j]), data[j + 1])
                << "type " << c.windowType << ", n " << n << ", j " << j;
    }
}

TEST(ApplyDataWindow, ScalesEachSampleAndStaysSymmetric)
{
    const int n = 101;
    for (int type : { HANNING_WINDOW, PARZEN_WINDOW, WELCH_WINDOW }) {
        std::vector<float> ones(n + 1, 1.0f);
        std::vector<float> samples(n + 1);
        for (int i = 1; i <= n; ++i)
            samples[i] = static_cast<float>(i) - 50.5f;
        applyDataWindow(type, ones.data(), n);
        applyDataWindow(type, samples.data(), n);
        EXPECT_FLOAT_EQ(1.0f, ones[51]) << "middle weight of type " << type;
        for (int i = 1; i <= n; ++i) {
            EXPECT_NEAR(ones[i], ones[n + 1 - i], 1e-7) << "type " << type << ", i " << i;
            const double expected = static_cast<double>(ones[i]) * (i - 50.5);
            EXPECT_NEAR(expected, samples[i], 1e-6 * std::fabs(expected))
                << "type " << type << ", i " << i;
        }
    }
}

TEST(ApplyDataWindow, SingleSampleIsLeftAlone)
{
    // The raised cosine would divide by n - 1 = 0.
    float data[2] = { 0.0f, 3.0f };
    applyDataWindow(HANNING_WINDOW, data, 1);
    EXPECT_EQ(3.0f, data[1]);
}
