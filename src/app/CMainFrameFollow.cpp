#include "app/CMainFrame.h"

#include "app/CFollowIntervalDlg.h"
#include "app/CommandIds.h"
#include "commands/Commands.h"
#include "core/AnalysisState.h"
#include "platform/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>

// Follow File: a timer looks at the data file between commands and runs
// the follow step when it may; any other command that replaces or edits
// the series ends the follow first.

namespace {
const QString followIntervalKey = QStringLiteral("Settings/followInterval");
} // namespace

void CMainFrame::createFollow()
{
    const double seconds = QSettings().value(followIntervalKey, DEFAULT_FOLLOW_SECONDS).toDouble();
    m_followSeconds = seconds >= MIN_FOLLOW_SECONDS && seconds <= MAX_FOLLOW_SECONDS
        ? seconds
        : DEFAULT_FOLLOW_SECONDS;
    m_followTimer = new QTimer(this);
    connect(m_followTimer, &QTimer::timeout, this, [this] { whenIdle(&CMainFrame::followLook); });
}

bool CMainFrame::following() const
{
    return m_followTimer->isActive();
}

void CMainFrame::OnFollowFile()
{
    if (commandAction(CommandIds::ID_FILE_FOLLOW)->isChecked())
        startFollow();
    else
        stopFollow(FOLLOW_STOPPED);
}

void CMainFrame::OnFollowInterval()
{
    CFollowIntervalDlg dialog(m_followSeconds, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_followSeconds = dialog.seconds();
    QSettings().setValue(followIntervalKey, m_followSeconds);
    m_followTimer->setInterval(static_cast<int>(m_followSeconds * 1000.0));
}

void CMainFrame::startFollow()
{
    QAction* action = commandAction(CommandIds::ID_FILE_FOLLOW);
    if (!canFollow(m_state)) {
        action->setChecked(false);
        showMessage(cannotFollowMessage(m_state.dataFileName));
        return;
    }
    action->setChecked(true);
    m_followChange = QFileInfo(QString::fromStdString(m_state.dataFileName)).lastModified();
    m_followTimer->start(static_cast<int>(m_followSeconds * 1000.0));
    showFollowText();
}

void CMainFrame::stopFollow(const QString& why)
{
    if (!following())
        return;
    m_followTimer->stop();
    commandAction(CommandIds::ID_FILE_FOLLOW)->setChecked(false);
    m_followText.clear();
    statusBar()->showMessage(why);
}

void CMainFrame::followLook()
{
    // A dialog or message box of its own may be open: the look waits.
    if (QApplication::activeModalWidget())
        return;
    const unsigned rows = m_state.sampleCount;
    const CommandOutcome outcome = runRecordCommand(followStep);
    if (outcome == CommandOutcome::CANCELLED) {
        stopFollow(QStringLiteral("Cancelled"));
        return;
    }
    if (outcome != CommandOutcome::DONE) {
        stopFollow(FOLLOW_STOPPED);
        return;
    }
    if (m_state.sampleCount != rows)
        m_followChange = QDateTime::currentDateTime();
    showFollowText();
}

void CMainFrame::showFollowText()
{
    m_followText = QStringLiteral("Following %1: %2 rows, last change %3")
                       .arg(QFileInfo(QString::fromStdString(m_state.dataFileName)).fileName())
                       .arg(m_state.sampleCount)
                       .arg(m_followChange.toString(QStringLiteral("HH:mm:ss")));
    statusBar()->showMessage(m_followText);
}
