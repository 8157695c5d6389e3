// Detection on small files: the layout found, and the samples that layout
// reads, which are the plain reader's on the file as it would be without
// its comments and separators.

#include "input/LayoutDetection.h"
#include "input/ScratchFile.h"
#include "input/TimeSeriesReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

std::string fixture(const char* name)
{
    return std::string(WELMO_TEST_DATA) + "/" + name;
}

struct DetectionCase {
    const char* file;
    bool found;
    TableSyntax syntax;
    int headerLines;
    int headerTokens;
    int columns;
    std::vector<std::string> names;
    const char* description;
    // The same table written plainly, with its header tokens.
    std::string cleaned;
};

std::vector<DetectionCase> detectionCases()
{
    return {
        { "header_line.dat", true, {}, 1, 2, 2, { "Year", "Level" },
            "1 header line (2 tokens), 2 columns",
            "Year Level 2001 5.5 2002 11.25 2003 -0.5 2004 7e1" },
        { "comments_inside.dat", true, { '#', 0, false }, 0, 0, 2, { "time", "value" },
            "no header line, 2 columns, comments after '#'", "0 1.5 1 2.5 2 3.5 3 4.5" },
        { "quoted_names.csv", true, { 0, ',', false }, 1, 2, 2, { "Sample Time", "Value, raw" },
            "1 header line (2 tokens), 2 columns, separated by ','",
            "a b 0 1.5 1 nan 2 2.5 nan 3.5 4 4.5" },
        { "semicolon_decimal_comma.csv", true, { 0, ';', true }, 1, 2, 2, { "t", "x" },
            "1 header line (2 tokens), 2 columns, separated by ';', decimal comma",
            "t x 0 1.5 1 2.25 2 -3.0 3 4" },
        { "percent_semicolon.csv", true, { '%', ';', false }, 0, 0, 2, {},
            "no header line, 2 columns, comments after '%', separated by ';'", "1 2 3 4 5 6" },
        { "blank_lines.dat", true, {}, 1, 1, 1, { "value" }, "1 header line (1 token), 1 column",
            "value 1 2 3 4" },
        { "one_column.dat", true, {}, 0, 0, 1, {}, "no header line, 1 column", "10 20 30 40" },
        { "binary.bin", false, {}, 0, 0, 0, {}, "not a text file", "" },
    };
}

std::vector<float> samples(const AnalysisState& layout, const TableSyntax& syntax)
{
    FloatBuffer series;
    unsigned rows = 0;
    EXPECT_EQ(readWholeTimeSeries(layout, syntax, series, rows), 0);
    return std::vector<float>(series.data() + 1, series.data() + 1 + rows);
}

void expectSameSamples(const std::vector<float>& actual, const std::vector<float>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (std::isnan(expected[i]))
            EXPECT_TRUE(std::isnan(actual[i])) << i;
        else
            EXPECT_EQ(actual[i], expected[i]) << i;
    }
}

TEST(LayoutDetectionTest, FindsTheLayoutAndReadsTheSamplesOfThePlainTable)
{
    for (const DetectionCase& c : detectionCases()) {
        SCOPED_TRACE(c.file);
        DetectedLayout layout;
        ASSERT_TRUE(detectFileLayout(fixture(c.file), layout));
        EXPECT_EQ(layout.found, c.found);
        EXPECT_EQ(layout.syntax, c.syntax);
        EXPECT_EQ(layout.headerLines, c.headerLines);
        EXPECT_EQ(layout.headerTokens, c.headerTokens);
        EXPECT_EQ(layout.columnCount, c.columns);
        EXPECT_EQ(layout.columnNames, c.names);
        EXPECT_EQ(layout.description, c.description);
        if (!c.found)
            continue;
        const ScratchFile plain(c.cleaned);
        for (int column = 1; column <= c.columns; ++column) {
            AnalysisState read;
            read.headerTokens = layout.headerTokens;
            read.columnCount = layout.columnCount;
            read.dataColumn = column;
            read.dataFileName = fixture(c.file);
            const std::vector<float> detected = samples(read, layout.syntax);
            read.dataFileName = plain.path();
            expectSameSamples(detected, samples(read, {}));
        }
    }
}

TEST(LayoutDetectionTest, LooksAtTheFirstBytesOnly)
{
    // The rows beyond the first bytes hold another layout: they are never seen.
    std::string text = "x y\n";
    while (text.size() < DETECTION_BYTES - 10)
        text += "1 2\n";
    const std::string tail = "1 2 3 4 5 6 7 8 9\n";
    DetectedLayout layout;
    const ScratchFile file(text + "12345678901234567890" + tail + tail + tail);
    ASSERT_TRUE(detectFileLayout(file.path(), layout));
    EXPECT_EQ(layout.columnCount, 2);
    EXPECT_EQ(layout.headerTokens, 2);
    // An incomplete last line of a cut sample is no row.
    EXPECT_EQ(detectLayout("a\n1 2\n3 4\n5 6\n7 8\n1 2 3", true).columnCount, 2);
}

TEST(LayoutDetectionTest, NoRowsOfNumbersIsNoLayout)
{
    for (const char* text : { "", "\n\n", "only words here\nand more\n" }) {
        const DetectedLayout layout = detectLayout(text, false);
        EXPECT_FALSE(layout.found) << text;
        EXPECT_EQ(layout.description, "no rows of numbers found") << text;
    }
    DetectedLayout untouched;
    EXPECT_FALSE(detectFileLayout("/nonexistent/welmo/file.dat", untouched));
}

TEST(LayoutDetectionTest, AHeaderLineOfNumbersIsNotTakenForData)
{
    const DetectedLayout layout
        = detectLayout("station 12\n1990\n1 2.5\n2 3.5\n3 4.5\n4 5.5\n", false);
    EXPECT_EQ(layout.headerTokens, 3);
    EXPECT_EQ(layout.columnCount, 2);
}

} // namespace
