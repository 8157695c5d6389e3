#pragma once

#include <QSize>
#include <QString>

#include <string>

struct AnalysisState;

// The window's picture of the record, drawn by the view's own code at
// `size`, into a PNG, SVG or PDF file chosen by the name's suffix (PNG for
// any other). Writes through a temporary file, so a failure leaves an
// existing file as it was. Returns false with the system's reason.
bool exportPicture(
    const AnalysisState& state, const QString& fileName, QSize size, std::string& reason);

// The Save dialog's request of File > Export Picture.
struct FileOpenRequest;
FileOpenRequest pictureFileRequest();
