// Tables of other syntaxes read as the plain reader reads their cleaned
// text; plain tables read through the same entry points as before.

#include "core/Parallel.h"
#include "input/ScratchFile.h"
#include "input/SyntaxTableScan.h"
#include "input/TableText.h"
#include "input/TimeSeriesReader.h"
#include "support/PlainReader.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr TableSyntax HASH { '#', 0, false };
constexpr TableSyntax CSV { 0, ',', false };
constexpr TableSyntax CSV_HASH { '#', ',', false };
constexpr TableSyntax SEMICOLON_COMMA { 0, ';', true };
constexpr TableSyntax TABS { '!', '\t', false };

struct CleanCase {
    const char* name;
    TableSyntax syntax;
    std::string text;
    std::string cleaned;
};

std::string longCsvLine()
{
    std::string line = "0.5";
    for (int i = 1; i < 80; ++i) {
        line += ',';
        if (i % 7 != 0)
            line += std::to_string(i);
    }
    return line;
}

std::string longCleanedLine()
{
    std::string line = "0.5";
    for (int i = 1; i < 80; ++i) {
        line += ' ';
        line += i % 7 == 0 ? std::string("nan") : std::to_string(i);
    }
    return line;
}

std::vector<CleanCase> cleanCases()
{
    return {
        { "comment lines and a comment after numbers", HASH, "# a\n1 2 # b c\n#x 3\n4",
            "\n1 2 \n\n4" },
        { "a marker inside a token is no comment", HASH, "1#2 3\n", "1#2 3\n" },
        { "quoted names with blanks and separators", CSV, "\"a b\",\"c,d\",\"say \"\"hi\"\"\"\n",
            "a_b c_d say_\"hi\"\n" },
        { "empty fields anywhere on a line", CSV, ",1,,2,\n", "nan 1 nan 2 nan\n" },
        { "an empty quoted field is missing", CSV, "\"\",5\n", "nan 5\n" },
        { "a blank line holds no field", CSV, "1,2\n\n  \n3,4", "1 2\n\n  \n3 4" },
        { "a comment after a separator", CSV_HASH, "1,#c\n2,3 # d\n", "1 nan\n2 3 \n" },
        { "a quote closes at the line end", CSV, "\"open,1\n2,3\n", "open_1\n2 3\n" },
        { "decimal comma with semicolons", SEMICOLON_COMMA, "1,5;-2,25e1;\r\n",
            "1.5 -2.25e1 \rnan\n" },
        { "comma as point only with semicolons", { 0, ',', true }, "1,5\n", "1 5\n" },
        { "lines longer than a block's tail", CSV,
            "\"" + std::string(300, 'n') + "\",2\n" + longCsvLine() + "\n1,2\n" + longCsvLine(),
            std::string(300, 'n') + " 2\n" + longCleanedLine() + "\n1 2\n" + longCleanedLine() },
        { "tab separated with empty fields", TABS, "1\t\t2\n! x\n", "1 nan 2\n\n" },
    };
}

TEST(TableTextTest, CleansEachSyntaxAsItsPlainTable)
{
    for (const CleanCase& c : cleanCases()) {
        EXPECT_EQ(cleanTableText(c.text, c.syntax), c.cleaned) << c.name;
        // Cut anywhere, the pieces clean to the same text.
        for (std::size_t cut = 0; cut <= c.text.size(); ++cut) {
            TableTextCleaner cleaner(c.syntax);
            std::string out;
            cleaner.feed(c.text.data(), c.text.data() + cut, out);
            cleaner.feed(c.text.data() + cut, c.text.data() + c.text.size(), out);
            cleaner.finish(out);
            EXPECT_EQ(out, c.cleaned) << c.name << ", cut at " << cut;
        }
    }
}

struct Outcome {
    int countStatus = -1;
    unsigned rows = 0;
    int readStatus = -1;
    unsigned stored = 0;
    std::vector<std::uint32_t> bits;
};

Outcome readWithSyntax(
    const std::string& path, const TableSyntax& syntax, int header, int columns, int column)
{
    Outcome outcome;
    outcome.countStatus = countTimeSeriesRows(path, syntax, header, columns, outcome.rows);
    AnalysisState layout;
    layout.dataFileName = path;
    layout.headerTokens = header;
    layout.columnCount = columns;
    layout.dataColumn = column;
    FloatBuffer series;
    outcome.readStatus
        = readTimeSeriesInto(layout, syntax, outcome.rows + 1, series, outcome.stored);
    for (unsigned i = 1; i <= outcome.stored; ++i)
        outcome.bits.push_back(std::bit_cast<std::uint32_t>(series[i]));
    FloatBuffer whole;
    unsigned wholeRows = 0;
    EXPECT_EQ(readWholeTimeSeries(layout, syntax, whole, wholeRows), 0);
    EXPECT_EQ(wholeRows, outcome.rows);
    for (unsigned i = 1; i <= std::min(wholeRows, outcome.stored); ++i)
        EXPECT_EQ(std::bit_cast<std::uint32_t>(whole[i]), outcome.bits[i - 1]) << i;
    return outcome;
}

Outcome readPlainly(const std::string& path, int header, int columns, int column)
{
    Outcome outcome;
    outcome.countStatus = plainCountRows(path, header, columns, outcome.rows);
    std::vector<float> series(outcome.rows + 2);
    outcome.readStatus = plainReadTimeSeries(
        path, header, columns, column, outcome.rows + 1, series.data(), outcome.stored);
    for (unsigned i = 1; i <= outcome.stored; ++i)
        outcome.bits.push_back(std::bit_cast<std::uint32_t>(series[i]));
    return outcome;
}

// Returns the rows counted.
// Blocks from one byte up, so that lines, tokens and quotes straddle them
// in every way; 0 is the reader's own block size.
const std::vector<std::size_t> SMALL_BLOCKS = { 1, 2, 3, 5, 8, 13, 0 };

unsigned expectSameReading(const std::string& text, const TableSyntax& syntax, int header,
    int columns, int column, const std::string& what,
    const std::vector<std::size_t>& blocks = SMALL_BLOCKS)
{
    const ScratchFile file(text);
    const ScratchFile cleaned(cleanTableText(text, syntax));
    const Outcome expected = readPlainly(cleaned.path(), header, columns, column);
    for (const int threads : { 1, 3 }) {
        for (const std::size_t block : blocks) {
            setParallelThreads(threads);
            setSyntaxBlockBytes(block);
            const Outcome actual = readWithSyntax(file.path(), syntax, header, columns, column);
            setSyntaxBlockBytes(0);
            setParallelThreads(0);
            const std::string where = what + ", " + std::to_string(threads) + " threads, blocks of "
                + std::to_string(block);
            EXPECT_EQ(actual.countStatus, expected.countStatus) << where;
            EXPECT_EQ(actual.rows, expected.rows) << where;
            EXPECT_EQ(actual.readStatus, expected.readStatus) << where;
            EXPECT_EQ(actual.stored, expected.stored) << where;
            EXPECT_EQ(actual.bits, expected.bits) << where;
        }
    }
    return expected.rows;
}

TEST(TableSyntaxReaderTest, ReadsAsThePlainReaderReadsTheCleanedText)
{
    for (const CleanCase& c : cleanCases())
        for (int header = 0; header <= 2; ++header)
            for (int columns = 1; columns <= 3; ++columns)
                for (int column = 1; column <= columns; ++column)
                    expectSameReading(c.text, c.syntax, header, columns, column,
                        std::string(c.name) + ", header " + std::to_string(header) + ", "
                            + std::to_string(columns) + " columns");
}

// Large enough to be cleaned in many pieces, with comments, quotes and
// empty fields on every side of their boundaries.
std::string randomCsv(std::mt19937_64& random, int rows)
{
    std::string text = "\"time stamp\",\"value, raw\",\"flag\"\n# written for a test\n";
    char number[64];
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < 3; ++c) {
            if (c > 0)
                text += ',';
            const unsigned kind = random() % 50;
            if (kind == 0)
                continue; // an empty field
            if (kind == 1) {
                text += "\"7.25\"";
                continue;
            }
            std::snprintf(number, sizeof number, "%.9g",
                std::ldexp(static_cast<double>(random() % 2000001) - 1e6, -10));
            text += number;
        }
        text += random() % 30 == 0 ? " # note, with a comma\n" : "\r\n";
        if (random() % 200 == 0)
            text += "# a comment line\n";
    }
    return text;
}

TEST(TableSyntaxReaderTest, LargeCsvWithCommentsReadsAsItsCleanedText)
{
    std::mt19937_64 random(20261209);
    const std::string text = randomCsv(random, 60000);
    for (int column = 1; column <= 3; ++column)
        EXPECT_EQ(expectSameReading(text, CSV_HASH, 3, 3, column,
                      "column " + std::to_string(column), { 100, 4099, 0 }),
            60000u);
}

TEST(TableSyntaxReaderTest, PlainSyntaxReadsAsTheReaderWithoutOne)
{
    const ScratchFile file("head\n1 2 3\n4 5 6\n7 x 9\n");
    unsigned withSyntax = 0;
    unsigned without = 0;
    EXPECT_EQ(countTimeSeriesRows(file.path(), TableSyntax {}, 1, 2, withSyntax), 0);
    EXPECT_EQ(countTimeSeriesRows(file.path(), 1, 2, without), 0);
    EXPECT_EQ(withSyntax, without);
    EXPECT_EQ(without, 3u);
}

TEST(TableSyntaxReaderTest, RefusesAnUnknownMarkerOrSeparator)
{
    const ScratchFile file("1 2\n3 4\n");
    unsigned rows = 7;
    EXPECT_EQ(countTimeSeriesRows(file.path(), { '*', 0, false }, 0, 2, rows), 1);
    EXPECT_EQ(countTimeSeriesRows(file.path(), { 0, '.', false }, 0, 2, rows), 1);
    EXPECT_EQ(rows, 7u);
}

} // namespace
