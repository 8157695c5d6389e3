#include "app/Printing.h"

#include "app/CWelmoView.h"
#include "core/AnalysisState.h"
#include "platform/MessageBox.h"
#include "platform/QtPainterCanvas.h"
#include "platform/WaitCursor.h"
#include "plot/PlotPicture.h"

#include <QFontInfo>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWidget>

#include <algorithm>

void renderPicture(
    QPainter& painter, const QRect& target, const QWidget& view, const AnalysisState& state)
{
    // The picture's layout is in view pixels; drawing it with the view's
    // rectangle in printer pixels would give a printout a few centimetres
    // wide, so the whole view is mapped onto the target instead.
    const int viewWidth = std::max(1, view.width());
    const int viewHeight = std::max(1, view.height());
    const double scale = std::min(static_cast<double>(target.width()) / viewWidth,
        static_cast<double>(target.height()) / viewHeight);
    if (!(scale > 0.0))
        return;

    painter.save();
    painter.translate(target.left() + (target.width() - scale * viewWidth) / 2.0,
        target.top() + (target.height() - scale * viewHeight) / 2.0);
    painter.scale(scale, scale);
    painter.setClipRect(QRect(0, 0, viewWidth, viewHeight));
    painter.fillRect(QRect(0, 0, viewWidth, viewHeight), Qt::white);

    QFont font = view.font();
    font.setPixelSize(std::max(1, QFontInfo(view.font()).pixelSize()));
    painter.setFont(font);

    // The axes and zoom of the window, when it is the program's view.
    const auto* welmoView = qobject_cast<const CWelmoView*>(&view);
    QtPainterCanvas canvas(painter, DeviceRect { 0, 0, viewWidth, viewHeight });
    drawPicture(canvas, state, welmoView ? welmoView->pictureView() : PictureView {});
    painter.restore();
}

bool renderPage(QPrinter& printer, const QWidget& view, const AnalysisState& state)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    setWaitCursor();
    // The painter's origin is the top-left of the printable area, and the
    // device size is that area in device pixels.
    renderPicture(painter, QRect(0, 0, printer.width(), printer.height()), view, state);
    const bool finished = painter.end();
    setArrowCursor();
    return finished;
}

void printView(QPrinter& printer, QWidget& view, const AnalysisState& state)
{
    QPrintDialog dialog(&printer, &view);
    // The document has one page, so a page range means nothing here.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!renderPage(printer, view, state))
        showMessage("The document could not be printed.");
}

std::unique_ptr<QPrintPreviewDialog> createPrintPreview(
    QPrinter& printer, QWidget& view, const AnalysisState& state)
{
    auto dialog = std::make_unique<QPrintPreviewDialog>(&printer, &view);
    QObject::connect(dialog.get(), &QPrintPreviewDialog::paintRequested, dialog.get(),
        [&view, &state](QPrinter* previewPrinter) { renderPage(*previewPrinter, view, state); });
    return dialog;
}

void printPreview(QPrinter& printer, QWidget& view, const AnalysisState& state)
{
    createPrintPreview(printer, view, state)->exec();
}

void printSetup(QPrinter& printer, QWidget* parent)
{
    QPageSetupDialog dialog(&printer, parent);
    dialog.exec();
}
