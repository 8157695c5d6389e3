#include "core/Parallel.h"
#include "core/SeriesStatistics.h"
#include "input/ScratchFile.h"
#include "input/SeriesEditing.h"
#include "input/TableScan.h"
#include "input/TimeSeriesReader.h"
#include "support/CancelPoints.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Step = std::function<int(AnalysisState&, const ProgressCallback&)>;

// Long enough for many reports from the reads.
constexpr unsigned SERIES_ROWS = 150000;
// The running average reports by parts of 65536 samples, and only those
// that the calling thread took.
constexpr unsigned AVERAGED_ROWS = 2000000;

std::string twoColumnTable(int rows)
{
    std::string text = "time value\n";
    for (int i = 0; i < rows; ++i)
        text += std::to_string(i) + " " + std::to_string((i * 7919) % 1000 - 500) + ".5\n";
    return text;
}

// A record that holds an earlier series, with its statistics.
AnalysisState recordWithSeries(const std::string& path, unsigned rows)
{
    AnalysisState state;
    resetAnalysisState(state);
    state.dataFileName = path;
    state.headerTokens = 2;
    state.columnCount = 2;
    state.dataColumn = 2;
    allocateSeries(state, rows);
    for (unsigned i = 0; i <= rows; ++i)
        state.series[i] = static_cast<float>(i % 17) - 8.0f;
    state.sampleCount = rows;
    state.loadedCount = rows;
    state.isOriginal = 1;
    computeSeriesStatistics(state);
    return state;
}

// Runs `step` once to learn its reports, then once per cancel point on a
// fresh record, which must come back bit for bit as it was.
void expectCancelLeavesRecord(const std::string& path, unsigned rows, const Step& step)
{
    std::vector<double> fractions;
    AnalysisState first = recordWithSeries(path, rows);
    ASSERT_EQ(step(first, recordFractions(fractions)), 0);
    ASSERT_GE(fractions.size(), 2u);
    for (double point : cancelPoints(fractions)) {
        SCOPED_TRACE("cancel at " + std::to_string(point));
        bool asked = false;
        for (int attempt = 0; attempt < CANCEL_ATTEMPTS && !asked; ++attempt) {
            AnalysisState state = recordWithSeries(path, rows);
            const RecordImage before = recordImage(state);
            const int status = step(state, stopLate(point, asked));
            if (asked) {
                EXPECT_EQ(status, STEP_CANCELLED);
                EXPECT_TRUE(recordImage(state) == before);
            }
        }
        EXPECT_TRUE(asked);
    }
}

class CancelInput : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        setParallelThreads(GetParam());
        // Many blocks, so that the steps report many times.
        setTableBlockBytes(997);
    }
    void TearDown() override
    {
        setParallelThreads(0);
        setTableBlockBytes(0);
    }
};

INSTANTIATE_TEST_SUITE_P(Threads, CancelInput, ::testing::Values(1, 2, 3));

} // namespace

TEST_P(CancelInput, ACancelledStepLeavesTheRecordAsItWas)
{
    ScratchFile file(twoColumnTable(200000));
    struct Case {
        const char* name;
        unsigned rows;
        Step step;
    };
    const Case cases[] = {
        { "row count", SERIES_ROWS,
            [](AnalysisState& state, const ProgressCallback& progress) {
                return countTimeSeriesRows(state.dataFileName, state.headerTokens,
                    state.columnCount, state.sampleCount, progress);
            } },
        { "read", SERIES_ROWS,
            [](AnalysisState& state, const ProgressCallback& progress) {
                return readTimeSeries(state, state.sampleCount, progress);
            } },
        { "read into a buffer of its own", SERIES_ROWS,
            [](AnalysisState& state, const ProgressCallback& progress) {
                unsigned stored = 0;
                FloatBuffer series;
                const int status
                    = readTimeSeriesInto(state, state.sampleCount, series, stored, progress);
                if (status == 0)
                    state.series = std::move(series);
                return status;
            } },
        { "one-pass read", SERIES_ROWS,
            [](AnalysisState& state, const ProgressCallback& progress) {
                unsigned rows = 0;
                FloatBuffer series;
                const int status = readWholeTimeSeries(state, series, rows, progress);
                if (status == 0) {
                    state.series = std::move(series);
                    state.sampleCount = rows;
                }
                return status;
            } },
        { "running average", AVERAGED_ROWS,
            [](AnalysisState& state, const ProgressCallback& progress) {
                return runningAverageOfSeries(state, 100, progress);
            } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectCancelLeavesRecord(file.path(), c.rows, c.step);
    }
}

TEST(RunningAverageOfSeries, AveragesACopyAndReplacesTheSeries)
{
    AnalysisState state;
    allocateSeries(state, 6);
    const float input[] = { 0, 1, 2, 3, 4, 5, 6 };
    std::copy(std::begin(input), std::end(input), state.series.data());
    state.sampleCount = 5; // the last entry is no sample and stays
    state.isOriginal = 1;
    EXPECT_EQ(runningAverageOfSeries(state, 2), 0);
    const std::vector<float> expected = { 0, 1.5f, 2.5f, 3.5f, 4.5f, 5, 6 };
    EXPECT_EQ(std::vector<float>(state.series.data(), state.series.data() + 7), expected);
    EXPECT_EQ(state.isOriginal, 0);
}
