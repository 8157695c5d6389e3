#pragma once

#include <QSize>
#include <QString>

#include <string>

struct AnalysisState;
struct PictureView;

// The name File > Export Picture writes for the name chosen: as chosen,
// with ".png" added when it has no suffix (the PNG filter is the dialog's
// first).
QString pictureExportName(const QString& chosen);

// The window's picture of the record, drawn by the view's own code at
// `size` with the view's axes and zoom, into a PNG, JPEG, SVG or PDF file
// chosen by the name's suffix (see pictureExportName); a name with
// another suffix is refused. Writes through a temporary file, so a failure
// leaves an existing file as it was. Returns false with the system's
// reason.
bool exportPicture(const AnalysisState& state, const PictureView& view, const QString& fileName,
    QSize size, std::string& reason);

// The Save dialog's request of File > Export Picture.
struct FileOpenRequest;
FileOpenRequest pictureFileRequest();
