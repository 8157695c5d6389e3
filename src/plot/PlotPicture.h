#pragma once

#include "core/AnalysisState.h"
#include "plot/Canvas.h"

#include <string>

// The document title the view sets on every paint: " ZQ_PSD <dataFileName>".
std::string pictureTitle(const AnalysisState& state);

// Draws the signal panel, the spectrum panel and the statistics text of the
// record onto the canvas, sized by its client rectangle. Reads the record
// only.
void drawPicture(Canvas& canvas, const AnalysisState& state);
