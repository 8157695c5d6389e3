#pragma once

#include "core/AnalysisState.h"
#include "plot/Canvas.h"
#include "plot/PictureView.h"
#include "plot/PlotMapping.h"

// A panel's rectangle and the world window drawn into it.
struct PanelPlacement {
    DeviceRect panel;
    PlotWindow window;
    bool zoomed = false; // the window is the view's, not the full one
    PlotMapping mapping() const { return makePlotMapping(panel, window); }
};

// Where the picture of a record puts its parts in a client rectangle.
// `third` is the client's top third, the statistics text's reference.
struct PictureLayout {
    DeviceRect client;
    int third = 0;
    PanelPlacement signal;
    PanelPlacement spectrum;
    bool axes = false;
};

// The series panel's world window at full extent: samples 0 to N against
// signalMin and signalMax.
PlotWindow signalWindow(const AnalysisState& state);

// The layout without axes, which needs no text measures: the series
// across the top third, the spectrum in the lower right, each showing its
// zoom window when the view has one (a spectrum zoom made under other
// scales than the record's is not used).
PictureLayout plainLayout(DeviceRect client, const AnalysisState& state, const PictureView& view);

// The layout of the picture the canvas draws: plainLayout, or with axes
// panels shrunk just enough for their tick labels and titles.
PictureLayout layoutPicture(
    const Canvas& canvas, const AnalysisState& state, const PictureView& view);
