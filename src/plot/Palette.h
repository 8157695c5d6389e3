#pragma once

#include "core/ReferenceCurves.h"
#include "plot/Canvas.h"

// The fixed colours of the picture, 0x00BBGGRR. Everything not listed here
// (signal, axis, frame, labels, most text) uses the canvas's default black.
inline constexpr ColorRef spectrumColor = 0xC8; // 200, 0, 0
inline constexpr ColorRef beyondLbColor = 0xFA0000; // 0, 0, 250
inline constexpr ColorRef originalDataColor = 0xAC800; // 0, 200, 10
inline constexpr ColorRef lbTextColor = 0xA0096; // 150, 0, 10
inline constexpr ColorRef blackColor = 0;

// The reference curves, each in its own muted colour, by the order they
// were kept: the first ones farthest from the live spectrum's red and the
// blue beyond LB.
inline constexpr ColorRef referenceColors[MAX_REFERENCES] = {
    0x008080, // 128, 128, 0
    0x908070, // 112, 128, 144
    0x78AA8F, // 143, 170, 120
    0x6EA0BE, // 190, 160, 110
    0xA26480, // 128, 100, 162
    0xA09E5F, // 95, 158, 160
    0xB48246, // 70, 130, 180
    0x8F8FBC, // 188, 143, 143
};
