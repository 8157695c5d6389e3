#pragma once

#include "core/AnalysisState.h"
#include "plot/Canvas.h"
#include "plot/PictureLayout.h"
#include "plot/PictureView.h"
#include "plot/PlotMapping.h"

#include <string>

// The spectrum panel's world window and its rectangle in a client area;
// the signal panel spans the client's top third.
PlotWindow spectrumWindow(const AnalysisState& state);
DeviceRect spectrumPanel(DeviceRect client);

// The document title the view sets on every paint: " ZQ_PSD <dataFileName>".
std::string pictureTitle(const AnalysisState& state);

// Draws the signal panel, the spectrum panel and the statistics text of the
// record onto the canvas, sized by its client rectangle. Reads the record
// only. The curves are reduced to their device columns on up to
// parallelThreads() threads; the pixels are those of one line (or pixel)
// per point whatever the count. A paint of millions of samples takes a few
// milliseconds, so it is no step of its own: it reports no progress and
// cannot be stopped.
void drawPicture(Canvas& canvas, const AnalysisState& state);

// The same with the view's axes and zoom; the default view draws the
// picture above, pixel for pixel. Returns the layout drawn, whose
// mappings the readout and the zoom invert.
PictureLayout drawPicture(Canvas& canvas, const AnalysisState& state, const PictureView& view);
