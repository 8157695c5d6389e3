#include "core/Parallel.h"
#include "input/ReaderTables.h"
#include "input/ScratchFile.h"
#include "input/TableScan.h"
#include "input/TimeSeriesReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

struct Layout {
    int header, columns, column;
};

constexpr Layout LAYOUTS[] = {
    { 0, 1, 1 },
    { 0, 2, 2 },
    { 0, 3, 1 },
    { 1, 2, 1 },
    { 2, 3, 3 },
    { 5, 1, 1 },
};

struct Outcome {
    int status = -1;
    unsigned rows = 0;
    std::vector<std::uint32_t> bits;

    bool operator==(const Outcome&) const = default;
};

AnalysisState layoutOf(const std::string& path, const Layout& layout)
{
    AnalysisState state;
    state.dataFileName = path;
    state.headerTokens = layout.header;
    state.columnCount = layout.columns;
    state.dataColumn = layout.column;
    return state;
}

std::vector<std::uint32_t> bitsOf(const FloatBuffer& series, std::size_t entries)
{
    std::vector<std::uint32_t> bits;
    for (std::size_t i = 0; i < entries; ++i)
        bits.push_back(std::bit_cast<std::uint32_t>(series[i]));
    return bits;
}

Outcome countThenRead(const std::string& path, const Layout& layout)
{
    Outcome outcome;
    outcome.status = countTimeSeriesRows(path, layout.header, layout.columns, outcome.rows);
    if (outcome.status != 0)
        return outcome;
    AnalysisState state = layoutOf(path, layout);
    allocateSeries(state, outcome.rows);
    state.sampleCount = outcome.rows;
    outcome.status = readTimeSeries(state, outcome.rows);
    outcome.bits = bitsOf(state.series, outcome.rows + 1);
    return outcome;
}

Outcome readInOnePass(const std::string& path, const Layout& layout)
{
    Outcome outcome;
    FloatBuffer series;
    outcome.status = readWholeTimeSeries(layoutOf(path, layout), series, outcome.rows);
    if (outcome.status == 0) {
        EXPECT_EQ(series.size(), outcome.rows + std::size_t(1));
        outcome.bits = bitsOf(series, series.size());
    }
    return outcome;
}

// The count, then the read into a buffer of its own.
Outcome countThenReadInto(const std::string& path, const Layout& layout)
{
    Outcome outcome;
    outcome.status = countTimeSeriesRows(path, layout.header, layout.columns, outcome.rows);
    if (outcome.status != 0)
        return outcome;
    FloatBuffer series;
    unsigned stored = 0;
    outcome.status = readTimeSeriesInto(layoutOf(path, layout), outcome.rows, series, stored);
    EXPECT_EQ(stored, outcome.rows);
    EXPECT_EQ(series.size(), outcome.rows + std::size_t(1));
    outcome.bits = bitsOf(series, series.size());
    return outcome;
}

void expectSameRead(const std::string& path, const Layout& layout, const std::string& trace)
{
    SCOPED_TRACE(trace + ", header " + std::to_string(layout.header) + ", "
        + std::to_string(layout.columns) + " columns, column " + std::to_string(layout.column));
    const Outcome expected = countThenRead(path, layout);
    EXPECT_EQ(readInOnePass(path, layout), expected);
    EXPECT_EQ(countThenReadInto(path, layout), expected);
}

class OnePassRead : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { setParallelThreads(GetParam()); }
    void TearDown() override
    {
        setParallelThreads(0);
        setTableBlockBytes(0);
    }
};

INSTANTIATE_TEST_SUITE_P(Threads, OnePassRead, ::testing::Values(1, 2, 3));

} // namespace

TEST_P(OnePassRead, GivesCountThenReadOnTheFixtures)
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(WELMO_TEST_DATA))
        if (entry.path().extension() == ".dat")
            files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 10u);
    for (const std::string& file : files)
        for (const Layout& layout : LAYOUTS)
            for (std::size_t block : { 3, 0 }) {
                setTableBlockBytes(block);
                expectSameRead(file, layout, file + ", blocks of " + std::to_string(block));
            }
}

TEST_P(OnePassRead, GivesCountThenReadWhereverBlocksEnd)
{
    for (const Table& table : tables()) {
        ScratchFile file(table.text);
        for (const Layout& layout : LAYOUTS)
            for (std::size_t block : { 1, 5, 13, 64, 0 }) {
                setTableBlockBytes(block);
                expectSameRead(file.path(), layout,
                    std::string(table.name) + ", blocks of " + std::to_string(block));
            }
    }
}

TEST_P(OnePassRead, GivesCountThenReadOnGeneratedTables)
{
    std::mt19937_64 random(20261209 + GetParam());
    for (int round = 0; round < 20; ++round) {
        const int columns = 1 + static_cast<int>(random() % 4);
        ScratchFile file(randomTable(random, 1 + static_cast<int>(random() % 1500), columns));
        const Layout layout { static_cast<int>(random() % 3), columns,
            1 + static_cast<int>(random() % columns) };
        for (std::size_t block : { 61, 4096 }) {
            setTableBlockBytes(block);
            expectSameRead(file.path(), layout,
                "table " + std::to_string(round) + ", blocks of " + std::to_string(block));
        }
    }
}

// Long enough that the samples take several large pages, once ending at a
// word and once at the end of the file.
TEST_P(OnePassRead, GivesCountThenReadWhereTheSeriesGrows)
{
    std::string text = "t x\n";
    for (int i = 0; i < 400000; ++i)
        text += std::to_string(i) + " " + std::to_string(i % 13 - 6) + ".25\n";
    ScratchFile whole(text);
    ScratchFile stopped(text.substr(0, text.size() * 3 / 4) + " end 1 2\n");
    for (const ScratchFile* file : { &whole, &stopped })
        for (std::size_t block : { 997, 0 }) {
            setTableBlockBytes(block);
            expectSameRead(file->path(), { 2, 2, 2 }, "blocks of " + std::to_string(block));
        }
}

TEST(OnePassRead, FailsWithTheSeriesUntouched)
{
    ScratchFile file("1 2\n3 4\n");
    struct Case {
        const char* name;
        std::string path;
        Layout layout;
    };
    const Case cases[] = {
        { "missing file", file.path() + ".missing", { 0, 2, 1 } },
        { "no columns", file.path(), { 0, 0, 1 } },
        { "column past the row", file.path(), { 0, 2, 3 } },
        { "too many columns", file.path(), { 0, MAX_ROW_VALUES + 1, 1 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FloatBuffer series;
        series.allocate(3);
        series[1] = 7.0f;
        unsigned rows = 99;
        EXPECT_EQ(readWholeTimeSeries(layoutOf(c.path, c.layout), series, rows), 1);
        EXPECT_EQ(rows, 99u);
        ASSERT_EQ(series.size(), 3u);
        EXPECT_EQ(series[1], 7.0f);
    }
}

TEST(ReadTimeSeriesInto, KeepsTheRowsBeforeAFailureAndRefusesWhatItCannotRead)
{
    ScratchFile file("a b\n1 2\n3 4\n5 x 6\n");
    FloatBuffer series;
    unsigned stored = 99;
    EXPECT_EQ(readTimeSeriesInto(layoutOf(file.path(), { 2, 2, 2 }), 3, series, stored), 1);
    EXPECT_EQ(stored, 2u);
    ASSERT_EQ(series.size(), 4u);
    EXPECT_EQ(series[0], 0.0f);
    EXPECT_EQ(series[1], 2.0f);
    EXPECT_EQ(series[2], 4.0f);

    FloatBuffer untouched;
    untouched.allocate(2);
    EXPECT_EQ(
        readTimeSeriesInto(layoutOf(file.path() + ".missing", { 2, 2, 2 }), 3, untouched, stored),
        1);
    EXPECT_EQ(stored, 0u);
    EXPECT_EQ(untouched.size(), 2u);
}

// Rows of an empty field are shorter than the two bytes a column that the
// room asked ahead is reckoned from: the column outgrows it and moves.
TEST_P(OnePassRead, GrowsPastTheRoomAskedAheadOnShortRows)
{
    constexpr int ROWS = 300000;
    std::string text;
    for (int i = 0; i < ROWS; ++i)
        text += std::to_string(i % 10) + ",\n";
    ScratchFile file(text);
    for (std::size_t block : { 4093, 0 }) {
        SCOPED_TRACE(block);
        setTableBlockBytes(block);
        FloatBuffer series;
        unsigned rows = 0;
        ASSERT_EQ(readWholeTimeSeries(layoutOf(file.path(), { 0, 2, 1 }),
                      TableSyntax { 0, ',', false }, series, rows),
            0);
        ASSERT_EQ(rows, unsigned(ROWS));
        ASSERT_EQ(series.size(), std::size_t(ROWS) + 1);
        for (int i = 0; i < ROWS; ++i)
            ASSERT_EQ(series[i + 1], static_cast<float>(i % 10)) << i;
    }
}
