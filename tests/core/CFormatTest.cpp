#include "core/CFormat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>

TEST(CFormat, DecimalPointUnderACommaLocale)
{
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    const std::string localeText = probe;
    const std::string formatted = formatC("%f|%6f|%.3g", 1.5, -0.25, 1234.5);
    char* end = nullptr;
    const char* text = "2.75,5";
    const double parsed = strtodC(text, &end);
    std::string insideScope;
    {
        CLocaleScope scope;
        std::snprintf(probe, sizeof probe, "%.1f", 1.5);
        insideScope = probe;
    }
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    const std::string afterScope = probe;
    std::setlocale(LC_ALL, "C");

    ASSERT_EQ(localeText, "1,5") << "the locale should use a decimal comma";
    EXPECT_EQ(formatted, "1.500000|-0.250000|1.23e+03");
    EXPECT_EQ(parsed, 2.75);
    EXPECT_EQ(end, text + 4);
    EXPECT_EQ(insideScope, "1.5");
    EXPECT_EQ(afterScope, "1,5") << "the scope gives the locale back";
}

TEST(CFormat, LongTextIsNotCut)
{
    const std::string name(1000, 'x');
    EXPECT_EQ(formatC("%s %u", name.c_str(), 100u), name + " 100");
    EXPECT_EQ(formatC("%s", ""), "");
}
