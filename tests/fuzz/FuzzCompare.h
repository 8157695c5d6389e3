#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// Stops the fuzzer with a report: libFuzzer keeps the input that did it.
[[noreturn]] inline void fuzzMismatch(const std::string& what)
{
    std::fprintf(stderr, "MISMATCH: %s\n", what.c_str());
    std::abort();
}

// Float results compared bit for bit, except that any NaN matches any
// other NaN whatever its sign and payload: which NaN an operation on two
// NaNs yields is not pinned down everywhere yet.
inline bool sameBitsAnyNan(float a, float b)
{
    if (std::isnan(a) && std::isnan(b))
        return true;
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

// Entries first..last of two float arrays under sameBitsAnyNan; reports the
// first entry that differs.
inline void expectSameFloats(
    const char* what, const float* actual, const float* expected, int first, int last)
{
    for (int i = first; i <= last; ++i)
        if (!sameBitsAnyNan(actual[i], expected[i])) {
            char text[160];
            std::snprintf(text, sizeof text, "%s: entry %d is %08x, the plain loop gives %08x",
                what, i, static_cast<unsigned>(std::bit_cast<std::uint32_t>(actual[i])),
                static_cast<unsigned>(std::bit_cast<std::uint32_t>(expected[i])));
            fuzzMismatch(text);
        }
}
