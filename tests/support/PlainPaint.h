#pragma once

#include "core/AnalysisState.h"
#include "plot/Canvas.h"

// The picture drawn the plain way, one line (or pixel) per sample and per
// spectrum entry (the spectrum the buffer holds), straight down the
// drawing steps, each curve clipped to its panel: the reference whose
// pixels the fast drawing must reproduce, and the baseline of its
// benchmark.
void paintPlain(Canvas& canvas, const AnalysisState& state);
