#include "output/FixedFormat.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

std::string viaPrintf(double value, int precision, int width)
{
    char text[FIXED_MAX_LENGTH + 1];
    const int length = std::snprintf(text, sizeof text, "%*.*f", width, precision, value);
    return std::string(text, static_cast<std::size_t>(length));
}

std::string viaFormat(double value, int precision, int width)
{
    char text[FIXED_MAX_LENGTH];
    return std::string(text, formatFixed(text, value, precision, width));
}

// The export's two formats, "%f" and "%10.9lf", and every precision the
// formatter takes without width, compared on each value; stops at the
// first few differences so a fault does not flood the log.
void expectSameAsPrintf(const std::vector<double>& values, bool everyPrecision = false)
{
    int failures = 0;
    auto check = [&](double value, int precision, int width) {
        const std::string expected = viaPrintf(value, precision, width);
        const std::string actual = viaFormat(value, precision, width);
        if (expected != actual && ++failures <= 10)
            ADD_FAILURE() << "\"%" << width << "." << precision << "f\" of " << std::hexfloat
                          << value << ": printf \"" << expected << "\", formatFixed \"" << actual
                          << "\"";
    };
    for (double value : values) {
        check(value, 6, 0);
        check(value, 9, 10);
        if (everyPrecision) {
            for (int precision = 0; precision <= FIXED_MAX_PRECISION; ++precision)
                check(value, precision, 0);
        }
    }
    EXPECT_EQ(failures, 0);
}

// Decimal midpoints (n + 1/2) * 10^-p and the doubles on either side: the
// values where a rounding fault shows first.
std::vector<double> roundingBoundaries()
{
    std::vector<double> values;
    std::mt19937_64 random(6);
    for (int precision : { 6, 9 }) {
        const double scale = std::pow(10.0, precision);
        for (int k = 0; k < 2000; ++k) {
            const double n = static_cast<double>(random() % 100000000);
            const double middle = (n + 0.5) / scale;
            values.push_back(middle);
            values.push_back(std::nextafter(middle, 0.0));
            values.push_back(std::nextafter(middle, 1e300));
        }
    }
    return values;
}

} // namespace

TEST(FormatFixed, SpecialValuesAsTheCLibrarySpellsThem)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double value;
        std::string logLog;
        std::string linear;
    } cases[] = {
        { 0.0, "0.000000", "0.000000000" },
        { -0.0, "-0.000000", "-0.000000000" },
        { -1e-12, "-0.000000", "-0.000000000" },
        { inf, "inf", "       inf" },
        { -inf, "-inf", "      -inf" },
        { nan, "nan", "       nan" },
        { -nan, "-nan", "      -nan" },
        { 9.9999995, "9.999999", "9.999999500" }, // just below the midpoint
        { 9.99999951, "10.000000", "9.999999510" },
        { 0.0078125, "0.007812", "0.007812500" }, // exact tie, to even
        { 0.0009765625, "0.000977", "0.000976562" },
        { 1.0, "1.000000", "1.000000000" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(viaFormat(c.value, 6, 0), c.logLog) << c.logLog;
        EXPECT_EQ(viaFormat(c.value, 9, 10), c.linear) << c.linear;
    }
    expectSameAsPrintf({ 0.0, -0.0, inf, -inf, nan, -nan,
        std::bit_cast<double>(std::uint64_t { 0x7ff0000000000001 }),
        std::bit_cast<double>(std::uint64_t { 0xfff8000000000001 }) });
}

TEST(FormatFixed, SameAsPrintfAcrossTheWholeDoubleRange)
{
    std::mt19937_64 random(25);
    std::vector<double> values;
    for (int k = 0; k < 100000; ++k)
        values.push_back(std::bit_cast<double>(random()));
    expectSameAsPrintf(values);
}

TEST(FormatFixed, SameAsPrintfForEveryFloat)
{
    // Random float bit patterns: the spectrum levels are floats widened to
    // double.
    std::mt19937 random(32);
    std::vector<double> values;
    for (int k = 0; k < 100000; ++k)
        values.push_back(std::bit_cast<float>(static_cast<std::uint32_t>(random())));
    expectSameAsPrintf(values);
}

TEST(FormatFixed, SameAsPrintfWhereDecimalsAreWritten)
{
    // Magnitudes from 2^-70 to 2^70: the values whose decimals carry
    // digits, the integer parts up to 2^53 and the hand-over to the
    // library's conversion beyond it.
    std::mt19937_64 random(70);
    std::uniform_int_distribution<int> exponent(-70, 70);
    std::vector<double> values;
    for (int k = 0; k < 100000; ++k) {
        const double unit = std::ldexp(1.0, exponent(random));
        const double mantissa = 1.0 + static_cast<double>(random() >> 12) * 0x1p-52;
        values.push_back((k % 2 ? -unit : unit) * mantissa);
    }
    for (int e = 50; e <= 56; ++e) {
        const double power = std::ldexp(1.0, e);
        for (double value : { power, std::nextafter(power, 0.0), std::nextafter(power, 1e300) })
            values.push_back(value);
    }
    expectSameAsPrintf(values, true);
}

TEST(FormatFixed, SameAsPrintfOnTiesAndRoundingBoundaries)
{
    std::vector<double> values = roundingBoundaries();
    // Exact binary ties: odd multiples of 2^-j with j past the precision.
    for (int j = 1; j <= 40; ++j) {
        for (int odd = 1; odd < 64; odd += 2) {
            values.push_back(std::ldexp(odd, -j));
            values.push_back(std::ldexp(odd, -j) + 3.0);
            values.push_back(-std::ldexp(odd, -j));
        }
    }
    // Round-ups to a new leading digit.
    for (double value : { 9.9999995, 99.9999995, 999999.9999995, 0.9999995, 9.9999999995,
             0.9999999995, 9.0e15 - 0.5, 0.0000005, 0.0000000005 })
        values.push_back(value);
    expectSameAsPrintf(values, true);
}

TEST(FormatFixed, SameAsPrintfAtTheEndsOfTheRange)
{
    expectSameAsPrintf({ DBL_MAX, -DBL_MAX, DBL_MIN, -DBL_MIN, DBL_TRUE_MIN, -DBL_TRUE_MIN,
                           std::nextafter(DBL_MIN, 0.0), 1e300, 1e308, 1e22, 1e23, 2e-300,
                           static_cast<double>(FLT_MAX), static_cast<double>(FLT_TRUE_MIN),
                           4503599627370495.5, 9007199254740991.0, 9007199254740992.0 },
        true);
}

TEST(FormatFixed, SameAsPrintfOnTheValuesAnExportWrites)
{
    // Log frequencies, levels, powers of ten and angular frequencies as the
    // writer computes them.
    std::vector<double> values;
    std::mt19937 random(2);
    std::uniform_real_distribution<float> level(-30.0f, 5.0f);
    for (int M : { 4, 1024, 1 << 20, 1 << 25 }) {
        const double twiceM = 2.0 * M;
        for (int k = 0; k < 3000; ++k) {
            const int i = 2 + static_cast<int>(random() % static_cast<unsigned>(M - 2));
            const double psdLevel = level(random);
            values.push_back(std::log10(i / twiceM));
            values.push_back(psdLevel);
            values.push_back(std::pow(10.0, psdLevel));
            for (double dt : { 1.0, 0.001, 7.3e-5, 3600.0, -2.5 })
                values.push_back(6.28318530718 / dt * i / twiceM);
        }
    }
    expectSameAsPrintf(values);
}
