#include "app/CMainFrame.h"

#include "app/CommandIds.h"

using namespace CommandIds;

namespace {
struct Route {
    int id;
    const char* handlerName;
    void (CMainFrame::*handler)();
};

// Every command that does something. The Edit commands and the pane keys
// have no entry: their keys reach no handler and nothing happens.
const Route routes[] = {
    { ID_TOOLBAR_RETRIEVE, "OnRetrieveData", &CMainFrame::OnRetrieveData },
    { ID_FILE_RETRIEVE_DATA, "OnRetrieveData", &CMainFrame::OnRetrieveData },
    { ID_TOOLBAR_PSD_CONFIG, "OnPsdConfiguration", &CMainFrame::OnPsdConfiguration },
    { ID_SETTINGS_PSD_CONFIG, "OnPsdConfiguration", &CMainFrame::OnPsdConfiguration },
    { ID_FILE_EXPORT_PSD, "OnExportPsd", &CMainFrame::OnExportPsd },
    { ID_FILE_EXPORT_PICTURE, "OnExportPicture", &CMainFrame::OnExportPicture },
    { ID_SETTINGS_GRAPHICS, "OnGraphics", &CMainFrame::OnGraphics },
    { ID_SETTINGS_EDITOR_COMMAND, "OnEditorCommand", &CMainFrame::OnEditorCommand },
    { ID_SETTINGS_ORIGINAL_DATA, "OnGetOriginalData", &CMainFrame::OnGetOriginalData },
    { ID_SETTINGS_SELECT_SEGMENT, "OnSelectSegment", &CMainFrame::OnSelectSegment },
    { ID_SETTINGS_RUNNING_AVERAGE, "OnRunningAverage", &CMainFrame::OnRunningAverage },
    { ID_VIEW_EDIT_DATA_FILE, "OnEditDataFile", &CMainFrame::OnEditDataFile },
    { ID_VIEW_EDIT_PSD_FILE, "OnEditPsdFile", &CMainFrame::OnEditPsdFile },
    { ID_VIEW_REFRESH_SCREEN, "OnRefreshScreen", &CMainFrame::OnRefreshScreen },
    { ID_TOOLBAR_REDRAW, "OnRefreshScreen", &CMainFrame::OnRefreshScreen },
    { ID_TOOLBAR_LOWER_LB, "OnLowerLb", &CMainFrame::OnLowerLb },
    { ID_TOOLBAR_HIGHER_LB, "OnHigherLb", &CMainFrame::OnHigherLb },
    { ID_FILE_PRINT, "OnFilePrint", &CMainFrame::OnFilePrint },
    { ID_FILE_PRINT_DIRECT, "OnFilePrintDirect", &CMainFrame::OnFilePrintDirect },
    { ID_FILE_PRINT_PREVIEW, "OnFilePrintPreview", &CMainFrame::OnFilePrintPreview },
    { ID_FILE_NEW, "OnFileNew", &CMainFrame::OnFileNew },
    { ID_FILE_OPEN, "OnFileOpen", &CMainFrame::OnFileOpen },
    { ID_FILE_SAVE, "OnFileSave", &CMainFrame::OnFileSave },
    { ID_FILE_PRINT_SETUP, "OnFilePrintSetup", &CMainFrame::OnFilePrintSetup },
    { ID_APP_ABOUT, "OnAppAbout", &CMainFrame::OnAppAbout },
    { ID_APP_EXIT, "OnAppExit", &CMainFrame::OnAppExit },
    { ID_VIEW_TOOLBAR, "OnViewToolbar", &CMainFrame::OnViewToolbar },
    { ID_VIEW_STATUS_BAR, "OnViewStatusBar", &CMainFrame::OnViewStatusBar },
};

const Route* findRoute(int id)
{
    for (const Route& route : routes)
        if (route.id == id)
            return &route;
    return nullptr;
}
} // namespace

bool CMainFrame::onCommand(int id)
{
    const Route* route = findRoute(id);
    if (!route)
        return false;
    (this->*route->handler)();
    return true;
}

const char* CMainFrame::handlerName(int id)
{
    const Route* route = findRoute(id);
    return route ? route->handlerName : nullptr;
}
