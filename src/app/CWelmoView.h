#pragma once

#include "app/HeldPicture.h"

#include <QWidget>

struct AnalysisState;
class CWelmoDoc;

// The single view: owns nothing, and on every paint draws the whole picture
// of the record and gives the document its title.
class CWelmoView : public QWidget {
    Q_OBJECT
public:
    CWelmoView(CWelmoDoc& document, const AnalysisState& state, QWidget* parent = nullptr);

    const AnalysisState& state() const { return m_state; }
    // Number of paints since construction; lets tests see that a command
    // repainted without reading pixels.
    int paintCount() const { return m_paintCount; }

    // While a command changes the record, paints repeat the picture from
    // before it (see HeldPicture).
    void holdPicture() { m_heldPicture.hold(*this); }
    void releasePicture() { m_heldPicture.release(*this); }

signals:
    // What lies under the mouse (see PlotReadout); empty when it leaves.
    void readoutChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    CWelmoDoc& m_document;
    const AnalysisState& m_state;
    int m_paintCount = 0;
    HeldPicture m_heldPicture;
};
