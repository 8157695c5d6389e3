#pragma once

#include <bit>
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

// Entries first..last of two float arrays compared bit for bit, NaNs
// included (the oracles hold their NaNs to the transform's canonical one);
// reports the first entry that differs.
inline void expectSameFloats(
    const char* what, const float* actual, const float* expected, int first, int last)
{
    for (int i = first; i <= last; ++i)
        if (std::bit_cast<std::uint32_t>(actual[i]) != std::bit_cast<std::uint32_t>(expected[i])) {
            char text[160];
            std::snprintf(text, sizeof text, "%s: entry %d is %08x, the plain loop gives %08x",
                what, i, static_cast<unsigned>(std::bit_cast<std::uint32_t>(actual[i])),
                static_cast<unsigned>(std::bit_cast<std::uint32_t>(expected[i])));
            fuzzMismatch(text);
        }
}
