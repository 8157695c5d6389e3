#pragma once

#include "core/AnalysisState.h"
#include "plot/Canvas.h"
#include "plot/PictureLayout.h"
#include "plot/PictureView.h"

#include <cstddef>
#include <string>

// What lies under a point of the picture: the sample of the series panel
// in its column, or the spectrum entry drawn nearest to its column (the
// lowest of those drawn in one column).
struct PlotReadout {
    enum Kind { NOTHING, SAMPLE, BIN };
    Kind kind = NOTHING;
    std::size_t index = 0;
    double value = 0.0; // the sample, or the log power of the entry
    double frequency = 0.0; // of an entry, cycles per sample: i / (2M)
    std::size_t curve = 0; // the entry's: 0 the live spectrum, r + 1 reference r
};

// The readout at `at` of the picture drawn into `client`, from the same
// mapping the picture uses. Entries 2 to M-1 of the spectrum held (the M of
// the estimate that filled it) count; nothing without a valid spectrum or
// a series.
PlotReadout plotReadoutAt(const AnalysisState& state, DeviceRect client, DevicePoint at);

// The same for the picture drawn with `layout` (axes, zoom).
PlotReadout plotReadoutAt(const AnalysisState& state, const PictureLayout& layout, DevicePoint at);

// The same with the view's references: in the spectrum panel the entry of
// the curve drawn nearest to the pointer in its column, the live one
// winning a tie.
PlotReadout plotReadoutAt(const AnalysisState& state, const PictureLayout& layout,
    const PictureView& view, DevicePoint at);

// "Sample 12: 0.5", or "Bin 64: f = 0.03125 cycles/sample, log power
// -3.2500", with the frequency over DT added when the export's time step
// is not 1. Empty for nothing.
std::string plotReadoutText(const AnalysisState& state, const PlotReadout& readout);

// The same, an entry's text led by the legend's line of its curve when the
// view has references: "b.dat:1, M=512, K=4, Hanning: Bin 64: ...".
std::string plotReadoutText(
    const AnalysisState& state, const PlotReadout& readout, const PictureView& view);
