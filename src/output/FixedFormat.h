#pragma once

#include <cstddef>

// Room that formatFixed may need: a sign, the 309 integer digits of the
// largest double, the point, the decimals and padding up to the width.
inline constexpr int FIXED_MAX_PRECISION = 9;
inline constexpr int FIXED_MAX_WIDTH = 16;
inline constexpr std::size_t FIXED_MAX_LENGTH = 1 + 309 + 1 + FIXED_MAX_PRECISION + FIXED_MAX_WIDTH;

// Writes `value` at `out` exactly as printf's "%W.Pf" does in the "C"
// locale (W = width, P = precision): the exact binary value rounded to P
// decimals, ties to even; a '-' for every negative value, negative zero
// and values rounded to zero included; "inf", "-inf", "nan" and "-nan";
// spaces on the left up to the width. `out` must have room for
// FIXED_MAX_LENGTH characters; 0 <= precision <= FIXED_MAX_PRECISION,
// width <= FIXED_MAX_WIDTH. Returns the end of the text (no terminator).
char* formatFixed(char* out, double value, int precision, int width = 0);
