#include "platform/PictureFile.h"

#include "core/LargePages.h"
#include "core/Progress.h"
#include "output/FileReplacement.h"
#include "platform/QtPainterCanvas.h"
#include "plot/PlotPicture.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// JPEG keeps the one-pixel lines of the picture readable at this quality.
constexpr int JPEG_QUALITY = 95;
// PNG is lossless at every quality: Qt maps this one to zlib's fastest
// level, which a picture of flat colours and thin lines packs nearly as
// well as the default level, in a fraction of its time.
constexpr int PNG_QUALITY = 85;

// False when a stop of the process was asked for meanwhile: a picture
// drawn then is not written.
bool paintPicture(
    QPainter& painter, const AnalysisState& state, const PictureView& view, QSize size)
{
    QtPainterCanvas canvas(painter, DeviceRect { 0, 0, size.width(), size.height() });
    drawPicture(canvas, state, view);
    return !processStopRequested();
}

bool writeImage(QIODevice& file, const AnalysisState& state, const PictureView& view, QSize size,
    const char* format)
{
    // The pixels lie on large pages: a picture of megabytes would take a
    // page fault for every 4 KiB of it otherwise.
    const auto bytesPerLine = static_cast<std::size_t>(std::max(size.width(), 0)) * 4;
    const auto bytes = bytesPerLine * static_cast<std::size_t>(std::max(size.height(), 0));
    if (bytes == 0 || bytesPerLine > static_cast<std::size_t>(INT_MAX))
        return false;
    void* pixels = allocateOnLargePages(bytes);
    if (!pixels)
        return false;
    QImage image(
        static_cast<uchar*>(pixels), size.width(), size.height(),
        static_cast<qsizetype>(bytesPerLine), QImage::Format_RGB32,
        [](void* data) { std::free(data); }, pixels);
    if (image.isNull()) {
        std::free(pixels);
        return false;
    }
    // The view paints onto the window's background colour.
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        if (!paintPicture(painter, state, view, size))
            return false;
    }
    return image.save(&file, format, format[0] == 'J' ? JPEG_QUALITY : PNG_QUALITY);
}

// Draws the picture on a device whose painting can fail (a file format
// writer); false when it does.
bool paintOnto(
    QPaintDevice& device, const AnalysisState& state, const PictureView& view, QSize size)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const bool drawn = paintPicture(painter, state, view, size);
    return painter.end() && drawn;
}

bool writeSvg(QIODevice& file, const AnalysisState& state, const PictureView& view, QSize size)
{
    QSvgGenerator generator;
    generator.setOutputDevice(&file);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setTitle(QString::fromStdString(pictureTitle(state)));
    return paintOnto(generator, state, view, size);
}

bool writePdf(QIODevice& file, const AnalysisState& state, const PictureView& view, QSize size)
{
    // One page of the picture's size, one point per pixel.
    QPdfWriter writer(&file);
    writer.setResolution(72);
    writer.setPageSize(QPageSize(QSizeF(size), QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    writer.setTitle(QString::fromStdString(pictureTitle(state)));
    return paintOnto(writer, state, view, size);
}

bool writeFormat(QIODevice& file, PictureFormat format, const AnalysisState& state,
    const PictureView& view, QSize size)
{
    switch (format) {
    case PictureFormat::png:
        return writeImage(file, state, view, size, "PNG");
    case PictureFormat::jpeg:
        return writeImage(file, state, view, size, "JPEG");
    case PictureFormat::svg:
        return writeSvg(file, state, view, size);
    case PictureFormat::pdf:
        return writePdf(file, state, view, size);
    case PictureFormat::unknown:
        break;
    }
    return false;
}

} // namespace

PictureFormat pictureFormatOf(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return PictureFormat::png;
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return PictureFormat::jpeg;
    if (suffix == QLatin1String("svg"))
        return PictureFormat::svg;
    if (suffix == QLatin1String("pdf"))
        return PictureFormat::pdf;
    return PictureFormat::unknown;
}

namespace {

const char* const UNKNOWN_FORMAT = "the name ends in none of .png, .jpg, .jpeg, .svg or .pdf";

// The formats' writers do not all tell of a failed write (SVG and PDF go
// on after one): the picture is made in memory, where writes do not fail,
// and its bytes are written, each write checked.
bool writeAndCommit(FileReplacement& file, const QByteArray& bytes, std::string& reason)
{
    int failure = file.write(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (failure == 0)
        failure = file.commit([] { return !processStopRequested(); });
    if (failure != 0) {
        file.abandon();
        reason = std::strerror(failure);
        return false;
    }
    return true;
}

} // namespace

bool drawPictureBytes(const AnalysisState& state, const PictureView& view, PictureFormat format,
    QSize size, QByteArray& bytes)
{
    QBuffer picture;
    picture.open(QIODevice::WriteOnly);
    if (!writeFormat(picture, format, state, view, size))
        return false;
    bytes = picture.data();
    return true;
}

bool writePictureFile(const AnalysisState& state, const PictureView& view, const QString& fileName,
    QSize size, std::string& reason)
{
    const PictureFormat format = pictureFormatOf(fileName);
    if (format == PictureFormat::unknown) {
        reason = UNKNOWN_FORMAT;
        return false;
    }
    // The target is looked at before the picture is drawn, so that a name
    // that cannot take it costs no drawing.
    FileReplacement file;
    reason = file.begin(fileName.toStdString());
    if (!reason.empty())
        return false;
    QByteArray bytes;
    if (!drawPictureBytes(state, view, format, size, bytes)) {
        reason = "the picture could not be drawn";
        return false;
    }
    return writeAndCommit(file, bytes, reason);
}

bool writePictureBytes(const QString& fileName, const QByteArray& bytes, std::string& reason)
{
    if (pictureFormatOf(fileName) == PictureFormat::unknown) {
        reason = UNKNOWN_FORMAT;
        return false;
    }
    FileReplacement file;
    reason = file.begin(fileName.toStdString());
    return reason.empty() && writeAndCommit(file, bytes, reason);
}
