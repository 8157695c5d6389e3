#pragma once

#include "core/AnalysisState.h"
#include "core/ReferenceCurves.h"
#include "plot/Canvas.h"
#include "plot/PictureView.h"

#include <string>

// How much farther along the live frequency axis a reference's entry
// lies than the live entry of the same cycles per sample: the ratio of
// the two time steps, so that with a DT a reference stands at its own
// physical frequencies. A series without a time step counts in samples.
double referenceFrequencyScale(const AnalysisState& live, const CurveIdentity& reference);

// The legend's line for `curve`: its label and, when its frequencies are
// in another unit than the live spectrum's, that unit ("... (frequency in
// 1/s)").
std::string legendText(const AnalysisState& live, const CurveIdentity& curve);

// The legend inside the top-right corner of the spectrum panel: a stroke
// of each curve's colour before its line, the live spectrum first, then
// the references in the order they were kept.
void drawCurveLegend(
    Canvas& canvas, const AnalysisState& state, const PictureView& view, DeviceRect panel);
