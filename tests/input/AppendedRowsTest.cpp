#include "input/AppendedRows.h"

#include "support/FileContents.h"

#include "input/ScratchFile.h"
#include "input/TimeSeriesReader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string rowsOf(int from, int to, const char* format)
{
    std::string text;
    char line[64];
    for (int r = from; r <= to; ++r) {
        std::snprintf(line, sizeof line, format, r, 2 * r);
        text += line;
    }
    return text;
}

// The record as Retrieve Data leaves it after reading every row.
AnalysisState readWhole(const std::string& path, int columns, int kept, TableSyntax syntax = {})
{
    AnalysisState state;
    state.dataFileName = path;
    state.columnCount = columns;
    state.dataColumn = kept;
    state.tableSyntax = syntax;
    unsigned rows = 0;
    EXPECT_EQ(readWholeTimeSeries(state, syntax, state.series, rows), 0);
    state.sampleCount = rows;
    state.isOriginal = 1;
    return state;
}

std::vector<float> samplesOf(const AppendedRows& rows)
{
    return std::vector<float>(rows.samples.data() + 1, rows.samples.data() + 1 + rows.rows);
}

struct AppendCase {
    const char* name;
    std::string initial;
    int columns, kept;
    TableSyntax syntax;
    // Each look's appended bytes and the samples it must find.
    std::vector<std::pair<std::string, std::vector<float>>> looks;
};

TEST(AppendedRows, EachLookTakesTheCompleteRowsAppended)
{
    const TableSyntax csv { '#', ',', false };
    const AppendCase cases[] = {
        { "complete rows", rowsOf(1, 40, "%d\n"), 1, 1, {}, { { "41\n42\n", { 41, 42 } } } },
        { "incomplete last line waits", rowsOf(1, 40, "%d\n"), 1, 1, {},
            { { "41\n4", { 41 } }, { "2.5", {} }, { "\n43\n", { 42.5f, 43 } } } },
        { "last row read without its line end", rowsOf(1, 40, "%d\n") + "41", 1, 1, {},
            { { "\n42\n", { 42 } } } },
        { "comment line and separators", rowsOf(1, 40, "%d,%d\n"), 2, 2, csv,
            { { "# restart\n41,82\n", { 82 } }, { "42,84 # late\n", { 84 } } } },
        { "rows that run over lines", rowsOf(1, 40, "%d %d\n"), 2, 2, {},
            { { "41 82 42\n", { 82 } }, { "84\n", { 84 } } } },
    };
    for (const AppendCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFile file(c.initial);
        AnalysisState state = readWhole(file.path(), c.columns, c.kept, c.syntax);
        ASSERT_TRUE(markRowsRead(state, state.followMark));
        unsigned rows = state.sampleCount;
        for (const auto& [bytes, expected] : c.looks) {
            EXPECT_TRUE(appendToFile(file.path(), bytes));
            const AppendedRows found = readAppendedRows(state, state.followMark);
            EXPECT_EQ(found.change, expected.empty() ? FileChange::NONE : FileChange::APPENDED);
            EXPECT_EQ(samplesOf(found), expected);
            rows += static_cast<unsigned>(expected.size());
            state.followMark = found.mark;
            EXPECT_EQ(state.followMark.rows, rows);
        }
    }
}

TEST(AppendedRows, NoMarkWhereTheLastLinesAreNotTheRowsRead)
{
    ScratchFile file(rowsOf(1, 40, "%d\n"));
    AnalysisState state = readWhole(file.path(), 1, 1);
    // The first 32 rows only, as a row count in the data dialog reads them.
    state.sampleCount = 32;
    EXPECT_FALSE(markRowsRead(state, state.followMark));
    EXPECT_EQ(state.followMark, FollowMark {});
}

} // namespace
