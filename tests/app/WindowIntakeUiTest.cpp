// Files that reach the window from outside (a drop, the command line) and
// the progress of long steps in the status bar.

#include "MainWindowFixture.h"

#include "app/CTimeSeriesDlg.h"
#include "app/ProgressDisplay.h"
#include "core/Progress.h"

#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QStatusBar>
#include <QUrl>

namespace {

class WindowIntake : public MainWindowTest {
protected:
    // The file name the data dialog showed when it opened; it is cancelled.
    std::string dataDialogFileName(const std::function<void()>& command)
    {
        std::string shown;
        const std::string dialog = runModal(command, [&](QWidget* modal) {
            auto* field = modal->findChild<QLineEdit*>(
                QStringLiteral("field%1").arg(CTimeSeriesDlg::IDC_DATA_FILE_NAME));
            if (field)
                shown = field->text().toStdString();
            qobject_cast<QDialog*>(modal)->reject();
        });
        EXPECT_EQ(dialog, "CTimeSeriesDlg");
        return shown;
    }

    void drop(const QList<QUrl>& urls)
    {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(
            QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_frame.get(), &enter);
        QDropEvent event(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_frame.get(), &event);
    }
};

TEST_F(WindowIntake, OfferedFileFillsTheDataDialogAndChangesNothingOnCancel)
{
    startWindow();
    const RecordImage before = recordImage(m_state);
    EXPECT_EQ(dataDialogFileName([&] { m_frame->retrieveDataFrom("/data/run 7.dat"); }),
        "/data/run 7.dat");
    EXPECT_EQ(recordImage(m_state), before);
    // The next Retrieve Data starts from the record again.
    EXPECT_EQ(dataDialogFileName([&] { m_frame->OnRetrieveData(); }), m_state.dataFileName);
}

TEST_F(WindowIntake, DroppedLocalFileOpensTheDataDialogWithIt)
{
    startWindow();
    const std::string name = (m_settingsDir.path() + "/dropped.dat").toStdString();
    const std::string shown = dataDialogFileName([&] {
        drop({ QUrl::fromLocalFile(QString::fromStdString(name)) });
        QTest::qWait(50); // the dialog opens once the drop has ended
    });
    EXPECT_EQ(shown, name);
}

TEST_F(WindowIntake, DropOfNothingUsableOpensNoDialog)
{
    startWindow();
    const std::vector<QList<QUrl>> drops = {
        {},
        { QUrl(QStringLiteral("https://example.invalid/run.dat")) },
        { QUrl::fromLocalFile("/tmp/a.dat"), QUrl::fromLocalFile("/tmp/b.dat") },
    };
    for (const QList<QUrl>& urls : drops) {
        const std::string dialog = runModal(
            [&] {
                drop(urls);
                QTest::qWait(50);
            },
            [](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
        EXPECT_EQ(dialog, "") << urls.size() << " urls";
    }
}

TEST_F(WindowIntake, ProgressShowsOnlyForASlowStepAndEndsHidden)
{
    startWindow();
    qint64 now = 0;
    ProgressDisplay& display = m_frame->progressDisplay();
    display.setClock([&] { return now; });

    // A quick step never shows.
    m_frame->progress(PROGRESS_READ, 0.0);
    now = 100;
    m_frame->progress(PROGRESS_READ, 0.5);
    EXPECT_FALSE(display.isShown());
    m_frame->progress(PROGRESS_READ, 1.0);
    EXPECT_FALSE(display.isShown());

    // A slow one shows its name and how far it has come, then goes.
    m_frame->progress(PROGRESS_ESTIMATE, 0.0);
    now += ProgressDisplay::SHOW_AFTER_MS - 1;
    m_frame->progress(PROGRESS_ESTIMATE, 0.2);
    EXPECT_FALSE(display.isShown());
    now += 1;
    m_frame->progress(PROGRESS_ESTIMATE, 0.25);
    EXPECT_TRUE(display.isShown());
    EXPECT_EQ(display.stepName().toStdString(), PROGRESS_ESTIMATE);
    EXPECT_EQ(display.percent(), 25);
    m_frame->progress(PROGRESS_ESTIMATE, 0.999);
    EXPECT_EQ(display.percent(), 99);
    m_frame->progress(PROGRESS_ESTIMATE, 1.0);
    EXPECT_FALSE(display.isShown());

    // The next step starts its own clock.
    m_frame->progress(PROGRESS_EXPORT, 0.0);
    m_frame->progress(PROGRESS_EXPORT, 0.5);
    EXPECT_FALSE(display.isShown());
    m_frame->progress(PROGRESS_EXPORT, 1.0);
    display.setClock(nullptr);
}

TEST_F(WindowIntake, ReadoutFollowsTheMouseAndLeavesThePromptsAlone)
{
    startWindow();
    loadTone(m_state);
    auto* readout = m_frame->findChild<QLabel*>(QStringLiteral("readout"));
    ASSERT_NE(readout, nullptr);
    CWelmoView& view = m_frame->view();
    auto move = [&](QPoint at) {
        QMouseEvent event(QEvent::MouseMove, QPointF(at), view.mapToGlobal(QPointF(at)),
            Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &event);
    };

    move({ view.width() / 2, 10 });
    EXPECT_EQ(readout->text().left(7), QStringLiteral("Sample "));
    move({ view.width() - 20, view.height() / 2 });
    EXPECT_EQ(readout->text().left(4), QStringLiteral("Bin "));
    EXPECT_TRUE(readout->text().contains(QStringLiteral("cycles/sample")));
    m_frame->statusBar()->showMessage(QStringLiteral("Retrieve data from file"));
    EXPECT_EQ(m_frame->statusBar()->currentMessage(), QStringLiteral("Retrieve data from file"));
    EXPECT_FALSE(readout->text().isEmpty());

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&view, &leave);
    EXPECT_TRUE(readout->text().isEmpty());
}

} // namespace
