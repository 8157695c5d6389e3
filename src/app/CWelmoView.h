#pragma once

#include "plot/PictureLayout.h"
#include "plot/PictureView.h"
#include "plot/ReferenceCache.h"

#include <QPixmap>
#include <QPoint>
#include <QWidget>

struct AnalysisState;
class CWelmoDoc;
class QRubberBand;

// The single view: owns nothing of the record, and on every paint that no
// command holds draws the whole picture of the record and gives the
// document its title. What
// it keeps of its own is how the picture is looked at: the axes and the
// zoom of each panel (a rubber-band drag, the wheel, a middle-button or
// Shift drag to pan; double-click or Esc for the full picture), and the
// last picture it finished.
class CWelmoView : public QWidget {
    Q_OBJECT
public:
    CWelmoView(CWelmoDoc& document, const AnalysisState& state, QWidget* parent = nullptr);

    const AnalysisState& state() const { return m_state; }
    // Number of paints since construction; lets tests see that a command
    // repainted without reading pixels.
    int paintCount() const { return m_paintCount; }

    // How the picture is looked at, with the document's references;
    // printing and picture export draw with it.
    PictureView pictureView() const;
    bool axesShown() const { return m_pictureView.axes; }
    // The layout a paint would draw now, which the readout and zoom invert.
    PictureLayout currentLayout() const;

    // Back to the whole picture: a command calls it when it replaces the
    // series or the spectrum that a zoom was made on.
    void showWholePicture();

public slots:
    // Shows or hides the axes, remembered with the window's settings.
    void setAxesShown(bool shown);
    void zoomOut() { showWholePicture(); }
    // Zooms the spectrum panel onto the entries it draws.
    void fitSpectrum();

    // While a command changes the record, paints repeat the last finished
    // picture instead of reading a record that is half changed.
    void holdPicture() { m_held = true; }
    void releasePicture();

signals:
    // What lies under the mouse (see PlotReadout); empty when it leaves.
    void readoutChanged(const QString& text);

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
    QPixmap drawnPicture() const;

    CWelmoDoc& m_document;
    const AnalysisState& m_state;
    int m_paintCount = 0;
    PictureView m_pictureView;
    Drag m_drag = Drag::none;
    Panel m_dragPanel = Panel::none;
    QPoint m_dragStart;
    QPoint m_dragLast;
    QRubberBand* m_rubberBand = nullptr;
    // The last finished paint, which a paint during a command repeats.
    QPixmap m_keptPicture;
    bool m_held = false;
    // The references as the last paint reduced them.
    mutable ReferenceCache m_referenceCache;
};
