#include "input/ScratchFile.h"
#include "input/TimeSeriesReader.h"
#include "support/PlainReader.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr float UNTOUCHED = -12345.0f;
constexpr float FLOAT_INF = std::numeric_limits<float>::infinity();

std::string fixture(const char* name)
{
    return std::string(WELMO_TEST_DATA) + "/" + name;
}

// A record whose series holds `entries` entries, all UNTOUCHED.
AnalysisState stateFor(
    const std::string& path, int header, int columns, int column, std::size_t entries)
{
    AnalysisState state;
    state.dataFileName = path;
    state.headerTokens = header;
    state.columnCount = columns;
    state.dataColumn = column;
    state.isOriginal = 0;
    state.series.allocate(entries);
    for (std::size_t i = 0; i < entries; ++i)
        state.series[i] = UNTOUCHED;
    return state;
}

std::vector<float> quarterSteps(int n)
{
    std::vector<float> values;
    for (int i = 1; i <= n; ++i)
        values.push_back(0.25f * static_cast<float>(i));
    return values;
}

void expectSameBits(const float* actual, const std::vector<float>& expected)
{
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(
            std::bit_cast<std::uint32_t>(actual[i + 1]), std::bit_cast<std::uint32_t>(expected[i]))
            << "sample " << i + 1 << ": " << actual[i + 1] << " instead of " << expected[i];
}

} // namespace

TEST(ReadTimeSeries, StoresTheKeptColumnOfCompleteRows)
{
    struct Case {
        const char* file;
        int header, columns, column;
        unsigned count;
        int status;
        unsigned sampleCount;
        std::vector<float> values;
    };
    const Case cases[] = {
        { "rows_not_lines.dat", 0, 2, 2, 3, 0, 3, { 2, 4, 6 } },
        { "rows_not_lines.dat", 0, 2, 1, 3, 0, 3, { 1, 3, 5 } },
        { "rows_not_lines.dat", -4, 2, 2, 3, 0, 3, { 2, 4, 6 } },
        { "seven_numbers.dat", 3, 3, 3, 2, 0, 2, { 3, 6 } },
        { "seven_numbers.dat", 3, 3, 3, 3, 1, 2, { 3, 6 } },
        { "seven_numbers.dat", 100, 1, 1, 1, 1, 0, {} },
        { "no_final_newline.dat", 0, 2, 2, 2, 0, 2, { -2, 40 } },
        { "hundred_rows.dat", 2, 2, 2, 150, 1, 100, quarterSteps(100) },
        { "hundred_rows.dat", 2, 2, 2, 100, 0, 100, quarterSteps(100) },
        { "not_a_number_token.dat", 0, 2, 1, 3, 1, 2, { 1, 3 } },
        { "decimal_comma.dat", 0, 1, 1, 2, 1, 1, { 1 } },
        { "byte_order_mark_crlf.dat", 2, 2, 2, 2, 0, 2, { 2.5f, 4.5f } },
        { "byte_order_mark_crlf.dat", 0, 2, 1, 2, 1, 0, {} },
        { "out_of_float_range.dat", 0, 1, 1, 7, 0, 7,
            { FLOAT_INF, -FLOAT_INF, 0.0f, std::numeric_limits<float>::max(),
                std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::quiet_NaN(),
                -FLOAT_INF } },
        { "nul_bytes.dat", 0, 2, 2, 2, 1, 1, { 2 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + ", " + std::to_string(c.count) + " rows");
        AnalysisState state = stateFor(fixture(c.file), c.header, c.columns, c.column, c.count + 2);
        state.sampleCount = c.count;
        EXPECT_EQ(readTimeSeries(state, c.count), c.status);
        EXPECT_EQ(state.sampleCount, c.sampleCount);
        EXPECT_EQ(state.isOriginal, c.status == 0 ? 1 : 0);
        EXPECT_EQ(state.series[0], 0.0f);
        expectSameBits(state.series.data(), c.values);
        for (std::size_t i = c.sampleCount + 1; i < state.series.size(); ++i)
            EXPECT_EQ(state.series[i], UNTOUCHED) << "entry " << i;
    }
}

TEST(ReadTimeSeries, RefusesWhatItCannotHoldAndTouchesNothing)
{
    struct Case {
        const char* name;
        std::string path;
        int columns, column;
        std::size_t entries;
    };
    const std::string file = fixture("rows_not_lines.dat");
    const Case cases[] = {
        { "missing file", fixture("no_such_file.dat"), 2, 1, 4 },
        { "column beyond the row", file, 2, 3, 4 },
        { "column zero", file, 2, 0, 4 },
        { "negative column", file, 2, -1, 4 },
        { "no columns", file, 0, 1, 4 },
        { "more columns than a row holds", file, 101, 1, 4 },
        { "buffer one entry short", file, 2, 1, 3 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AnalysisState state = stateFor(c.path, 0, c.columns, c.column, c.entries);
        state.sampleCount = 3;
        EXPECT_EQ(readTimeSeries(state, 3), 1);
        EXPECT_EQ(state.sampleCount, 0u);
        EXPECT_EQ(state.isOriginal, 0);
        for (std::size_t i = 0; i < c.entries; ++i)
            EXPECT_EQ(state.series[i], UNTOUCHED) << "entry " << i;
    }
}

TEST(ReadTimeSeries, HoldsRowsOfAHundredValues)
{
    std::string text;
    for (int r = 1; r <= 2; ++r)
        for (int j = 1; j <= 100; ++j)
            text += std::to_string(r * 1000 + j) + (j == 100 ? "\n" : " ");
    ScratchFile file(text);
    AnalysisState state = stateFor(file.path(), 0, 100, 100, 3);
    EXPECT_EQ(readTimeSeries(state, 2), 0);
    expectSameBits(state.series.data(), { 1100, 2100 });
    unsigned rows = 0;
    EXPECT_EQ(countTimeSeriesRows(file.path(), 0, 100, rows), 0);
    EXPECT_EQ(rows, 2u);
}

TEST(CountTimeSeriesRows, CountsCompleteRowsBeforeTheFirstNonNumber)
{
    struct Case {
        const char* file;
        int header, columns;
        unsigned rows;
    };
    const Case cases[] = {
        { "rows_not_lines.dat", 0, 2, 3 },
        { "rows_not_lines.dat", 0, 4, 1 },
        { "rows_not_lines.dat", -1, 1, 6 },
        { "seven_numbers.dat", 3, 3, 2 },
        { "seven_numbers.dat", 0, 1, 0 },
        { "seven_numbers.dat", 100, 1, 0 },
        { "no_final_newline.dat", 0, 2, 2 },
        { "hundred_rows.dat", 2, 2, 100 },
        { "not_a_number_token.dat", 0, 2, 2 },
        { "decimal_comma.dat", 0, 1, 1 },
        { "byte_order_mark_crlf.dat", 2, 2, 2 },
        { "byte_order_mark_crlf.dat", 0, 2, 0 },
        { "out_of_float_range.dat", 0, 7, 1 },
        { "nul_bytes.dat", 0, 2, 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + ", " + std::to_string(c.columns) + " columns");
        unsigned rows = 777;
        EXPECT_EQ(countTimeSeriesRows(fixture(c.file), c.header, c.columns, rows), 0);
        EXPECT_EQ(rows, c.rows);
        unsigned plainRows = 777;
        EXPECT_EQ(plainCountRows(fixture(c.file), c.header, c.columns, plainRows), 0);
        EXPECT_EQ(plainRows, c.rows);
    }
}

TEST(CountTimeSeriesRows, FailsWithoutCountingOnMissingFileOrImpossibleLayout)
{
    const std::string file = fixture("rows_not_lines.dat");
    struct Case {
        std::string path;
        int columns;
    };
    for (const Case& c : { Case { fixture("no_such_file.dat"), 2 }, Case { file, 0 },
             Case { file, -3 }, Case { file, 101 } }) {
        unsigned rows = 777;
        EXPECT_EQ(countTimeSeriesRows(c.path, 0, c.columns, rows), 1) << c.path << c.columns;
        EXPECT_EQ(rows, 777u);
    }
}

namespace {

std::string randomValue(std::mt19937_64& random)
{
    static const char* const formats[] = { "%.17g", "%.10g", "%g", "%.6e", "%a", "%.2f" };
    static const char* const words[]
        = { "inf", "-Infinity", "nan", "-nan", "1e", "7e+", "0x1p-1074", "1e-46", "3.5e38", "-0" };
    if (random() % 50 == 0)
        return words[random() % std::size(words)];
    const double value = (random() & 1 ? -1 : 1)
        * std::pow(10.0, std::uniform_real_distribution<>(-50, 50)(random));
    char text[64];
    std::snprintf(text, sizeof text, formats[random() % std::size(formats)], value);
    return text;
}

std::string randomTable(std::mt19937_64& random, int header, int columns, int rows)
{
    static const char* const separators[] = { " ", "\t", "  ", " \t " };
    static const char* const lineEnds[] = { "\n", "\r\n", " \n\n", "\n\t" };
    static const char* const junk[] = { "abc", "1,5", "--1", "\xEF\xBB\xBF", ".", "0x" };
    std::string text;
    for (int h = 0; h < header; ++h)
        text += "head" + std::to_string(h) + (h + 1 == header ? "\n" : " ");
    const long junkAt = random() % 4 == 0 ? static_cast<long>(random() % (rows * columns + 1)) : -1;
    long position = 0;
    for (int r = 0; r < rows; ++r) {
        for (int j = 0; j < columns; ++j, ++position) {
            text += position == junkAt ? junk[random() % std::size(junk)] : randomValue(random);
            text += j + 1 == columns ? lineEnds[random() % std::size(lineEnds)]
                                     : separators[random() % std::size(separators)];
        }
    }
    return text;
}

} // namespace

TEST(ReadTimeSeries, MatchesThePlainLoopOnGeneratedTables)
{
    std::mt19937_64 random(8122026);
    for (int round = 0; round < 150; ++round) {
        const int header = static_cast<int>(random() % 4);
        const int columns = 1 + static_cast<int>(random() % 5);
        const int column = 1 + static_cast<int>(random() % columns);
        ScratchFile file(
            randomTable(random, header, columns, 1 + static_cast<int>(random() % 2000)));
        SCOPED_TRACE("table " + std::to_string(round));

        unsigned rows = 0, plainRows = 0;
        ASSERT_EQ(countTimeSeriesRows(file.path(), header, columns, rows), 0);
        ASSERT_EQ(plainCountRows(file.path(), header, columns, plainRows), 0);
        ASSERT_EQ(rows, plainRows);

        const unsigned count = rows + static_cast<unsigned>(random() % 2);
        AnalysisState state = stateFor(file.path(), header, columns, column, count + 1);
        std::vector<float> plain(count + 1, UNTOUCHED);
        unsigned stored = 0;
        const int plainStatus = plainReadTimeSeries(
            file.path(), header, columns, column, count, plain.data(), stored);
        state.sampleCount = count;
        ASSERT_EQ(readTimeSeries(state, count), plainStatus);
        ASSERT_EQ(state.sampleCount, stored);
        expectSameBits(state.series.data(), std::vector<float>(plain.begin() + 1, plain.end()));
    }
}

TEST(ReadTimeSeries, TakesMegabyteTokensAndLines)
{
    std::string text = std::string(3'000'000, 'h') + "\n";
    for (int i = 0; i < 300'000; ++i)
        text += "0.5 ";
    text += "\n1" + std::string(2'000'000, '0') + "e-2000000\n";
    ScratchFile file(text);

    unsigned rows = 0;
    ASSERT_EQ(countTimeSeriesRows(file.path(), 1, 1, rows), 0);
    ASSERT_EQ(rows, 300'001u);
    AnalysisState state = stateFor(file.path(), 1, 1, 1, rows + 1);
    state.sampleCount = rows;
    ASSERT_EQ(readTimeSeries(state, rows), 0);
    std::vector<float> expected(300'000, 0.5f);
    expected.push_back(1.0f);
    expectSameBits(state.series.data(), expected);
}

TEST(ReadTimeSeries, ReadsDecimalPointsWhateverTheLocale)
{
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    ScratchFile file("1.5 0.1000000000000000055511151231257827 2,5\n");
    unsigned rows = 0;
    const int countStatus = countTimeSeriesRows(file.path(), 0, 1, rows);
    AnalysisState state = stateFor(file.path(), 0, 1, 1, 4);
    const int readStatus = readTimeSeries(state, 3);
    std::setlocale(LC_ALL, "C");

    EXPECT_EQ(countStatus, 0);
    EXPECT_EQ(rows, 3u);
    EXPECT_EQ(readStatus, 0);
    expectSameBits(state.series.data(), { 1.5f, 0.1f, 2.0f });
}
