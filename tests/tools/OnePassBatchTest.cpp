#include "BatchOptions.h"
#include "BatchRun.h"

#include "core/CFormat.h"
#include "input/TimeSeriesReader.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string contentsOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct BatchResult {
    BatchStatus status;
    std::string error;
    std::string series; // the samples' bytes
    unsigned sampleCount;
    std::string exported;
};

BatchResult runOn(BatchOptions options, const std::string& output)
{
    options.output = output;
    AnalysisState state;
    resetAnalysisState(state);
    BatchResult result;
    result.status = runBatch(options, state, result.error);
    result.sampleCount = state.sampleCount;
    result.series.assign(
        reinterpret_cast<const char*>(state.series.data()), state.series.size() * sizeof(float));
    result.exported = contentsOf(output);
    return result;
}

} // namespace

// Without --rows welmo-psd reads all complete rows in one pass: the same
// samples, summary and export as when the counted rows are given.
TEST(BatchRun, ReadsInOnePassWhatCountingAndReadingGive)
{
    TempFolder folder;
    const std::string data = folder.file("table.dat");
    {
        std::ofstream out(data);
        out << "time value noise\n";
        for (int i = 0; i < 20000; ++i)
            out << formatC("%d %.9g %.4g\n", i, std::sin(0.05 * i), std::cos(0.7 * i) * 1e-3);
        out << "1 2 end 4 5 6\n";
    }
    struct Layout {
        int header, columns, column;
    };
    for (const Layout& layout : { Layout { 3, 3, 2 }, Layout { 3, 3, 3 }, Layout { 4, 1, 1 } }) {
        SCOPED_TRACE(std::to_string(layout.header) + " " + std::to_string(layout.columns) + " "
            + std::to_string(layout.column));
        BatchOptions options;
        options.dataFile = data;
        options.headerTokens = layout.header;
        options.columnCount = layout.columns;
        options.dataColumn = layout.column;
        unsigned rows = 0;
        ASSERT_EQ(countTimeSeriesRows(data, layout.header, layout.columns, rows), 0);

        const BatchResult onePass = runOn(options, folder.file("one.dat"));
        options.rows = rows;
        const BatchResult counted = runOn(options, folder.file("counted.dat"));
        ASSERT_EQ(onePass.status, BATCH_OK) << onePass.error;
        ASSERT_EQ(counted.status, BATCH_OK) << counted.error;
        EXPECT_EQ(onePass.sampleCount, rows);
        EXPECT_EQ(counted.sampleCount, rows);
        EXPECT_TRUE(onePass.series == counted.series);
        EXPECT_FALSE(onePass.exported.empty());
        EXPECT_TRUE(onePass.exported == counted.exported);
    }
}
