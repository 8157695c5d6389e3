#include "plot/StatisticsText.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace {

TEST(StatisticsText, StartUpRecord)
{
    AnalysisState state;
    resetAnalysisState(state);
    const std::vector<std::string> expected = {
        "Y scale min=-1.000000 max=1.000000",
        "N=0",
        " ",
        "Average=0.000000",
        "Min=0.000000  Max=0.000000",
        "St Deviation=0.000000",
        "PSD size =1024",
        "Max Peak at 0.000000",
        "LB(16) = 0.00",
    };
    EXPECT_EQ(statisticsTexts(state), expected);
}

TEST(StatisticsText, FormatsEachValue)
{
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    struct Case {
        std::function<void(AnalysisState&)> set;
        std::size_t line;
        std::string expected;
    };
    const Case cases[] = {
        { [](AnalysisState& s) {
             s.signalMin = -0.5;
             s.signalMax = 1234.5678901;
         },
            0, "Y scale min=-0.500000 max=1234.567890" },
        { [](AnalysisState& s) { s.sampleCount = 4294967295u; }, 1, "N=4294967295" },
        { [](AnalysisState& s) { s.isOriginal = 1; }, 2, "(Original data)" },
        { [](AnalysisState& s) { s.seriesMean = 0.1234567; }, 3, "Average=0.123457" },
        { [](AnalysisState& s) {
             s.seriesMin = -3;
             s.seriesMax = 2.5;
         },
            4, "Min=-3.000000  Max=2.500000" },
        { [](AnalysisState& s) { s.seriesStdDev = 1e6; }, 5, "St Deviation=1000000.000000" },
        { [](AnalysisState& s) { s.psdSize = -7; }, 6, "PSD size =-7" },
        { [](AnalysisState& s) { s.peakFrequency = 0.0625; }, 7, "Max Peak at 0.062500" },
        { [](AnalysisState& s) {
             s.lbFrequencies = 8;
             s.lbValue = -1.005;
         },
            8, "LB(8) = -1.00" },
        // Not-a-number shows without a sign whichever sign bit it carries.
        { [](AnalysisState& s) { s.seriesMean = nan; }, 3, "Average=nan" },
        { [](AnalysisState& s) { s.seriesMean = -nan; }, 3, "Average=nan" },
        { [](AnalysisState& s) {
             s.seriesMin = -nan;
             s.seriesMax = -inf;
         },
            4, "Min=nan  Max=-inf" },
        { [](AnalysisState& s) {
             s.signalMin = -nan;
             s.signalMax = inf;
         },
            0, "Y scale min=   nan max=   inf" },
        { [](AnalysisState& s) { s.lbValue = -nan; }, 8, "LB(16) = nan" },
    };
    for (const Case& c : cases) {
        AnalysisState state;
        c.set(state);
        EXPECT_EQ(statisticsTexts(state).at(c.line), c.expected);
    }
}

} // namespace
