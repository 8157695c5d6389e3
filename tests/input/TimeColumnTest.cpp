// A column of times read in double precision: every value as strtod gives
// it, on every path of the scan, and the median step that a float column
// would have lost.

#include "core/CFormat.h"
#include "core/Parallel.h"
#include "input/ScratchFile.h"
#include "input/SyntaxTableScan.h"
#include "input/TimeSeriesReader.h"
#include "input/TimeStep.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

TEST(TimeColumnTest, ReadsEachTimeAsStrtodGivesItOnEveryPath)
{
    // Days since an epoch, an eighth of a day apart; the separated table
    // has an empty field, a quoted header and a comment in some blocks.
    std::string blanks = "day value\n";
    std::string commas = "\"day\",\"value\"\n";
    std::vector<std::string> days;
    for (int r = 0; r < 3000; ++r) {
        days.push_back(std::to_string(59000 + r / 8) + "." + std::to_string(r % 8 * 125));
        blanks += days.back() + " " + std::to_string(r % 7) + "\n";
        commas += days.back() + "," + (r % 500 == 3 ? "" : std::to_string(r % 7))
            + (r % 700 == 5 ? " # checked\n" : "\n");
    }
    const ScratchFile plainFile(blanks);
    const ScratchFile csvFile(commas);
    const struct {
        const ScratchFile& file;
        TableSyntax syntax;
    } tables[] = { { plainFile, {} }, { csvFile, { '#', ',', false } } };
    for (const auto& table : tables) {
        AnalysisState layout;
        layout.dataFileName = table.file.path();
        layout.headerTokens = 2;
        layout.columnCount = 2;
        for (const int threads : { 1, 2 }) {
            for (const std::size_t block : { std::size_t(97), std::size_t(0) }) {
                setParallelThreads(threads);
                setSyntaxBlockBytes(block);
                std::unique_ptr<double[]> times;
                unsigned stored = 0;
                const int status = readTimeColumnInto(
                    layout, table.syntax, 1, static_cast<unsigned>(days.size()), times, stored);
                setSyntaxBlockBytes(0);
                setParallelThreads(0);
                ASSERT_EQ(status, 0);
                ASSERT_EQ(stored, days.size());
                for (std::size_t r = 0; r < days.size(); ++r)
                    ASSERT_EQ(times[r + 1], strtodC(days[r].c_str(), nullptr)) << r;
                const TimeStep step = medianTimeStep(times.get(), stored);
                EXPECT_TRUE(step.found);
                EXPECT_EQ(step.step, 0.125);
                EXPECT_FALSE(step.uneven);
            }
        }
    }
}

} // namespace
