#include "app/PictureExport.h"

#include "platform/FileOpenDialog.h"
#include "platform/QtPainterCanvas.h"
#include "plot/PlotPicture.h"

#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace {

void paintPicture(QPainter& painter, const AnalysisState& state, QSize size)
{
    QtPainterCanvas canvas(painter, DeviceRect { 0, 0, size.width(), size.height() });
    drawPicture(canvas, state);
}

bool writePng(QSaveFile& file, const AnalysisState& state, QSize size)
{
    // The view paints onto the window's background colour.
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        paintPicture(painter, state, size);
    }
    return image.save(&file, "PNG");
}

// Draws the picture on a device whose painting can fail (a file format
// writer); false when it does.
bool paintOnto(QPaintDevice& device, const AnalysisState& state, QSize size)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    paintPicture(painter, state, size);
    return painter.end();
}

bool writeSvg(QSaveFile& file, const AnalysisState& state, QSize size)
{
    QSvgGenerator generator;
    generator.setOutputDevice(&file);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setTitle(QString::fromStdString(pictureTitle(state)));
    return paintOnto(generator, state, size);
}

bool writePdf(QSaveFile& file, const AnalysisState& state, QSize size)
{
    // One page of the picture's size, one point per pixel.
    QPdfWriter writer(&file);
    writer.setResolution(72);
    writer.setPageSize(QPageSize(QSizeF(size), QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    writer.setTitle(QString::fromStdString(pictureTitle(state)));
    return paintOnto(writer, state, size);
}

} // namespace

bool exportPicture(
    const AnalysisState& state, const QString& fileName, QSize size, std::string& reason)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        reason = file.errorString().toStdString();
        return false;
    }
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    bool written = false;
    if (suffix == QLatin1String("svg"))
        written = writeSvg(file, state, size);
    else if (suffix == QLatin1String("pdf"))
        written = writePdf(file, state, size);
    else
        written = writePng(file, state, size);
    if (!written || !file.commit()) {
        reason = file.error() != QFileDevice::NoError
            ? file.errorString().toStdString()
            : std::string("the picture could not be drawn");
        file.cancelWriting();
        return false;
    }
    return true;
}

FileOpenRequest pictureFileRequest()
{
    FileOpenRequest request;
    request.title = "Export Picture";
    request.filters = { "PNG image (*.png)", "SVG drawing (*.svg)", "PDF document (*.pdf)" };
    request.selectedFilter = 0;
    request.existingFilesOnly = false;
    request.saving = true;
    return request;
}
