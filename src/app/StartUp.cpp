#include "app/StartUp.h"

#include "app/CMainFrame.h"
#include "app/CWelmoView.h"
#include "core/AnalysisState.h"

#include <QTimer>

std::unique_ptr<CMainFrame> startMainWindow(AnalysisState& state, const QString& documentPath)
{
    auto frame = std::make_unique<CMainFrame>(state);
    if (!documentPath.isEmpty() && !frame->openDocument(documentPath))
        return nullptr;
    resetAnalysisState(state);
    frame->show();
    frame->view().update();
    // A file named on the command line is offered to Retrieve Data once the
    // window is up; the user confirms its layout in the data dialog.
    if (!documentPath.isEmpty()) {
        CMainFrame* shown = frame.get();
        QTimer::singleShot(
            0, shown, [shown, documentPath] { shown->retrieveDataFrom(documentPath); });
    }
    return frame;
}
