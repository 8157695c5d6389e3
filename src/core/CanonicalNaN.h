#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>

// The one not-a-number that the transform and the estimate give out (see
// Fft.h): positive, quiet, payload zero. Which of two not-a-numbers an
// operation passes on depends on the order the compiler gives its operands,
// and the variants and the thread counts order them differently, so the
// routines replace every not-a-number by this one where their results
// leave them.
inline constexpr float kCanonicalNaN = std::numeric_limits<float>::quiet_NaN();
// Narrows to kCanonicalNaN.
inline constexpr double kCanonicalDoubleNaN = std::numeric_limits<double>::quiet_NaN();
static_assert(std::bit_cast<std::uint32_t>(kCanonicalNaN) == 0x7fc00000u);
static_assert(std::bit_cast<std::uint64_t>(kCanonicalDoubleNaN) == 0x7ff8000000000000u);

inline float canonicalNaN(float value)
{
    return value != value ? kCanonicalNaN : value;
}

inline void canonicalizeNaNs(float* values, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        values[i] = canonicalNaN(values[i]);
}
