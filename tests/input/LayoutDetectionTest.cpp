// Detection on small files: the layout found, and the samples that layout
// reads, which are the plain reader's on the file as it would be without
// its comments and separators.

#include "input/LayoutDetection.h"
#include "input/ScratchFile.h"
#include "input/TimeSeriesReader.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
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

// The samples' bits: a missing value reads as strtod's "nan" either way.
std::vector<std::uint32_t> samples(const AnalysisState& layout, const TableSyntax& syntax)
{
    FloatBuffer series;
    unsigned rows = 0;
    EXPECT_EQ(readWholeTimeSeries(layout, syntax, series, rows), 0);
    std::vector<std::uint32_t> bits;
    for (unsigned i = 1; i <= rows; ++i)
        bits.push_back(std::bit_cast<std::uint32_t>(series[i]));
    return bits;
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
        const ScratchFile plain(c.cleaned);
        for (int column = 1; column <= c.columns && c.found; ++column) {
            AnalysisState read;
            read.headerTokens = layout.headerTokens;
            read.columnCount = layout.columnCount;
            read.dataColumn = column;
            read.dataFileName = fixture(c.file);
            const std::vector<std::uint32_t> detected = samples(read, layout.syntax);
            read.dataFileName = plain.path();
            EXPECT_EQ(detected, samples(read, {})) << "column " << column;
        }
    }
    DetectedLayout untouched;
    EXPECT_FALSE(detectFileLayout("/nonexistent/welmo/file.dat", untouched));
}

TEST(LayoutDetectionTest, DetectsFromTheBytesGiven)
{
    // Rows of another layout after the first bytes are never seen.
    std::string first = "x y\n";
    while (first.size() < DETECTION_BYTES - 10)
        first += "1 2\n";
    const std::string after = "1234567890123456789 1 2 3 4 5 6 7 8 9\n1 2 3 4 5 6 7 8 9\n";
    const struct {
        std::string text;
        bool cut;
        int headerTokens, columns;
        const char* description;
    } cases[] = {
        { first + after, true, 2, 2, "1 header line (2 tokens), 2 columns" },
        { "a\n1 2\n3 4\n5 6\n7 8\n1 2 3", true, 1, 2, "1 header line (1 token), 2 columns" },
        { "station 12\n1990\n1 2.5\n2 3.5\n3 4.5\n", false, 3, 2,
            "2 header lines (3 tokens), 2 columns" },
        { "1,5 2,5\n3,5 4,5\n5,5 6,5\n", false, 0, 2,
            "no header line, 2 columns, separated by ';', decimal comma" },
        { "", false, 0, 0, "no rows of numbers found" },
        { "only words here\nand more\n", false, 0, 0, "no rows of numbers found" },
    };
    for (const auto& c : cases) {
        const DetectedLayout layout = detectLayout(c.text, c.cut);
        EXPECT_EQ(layout.found, c.columns > 0) << c.description;
        EXPECT_EQ(layout.headerTokens, c.headerTokens) << c.description;
        EXPECT_EQ(layout.columnCount, c.columns) << c.description;
        EXPECT_EQ(layout.description, c.description);
    }
}

} // namespace
