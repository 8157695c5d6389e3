#include "plot/PictureLayout.h"

#include "plot/AxesLayout.h"
#include "plot/PlotPicture.h"

PlotWindow signalWindow(const AnalysisState& state)
{
    return { 0.0, static_cast<double>(state.sampleCount), state.signalMin, state.signalMax };
}

PictureLayout plainLayout(DeviceRect client, const AnalysisState& state, const PictureView& view)
{
    PictureLayout layout;
    layout.client = client;
    layout.third = client.bottom / 3;
    layout.signal.panel = { 0, 0, client.right, layout.third };
    layout.signal.window = view.signalZoom ? view.signalZoom->window : signalWindow(state);
    layout.signal.zoomed = view.signalZoom.has_value();
    layout.spectrum.panel = spectrumPanel(client);
    const bool spectrumZoomHolds = view.spectrumZoom
        && view.spectrumZoom->logFrequency == (state.logFrequency != 0)
        && view.spectrumZoom->logPower == (state.logPower != 0);
    layout.spectrum.window = spectrumZoomHolds ? view.spectrumZoom->window : spectrumWindow(state);
    layout.spectrum.zoomed = spectrumZoomHolds;
    return layout;
}

PictureLayout layoutPicture(
    const Canvas& canvas, const AnalysisState& state, const PictureView& view)
{
    PictureLayout layout = plainLayout(canvas.clientRect(), state, view);
    if (view.axes)
        makeRoomForAxes(canvas, state, layout);
    return layout;
}
