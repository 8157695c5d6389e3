#include "input/ByteClasses.h"
#include "input/ByteStream.h"
#include "input/NumberScanner.h"
#include "input/ScratchFile.h"

#include "core/CFormat.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double INF = std::numeric_limits<double>::infinity();
constexpr double NAN_VALUE = std::numeric_limits<double>::quiet_NaN();

// Buffer sizes from one byte, which forces a refill inside every token, up
// to the reader's own.
const std::size_t CAPACITIES[] = { 1, 2, 5, 64, ByteStream::DEFAULT_CAPACITY };

std::uint64_t bitsOf(double value)
{
    return std::bit_cast<std::uint64_t>(value);
}

struct Conversion {
    bool converts = false;
    std::uint64_t offset = 0;
    std::uint64_t bits = 0;
};

// Reads numbers until the first that does not convert, recording where
// each one left the stream.
std::vector<Conversion> scanAll(const std::string& path, std::size_t capacity, bool convert)
{
    std::vector<Conversion> steps;
    ByteStream stream(capacity);
    if (!stream.open(path))
        return steps;
    for (;;) {
        double value = 0.0;
        const bool ok = convert ? readNumber(stream, value) : skipNumber(stream);
        steps.push_back({ ok, ok ? stream.offset() : 0, ok && convert ? bitsOf(value) : 0 });
        if (!ok)
            return steps;
    }
}

std::vector<Conversion> fscanfAll(const std::string& path)
{
    CLocaleScope cLocale;
    std::vector<Conversion> steps;
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (!file)
        return steps;
    for (;;) {
        double value = 0.0;
        const bool ok = std::fscanf(file, "%lf", &value) == 1;
        steps.push_back(
            { ok, ok ? static_cast<std::uint64_t>(std::ftell(file)) : 0, ok ? bitsOf(value) : 0 });
        if (!ok)
            break;
    }
    std::fclose(file);
    return steps;
}

struct TokenCase {
    const char* name;
    std::string bytes;
    bool converts;
    std::uint64_t consumed;
    double value;
};

const TokenCase TOKEN_CASES[] = {
    { "integer", "42", true, 2, 42.0 },
    { "every kind of white space first", " \t\n\v\f\r-2.5", true, 10, -2.5 },
    { "exponent letter without digits is consumed", "1e", true, 2, 1.0 },
    { "exponent sign without digits is consumed", "1e+ 2", true, 3, 1.0 },
    { "decimal comma ends the number", "1,5", true, 1, 1.0 },
    { "comma is no number", ",5", false, 0, 0.0 },
    { "second point ends the number", "1.5.2", true, 3, 1.5 },
    { "point after the exponent ends the number", "1e5.3", true, 3, 1e5 },
    { "lone point", ". 1", false, 0, 0.0 },
    { "lone sign", "-", false, 0, 0.0 },
    { "sign then blank", "+ 1", false, 0, 0.0 },
    { "point first", "+.5", true, 3, 0.5 },
    { "point last", "7.", true, 2, 7.0 },
    { "hexadecimal", "0x1p3", true, 5, 8.0 },
    { "hexadecimal fraction in capitals", "-0X1.8P1", true, 8, -3.0 },
    { "hexadecimal exponent without digits", "0x1p", true, 4, 1.0 },
    { "hexadecimal prefix alone", "0x", false, 0, 0.0 },
    { "hexadecimal prefix and point", "-0x.", true, 4, -0.0 },
    { "second zero starts no prefix", "00x5", true, 2, 0.0 },
    { "inf followed by a digit", "inf5", true, 3, INF },
    { "infinity in mixed case", "-InFiNiTy", true, 9, -INF },
    { "infinity cut short", "infin", false, 0, 0.0 },
    { "nan takes no payload", "nan(1)", true, 3, NAN_VALUE },
    { "negative nan", "-NAN", true, 4, -NAN_VALUE },
    { "overflow", "1e400", true, 5, INF },
    { "underflow keeps the sign", "-1e-400", true, 7, -0.0 },
    { "smallest subnormal", "4.9406564584124654e-324", true, 23, 4.9406564584124654e-324 },
    { "more digits than a double holds", "0.1000000000000000055511151231257827", true, 36, 0.1 },
    { "exactly halfway rounds to even", "9007199254740993", true, 16, 9007199254740992.0 },
    { "just above halfway rounds up", "9007199254740993.0000000000000000001", true, 36,
        9007199254740994.0 },
    { "byte order mark is no white space",
        "\xEF\xBB\xBF"
        "1",
        false, 0, 0.0 },
    { "NUL byte ends the number",
        std::string("1\0"
                    "2",
            3),
        true, 1, 1.0 },
    { "NUL byte is no white space",
        std::string("\0"
                    "1",
            2),
        false, 0, 0.0 },
    { "carriage return ends the number", "3\r\n", true, 1, 3.0 },
    { "huge exponent", "1e99999999999999999999", true, 22, INF },
    { "zero with a huge exponent", "0e99999999999999999999", true, 22, 0.0 },
    { "end of data", " \n ", false, 0, 0.0 },
};

} // namespace

TEST(NumberScanner, ReadsTokensAsTheCLibraryDoes)
{
    for (const TokenCase& c : TOKEN_CASES) {
        ScratchFile file(c.bytes);
        for (std::size_t capacity : CAPACITIES) {
            SCOPED_TRACE(std::string(c.name) + ", buffer " + std::to_string(capacity));
            for (bool convert : { true, false }) {
                const std::vector<Conversion> steps = scanAll(file.path(), capacity, convert);
                ASSERT_FALSE(steps.empty());
                ASSERT_EQ(steps[0].converts, c.converts);
                if (!c.converts)
                    continue;
                EXPECT_EQ(steps[0].offset, c.consumed);
                if (convert) {
                    EXPECT_EQ(steps[0].bits, bitsOf(c.value));
                }
            }
        }
    }
}

namespace {

std::string randomNumberText(std::mt19937_64& random)
{
    static const char* const formats[] = { "%.17g", "%.10g", "%g", "%.3e", "%f", "%a", "%.0f" };
    const double magnitude = std::pow(10.0, std::uniform_real_distribution<>(-330, 330)(random));
    const double value = (random() & 1 ? -1 : 1) * magnitude;
    char text[512];
    std::snprintf(text, sizeof text, formats[random() % std::size(formats)], value);
    return text;
}

// Fragments that the "%lf" scan treats in every way it can: digits, signs,
// points, exponent letters, hexadecimal and word prefixes, and bytes that
// are neither numbers nor white space.
std::string randomFragment(std::mt19937_64& random)
{
    static const std::string fragments[]
        = { "0", "1", "7", "12345", "0000", "98765432109876543210", "-", "+", ".", "e", "E", "e-",
              "e+", "x", "X", "0x", "p", "P", "a", "F", "inf", "nan", "infinity", "INF", "NaN", "i",
              "n", "in", ",", std::string(1, '\0'), "\xEF\xBB\xBF", "(", "1e308", "4e-324", "\r" };
    if (random() % 40 == 0)
        return std::string(100 + random() % 1500, static_cast<char>('0' + random() % 10));
    return fragments[random() % std::size(fragments)];
}

std::string randomSoup(std::mt19937_64& random)
{
    static const char* const separators[] = { " ", "\n", "\r\n", "\t", "  \n\t", "" };
    std::string soup;
    const int tokens = 1 + static_cast<int>(random() % (random() % 4 == 0 ? 60 : 12));
    for (int t = 0; t < tokens; ++t) {
        if (random() % 3 != 0) {
            soup += randomNumberText(random);
        } else {
            const int pieces = 1 + static_cast<int>(random() % 5);
            for (int p = 0; p < pieces; ++p)
                soup += randomFragment(random);
        }
        soup += separators[random() % std::size(separators)];
    }
    return soup;
}

} // namespace

TEST(NumberScanner, MatchesFscanfOnTokenSoup)
{
    std::mt19937_64 random(20261208);
    const std::size_t capacities[]
        = { 1, 3, 16, 66, 70, 80, 100, 130, 600, ByteStream::DEFAULT_CAPACITY };
    for (int round = 0; round < 4000; ++round) {
        const std::string soup = randomSoup(random);
        const ScratchFile file(soup);
        const std::vector<Conversion> expected = fscanfAll(file.path());
        const std::size_t capacity = capacities[round % std::size(capacities)];
        for (bool convert : { true, false }) {
            const std::vector<Conversion> actual = scanAll(file.path(), capacity, convert);
            ASSERT_EQ(actual.size(), expected.size()) << "soup " << round << ": " << soup;
            for (std::size_t i = 0; i < actual.size(); ++i) {
                ASSERT_EQ(actual[i].converts, expected[i].converts) << round << ": " << soup;
                ASSERT_EQ(actual[i].offset, expected[i].offset) << round << ": " << soup;
                if (convert) {
                    ASSERT_EQ(actual[i].bits, expected[i].bits) << round << ": " << soup;
                }
            }
        }

        // The same numbers taken as rows, which has paths of its own.
        const std::uint64_t converted = expected.size() - 1;
        const int columns = 1 + round % 3;
        const int kept = 1 + (round / 3) % columns;
        const std::uint64_t rows = converted / static_cast<std::uint64_t>(columns);
        ByteStream counting(capacity);
        ASSERT_TRUE(counting.open(file.path()));
        EXPECT_EQ(countRows(counting, columns, rows + 5), rows) << round << ": " << soup;
        ByteStream reading(capacity);
        ASSERT_TRUE(reading.open(file.path()));
        std::vector<float> column(rows + 2);
        ASSERT_EQ(readColumn(reading, columns, kept, rows + 1, column.data()), rows)
            << round << ": " << soup;
        for (std::uint64_t r = 1; r <= rows; ++r) {
            const double value = std::bit_cast<double>(expected[(r - 1) * columns + kept - 1].bits);
            ASSERT_EQ(std::bit_cast<std::uint32_t>(column[r]),
                std::bit_cast<std::uint32_t>(static_cast<float>(value)))
                << round << ": " << soup;
        }
    }
}

// Long tables through buffers a little larger than the row loops' window,
// so that refills fall between the tokens in every way.
TEST(NumberScanner, RowLoopsMatchFscanfAcrossRefills)
{
    std::mt19937_64 random(7026);
    static const char* const separators[] = { " ", "\n", "\r\n", "\t", "  " };
    for (int round = 0; round < 12; ++round) {
        std::string soup;
        for (int t = 0; t < 1500; ++t)
            soup += randomNumberText(random) + separators[random() % std::size(separators)];
        const ScratchFile file(soup);
        const std::vector<Conversion> expected = fscanfAll(file.path());
        const int columns = 1 + round % 3;
        const int kept = columns - round % columns;
        const std::uint64_t rows = (expected.size() - 1) / static_cast<std::uint64_t>(columns);
        for (std::size_t capacity = 64; capacity <= 200; capacity += 3) {
            SCOPED_TRACE("round " + std::to_string(round) + ", buffer " + std::to_string(capacity));
            ByteStream counting(capacity);
            ASSERT_TRUE(counting.open(file.path()));
            EXPECT_EQ(countRows(counting, columns, rows + 5), rows);
            ByteStream reading(capacity);
            ASSERT_TRUE(reading.open(file.path()));
            std::vector<float> column(rows + 2);
            ASSERT_EQ(readColumn(reading, columns, kept, rows + 1, column.data()), rows);
            for (std::uint64_t r = 1; r <= rows; ++r) {
                const double value
                    = std::bit_cast<double>(expected[(r - 1) * columns + kept - 1].bits);
                ASSERT_EQ(std::bit_cast<std::uint32_t>(column[r]),
                    std::bit_cast<std::uint32_t>(static_cast<float>(value)))
                    << "row " << r;
            }
        }
    }
}

TEST(NumberScanner, RoundsMegabyteDigitStringsAsTheWholeString)
{
    const std::string zeros(2'000'000, '0');
    struct Case {
        const char* name;
        std::string token;
        double value;
    };
    const Case cases[] = {
        { "integer digits cancelled by the exponent", "1" + zeros + "e-2000000", 1.0 },
        { "fraction zeros cancelled by the exponent", "0." + zeros + "25e2000001", 2.5 },
        { "halfway with trailing zeros rounds to even", "9007199254740993." + zeros,
            9007199254740992.0 },
        { "a far non-zero digit rounds up", "9007199254740993" + zeros + "1e-2000001",
            9007199254740994.0 },
        { "only zeros", "-" + zeros, -0.0 },
        { "too many integer digits", "1" + zeros, INF },
        { "hexadecimal digits far past the significand", "0x1" + zeros + "1p-8000004", 1.0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFile file(" " + c.token + " 7");
        ByteStream stream;
        ASSERT_TRUE(stream.open(file.path()));
        double value = 0.0;
        ASSERT_TRUE(readNumber(stream, value));
        EXPECT_EQ(bitsOf(value), bitsOf(c.value));
        EXPECT_EQ(stream.offset(), c.token.size() + 1);
        ASSERT_TRUE(readNumber(stream, value));
        EXPECT_EQ(value, 7.0);
    }
}

TEST(NumberScanner, SkipsTokensOfAnyLength)
{
    const std::string token(3'000'000, 'h');
    ScratchFile file("\r\n" + token + "\t" + std::string(1, '\0') + "x 5");
    for (std::size_t capacity : { std::size_t(1000), ByteStream::DEFAULT_CAPACITY }) {
        ByteStream stream(capacity);
        ASSERT_TRUE(stream.open(file.path()));
        ASSERT_TRUE(skipToken(stream));
        EXPECT_EQ(stream.offset(), token.size() + 2);
        ASSERT_TRUE(skipToken(stream));
        double value = 0.0;
        ASSERT_TRUE(readNumber(stream, value));
        EXPECT_EQ(value, 5.0);
        EXPECT_FALSE(skipToken(stream));
    }
}

namespace {

// Tokens of the bytes a decimal number is made of, from one to eight long.
std::string randomSyntaxToken(std::mt19937_64& random)
{
    static const char alphabet[] = "0123456789.eE+-5x";
    std::string token;
    const int length = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < length; ++i)
        token += alphabet[random() % (sizeof alphabet - 1)];
    return token;
}

// Whether "%lf" takes the whole token as one number.
bool convertsWhole(const std::string& token)
{
    CLocaleScope cLocale;
    double value = 0.0;
    int consumed = 0;
    return std::sscanf(token.c_str(), "%lf%n", &value, &consumed) == 1
        && consumed == static_cast<int>(token.size());
}

} // namespace

TEST(NumberScanner, PlainNumbersInAWindowAreWholeNumbers)
{
    // What the window classes call plain must be a number that "%lf" takes
    // whole; and the common shapes of a table must be plain, or the count
    // gains nothing.
    std::mt19937_64 random(9);
    for (int round = 0; round < 20000; ++round) {
        std::string window;
        std::vector<std::pair<std::string, std::size_t>> tokens; // token, last byte
        while (window.size() < 56) {
            window += random() % 4 == 0 ? "\t" : " ";
            const std::string token = randomSyntaxToken(random);
            window += token;
            tokens.emplace_back(token, window.size() - 1);
        }
        window.resize(byteClasses::MASK_WINDOW, ' ');
        const std::uint64_t plain
            = byteClasses::plainNumberEnds(byteClasses::classifyWindow(window.data()));
        for (const auto& [token, last] : tokens) {
            if (last + 1 >= byteClasses::MASK_WINDOW)
                continue;
            if ((plain >> last) & 1) {
                ASSERT_TRUE(convertsWhole(token)) << "\"" << token << "\" in \"" << window << "\"";
            }
        }
    }
    const std::string common = " 0 -7 12.5 -0.000123 1.5e-05 -2.75E+300 .5 +.25 3. 1e5 0012 ";
    std::string window = common;
    window.resize(byteClasses::MASK_WINDOW, ' ');
    const byteClasses::WindowClasses classes = byteClasses::classifyWindow(window.data());
    const std::uint64_t lastBytes = ~classes.spaces & (classes.spaces >> 1);
    EXPECT_EQ(byteClasses::plainNumberEnds(classes), lastBytes);
}

TEST(NumberScanner, CountsRowsAsFscanfWhereverAnOddTokenFalls)
{
    // An odd token among plain numbers, at every offset of the count's
    // windows and at every row position.
    const char* const odd[] = { "1e", "1.e5", "1.5.2", "1e5.3", "--1", "1-2", "1e+-5", "0x1p3",
        "inf", "nan", "1,5", "e5", "1e+", "-.", ".", "5.", "+.5",
        ("\xEF\xBB\xBF"
         "1"),
        "abc" };
    for (const char* token : odd) {
        for (int before = 0; before < 40; ++before) {
            std::string soup;
            for (int i = 0; i < before; ++i)
                soup += i % 3 == 0 ? "12 " : "-0.5\n";
            soup += token;
            for (int i = 0; i < 60; ++i)
                soup += i % 2 == 0 ? " 3.25e-2" : "\t7";
            soup += "\n";
            const ScratchFile file(soup);
            const std::uint64_t converted = fscanfAll(file.path()).size() - 1;
            for (int columns = 1; columns <= 3; ++columns) {
                for (std::size_t capacity : { std::size_t { 70 }, ByteStream::DEFAULT_CAPACITY }) {
                    ByteStream stream(capacity);
                    ASSERT_TRUE(stream.open(file.path()));
                    EXPECT_EQ(countRows(stream, columns, 1000), converted / columns)
                        << "\"" << token << "\" after " << before << ", " << columns << " columns";
                }
            }
        }
    }
}
