// An estimate of a constant or zero series holds no power to show; one of
// a signal does.

#include "spectrum/SpectrumPower.h"
#include "spectrum/DataWindow.h"
#include "spectrum/PsdEstimator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr int N = 256;
constexpr int M = 32;

std::vector<float> linearEstimate(const std::vector<float>& series, int extractAverage)
{
    std::vector<float> psd(M + 1);
    EXPECT_EQ(
        estimatePsd(series.data(), N, HANNING_WINDOW, 0, extractAverage, M, M, 4, 0, 0, psd.data()),
        0);
    return psd;
}

TEST(SpectrumPowerTest, ConstantAndZeroSeriesHaveNoPower)
{
    struct Case {
        const char* name;
        float (*sample)(int i);
        bool power;
    };
    const Case cases[] = {
        { "zero", [](int) { return 0.0f; }, false },
        { "constant", [](int) { return 3.25f; }, false },
        { "a sine", [](int i) { return static_cast<float>(std::sin(0.3 * i)); }, true },
        { "one spike", [](int i) { return i == 40 ? 1.0f : 0.0f; }, true },
    };
    for (const Case& c : cases) {
        std::vector<float> series(N + 1);
        for (int i = 1; i <= N; ++i)
            series[i] = c.sample(i);
        EXPECT_EQ(spectrumHasPower(linearEstimate(series, 1).data(), M), c.power) << c.name;
    }
}

TEST(SpectrumPowerTest, PowerThatIsNotFiniteIsNoPowerToShow)
{
    std::vector<float> psd(M + 1, 1.0f);
    EXPECT_TRUE(spectrumHasPower(psd.data(), M));
    psd[5] = std::numeric_limits<float>::infinity();
    EXPECT_FALSE(spectrumHasPower(psd.data(), M));
    psd[5] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(spectrumHasPower(psd.data(), M));
}

} // namespace
