#include "CommandWindowFixture.h"

#include "app/CTimeSeriesDlg.h"
#include "support/CancelPoints.h"

#include <QImage>
#include <QStatusBar>
#include <QTimer>

namespace {

// Presses Esc once the window shows `step`, after a look at what the view
// paints then and a click on a toolbar command.
class EscDuringStep {
public:
    EscDuringStep(CMainFrame& frame, std::string_view step)
        : m_frame(frame)
        , m_step(QString::fromLatin1(step.data(), static_cast<int>(step.size())))
    {
        // Every report runs the event loop, so the timer fires in the step.
        frame.progressDisplay().setClock(
            [now = qint64 { 0 }]() mutable { return now += ProgressDisplay::SHOW_AFTER_MS; });
        QObject::connect(&m_timer, &QTimer::timeout, [this] { pressWhenRunning(); });
        m_timer.start(0);
    }

    bool pressed() const { return m_pressed; }
    const QImage& pictureDuringStep() const { return m_pictureDuringStep; }
    // The record's low-band width just after the toolbar's Lower LB.
    int lbFrequenciesAfterClick() const { return m_lbFrequenciesAfterClick; }

private:
    void pressWhenRunning()
    {
        const ProgressDisplay& display = m_frame.progressDisplay();
        if (m_pressed || !display.isRunning() || display.stepName() != m_step)
            return;
        m_pressed = true;
        m_pictureDuringStep = m_frame.view().grab().toImage();
        m_frame.commandAction(CommandIds::ID_TOOLBAR_LOWER_LB)->trigger();
        m_lbFrequenciesAfterClick = m_frame.view().state().lbFrequencies;
        QTest::keyClick(&m_frame.view(), Qt::Key_Escape);
    }

    CMainFrame& m_frame;
    QString m_step;
    QTimer m_timer;
    bool m_pressed = false;
    QImage m_pictureDuringStep;
    int m_lbFrequenciesAfterClick = 0;
};

} // namespace

// Esc during the estimate of a new configuration: the record, the zoom, the
// picture during and after the step are those of before the command, no message
// shows, no other command ran meanwhile, and the status bar says
// "Cancelled".
TEST_F(CommandWindow, CancelledConfigurationLeavesRecordAndPicture)
{
    startWindow();
    loadSawtooth();
    // A cancelled command keeps the zoom too.
    m_frame->view().fitSpectrum();
    settledPaints();
    const QImage pictureBefore = m_frame->view().grab().toImage();
    const RecordImage recordBefore = recordImage(m_state);
    const int lbFrequenciesBefore = m_state.lbFrequencies;

    EscDuringStep esc(*m_frame, PROGRESS_ESTIMATE);
    configure("8", "32");
    ASSERT_TRUE(esc.pressed());

    EXPECT_TRUE(m_messages.empty());
    EXPECT_TRUE(recordImage(m_state) == recordBefore) << "the record changed";
    EXPECT_EQ(esc.lbFrequenciesAfterClick(), lbFrequenciesBefore) << "a command ran in the step";
    EXPECT_EQ(m_frame->statusBar()->currentMessage(), QStringLiteral("Cancelled"));
    EXPECT_TRUE(esc.pictureDuringStep() == pictureBefore) << "the step showed another picture";
    EXPECT_TRUE(m_frame->view().pictureView().spectrumZoom);
    settledPaints();
    EXPECT_TRUE(m_frame->view().grab().toImage() == pictureBefore)
        << "the picture after the cancel differs";

    // The same command, not cancelled, then changes the picture.
    configure("8", "32");
    settledPaints();
    EXPECT_EQ(m_state.segmentCount, 8);
    EXPECT_FALSE(m_frame->view().grab().toImage() == pictureBefore);
}

// Esc during Get and Check's count: no "File not found", the row field
// as it was, "Cancelled" in the status bar; the dialog stays open.
TEST_F(CommandWindow, CancelledCountChangesNothing)
{
    startWindow();
    loadSawtooth();
    const std::string table = m_exportDir.filePath(QStringLiteral("long.dat")).toStdString();
    {
        std::ofstream out(table);
        out << "t x\n";
        for (int row = 1; row <= 200000; ++row)
            out << row << ' ' << row % 17 << '\n';
    }
    const RecordImage recordBefore = recordImage(m_state);

    EscDuringStep esc(*m_frame, PROGRESS_COUNT);
    command(CommandIds::ID_FILE_RETRIEVE_DATA, [&](QWidget* dialog) {
        type(dialog,
            { { 1000, table }, { 1002, "2" }, { 1003, "2" }, { 1004, "2" }, { 1005, "100" } });
        button(dialog, CTimeSeriesDlg::IDC_GET_AND_CHECK)->click();
        EXPECT_TRUE(esc.pressed());
        EXPECT_EQ(text(dialog, CTimeSeriesDlg::IDC_SAMPLE_COUNT), "100");
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(m_frame->statusBar()->currentMessage(), QStringLiteral("Cancelled"));
        button(dialog, IDCANCEL)->click();
    });
    EXPECT_TRUE(m_messages.empty());
    EXPECT_TRUE(recordImage(m_state) == recordBefore) << "the record changed";
}
