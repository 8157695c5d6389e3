#include "platform/FieldText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

TEST(NumberField, AcceptsADecimalNumberBetweenBlanks)
{
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        { "0", 0.0 },
        { "  0  ", 0.0 },
        { "\t0.000", 0.0 },
        { "00", 0.0 },
        { "0e-400", 0.0 },
        { "1.5", 1.5 },
        { " \t-2.5E-2\t ", -0.025 },
        { "+3", 3.0 },
        { ".5", 0.5 },
        { "5.", 5.0 },
        { "1e3", 1000.0 },
        { "-0.0001", -0.0001 },
        // Only 31 characters are read: the rest of the field is not looked at.
        { "1                              x", 1.0 },
        { "1234567890123456789012345678901234", 1234567890123456789012345678901.0 },
    };
    for (const Case& c : cases) {
        double value = -99.0;
        EXPECT_TRUE(parseNumber(c.text, value)) << '"' << c.text << '"';
        EXPECT_EQ(value, c.value) << '"' << c.text << '"';
    }
}

TEST(NumberField, RefusesAnythingElseAndZerosNotWrittenAsZero)
{
    const char* cases[] = {
        "", "   ", "-0", "+0", ".0", "-.0", " -0.0 ",
        "1e-400", // too small to hold: reads as zero without a leading 0
        "1e400", "inf", "nan", "0x10", "1,5", "1 2", "1x", "e5", ".", "-", "5e", "5e+", "1\n",
        "1                             x", // the x is the 31st character
    };
    for (const char* text : cases) {
        double value = -99.0;
        EXPECT_FALSE(parseNumber(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, -99.0) << '"' << text << '"';
    }
}

TEST(IntegerField, AcceptsBlanksAroundASignedNumberWithinItsType)
{
    struct Case {
        const char* text;
        bool valid;
        int value;
    };
    const Case cases[] = {
        { "12", true, 12 },
        { " \t12\t ", true, 12 },
        { "+7", true, 7 },
        { "-7", true, -7 },
        { "007", true, 7 },
        { "2147483647", true, 2147483647 },
        { "-2147483648", true, -2147483647 - 1 },
        { "2147483648", false, 0 },
        { "-2147483649", false, 0 },
        { "99999999999999999999999", false, 0 },
        { "- 7", false, 0 },
        { "", false, 0 },
        { " ", false, 0 },
        { "-", false, 0 },
        { "1.0", false, 0 },
        { "1e3", false, 0 },
        { "12a", false, 0 },
        { "1 2", false, 0 },
    };
    for (const Case& c : cases) {
        int value = -99;
        EXPECT_EQ(parseInteger(c.text, value), c.valid) << '"' << c.text << '"';
        EXPECT_EQ(value, c.valid ? c.value : -99) << '"' << c.text << '"';
    }
}

TEST(UnsignedField, RefusesASignOtherThanPlusAndValuesPastItsType)
{
    struct Case {
        const char* text;
        bool valid;
        unsigned value;
    };
    const Case cases[] = {
        { " 4294967295 ", true, 4294967295u },
        { "+5", true, 5u },
        { "0", true, 0u },
        { "4294967296", false, 0u },
        { "-1", false, 0u },
        { "-0", false, 0u },
        { "x", false, 0u },
    };
    for (const Case& c : cases) {
        unsigned value = 99;
        EXPECT_EQ(parseUnsigned(c.text, value), c.valid) << '"' << c.text << '"';
        EXPECT_EQ(value, c.valid ? c.value : 99u) << '"' << c.text << '"';
    }
}

TEST(NumberField, ShowsUpToFifteenSignificantDigits)
{
    EXPECT_EQ(formatNumber(2048.0), "2048");
    EXPECT_EQ(formatNumber(0.1), "0.1");
    EXPECT_EQ(formatNumber(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(formatNumber(-12.0), "-12");
    EXPECT_EQ(formatNumber(1e20), "1e+20");
    EXPECT_EQ(formatNumber(0.0001), "0.0001");
}

TEST(NumberField, ReadsAndShowsAPointWhateverTheLocale)
{
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma installed";
    double value = 0.0;
    const bool point = parseNumber("2.5", value);
    const bool comma = parseNumber("2,5", value);
    const std::string shown = formatNumber(0.25);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_TRUE(point);
    EXPECT_FALSE(comma);
    EXPECT_EQ(value, 2.5);
    EXPECT_EQ(shown, "0.25");
}

} // namespace
