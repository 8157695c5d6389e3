#pragma once

#include "core/AnalysisState.h"
#include "plot/Canvas.h"
#include "plot/PictureLayout.h"
#include "plot/StatisticsLayout.h"

#include <vector>

// Shrinks the panels of a layout without axes just enough for tick marks,
// tick labels and axis titles: the titles above the panels, the value
// labels to their left and the index or frequency labels below. The
// spectrum panel keeps clear of the statistics text.
void makeRoomForAxes(const Canvas& canvas, const AnalysisState& state, PictureLayout& layout);

// Draws the ticks, labels and titles of both panels (the spectrum's only
// with a valid spectrum). A label that would overlap another label, a
// title, a panel, the statistics text or leave the client is left out.
void drawAxes(Canvas& canvas, const AnalysisState& state, const PictureLayout& layout,
    const std::vector<PlacedText>& statistics);
