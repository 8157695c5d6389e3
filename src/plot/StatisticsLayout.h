#pragma once

#include "core/AnalysisState.h"
#include "plot/Canvas.h"

#include <string>
#include <vector>

// One line of text at its top-left corner, in its colour.
struct PlacedText {
    DevicePoint at;
    std::string text;
    ColorRef color = 0;
};

// The nine statistics lines where the picture draws them: below the
// signal panel, whose bottom is at `third`. With axes and a time step a
// tenth line names the peak in the frequency axis' unit.
std::vector<PlacedText> statisticsPlacement(
    const Canvas& canvas, const AnalysisState& state, int third, bool withAxes = false);
