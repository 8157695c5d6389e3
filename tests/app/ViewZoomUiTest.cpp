// The view's own state: the Axes toggle kept with the window settings,
// zoom by rubber band, wheel and pan, the ways back to the full picture,
// Fit Spectrum, the explicit return to the whole picture, and the picture
// the view keeps while a command runs.

#include "MainWindowFixture.h"

#include "app/CommandIds.h"
#include "app/HeldPicture.h"
#include "app/Printing.h"
#include "plot/PlotReadout.h"

#include <QAction>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace {

class ViewZoom : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        startWindow();
        loadTone(m_state);
        repaint();
    }

    CWelmoView& view() { return m_frame->view(); }

    void repaint()
    {
        const int before = paints();
        view().update();
        waitForPaint(before);
    }

    QImage shown() { return view().grab().toImage().convertToFormat(QImage::Format_RGB32); }

    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button,
        Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
        QMouseEvent event(
            type, QPointF(at), view().mapToGlobal(QPointF(at)), button, held, modifiers);
        QApplication::sendEvent(&view(), &event);
    }

    void drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton,
        Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        mouse(QEvent::MouseButtonPress, from, button, modifiers);
        mouse(QEvent::MouseMove, (from + to) / 2, button, modifiers);
        mouse(QEvent::MouseMove, to, button, modifiers);
        mouse(QEvent::MouseButtonRelease, to, button, modifiers);
    }

    void wheel(QPoint at, int eighths)
    {
        QWheelEvent event(QPointF(at), view().mapToGlobal(QPointF(at)), QPoint(),
            QPoint(0, eighths), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view(), &event);
    }

    QPoint spectrumCentre()
    {
        const DeviceRect panel = view().currentLayout().spectrum.panel;
        return { (panel.left + panel.right) / 2, (panel.top + panel.bottom) / 2 };
    }
};

TEST_F(ViewZoom, DragWheelAndPanChangeOnlyTheViewAndEveryWayOutRestoresThePicture)
{
    const QImage full = shown();
    const RecordImage record = recordImage(m_state);
    const QPoint centre = spectrumCentre();
    using Undo = std::function<void()>;
    const std::vector<std::pair<const char*, Undo>> ways = {
        { "double-click", [&] { mouse(QEvent::MouseButtonDblClick, centre, Qt::LeftButton); } },
        { "Esc",
            [&] {
                QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(&view(), &key);
            } },
        { "View > Zoom Out",
            [&] { m_frame->commandAction(CommandIds::ID_VIEW_ZOOM_OUT)->trigger(); } },
    };
    for (const auto& [name, undo] : ways) {
        SCOPED_TRACE(name);
        drag(centre - QPoint(40, 30), centre + QPoint(50, 30));
        ASSERT_TRUE(view().pictureView().spectrumZoom);
        drag({ 100, 20 }, { 300, 21 });
        ASSERT_TRUE(view().pictureView().signalZoom);
        // A flat drag zooms the samples and keeps the value range.
        EXPECT_EQ(view().pictureView().signalZoom->window.yMax, m_state.signalMax);
        wheel(centre, 120);
        drag(centre, centre + QPoint(30, 0), Qt::MiddleButton);
        drag({ 200, 50 }, { 260, 50 }, Qt::LeftButton, Qt::ShiftModifier);
        repaint();
        EXPECT_NE(shown(), full);
        EXPECT_EQ(recordImage(m_state), record) << "zoom is not the record's";
        undo();
        EXPECT_FALSE(view().pictureView().zoomed());
        repaint();
        EXPECT_EQ(shown(), full);
    }
}

TEST_F(ViewZoom, ReadoutNamesTheSameBinBeforeAndAfterAZoomRoundTrip)
{
    const QPoint at = spectrumCentre() + QPoint(20, 0);
    const PlotReadout before = plotReadoutAt(m_state, view().currentLayout(), { at.x(), at.y() });
    ASSERT_EQ(before.kind, PlotReadout::BIN);
    wheel(at, 360);
    const PlotReadout zoomed = plotReadoutAt(m_state, view().currentLayout(), { at.x(), at.y() });
    EXPECT_EQ(zoomed.index, before.index) << "the wheel keeps the point under the mouse";
    m_frame->commandAction(CommandIds::ID_VIEW_ZOOM_OUT)->trigger();
    EXPECT_EQ(
        plotReadoutAt(m_state, view().currentLayout(), { at.x(), at.y() }).index, before.index);
}

TEST_F(ViewZoom, FitSpectrumZoomsOntoTheDrawnBinsAndShowWholePictureLeavesIt)
{
    const QImage full = shown();
    m_frame->commandAction(CommandIds::ID_VIEW_FIT_SPECTRUM)->trigger();
    ASSERT_TRUE(view().pictureView().spectrumZoom);
    const PlotWindow window = view().pictureView().spectrumZoom->window;
    EXPECT_DOUBLE_EQ(window.xMin, std::log10(2.0 / 2048));
    EXPECT_DOUBLE_EQ(window.xMax, std::log10(1023.0 / 2048));
    repaint();
    EXPECT_NE(shown(), full);

    view().showWholePicture();
    EXPECT_FALSE(view().pictureView().zoomed());
    repaint();
    EXPECT_EQ(shown(), full);
}

// While a command changes the record the view repeats its last picture,
// with its background where the view has grown; then it draws the record.
TEST_F(ViewZoom, AHeldViewRepeatsItsLastPictureUntilReleased)
{
    const QImage before = shown();
    {
        PictureHoldScope<CWelmoView> hold(view());
        m_state.dottedSignal = 1;
        view().resize(before.width() + 40, before.height());
        const QImage held = shown();
        EXPECT_EQ(held.copy(before.rect()), before);
        EXPECT_EQ(held.pixelColor(before.width() + 20, 10), QColor(Qt::white));
    }
    view().resize(before.size());
    EXPECT_NE(shown(), before) << "the released view still shows the held picture";
}

TEST_F(ViewZoom, AxesAreOffByDefaultAndKeptWithTheWindowSettings)
{
    QAction* axes = m_frame->commandAction(CommandIds::ID_VIEW_AXES);
    ASSERT_NE(axes, nullptr);
    EXPECT_TRUE(axes->isCheckable());
    EXPECT_FALSE(axes->isChecked());
    const QImage without = shown();
    axes->trigger();
    EXPECT_TRUE(view().axesShown());
    repaint();
    EXPECT_NE(shown(), without);

    // The next window starts with the axes the last one had.
    m_frame.reset();
    m_frame = std::make_unique<CMainFrame>(m_state);
    EXPECT_TRUE(m_frame->view().axesShown());
    EXPECT_TRUE(m_frame->commandAction(CommandIds::ID_VIEW_AXES)->isChecked());
    m_frame->commandAction(CommandIds::ID_VIEW_AXES)->trigger();
    m_frame.reset();
    m_frame = std::make_unique<CMainFrame>(m_state);
    EXPECT_FALSE(m_frame->view().axesShown());
}

TEST_F(ViewZoom, PrintingDrawsTheZoomedPictureWithItsAxes)
{
    m_frame->commandAction(CommandIds::ID_VIEW_AXES)->trigger();
    m_frame->commandAction(CommandIds::ID_VIEW_FIT_SPECTRUM)->trigger();
    repaint();
    const QImage window = shown();
    QImage page(window.size(), QImage::Format_RGB32);
    {
        QPainter painter(&page);
        renderPicture(painter, page.rect(), view(), m_state);
    }
    int differing = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            differing += page.pixel(x, y) != window.pixel(x, y);
    EXPECT_LT(differing, page.width() * page.height() / 1000);
}

} // namespace
