#include "app/CWelmoView.h"

#include "app/CWelmoDoc.h"
#include "core/AnalysisState.h"
#include "platform/QtPainterCanvas.h"
#include "platform/WaitCursor.h"
#include "plot/PlotPicture.h"
#include "plot/PlotReadout.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

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
}

void CWelmoView::paintEvent(QPaintEvent*)
{
    if (m_heldPicture.paint(*this))
        return;
    ++m_paintCount;
    m_document.setTitle(QString::fromStdString(pictureTitle(m_state)));
    setWaitCursor();
    {
        QPainter painter(this);
        QtPainterCanvas canvas(painter, DeviceRect { 0, 0, width(), height() });
        drawPicture(canvas, m_state);
    }
    setArrowCursor();
}

void CWelmoView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const PlotReadout readout
        = plotReadoutAt(m_state, DeviceRect { 0, 0, width(), height() }, { at.x(), at.y() });
    emit readoutChanged(QString::fromStdString(plotReadoutText(m_state, readout)));
}

void CWelmoView::leaveEvent(QEvent*)
{
    emit readoutChanged(QString());
}
