#pragma once

#include "plot/Canvas.h"

// The fixed colours of the picture, 0x00BBGGRR. Everything not listed here
// (signal, axis, frame, labels, most text) uses the canvas's default black.
inline constexpr ColorRef spectrumColor = 0xC8; // 200, 0, 0
inline constexpr ColorRef beyondLbColor = 0xFA0000; // 0, 0, 250
inline constexpr ColorRef originalDataColor = 0xAC800; // 0, 200, 10
inline constexpr ColorRef lbTextColor = 0xA0096; // 150, 0, 10
inline constexpr ColorRef blackColor = 0;
