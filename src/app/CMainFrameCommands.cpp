#include "app/CMainFrame.h"

#include "app/CGraphicsDlg.h"
#include "app/CWelmoView.h"
#include "app/HeldPicture.h"
#include "app/PictureExport.h"
#include "commands/Commands.h"
#include "core/AnalysisState.h"
#include "output/EditorLaunch.h"
#include "output/PsdExport.h"
#include "platform/FileOpenDialog.h"
#include "platform/MessageBox.h"
#include "spectrum/SpectralMeasures.h"

// The analysis commands: each hands the record and this window to its
// sequence, which runs the dialog, does the work and asks for the repaint.

CommandOutcome CMainFrame::runRecordCommand(
    CommandOutcome (*sequence)(AnalysisState&, CommandHost&))
{
    m_recordCommandRunning = true;
    CommandOutcome outcome;
    {
        PictureHoldScope<CWelmoView> hold(*m_view);
        outcome = sequence(m_state, *this);
    }
    m_recordCommandRunning = false;
    updateReferenceActions();
    return outcome;
}

void CMainFrame::OnRetrieveData()
{
    stopFollow(FOLLOW_STOPPED);
    runRecordCommand(retrieveData);
}

void CMainFrame::OnPsdConfiguration()
{
    runRecordCommand(psdConfiguration);
}

void CMainFrame::OnGetOriginalData()
{
    stopFollow(FOLLOW_STOPPED);
    runRecordCommand(getOriginalData);
}

void CMainFrame::OnSelectSegment()
{
    stopFollow(FOLLOW_STOPPED);
    runRecordCommand(selectSegment);
}

void CMainFrame::OnRunningAverage()
{
    stopFollow(FOLLOW_STOPPED);
    runRecordCommand(runningAverage);
}

void CMainFrame::OnRefreshScreen()
{
    refreshScreen(*this);
}

void CMainFrame::OnLowerLb()
{
    lowerLb(m_state);
    invalidateWindow();
}

void CMainFrame::OnHigherLb()
{
    higherLb(m_state);
    invalidateWindow();
}

void CMainFrame::OnExportPicture()
{
    const std::optional<std::string> chosen = getOpenFileName(this, pictureFileRequest());
    if (!chosen)
        return;
    std::string reason;
    const QString name = pictureExportName(QString::fromStdString(*chosen));
    if (!exportPicture(m_state, m_view->pictureView(), name, m_view->size(), reason))
        showMessage(cannotWriteMessage(name.toStdString(), reason));
}

void CMainFrame::OnGraphics()
{
    CGraphicsDlg dialog(m_state, this);
    dialog.exec();
    // Cancel repaints too: the picture is redrawn after every run.
    invalidateWindow();
}

void CMainFrame::OnExportPsd()
{
    runRecordCommand(exportPsdFile);
}

void CMainFrame::OnEditDataFile()
{
    editFile(m_state.dataFileName);
}

void CMainFrame::OnEditPsdFile()
{
    editFile(m_state.psdFileName);
}

void CMainFrame::editFile(const std::string& fileName)
{
    if (runEditor(m_state.editorCommand, fileName) != 0)
        showMessage(cannotRunEditorMessage(m_state.editorCommand));
}
