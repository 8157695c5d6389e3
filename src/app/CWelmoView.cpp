#include "app/CWelmoView.h"

#include "app/CWelmoDoc.h"
#include "commands/SpectrumReferences.h"
#include "core/AnalysisState.h"
#include "platform/QtPainterCanvas.h"
#include "plot/PlotPicture.h"
#include "plot/PlotReadout.h"
#include "plot/ReferenceCache.h"
#include "plot/ViewZoom.h"

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QRubberBand>
#include <QSettings>
#include <QWheelEvent>

#include <cmath>

namespace {

const QString axesKey = QStringLiteral("Settings/axes");
// Zoom of one wheel notch (120 eighths of a degree).
constexpr double WHEEL_ZOOM_PER_NOTCH = 0.8;

DevicePoint devicePoint(QPoint at)
{
    return { at.x(), at.y() };
}

bool inside(DeviceRect rect, QPoint at)
{
    return at.x() >= std::min(rect.left, rect.right) && at.x() <= std::max(rect.left, rect.right)
        && at.y() >= std::min(rect.top, rect.bottom) && at.y() <= std::max(rect.top, rect.bottom);
}

} // namespace

CWelmoView::CWelmoView(CWelmoDoc& document, const AnalysisState& state, QWidget* parent)
    : QWidget(parent)
    , m_document(document)
    , m_state(state)
{
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);
    setAutoFillBackground(true);
    setMouseTracking(true);
    // Esc leaves a zoom without a click into the picture first.
    setFocusPolicy(Qt::StrongFocus);
    m_pictureView.axes = QSettings().value(axesKey, false).toBool();
}

void CWelmoView::paintEvent(QPaintEvent*)
{
    if (!m_held) {
        ++m_paintCount;
        m_document.setTitle(QString::fromStdString(pictureTitle(m_state)));
        m_keptPicture = drawnPicture();
    }
    // Where the view has grown beyond a kept picture its background shows.
    QPainter(this).drawPixmap(0, 0, m_keptPicture);
}

QPixmap CWelmoView::drawnPicture() const
{
    QPixmap picture(size() * devicePixelRatio());
    picture.setDevicePixelRatio(devicePixelRatio());
    picture.fill(palette().color(QPalette::Window));
    {
        QPainter painter(&picture);
        painter.setFont(font());
        painter.setPen(palette().color(foregroundRole()));
        painter.setBackground(palette().brush(backgroundRole()));
        QtPainterCanvas canvas(painter, DeviceRect { 0, 0, width(), height() });
        PictureView view = pictureView();
        view.cache = &m_referenceCache;
        drawPicture(canvas, m_state, view);
    }
    return picture;
}

PictureView CWelmoView::pictureView() const
{
    PictureView view = m_pictureView;
    view.references = &m_document.references();
    view.live = spectrumIdentity(m_state);
    return view;
}

void CWelmoView::releasePicture()
{
    m_held = false;
    update();
}

PictureLayout CWelmoView::currentLayout() const
{
    // From the record as it is now, which a command may have changed since
    // the last paint; the axes' room is measured in the paint's font.
    const DeviceRect client { 0, 0, width(), height() };
    if (!m_pictureView.axes)
        return plainLayout(client, m_state, m_pictureView);
    QImage scratch(1, 1, QImage::Format_RGB32);
    scratch.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
    scratch.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
    QPainter painter(&scratch);
    painter.setFont(font());
    QtPainterCanvas canvas(painter, client);
    return layoutPicture(canvas, m_state, m_pictureView);
}

CWelmoView::Panel CWelmoView::panelAt(const PictureLayout& layout, QPoint at) const
{
    if (inside(layout.signal.panel, at))
        return Panel::signal;
    if (m_state.psdValid && inside(layout.spectrum.panel, at))
        return Panel::spectrum;
    return Panel::none;
}

const PanelPlacement& CWelmoView::placementOf(const PictureLayout& layout, Panel panel) const
{
    return panel == Panel::signal ? layout.signal : layout.spectrum;
}

void CWelmoView::setZoom(Panel panel, const PlotWindow& window)
{
    if (panel == Panel::signal)
        m_pictureView.signalZoom = PanelZoom { window, false, false };
    else if (panel == Panel::spectrum)
        m_pictureView.spectrumZoom
            = PanelZoom { window, m_state.logFrequency != 0, m_state.logPower != 0 };
    update();
}

void CWelmoView::showWholePicture()
{
    if (!m_pictureView.zoomed())
        return;
    m_pictureView.signalZoom.reset();
    m_pictureView.spectrumZoom.reset();
    update();
}

void CWelmoView::fitSpectrum()
{
    if (const std::optional<PlotWindow> window = fitSpectrumWindow(m_state))
        setZoom(Panel::spectrum, *window);
}

void CWelmoView::setAxesShown(bool shown)
{
    QSettings().setValue(axesKey, shown);
    if (m_pictureView.axes == shown)
        return;
    m_pictureView.axes = shown;
    update();
}

void CWelmoView::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const Panel panel = panelAt(currentLayout(), at);
    const bool pan = event->button() == Qt::MiddleButton
        || (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier));
    if (panel == Panel::none || (!pan && event->button() != Qt::LeftButton)) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_drag = pan ? Drag::pan : Drag::zoom;
    m_dragPanel = panel;
    m_dragStart = m_dragLast = at;
}

void CWelmoView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (m_drag == Drag::zoom) {
        if (!m_rubberBand)
            m_rubberBand = new QRubberBand(QRubberBand::Rectangle, this);
        m_rubberBand->setGeometry(QRect(m_dragStart, at).normalized());
        m_rubberBand->show();
    } else if (m_drag == Drag::pan && at != m_dragLast) {
        const PanelPlacement placement = placementOf(currentLayout(), m_dragPanel);
        setZoom(m_dragPanel,
            panWindow(
                placement.window, placement.mapping(), devicePoint(m_dragLast), devicePoint(at)));
        m_dragLast = at;
    }
    showReadout(at);
}

void CWelmoView::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_drag == Drag::zoom)
        finishZoomDrag(event->position().toPoint());
    m_drag = Drag::none;
    m_dragPanel = Panel::none;
    if (m_rubberBand)
        m_rubberBand->hide();
}

void CWelmoView::finishZoomDrag(QPoint at)
{
    const PanelPlacement placement = placementOf(currentLayout(), m_dragPanel);
    const DeviceRect drag { m_dragStart.x(), m_dragStart.y(), at.x(), at.y() };
    if (const std::optional<PlotWindow> window
        = zoomToRect(placement.window, placement.mapping(), drag, true))
        setZoom(m_dragPanel, *window);
}

void CWelmoView::mouseDoubleClickEvent(QMouseEvent*)
{
    m_drag = Drag::none;
    showWholePicture();
}

void CWelmoView::wheelEvent(QWheelEvent* event)
{
    const QPoint at = event->position().toPoint();
    const PictureLayout layout = currentLayout();
    const Panel panel = panelAt(layout, at);
    const int eighths = event->angleDelta().y();
    if (panel == Panel::none || eighths == 0) {
        event->ignore();
        return;
    }
    const double factor = std::pow(WHEEL_ZOOM_PER_NOTCH, eighths / 120.0);
    const PanelPlacement& placement = placementOf(layout, panel);
    // The wheel zooms along the panel's x; with Ctrl along both axes.
    const bool alongY = event->modifiers() & Qt::ControlModifier;
    if (const std::optional<PlotWindow> window
        = zoomAbout(placement.window, placement.mapping(), devicePoint(at), factor, alongY))
        setZoom(panel, *window);
    event->accept();
}

void CWelmoView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && m_pictureView.zoomed()) {
        showWholePicture();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CWelmoView::showReadout(QPoint at)
{
    const PictureView view = pictureView();
    const PlotReadout readout = plotReadoutAt(m_state, currentLayout(), view, devicePoint(at));
    emit readoutChanged(QString::fromStdString(plotReadoutText(m_state, readout, view)));
}

void CWelmoView::leaveEvent(QEvent*)
{
    emit readoutChanged(QString());
}
