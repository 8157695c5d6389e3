#include "CommandWindowFixture.h"

#include "core/CFormat.h"
#include "support/FileContents.h"

#include <QAction>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace {

// Written without the locale, which the window has set from the
// environment.
std::string sawtoothRows(unsigned from, unsigned to)
{
    std::string text;
    for (unsigned i = from; i <= to; ++i)
        text += formatC("%u %.9g\n", i, static_cast<double>(sawtoothSample(i)));
    return text;
}

class FollowWindow : public CommandWindow {
protected:
    void SetUp() override
    {
        CommandWindow::SetUp();
        // Looks a tenth of a second apart, so that the test need not wait.
        QSettings().setValue(QStringLiteral("Settings/followInterval"), 0.1);
        startWindow();
        m_file = m_exportDir.filePath(QStringLiteral("run.dat")).toStdString();
        EXPECT_TRUE(appendToFile(m_file, "t x\n" + sawtoothRows(1, SAWTOOTH_ROWS)));
        retrieve(m_file, "512");
        ASSERT_TRUE(m_messages.empty());
    }

    QAction* follow() const { return m_frame->commandAction(CommandIds::ID_FILE_FOLLOW); }
    QString statusText() const { return m_frame->statusBar()->currentMessage(); }

    std::string m_file;
};

} // namespace

TEST_F(FollowWindow, LooksAppendRowsUntilACommandEndsTheFollow)
{
    EXPECT_EQ(m_frame->followSeconds(), 0.1);
    follow()->trigger();
    ASSERT_TRUE(m_frame->following());
    EXPECT_TRUE(
        statusText().startsWith(QStringLiteral("Following run.dat: 512 rows, last change ")));
    EXPECT_TRUE(appendToFile(m_file, sawtoothRows(513, 600) + "601"));
    QTRY_COMPARE_WITH_TIMEOUT(m_state.sampleCount, 600u, 10000);
    EXPECT_TRUE(statusText().startsWith(QStringLiteral("Following run.dat: 600 rows")));
    EXPECT_EQ(m_state.psdValid, 1);
    for (unsigned i = 1; i <= 600; ++i)
        ASSERT_EQ(m_state.series[i], sawtoothSample(i)) << i;

    // Select Segment ends the follow before its dialog, Cancel or not.
    QSignalSpy shown(m_frame->statusBar(), &QStatusBar::messageChanged);
    command(CommandIds::ID_SETTINGS_SELECT_SEGMENT,
        [](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
    EXPECT_FALSE(m_frame->following());
    EXPECT_FALSE(follow()->isChecked());
    EXPECT_TRUE(std::any_of(shown.begin(), shown.end(),
        [](const QList<QVariant>& args) { return args[0] == CMainFrame::FOLLOW_STOPPED; }));
    EXPECT_TRUE(m_messages.empty());
}
