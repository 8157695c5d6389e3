#pragma once

#include "core/AnalysisState.h"

#include <string>

// Draws the main window's picture of the record into a width x height PNG,
// without a display. Returns false with the reason in `error`.
bool renderPicture(const AnalysisState& state, const std::string& fileName, int width, int height,
    std::string& error);
