#include "app/StartUp.h"

#include "app/CMainFrame.h"
#include "app/CWelmoView.h"
#include "core/AnalysisState.h"

std::unique_ptr<CMainFrame> startMainWindow(AnalysisState& state, const QString& documentPath)
{
    auto frame = std::make_unique<CMainFrame>(state);
    if (!documentPath.isEmpty() && !frame->openDocument(documentPath))
        return nullptr;
    resetAnalysisState(state);
    frame->show();
    frame->view().update();
    return frame;
}
