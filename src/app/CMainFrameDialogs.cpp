#include "app/CMainFrame.h"

#include "app/CWelmoView.h"

#include "app/CEditorCommandDlg.h"
#include "app/CPsdConfigDlg.h"
#include "app/CRunningAverageDlg.h"
#include "app/CSelectSegmentDlg.h"
#include "app/CTimeSeriesDlg.h"
#include "core/AnalysisState.h"

// The settings dialogs. Each loads the record when it is constructed and
// writes it back on OK; it lives only for one run.

void CMainFrame::runTimeSeriesDialog()
{
    CTimeSeriesDlg dialog(m_state, this);
    dialog.setProgress(progressCallback());
    if (m_offeredDataFile)
        dialog.offerDataFileName(*m_offeredDataFile);
    dialog.exec();
}

void CMainFrame::runPsdConfigDialog()
{
    CPsdConfigDlg dialog(m_state, this);
    dialog.exec();
}

void CMainFrame::runSelectSegmentDialog()
{
    CSelectSegmentDlg dialog(m_state, this);
    dialog.exec();
}

void CMainFrame::runRunningAverageDialog()
{
    CRunningAverageDlg dialog(m_state, this);
    dialog.setProgress(progressCallback());
    dialog.exec();
}

void CMainFrame::OnEditorCommand()
{
    CEditorCommandDlg dialog(m_state, this);
    dialog.exec();
}

void CMainFrame::progress(std::string_view step, double fraction)
{
    m_progress->report(step, fraction);
    m_view->followProgress(step, fraction);
}
