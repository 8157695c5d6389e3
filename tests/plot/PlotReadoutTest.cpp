#include "plot/PlotReadout.h"
#include "plot/PlotPicture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr DeviceRect client { 0, 0, 1200, 800 };

AnalysisState withSeriesAndSpectrum(unsigned count, int M)
{
    AnalysisState state;
    resetAnalysisState(state);
    state.series.allocate(count + 1);
    for (unsigned i = 0; i <= count; ++i)
        state.series[i] = 0.25f * static_cast<float>(i % 8) - 1.0f;
    state.sampleCount = count;
    state.psd.allocate(static_cast<std::size_t>(M) + 1);
    for (int i = 0; i <= M; ++i)
        state.psd[i] = -1.0f - 0.001f * static_cast<float>(i);
    state.psdSize = M;
    state.psdValid = 1;
    return state;
}

// The column where the picture draws spectrum entry i.
int binColumn(const AnalysisState& state, int i, int M)
{
    const PlotMapping mapping = makePlotMapping(spectrumPanel(client), spectrumWindow(state));
    const double f = i * 0.5 / M;
    return deviceX(state.logFrequency ? std::log10(f) : f, mapping);
}

TEST(PlotReadout, FindsTheEntryDrawnInTheColumnOnBothFrequencyAxes)
{
    for (int logFrequency : { 1, 0 }) {
        AnalysisState state = withSeriesAndSpectrum(1000, 256);
        state.logFrequency = logFrequency;
        const int y = spectrumPanel(client).top + 50;
        // Entries far enough apart to have columns of their own: the log
        // axis crowds the upper entries into few columns.
        const std::vector<int> bins = logFrequency ? std::vector<int> { 3, 5, 10, 20 }
                                                   : std::vector<int> { 40, 100, 200, 254 };
        for (int i : bins) {
            const PlotReadout readout
                = plotReadoutAt(state, client, { binColumn(state, i, 256), y });
            ASSERT_EQ(readout.kind, PlotReadout::BIN) << i;
            EXPECT_EQ(readout.index, static_cast<std::size_t>(i)) << "log " << logFrequency;
            EXPECT_DOUBLE_EQ(readout.frequency, i / 512.0);
            EXPECT_EQ(readout.value, state.psd[i]);
        }
        // Right of every drawn entry: the last; where several share a
        // column, the lowest of them.
        EXPECT_EQ(plotReadoutAt(state, client, { spectrumPanel(client).right, y }).index, 255u);
        const int crowded = binColumn(state, 250, 256);
        const std::size_t found = plotReadoutAt(state, client, { crowded, y }).index;
        EXPECT_EQ(binColumn(state, static_cast<int>(found), 256), crowded);
        EXPECT_NE(binColumn(state, static_cast<int>(found) - 1, 256), crowded);
    }
}

TEST(PlotReadout, SeriesPanelGivesTheSampleOfTheColumn)
{
    const AnalysisState state = withSeriesAndSpectrum(1200, 64);
    // 1200 samples over 1200 columns: sample i at column i.
    for (int x : { 1, 7, 600, 1199 }) {
        const PlotReadout readout = plotReadoutAt(state, client, { x, 100 });
        ASSERT_EQ(readout.kind, PlotReadout::SAMPLE);
        EXPECT_EQ(readout.index, static_cast<std::size_t>(x));
        EXPECT_EQ(readout.value, state.series[x]);
    }
    EXPECT_EQ(plotReadoutAt(state, client, { 0, 100 }).index, 1u) << "no sample 0";
    EXPECT_EQ(plotReadoutAt(state, client, { 1200, 100 }).index, 1199u) << "the last is not drawn";
}

TEST(PlotReadout, NothingOutsideThePanelsOrWithoutData)
{
    AnalysisState state = withSeriesAndSpectrum(1000, 256);
    EXPECT_EQ(plotReadoutAt(state, client, { 100, 500 }).kind, PlotReadout::NOTHING)
        << "the statistics text";
    state.psdValid = 0;
    EXPECT_EQ(plotReadoutAt(state, client, { 1000, 500 }).kind, PlotReadout::NOTHING);
    AnalysisState empty;
    resetAnalysisState(empty);
    EXPECT_EQ(plotReadoutAt(empty, client, { 100, 100 }).kind, PlotReadout::NOTHING);
    EXPECT_EQ(plotReadoutText(empty, {}), "");
}

TEST(PlotReadout, TextNamesTheFrequencyInBothUnits)
{
    AnalysisState state;
    PlotReadout bin { PlotReadout::BIN, 64, -3.25, 0.0625 };
    state.exportDt = 1.0;
    EXPECT_EQ(plotReadoutText(state, bin), "Bin 64: f = 0.0625 cycles/sample, log power -3.2500");
    state.exportDt = 0.5;
    EXPECT_EQ(plotReadoutText(state, bin),
        "Bin 64: f = 0.0625 cycles/sample = 0.125 /DT (DT=0.5), log power -3.2500");
    EXPECT_EQ(plotReadoutText(state, { PlotReadout::SAMPLE, 12, 0.5, 0.0 }), "Sample 12: 0.5");
    // The series' own time step takes the place of the export's.
    state.hasTimeStep = 1;
    state.timeStep = 2.0;
    state.timeUnit = std::string(1, 'd');
    EXPECT_EQ(plotReadoutText(state, bin),
        "Bin 64: f = 0.0625 cycles/sample = 0.0312 /d, period 32 d, log power -3.2500");
    state.timeUnit.clear();
    EXPECT_EQ(plotReadoutText(state, bin),
        "Bin 64: f = 0.0625 cycles/sample = 0.0312 per unit, period 32 unit, log power -3.2500");
}

} // namespace
