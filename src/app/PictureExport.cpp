#include "app/PictureExport.h"

#include "platform/FileOpenDialog.h"
#include "platform/PictureFile.h"

#include <QFileInfo>

QString pictureExportName(const QString& chosen)
{
    if (QFileInfo(chosen).suffix().isEmpty())
        return chosen + QStringLiteral(".png");
    return chosen;
}

bool exportPicture(const AnalysisState& state, const PictureView& view, const QString& fileName,
    QSize size, std::string& reason)
{
    return writePictureFile(state, view, pictureExportName(fileName), size, reason);
}

FileOpenRequest pictureFileRequest()
{
    FileOpenRequest request;
    request.title = "Export Picture";
    request.filters = { "PNG image (*.png)", "JPEG image (*.jpg *.jpeg)", "SVG drawing (*.svg)",
        "PDF document (*.pdf)" };
    request.selectedFilter = 0;
    request.existingFilesOnly = false;
    request.saving = true;
    return request;
}
