#include "app/CMainFrame.h"

#include "app/CAboutDlg.h"
#include "app/CWelmoDoc.h"
#include "app/CWelmoView.h"
#include "app/CommandIds.h"
#include "app/Printing.h"
#include "core/AnalysisState.h"
#include "platform/FileOpenDialog.h"
#include "platform/MessageBox.h"

#include <QStatusBar>
#include <QToolBar>

namespace {
// Every file: "*.*" would hide the names without a dot.
FileOpenRequest documentRequest()
{
    FileOpenRequest request;
    request.title = "Open";
    request.filters = { "All Files (*)" };
    request.existingFilesOnly = true;
    return request;
}
} // namespace

void CMainFrame::OnFileNew()
{
    m_document->onNewDocument();
    invalidateWindow();
}

void CMainFrame::OnFileOpen()
{
    if (const auto pathName = getOpenFileName(this, documentRequest()))
        openDocument(QString::fromStdString(*pathName));
}

void CMainFrame::OnFileSave()
{
    // The document holds nothing, so writing it would replace the file it
    // was opened from by an empty one. Save leaves every file alone.
}

void CMainFrame::OnFilePrint()
{
    printView(*m_printer, *m_view, m_state);
}

void CMainFrame::OnFilePrintDirect()
{
    if (!renderPage(*m_printer, *m_view, m_state))
        showMessage("The document could not be printed.");
}

void CMainFrame::OnFilePrintPreview()
{
    printPreview(*m_printer, *m_view, m_state);
}

void CMainFrame::OnFilePrintSetup()
{
    printSetup(*m_printer, this);
}

void CMainFrame::OnAppAbout()
{
    CAboutDlg dialog(this);
    dialog.exec();
}

void CMainFrame::OnAppExit()
{
    close();
}

void CMainFrame::OnViewToolbar()
{
    m_wndToolBar->setVisible(m_wndToolBar->isHidden());
}

void CMainFrame::OnViewStatusBar()
{
    m_wndStatusBar->setVisible(m_wndStatusBar->isHidden());
    commandAction(CommandIds::ID_VIEW_STATUS_BAR)->setChecked(!m_wndStatusBar->isHidden());
}

// How the picture is looked at belongs to the view; the record is not
// touched.
void CMainFrame::OnViewAxes()
{
    m_view->setAxesShown(!m_view->axesShown());
    commandAction(CommandIds::ID_VIEW_AXES)->setChecked(m_view->axesShown());
}

void CMainFrame::OnViewZoomOut()
{
    m_view->zoomOut();
}

void CMainFrame::OnViewFitSpectrum()
{
    m_view->fitSpectrum();
}
