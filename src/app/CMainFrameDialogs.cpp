#include "app/CMainFrame.h"

#include "core/AnalysisState.h"
#include "input/CRunningAverageDlg.h"
#include "input/CSelectSegmentDlg.h"
#include "input/CTimeSeriesDlg.h"
#include "output/CEditorCommandDlg.h"
#include "spectrum/CPsdConfigDlg.h"

// The settings dialogs. Each loads the record when it is constructed and
// writes it back on OK; it lives only for one run.

void CMainFrame::runTimeSeriesDialog()
{
    CTimeSeriesDlg dialog(m_state, this);
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
    dialog.exec();
}

void CMainFrame::OnEditorCommand()
{
    CEditorCommandDlg dialog(m_state, this);
    dialog.exec();
}
