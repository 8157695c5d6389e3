#pragma once

#include "core/ReferenceCurves.h"
#include "plot/PlotMapping.h"

#include <optional>

class ReferenceCache;

// A zoomed world window of one panel. The spectrum's is in the units the
// panel draws (log10 of the frequency when the frequency axis is
// logarithmic, log10 power or power), so it holds only while the scales
// it was made under are the record's.
struct PanelZoom {
    PlotWindow window;
    bool logFrequency = false;
    bool logPower = false;
};

// What only the view decides about the picture, kept beside the record:
// the axes, the zoom of each panel and the reference spectra drawn beneath
// the live one (owned elsewhere; `live` names the live spectrum in their
// legend, and a `cache` of the view's own spares a repaint reducing them
// again). The default value draws the picture without axes, at full
// extent and without references.
struct PictureView {
    bool axes = false;
    std::optional<PanelZoom> signalZoom;
    std::optional<PanelZoom> spectrumZoom;
    const ReferenceCurves* references = nullptr;
    CurveIdentity live;
    ReferenceCache* cache = nullptr;

    bool comparing() const { return references && !references->empty(); }

    bool zoomed() const { return signalZoom.has_value() || spectrumZoom.has_value(); }
};
