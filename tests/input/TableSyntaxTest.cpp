// Tables of other syntaxes read as the plain reader reads their cleaned
// text, on any thread count and block size.

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

struct CleanCase {
    const char* name;
    TableSyntax syntax;
    std::string text;
    std::string cleaned;
};

// A line of 80 fields, every seventh empty, as CSV or cleaned.
std::string longLine(bool cleaned)
{
    std::string line = "0.5";
    for (int i = 1; i < 80; ++i) {
        line += cleaned ? ' ' : ',';
        if (i % 7 != 0)
            line += std::to_string(i);
        else if (cleaned)
            line += "nan";
    }
    return line;
}

std::vector<CleanCase> cleanCases()
{
    return {
        { "comments", HASH, "# a\n1 2 # b c\n#x 3\n4", "\n1 2 \n\n4" },
        { "a marker inside a token is no comment", HASH, "1#2 3\n", "1#2 3\n" },
        { "quoted names", CSV, "\"a b\",\"c,d\",\"say \"\"hi\"\"\"\n", "a_b c_d say_\"hi\"\n" },
        { "empty fields", CSV, ",1,,2,\n\"\",5\n", "nan 1 nan 2 nan\nnan 5\n" },
        { "a blank line holds no field", CSV, "1,2\n\n  \n3,4", "1 2\n\n  \n3 4" },
        { "a comment after a separator", CSV_HASH, "1,#c\n2,3 # d\n", "1 nan\n2 3 \n" },
        { "a quote closes at the line end", CSV, "\"open,1\n2,3\n", "open_1\n2 3\n" },
        { "decimal comma", { 0, ';', true }, "1,5;-2,25e1;\r\n", "1.5 -2.25e1 \rnan\n" },
        { "comma as point only with semicolons", { 0, ',', true }, "1,5\n", "1 5\n" },
        { "lines longer than a block's tail", CSV,
            "\"" + std::string(300, 'n') + "\",2\n" + longLine(false) + "\n1,2\n" + longLine(false),
            std::string(300, 'n') + " 2\n" + longLine(true) + "\n1 2\n" + longLine(true) },
        { "tabs", { '!', '\t', false }, "1\t\t2\n! x\n", "1 nan 2\n\n" },
    };
}

TEST(TableTextTest, CleansEachSyntaxAsItsPlainTableInPiecesCutAnywhere)
{
    for (const CleanCase& c : cleanCases()) {
        EXPECT_EQ(cleanTableText(c.text, c.syntax), c.cleaned) << c.name;
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

// Count, read of one row more than counted, and the one-pass read.
struct Outcome {
    int countStatus = -1;
    unsigned rows = 0;
    int readStatus = -1;
    unsigned stored = 0;
    std::vector<std::uint32_t> bits;
    unsigned wholeRows = 0;
    std::vector<std::uint32_t> wholeBits;
    bool operator==(const Outcome&) const = default;
};

std::vector<std::uint32_t> bitsOf(const float* series, unsigned rows)
{
    std::vector<std::uint32_t> bits;
    for (unsigned i = 1; i <= rows; ++i)
        bits.push_back(std::bit_cast<std::uint32_t>(series[i]));
    return bits;
}

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
    outcome.bits = bitsOf(series.data(), outcome.stored);
    FloatBuffer whole;
    EXPECT_EQ(readWholeTimeSeries(layout, syntax, whole, outcome.wholeRows), 0);
    outcome.wholeBits = bitsOf(whole.data(), outcome.wholeRows);
    return outcome;
}

Outcome readPlainly(const std::string& path, int header, int columns, int column)
{
    Outcome outcome;
    outcome.countStatus = plainCountRows(path, header, columns, outcome.rows);
    std::vector<float> series(outcome.rows + 2);
    outcome.readStatus = plainReadTimeSeries(
        path, header, columns, column, outcome.rows + 1, series.data(), outcome.stored);
    outcome.bits = bitsOf(series.data(), outcome.stored);
    outcome.wholeRows = outcome.rows;
    outcome.wholeBits = bitsOf(series.data(), outcome.rows);
    return outcome;
}

// Blocks from one byte up, so that lines, tokens and quotes straddle them
// in every way; 0 is the reader's own block size. Returns the rows.
unsigned expectSameReading(const std::string& text, const TableSyntax& syntax, int header,
    int columns, int column, const std::vector<std::size_t>& blocks = { 1, 2, 3, 5, 8, 13, 0 })
{
    const ScratchFile file(text);
    const ScratchFile cleaned(cleanTableText(text, syntax));
    const Outcome expected = readPlainly(cleaned.path(), header, columns, column);
    for (const int threads : { 1, 3 }) {
        for (const std::size_t block : blocks) {
            setParallelThreads(threads);
            setSyntaxBlockBytes(block);
            EXPECT_TRUE(readWithSyntax(file.path(), syntax, header, columns, column) == expected)
                << "header " << header << ", column " << column << " of " << columns << ", "
                << threads << " threads, blocks of " << block;
            setSyntaxBlockBytes(0);
            setParallelThreads(0);
        }
    }
    return expected.rows;
}

TEST(TableSyntaxReaderTest, ReadsAsThePlainReaderReadsTheCleanedText)
{
    for (const CleanCase& c : cleanCases()) {
        SCOPED_TRACE(c.name);
        for (int header = 0; header <= 2; ++header)
            for (int columns = 1; columns <= 3; ++columns)
                for (int column = 1; column <= columns; ++column)
                    expectSameReading(c.text, c.syntax, header, columns, column);
    }
}

TEST(TableSyntaxReaderTest, LargeCsvWithCommentsReadsAsItsCleanedText)
{
    std::mt19937_64 random(20261209);
    std::string text = "\"time stamp\",\"value, raw\",\"flag\"\n# written for a test\n";
    for (int r = 0; r < 60000; ++r) {
        for (int c = 0; c < 3; ++c) {
            const unsigned kind = random() % 50;
            text += c > 0 ? "," : "";
            text += kind == 0 ? ""
                : kind == 1
                ? "\"7.25\""
                : std::to_string(static_cast<long long>(random() % 20001) - 10000) + ".5";
        }
        text += random() % 30 == 0 ? " # note, with a comma\n" : "\r\n";
        text += random() % 200 == 0 ? "# a comment line\n" : "";
    }
    for (int column = 1; column <= 3; ++column)
        EXPECT_EQ(expectSameReading(text, CSV_HASH, 3, 3, column, { 100, 4099, 0 }), 60000u);
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
