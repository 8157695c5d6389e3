#include "app/CMainFrame.h"

#include "app/CWelmoDoc.h"
#include "app/CommandIds.h"
#include "commands/SpectrumReferences.h"
#include "core/AnalysisState.h"
#include "core/CFormat.h"
#include "output/PsdExport.h"
#include "output/ReferenceExport.h"
#include "platform/FileOpenDialog.h"
#include "platform/MessageBox.h"

#include <QAction>

// The reference spectra belong to the document: the record's snapshot
// never sees them, so keeping, clearing and exporting them is no record
// command.

namespace {
FileOpenRequest referenceFileRequest()
{
    FileOpenRequest request;
    request.title = "Export References";
    request.filters = { "Data Files (*.dat)", "All Files (*)" };
    request.existingFilesOnly = false;
    request.saving = true;
    return request;
}
} // namespace

void CMainFrame::updateReferenceActions()
{
    commandAction(CommandIds::ID_VIEW_KEEP_REFERENCE)
        ->setEnabled(m_state.psdValid != 0 && !m_state.psd.empty());
    commandAction(CommandIds::ID_VIEW_CLEAR_REFERENCES)
        ->setEnabled(!m_document->references().empty());
}

void CMainFrame::OnKeepReference()
{
    ReferenceCurves& references = m_document->references();
    if (const std::string refused = keepAsReference(m_state, references); !refused.empty()) {
        showMessage(refused);
        return;
    }
    statusMessage(formatC("Reference %zu of %zu kept", references.size(), MAX_REFERENCES));
    invalidateWindow();
}

void CMainFrame::OnClearReferences()
{
    m_document->references().clear();
    invalidateWindow();
}

void CMainFrame::OnExportReferences()
{
    const ReferenceCurves& references = m_document->references();
    if (references.empty()) {
        showMessage(NO_REFERENCES_TO_EXPORT);
        return;
    }
    if (!m_state.psdValid || m_state.psd.empty()) {
        showMessage(NO_SPECTRUM_TO_EXPORT);
        return;
    }
    const std::optional<std::string> chosen = getOpenFileName(this, referenceFileRequest());
    if (!chosen)
        return;
    std::string reason;
    if (writeReferenceFile(*chosen, spectrumIdentity(m_state), m_state.psd, references,
            m_state.exportMinLog, reason)
        != 0)
        showMessage(cannotWriteMessage(*chosen, reason));
}
