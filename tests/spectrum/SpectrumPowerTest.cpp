// An estimate of a constant or zero series holds no power to show; one of
// a signal does, and power that is not finite is none to show.

#include "spectrum/SpectrumPower.h"
#include "spectrum/DataWindow.h"
#include "spectrum/PsdEstimator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

TEST(SpectrumPowerTest, ConstantAndZeroSeriesHaveNoPower)
{
    constexpr int N = 256, M = 32;
    const struct {
        const char* name;
        float (*sample)(int i);
        bool power;
    } cases[] = {
        { "zero", [](int) { return 0.0f; }, false },
        { "constant", [](int) { return 3.25f; }, false },
        { "a sine", [](int i) { return static_cast<float>(std::sin(0.3 * i)); }, true },
        { "one spike", [](int i) { return i == 40 ? 1.0f : 0.0f; }, true },
    };
    for (const auto& c : cases) {
        std::vector<float> series(N + 1), psd(M + 1);
        for (int i = 1; i <= N; ++i)
            series[i] = c.sample(i);
        ASSERT_EQ(
            estimatePsd(series.data(), N, HANNING_WINDOW, 0, 1, M, M, 4, 0, 0, psd.data()), 0);
        EXPECT_EQ(spectrumHasPower(psd.data(), M), c.power) << c.name;
    }
    std::vector<float> psd(M + 1, 1.0f);
    EXPECT_TRUE(spectrumHasPower(psd.data(), M));
    psd[5] = std::numeric_limits<float>::infinity();
    EXPECT_FALSE(spectrumHasPower(psd.data(), M));
    psd[5] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(spectrumHasPower(psd.data(), M));
}

} // namespace
