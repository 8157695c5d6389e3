#include "QtRender.h"

#include "platform/PictureFile.h"
#include "plot/PlotPicture.h"

#include <QGuiApplication>
#include <QImage>

#include <cmath>
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

PictureView batchPictureView(const BatchOptions& options, const AnalysisState& state)
{
    PictureView view;
    view.axes = options.axes;
    if (!options.frequencyRange && !options.powerRange)
        return view;
    PlotWindow window = spectrumWindow(state);
    if (options.frequencyRange) {
        const auto [low, high] = *options.frequencyRange;
        window.xMin = state.logFrequency ? std::log10(low) : low;
        window.xMax = state.logFrequency ? std::log10(high) : high;
    }
    if (options.powerRange) {
        window.yMin = options.powerRange->first;
        window.yMax = options.powerRange->second;
    }
    view.spectrumZoom = PanelZoom { window, state.logFrequency != 0, state.logPower != 0 };
    return view;
}

bool renderPicture(const AnalysisState& state, const BatchOptions& options, std::string& error)
{
    const auto application = makeApplication();
    const int width = options.renderWidth;
    const int height = options.renderHeight;
    const std::string& fileName = *options.renderFile;
    const PictureFormat format = pictureFormatOf(QString::fromStdString(fileName));
    if ((format == PictureFormat::png || format == PictureFormat::jpeg)
        && QImage(width, height, QImage::Format_RGB32).isNull()) {
        error = "Cannot render a picture of that size";
        return false;
    }
    std::string reason;
    if (!writePictureFile(state, batchPictureView(options, state), QString::fromStdString(fileName),
            QSize(width, height), reason)) {
        error = "Cannot write file " + fileName + ": " + reason;
        return false;
    }
    return true;
}
