#pragma once

#include "plot/PictureLayout.h"
#include "plot/PictureView.h"

#include "app/HeldPicture.h"
#include "core/Progress.h"
#include <QPixmap>
#include <QPoint>

#include <QWidget>

#include <string_view>

struct AnalysisState;
class CWelmoDoc;
class QRubberBand;

// The single view: owns nothing of the record, and on every paint draws
// the whole picture of the record and gives the document its title. What
// it keeps of its own is how the picture is looked at: the axes and the
// zoom of each panel (a rubber-band drag, the wheel, a middle-button or
// Shift drag to pan; double-click or Esc for the full picture).
class CWelmoView : public QWidget {
    Q_OBJECT
public:
    CWelmoView(CWelmoDoc& document, const AnalysisState& state, QWidget* parent = nullptr);

    const AnalysisState& state() const { return m_state; }
    // Number of paints since construction; lets tests see that a command
    // repainted without reading pixels.
    int paintCount() const { return m_paintCount; }

    // How the picture is looked at; printing and picture export draw with it.
    const PictureView& pictureView() const { return m_pictureView; }
    bool axesShown() const { return m_pictureView.axes; }
    // The layout a paint would draw now, which the readout and zoom invert.
    PictureLayout currentLayout() const;

    // A command reports a step of its work: reading, averaging or
    // estimating replaces what the zoom was made on, so the picture goes
    // back to its full extent.
    void followProgress(std::string_view step, double fraction);

    // Where a paint reports its progress, and whether it goes on. A paint
    // asked to stop shows the last complete picture again and signals
    // paintCancelled. Without one, paints draw straight onto the view.
    void setPaintProgress(ProgressCallback progress) { m_paintProgress = std::move(progress); }

public slots:
    // Shows or hides the axes, remembered with the window's settings.
    void setAxesShown(bool shown);
    void zoomOut();
    void showWholePicture();
    // Zooms the spectrum panel onto the entries it draws.
    void fitSpectrum();

    // While a command changes the record, paints repeat the picture from
    // before it (see HeldPicture).
    void holdPicture() { m_heldPicture.hold(*this); }
    void releasePicture() { m_heldPicture.release(*this); }

signals:
    // What lies under the mouse (see PlotReadout); empty when it leaves.
    void readoutChanged(const QString& text);
    // A paint was asked to stop; the view shows the picture before it.
    void paintCancelled();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    enum class Panel { none, signal, spectrum };
    enum class Drag { none, zoom, pan };

    Panel panelAt(const PictureLayout& layout, QPoint at) const;
    const PanelPlacement& placementOf(const PictureLayout& layout, Panel panel) const;
    void setZoom(Panel panel, const PlotWindow& window);
    void finishZoomDrag(QPoint at);
    void showReadout(QPoint at);
    void paintAndKeepPicture();
    void paintLastPicture();

    CWelmoDoc& m_document;
    const AnalysisState& m_state;
    int m_paintCount = 0;
    PictureView m_pictureView;
    Drag m_drag = Drag::none;
    Panel m_dragPanel = Panel::none;
    QPoint m_dragStart;
    QPoint m_dragLast;
    QRubberBand* m_rubberBand = nullptr;
    HeldPicture m_heldPicture;
    ProgressCallback m_paintProgress;
    // The last picture a paint finished, shown again when a paint stops.
    QPixmap m_lastPicture;
    bool m_painting = false;
};
