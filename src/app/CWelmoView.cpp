#include "app/CWelmoView.h"

#include "app/CWelmoDoc.h"
#include "core/AnalysisState.h"
#include "platform/QtPainterCanvas.h"
#include "platform/WaitCursor.h"
#include "plot/PlotPicture.h"

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
}

void CWelmoView::paintEvent(QPaintEvent*)
{
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
