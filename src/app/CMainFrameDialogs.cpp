#include "app/CMainFrame.h"

#include "app/CWelmoView.h"

#include "app/CEditorCommandDlg.h"
#include "app/CExportPsdDlg.h"
#include "app/CPsdConfigDlg.h"
#include "app/CRunningAverageDlg.h"
#include "app/CSelectSegmentDlg.h"
#include "app/CTimeSeriesDlg.h"
#include "commands/Commands.h"
#include "core/AnalysisState.h"

// The dialogs of the commands. Each loads the record when it is constructed
// and lives only for one run; on OK it hands back the values it took.

std::optional<TimeSeriesChoice> CMainFrame::runTimeSeriesDialog()
{
    CTimeSeriesDlg dialog(m_state, this);
    dialog.setRowCounter(
        [this](const TimeSeriesChoice& layout) { return countRows(layout, *this); });
    if (m_offeredDataFile)
        dialog.offerDataFileName(*m_offeredDataFile);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

std::optional<PsdChoice> CMainFrame::runPsdConfigDialog()
{
    CPsdConfigDlg dialog(m_state, this);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

std::optional<SegmentChoice> CMainFrame::runSelectSegmentDialog()
{
    CSelectSegmentDlg dialog(m_state, this);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.segment();
}

std::optional<int> CMainFrame::runRunningAverageDialog()
{
    CRunningAverageDlg dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.window();
}

std::optional<ExportChoice> CMainFrame::runExportPsdDialog()
{
    CExportPsdDlg dialog(m_state, this);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

void CMainFrame::OnEditorCommand()
{
    CEditorCommandDlg dialog(m_state, this);
    dialog.exec();
}

bool CMainFrame::progress(std::string_view step, double fraction)
{
    return m_progress->report(step, fraction);
}

void CMainFrame::cancelled()
{
    m_progress->showCancelled();
}
