#include "core/Parallel.h"
#include "input/ReaderTables.h"
#include "input/ScratchFile.h"
#include "input/TableScan.h"
#include "input/TimeSeriesReader.h"
#include "support/PlainReader.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr float UNTOUCHED = -12345.0f;

struct Layout {
    int header, columns, column;
};

constexpr Layout LAYOUTS[] = {
    { 0, 1, 1 },
    { 0, 2, 2 },
    { 0, 3, 1 },
    { 1, 2, 1 },
    { 2, 3, 3 },
    { 3, 4, 2 },
    { 5, 1, 1 },
};

struct Outcome {
    int countStatus = -1;
    unsigned rows = 0;
    int readStatus = -1;
    unsigned sampleCount = 0;
    std::vector<std::uint32_t> bits;
};

// Counts, then reads one row more than counted so that the read runs into
// the table's end.
Outcome readWithReader(const std::string& path, const Layout& layout)
{
    Outcome outcome;
    outcome.countStatus = countTimeSeriesRows(path, layout.header, layout.columns, outcome.rows);
    const unsigned count = outcome.rows + 1;
    AnalysisState state;
    state.dataFileName = path;
    state.headerTokens = layout.header;
    state.columnCount = layout.columns;
    state.dataColumn = layout.column;
    state.series.allocate(count + 2);
    for (std::size_t i = 0; i < state.series.size(); ++i)
        state.series[i] = UNTOUCHED;
    state.sampleCount = count;
    outcome.readStatus = readTimeSeries(state, count);
    outcome.sampleCount = state.sampleCount;
    for (std::size_t i = 0; i < state.series.size(); ++i)
        outcome.bits.push_back(std::bit_cast<std::uint32_t>(state.series[i]));
    return outcome;
}

Outcome readWithPlainLoop(const std::string& path, const Layout& layout)
{
    Outcome outcome;
    outcome.countStatus = plainCountRows(path, layout.header, layout.columns, outcome.rows);
    const unsigned count = outcome.rows + 1;
    std::vector<float> series(count + 2, UNTOUCHED);
    outcome.readStatus = plainReadTimeSeries(path, layout.header, layout.columns, layout.column,
        count, series.data(), outcome.sampleCount);
    for (float value : series)
        outcome.bits.push_back(std::bit_cast<std::uint32_t>(value));
    return outcome;
}

void expectSame(const Outcome& actual, const Outcome& expected)
{
    EXPECT_EQ(actual.countStatus, expected.countStatus);
    EXPECT_EQ(actual.rows, expected.rows);
    EXPECT_EQ(actual.readStatus, expected.readStatus);
    EXPECT_EQ(actual.sampleCount, expected.sampleCount);
    EXPECT_EQ(actual.bits, expected.bits);
}

class ParallelReader : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { setParallelThreads(GetParam()); }
    void TearDown() override
    {
        setParallelThreads(0);
        setTableBlockBytes(0);
    }
};

INSTANTIATE_TEST_SUITE_P(Threads, ParallelReader, ::testing::Values(1, 2, 3));

} // namespace

TEST_P(ParallelReader, GivesThePlainLoopsResultWhereverBlocksEnd)
{
    for (const Table& table : tables()) {
        ScratchFile file(table.text);
        for (const Layout& layout : LAYOUTS) {
            const Outcome expected = readWithPlainLoop(file.path(), layout);
            for (std::size_t block : { 1, 3, 5, 13, 64, 0 }) {
                SCOPED_TRACE(std::string(table.name) + ", header " + std::to_string(layout.header)
                    + ", " + std::to_string(layout.columns) + " columns, column "
                    + std::to_string(layout.column) + ", blocks of " + std::to_string(block));
                setTableBlockBytes(block);
                expectSame(readWithReader(file.path(), layout), expected);
            }
        }
    }
}

TEST_P(ParallelReader, GivesThePlainLoopsResultOnGeneratedTables)
{
    std::mt19937_64 random(20261208 + GetParam());
    for (int round = 0; round < 30; ++round) {
        const int columns = 1 + static_cast<int>(random() % 4);
        ScratchFile file(randomTable(random, 1 + static_cast<int>(random() % 1500), columns));
        const Layout layout { static_cast<int>(random() % 3), columns,
            1 + static_cast<int>(random() % columns) };
        const Outcome expected = readWithPlainLoop(file.path(), layout);
        for (std::size_t block : { 61, 4096 }) {
            SCOPED_TRACE("table " + std::to_string(round) + ", blocks of " + std::to_string(block));
            setTableBlockBytes(block);
            expectSame(readWithReader(file.path(), layout), expected);
        }
    }
}

namespace {

struct Report {
    std::string step;
    double fraction;
    std::thread::id thread;
};

ProgressCallback recorder(std::vector<Report>& reports)
{
    return [&reports](std::string_view step, double fraction) {
        reports.push_back({ std::string(step), fraction, std::this_thread::get_id() });
    };
}

void expectWellFormed(const std::vector<Report>& reports, std::string_view step)
{
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports.front().fraction, 0.0);
    EXPECT_EQ(reports.back().fraction, 1.0);
    EXPECT_LE(reports.size(), 300u);
    for (std::size_t i = 0; i < reports.size(); ++i) {
        EXPECT_EQ(reports[i].step, step);
        EXPECT_EQ(reports[i].thread, std::this_thread::get_id());
        if (i > 0) {
            EXPECT_GE(reports[i].fraction, reports[i - 1].fraction);
        }
    }
}

} // namespace

TEST_P(ParallelReader, ReportsProgressFromTheCallingThreadOnEveryOutcome)
{
    std::string text;
    for (int i = 0; i < 200000; ++i)
        text += std::to_string(i) + " " + std::to_string(i % 7) + "\n";
    ScratchFile good(text);
    ScratchFile bad(text.substr(0, text.size() / 2) + "stop\n" + text);
    setTableBlockBytes(997);

    struct Case {
        const char* name;
        std::string path;
        unsigned count;
        int status;
    };
    const Case cases[] = {
        { "whole file", good.path(), 200000, 0 },
        { "short read", bad.path(), 200000, 1 },
        { "missing file", good.path() + ".missing", 10, 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Report> counting;
        unsigned rows = 0;
        countTimeSeriesRows(c.path, 0, 2, rows, recorder(counting));
        expectWellFormed(counting, PROGRESS_COUNT);

        AnalysisState state;
        state.dataFileName = c.path;
        state.columnCount = 2;
        state.dataColumn = 1;
        state.series.allocate(c.count + 1);
        std::vector<Report> reading;
        EXPECT_EQ(readTimeSeries(state, c.count, recorder(reading)), c.status);
        expectWellFormed(reading, PROGRESS_READ);
        if (c.status == 0) {
            EXPECT_GT(reading.size(), 5u) << "no fraction between 0 and 1";
        }
    }
}

TEST_P(ParallelReader, GuessesRowsFromLinesOnlyWhileLinesAreRows)
{
    // Rows of three numbers, one to a line for the first part and then two
    // numbers to a line, so that the guess from the line ends fails midway;
    // and a header that leaves every line one number into its row, so that
    // it fails from the start.
    std::string table = "a b c\n";
    for (int r = 0; r < 3000; ++r)
        table += std::to_string(r) + " " + std::to_string(r * 0.5) + " -" + std::to_string(r)
            + "e-3\n";
    for (int i = 0; i < 3000; ++i)
        table += std::to_string(i * 0.25) + (i % 2 == 0 ? " " : "\n") + std::to_string(i) + "\n";
    const ScratchFile file(table);
    for (const Layout& layout : { Layout { 3, 3, 3 }, Layout { 3, 3, 1 }, Layout { 4, 3, 2 } }) {
        const Outcome expected = readWithPlainLoop(file.path(), layout);
        for (std::size_t block : { 97, 1000, 8192 }) {
            SCOPED_TRACE("header " + std::to_string(layout.header) + ", column "
                + std::to_string(layout.column) + ", blocks of " + std::to_string(block));
            setTableBlockBytes(block);
            expectSame(readWithReader(file.path(), layout), expected);
        }
    }
}
