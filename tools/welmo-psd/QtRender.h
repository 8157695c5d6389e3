#pragma once

#include "BatchOptions.h"

#include "core/AnalysisState.h"
#include "core/ReferenceCurves.h"
#include "plot/PictureView.h"

#include <QByteArray>

#include <memory>
#include <string>

// The view the options ask for: axes, and the spectrum's frequency and
// power ranges over the record's full window.
PictureView batchPictureView(const BatchOptions& options, const AnalysisState& state);

// Draws the main window's picture of the record into options.renderFile
// (PNG, JPEG, SVG or PDF by its suffix) at the options' size, without a
// display, with `references` (when given) beneath the spectrum. Returns
// false with the reason in `error`.
bool renderPicture(const AnalysisState& state, const BatchOptions& options, std::string& error,
    const ReferenceCurves* references = nullptr);

// renderPicture in two halves: the drawing, which touches no file and so
// may run beside the export, and the file's checks and write, in
// renderPicture's order.
struct DrawnPicture {
    std::string refusal; // the whole error, when the size cannot be drawn
    bool drawn = false;
    QByteArray bytes;
};
DrawnPicture drawBatchPicture(const AnalysisState& state, const BatchOptions& options,
    const ReferenceCurves* references = nullptr);
bool writeBatchPicture(const DrawnPicture& picture, const AnalysisState& state,
    const BatchOptions& options, std::string& error);

// Starts the platform the picture is drawn on (fonts, the offscreen
// display), on the calling thread, which must be the one that draws. Held
// for as long as pictures are drawn; empty when one was started already.
std::shared_ptr<void> startRenderPlatform();
