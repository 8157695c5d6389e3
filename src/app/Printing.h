#pragma once

#include <QPrintPreviewDialog>

#include <memory>

class QPainter;
class QPrinter;
class QRect;
class QWidget;
struct AnalysisState;

// Draws the picture of the record as `view` shows it, scaled uniformly
// (aspect ratio kept, centred) onto `target` of the painter's device. The
// font is sized in view pixels, so that text keeps its on-screen proportion
// on a device of any resolution.
void renderPicture(
    QPainter& painter, const QRect& target, const QWidget& view, const AnalysisState& state);

// One page on the printer: the view's picture filling the printable area.
// Returns false when the printer cannot be opened (for example an output
// file that cannot be written); nothing is drawn then.
bool renderPage(QPrinter& printer, const QWidget& view, const AnalysisState& state);

// The print commands of the view. Each runs its dialog on `printer`, which
// keeps the chosen settings between commands. A print that cannot be
// carried out is reported in the program's message box.
void printView(QPrinter& printer, QWidget& view, const AnalysisState& state);
void printPreview(QPrinter& printer, QWidget& view, const AnalysisState& state);
void printSetup(QPrinter& printer, QWidget* parent);

// The dialog printPreview runs, built but not shown: one page, drawn by
// renderPage.
std::unique_ptr<QPrintPreviewDialog> createPrintPreview(
    QPrinter& printer, QWidget& view, const AnalysisState& state);
