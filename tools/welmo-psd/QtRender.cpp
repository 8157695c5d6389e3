#include "QtRender.h"

#include "commands/SpectrumReferences.h"
#include "output/PsdExport.h"
#include "platform/PictureFile.h"
#include "plot/PlotPicture.h"

#include <QGuiApplication>
#include <QImage>

#include <cmath>
#include <filesystem>
#include <memory>

namespace {

// Qt's own notes (a missing runtime folder, a font it substitutes) are
// about the platform, not the run: stderr holds only welmo-psd's lines,
// and every failure that matters comes back as a status.
void dropQtMessage(QtMsgType, const QMessageLogContext&, const QString&) { }

// Fonts need a QGuiApplication; without a display the offscreen platform
// provides one.
std::unique_ptr<QGuiApplication> makeApplication()
{
    if (QGuiApplication::instance())
        return nullptr;
    qInstallMessageHandler(dropQtMessage);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "welmo-psd";
    static char* argv[] = { name, nullptr };
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

std::shared_ptr<void> startRenderPlatform()
{
    return makeApplication();
}

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

namespace {

bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

// Why the picture must not go to `target`, or "" when it may; the export's
// own wording.
std::string renderClash(
    const std::string& target, const BatchOptions& options, const AnalysisState& state)
{
    if (sameFile(target, options.dataFile))
        return "It is the data file";
    if (sameFile(target, state.psdFileName))
        return "It holds the spectrum of this run";
    return "";
}

} // namespace

DrawnPicture drawBatchPicture(
    const AnalysisState& state, const BatchOptions& options, const ReferenceCurves* references)
{
    DrawnPicture picture;
    const auto application = makeApplication();
    const QSize size(options.renderWidth, options.renderHeight);
    const PictureFormat format = pictureFormatOf(QString::fromStdString(*options.renderFile));
    if ((format == PictureFormat::png || format == PictureFormat::jpeg)
        && QImage(size, QImage::Format_RGB32).isNull()) {
        picture.refusal = "Cannot render a picture of that size";
        return picture;
    }
    PictureView view = batchPictureView(options, state);
    if (references) {
        view.references = references;
        view.live = spectrumIdentity(state);
    }
    // A name of no known format has nothing to draw; its write refuses it.
    picture.drawn = format == PictureFormat::unknown
        || drawPictureBytes(state, view, format, size, picture.bytes);
    return picture;
}

bool writeBatchPicture(const DrawnPicture& picture, const AnalysisState& state,
    const BatchOptions& options, std::string& error)
{
    const std::string& fileName = *options.renderFile;
    if (const std::string clash = renderClash(fileName, options, state); !clash.empty()) {
        error = cannotWriteMessage(fileName, clash);
        return false;
    }
    if (!picture.refusal.empty()) {
        error = picture.refusal;
        return false;
    }
    std::string reason = picture.drawn ? "" : "the picture could not be drawn";
    if (reason.empty()
        && writePictureBytes(QString::fromStdString(fileName), picture.bytes, reason))
        return true;
    error = cannotWriteMessage(fileName, reason);
    return false;
}

bool renderPicture(const AnalysisState& state, const BatchOptions& options, std::string& error,
    const ReferenceCurves* references)
{
    return writeBatchPicture(drawBatchPicture(state, options, references), state, options, error);
}
