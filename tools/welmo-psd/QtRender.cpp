#include "QtRender.h"

#include "platform/QtPainterCanvas.h"
#include "plot/PlotPicture.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <memory>

namespace {

// Fonts need a QGuiApplication; without a display the offscreen platform
// provides one.
std::unique_ptr<QGuiApplication> makeApplication()
{
    if (QGuiApplication::instance())
        return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "welmo-psd";
    static char* argv[] = { name, nullptr };
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

bool renderPicture(const AnalysisState& state, const std::string& fileName, int width, int height,
    std::string& error)
{
    const auto application = makeApplication();
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) {
        error = "Cannot render a picture of that size";
        return false;
    }
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QtPainterCanvas canvas(painter, DeviceRect { 0, 0, width, height });
        drawPicture(canvas, state);
    }
    if (!image.save(QString::fromStdString(fileName), "PNG")) {
        error = "Cannot write file " + fileName;
        return false;
    }
    return true;
}
