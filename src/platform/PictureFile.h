#pragma once

#include "plot/PictureView.h"

#include <QByteArray>
#include <QSize>
#include <QString>

#include <string>

struct AnalysisState;

// The file formats of a picture, named by the file name's suffix (any
// case): .png, .jpg or .jpeg, .svg, .pdf.
enum class PictureFormat { png, jpeg, svg, pdf, unknown };
PictureFormat pictureFormatOf(const QString& fileName);

// Draws the picture of the record as the view shows it at `size` into
// `fileName`, in the format its suffix names, written as FileReplacement
// writes (a failure leaves an existing file as it was, a FIFO or device is
// written through). Returns false with the system's reason (or that the
// format is unknown, or that the drawing was stopped).
bool writePictureFile(const AnalysisState& state, const PictureView& view, const QString& fileName,
    QSize size, std::string& reason);

// writePictureFile in two halves, so that the drawing, which touches no
// file, can run beside other work: the picture's bytes in `format` (false
// when the format is unknown, the drawing fails or was stopped), and the
// bytes written into `fileName` as writePictureFile writes them.
bool drawPictureBytes(const AnalysisState& state, const PictureView& view, PictureFormat format,
    QSize size, QByteArray& bytes);
bool writePictureBytes(const QString& fileName, const QByteArray& bytes, std::string& reason);
