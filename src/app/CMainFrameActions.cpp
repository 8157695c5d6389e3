#include "app/CMainFrame.h"

#include "app/CWelmoView.h"
#include "app/CommandIds.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

using namespace CommandIds;

namespace {
using Handler = void (CMainFrame::*)();

struct CommandEntry {
    int id;
    const char* text;
    const char* prompt; // the status-bar text; empty for none
    const char* shortcuts; // "; "-separated key sequences
    const char* icon; // the toolbar glyph, or nullptr
    Handler handler; // nullptr: the command reaches nothing and does nothing
    bool checkable = false;
};

// Every command of the menus, the toolbar and the accelerators, with the
// handler its action calls. The Edit commands and the pane keys have no
// handler: their keys do nothing.
const CommandEntry commandTable[] = {
    { ID_FILE_RETRIEVE_DATA, "Retrieve Data", "Retrieve data from file", "", nullptr,
        &CMainFrame::OnRetrieveData },
    { ID_FILE_EXPORT_PSD, "Export PSD", "Save PSD in ASCII 2-column file (log-log)", "", nullptr,
        &CMainFrame::OnExportPsd },
    { ID_FILE_EXPORT_REFERENCES, "Export &References...",
        "Save the live spectrum and every reference in one text file", "", nullptr,
        &CMainFrame::OnExportReferences },
    { ID_FILE_EXPORT_PICTURE, "Export P&icture...", "Save the window's picture as PNG, SVG or PDF",
        "", nullptr, &CMainFrame::OnExportPicture },
    { ID_FILE_FOLLOW, "&Follow File", "Read the rows appended to the data file as it grows", "",
        ":/icons/follow.svg", &CMainFrame::OnFollowFile, true },
    { ID_FILE_PRINT, "&Print...", "Print the active document", "Ctrl+P", nullptr,
        &CMainFrame::OnFilePrint },
    { ID_FILE_PRINT_PREVIEW, "Print Pre&view", "Display full pages", "", nullptr,
        &CMainFrame::OnFilePrintPreview },
    { ID_FILE_PRINT_SETUP, "P&rint Setup...", "Change the printer and printing options", "",
        nullptr, &CMainFrame::OnFilePrintSetup },
    { ID_APP_EXIT, "E&xit", "Quit the application; prompts to save documents", "", nullptr,
        &CMainFrame::OnAppExit },
    { ID_VIEW_TOOLBAR, "&Toolbar", "Show or hide the toolbar", "", nullptr,
        &CMainFrame::OnViewToolbar, true },
    { ID_VIEW_STATUS_BAR, "&Status Bar", "Show or hide the status bar", "", nullptr,
        &CMainFrame::OnViewStatusBar, true },
    { ID_VIEW_EDIT_DATA_FILE, "Edit Data File", "", "", nullptr, &CMainFrame::OnEditDataFile },
    { ID_VIEW_EDIT_PSD_FILE, "Edit PSD file", "", "", nullptr, &CMainFrame::OnEditPsdFile },
    { ID_VIEW_REFRESH_SCREEN, "Refresh Screen", "redraw signal and psd", "", nullptr,
        &CMainFrame::OnRefreshScreen },
    { ID_VIEW_AXES, "&Axes", "Show or hide ticks, labels and titles on the axes", "", nullptr,
        &CMainFrame::OnViewAxes, true },
    { ID_VIEW_KEEP_REFERENCE, "&Keep as Reference",
        "Keep the spectrum as a reference curve to compare with", "", nullptr,
        &CMainFrame::OnKeepReference },
    { ID_VIEW_CLEAR_REFERENCES, "C&lear References", "Remove every reference curve", "", nullptr,
        &CMainFrame::OnClearReferences },
    { ID_VIEW_ZOOM_OUT, "Zoom &Out", "Show the whole picture again", "", nullptr,
        &CMainFrame::OnViewZoomOut },
    { ID_VIEW_FIT_SPECTRUM, "&Fit Spectrum", "Zoom the spectrum onto the bins it draws", "",
        nullptr, &CMainFrame::OnViewFitSpectrum },
    { ID_SETTINGS_PSD_CONFIG, "PSD configuration", "", "", nullptr,
        &CMainFrame::OnPsdConfiguration },
    { ID_SETTINGS_GRAPHICS, "Graphics", "", "", nullptr, &CMainFrame::OnGraphics },
    { ID_SETTINGS_ORIGINAL_DATA, "Get Original data", "", "", nullptr,
        &CMainFrame::OnGetOriginalData },
    { ID_SETTINGS_SELECT_SEGMENT, "Select Segment", "", "", nullptr, &CMainFrame::OnSelectSegment },
    { ID_SETTINGS_RUNNING_AVERAGE, "Running Average", "", "", nullptr,
        &CMainFrame::OnRunningAverage },
    { ID_SETTINGS_FOLLOW_INTERVAL, "Follow Interval...",
        "Set the seconds between two looks at a followed file", "", nullptr,
        &CMainFrame::OnFollowInterval },
    { ID_SETTINGS_EDITOR_COMMAND, "Editor's command", "", "", nullptr,
        &CMainFrame::OnEditorCommand },
    { ID_APP_ABOUT, "&About Welmo...", "Display program information, version number and copyright",
        "", nullptr, &CMainFrame::OnAppAbout },
    { ID_TOOLBAR_RETRIEVE, "Retrieve", "Retrieve time-series data from file", "",
        ":/icons/retrieve.svg", &CMainFrame::OnRetrieveData },
    { ID_TOOLBAR_PSD_CONFIG, "PSD", "", "", ":/icons/psdconfig.svg",
        &CMainFrame::OnPsdConfiguration },
    { ID_TOOLBAR_REDRAW, "Redraw", "Redraw", "", ":/icons/redraw.svg",
        &CMainFrame::OnRefreshScreen },
    { ID_TOOLBAR_LOWER_LB, "LB-", "Lower LB -4", "", ":/icons/lowerlb.svg",
        &CMainFrame::OnLowerLb },
    { ID_TOOLBAR_HIGHER_LB, "LB+", "Higher LB +4", "", ":/icons/higherlb.svg",
        &CMainFrame::OnHigherLb },
    { ID_FILE_NEW, "&New", "Create a new document", "Ctrl+N", nullptr, &CMainFrame::OnFileNew },
    { ID_FILE_OPEN, "&Open...", "Open an existing document", "Ctrl+O", nullptr,
        &CMainFrame::OnFileOpen },
    { ID_FILE_SAVE, "&Save", "Save the active document", "Ctrl+S", nullptr,
        &CMainFrame::OnFileSave },
    { ID_EDIT_UNDO, "&Undo", "", "Ctrl+Z; Alt+Backspace", nullptr, nullptr },
    { ID_EDIT_CUT, "Cu&t", "", "Ctrl+X; Shift+Del", nullptr, nullptr },
    { ID_EDIT_COPY, "&Copy", "", "Ctrl+C; Ctrl+Ins", nullptr, nullptr },
    { ID_EDIT_PASTE, "&Paste", "", "Ctrl+V; Shift+Ins", nullptr, nullptr },
    { ID_NEXT_PANE, "Next Pane", "", "F6", nullptr, nullptr },
    { ID_PREV_PANE, "Previous Pane", "", "Shift+F6", nullptr, nullptr },
};

QList<QKeySequence> shortcutsOf(const CommandEntry& entry)
{
    QList<QKeySequence> shortcuts;
    for (const QString& keys :
        QString::fromLatin1(entry.shortcuts).split(QStringLiteral("; "), Qt::SkipEmptyParts))
        shortcuts.append(QKeySequence(keys, QKeySequence::PortableText));
    return shortcuts;
}

QAction* makeAction(const CommandEntry& entry, CMainFrame* frame)
{
    auto* action = new QAction(QString::fromLatin1(entry.text), frame);
    action->setData(entry.id);
    action->setStatusTip(QString::fromLatin1(entry.prompt));
    action->setShortcuts(shortcutsOf(entry));
    action->setCheckable(entry.checkable);
    if (entry.icon)
        action->setIcon(QIcon(QString::fromLatin1(entry.icon)));
    return action;
}

// 0 stands for a separator.
const int fileMenu[] = { ID_FILE_RETRIEVE_DATA, ID_FILE_FOLLOW, ID_FILE_EXPORT_PSD,
    ID_FILE_EXPORT_REFERENCES, ID_FILE_EXPORT_PICTURE, 0, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW,
    ID_FILE_PRINT_SETUP, 0, ID_APP_EXIT };
const int viewMenu[] = { ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, 0, ID_VIEW_EDIT_DATA_FILE,
    ID_VIEW_EDIT_PSD_FILE, ID_VIEW_REFRESH_SCREEN, 0, ID_VIEW_AXES, ID_VIEW_ZOOM_OUT,
    ID_VIEW_FIT_SPECTRUM, 0, ID_VIEW_KEEP_REFERENCE, ID_VIEW_CLEAR_REFERENCES };
const int settingsMenu[] = { ID_SETTINGS_PSD_CONFIG, ID_SETTINGS_GRAPHICS, 0,
    ID_SETTINGS_ORIGINAL_DATA, ID_SETTINGS_SELECT_SEGMENT, ID_SETTINGS_RUNNING_AVERAGE, 0,
    ID_SETTINGS_FOLLOW_INTERVAL, ID_SETTINGS_EDITOR_COMMAND };
const int aboutMenu[] = { ID_APP_ABOUT };
const int toolBarButtons[] = { ID_TOOLBAR_RETRIEVE, ID_TOOLBAR_PSD_CONFIG, ID_TOOLBAR_REDRAW, 0,
    ID_TOOLBAR_LOWER_LB, ID_TOOLBAR_HIGHER_LB, 0, ID_FILE_FOLLOW };
// Commands reached only through the keyboard.
const int acceleratorOnly[] = { ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_EDIT_UNDO, ID_EDIT_CUT,
    ID_EDIT_COPY, ID_EDIT_PASTE, ID_NEXT_PANE, ID_PREV_PANE };

template <std::size_t N> void fillMenu(QMenu* menu, const int (&ids)[N], const CMainFrame& frame)
{
    for (int id : ids) {
        if (id == 0)
            menu->addSeparator();
        else
            menu->addAction(frame.commandAction(id));
    }
}
} // namespace

void CMainFrame::createActions()
{
    for (const CommandEntry& entry : commandTable) {
        QAction* action = makeAction(entry, this);
        m_actions.insert(entry.id, action);
        if (entry.handler)
            connect(action, &QAction::triggered, this,
                [this, handler = entry.handler] { whenIdle(handler); });
    }
    for (int id : acceleratorOnly)
        addAction(commandAction(id));
    commandAction(ID_VIEW_AXES)->setChecked(m_view->axesShown());
    updateReferenceActions();
}

void CMainFrame::whenIdle(void (CMainFrame::*handler)())
{
    if (!m_recordCommandRunning)
        (this->*handler)();
}

void CMainFrame::createMenus()
{
    fillMenu(menuBar()->addMenu(QStringLiteral("&File")), fileMenu, *this);
    fillMenu(menuBar()->addMenu(QStringLiteral("&View")), viewMenu, *this);
    fillMenu(menuBar()->addMenu(QStringLiteral("Settings")), settingsMenu, *this);
    fillMenu(menuBar()->addMenu(QStringLiteral("About")), aboutMenu, *this);
}

void CMainFrame::createToolBars()
{
    m_wndToolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_wndToolBar->setObjectName(QStringLiteral("mainToolBar"));
    m_wndToolBar->setMovable(true);
    m_wndToolBar->setFloatable(true);
    m_wndToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_wndToolBar->setIconSize(QSize(20, 20));
    for (int id : toolBarButtons) {
        if (id == 0)
            m_wndToolBar->addSeparator();
        else
            m_wndToolBar->addAction(commandAction(id));
    }
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);

    // The prompts have no short-name part, so the buttons show no tooltip;
    // QToolButton would otherwise fall back to the action's text.
    m_wndToolBar->installEventFilter(this);
    for (QWidget* child : m_wndToolBar->findChildren<QWidget*>())
        child->installEventFilter(this);

    QAction* toggle = commandAction(ID_VIEW_TOOLBAR);
    toggle->setChecked(true);
    connect(m_wndToolBar, &QToolBar::visibilityChanged, toggle,
        [this, toggle] { toggle->setChecked(!m_wndToolBar->isHidden()); });
}

void CMainFrame::createStatusBar()
{
    m_wndStatusBar = new QStatusBar(this);
    m_wndStatusBar->setObjectName(QStringLiteral("statusBar"));
    setStatusBar(m_wndStatusBar);

    // Qt cannot read the keyboard lock states on every platform, so the
    // indicator panes always show their text, greyed.
    for (const char* indicator : { "CAP", "NUM", "SCRL" }) {
        auto* pane = new QLabel(QString::fromLatin1(indicator), m_wndStatusBar);
        pane->setObjectName(QStringLiteral("indicator") + QString::fromLatin1(indicator));
        pane->setAlignment(Qt::AlignCenter);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 8);
        pane->setEnabled(false);
        m_wndStatusBar->addPermanentWidget(pane);
    }
    m_progress = new ProgressDisplay(m_wndStatusBar);
    // The readout has a pane of its own, so the menu prompts keep theirs.
    m_readout = new QLabel(m_wndStatusBar);
    m_readout->setObjectName(QStringLiteral("readout"));
    m_wndStatusBar->insertPermanentWidget(0, m_readout);
    connect(m_view, &CWelmoView::readoutChanged, m_readout, &QLabel::setText);
    connect(m_wndStatusBar, &QStatusBar::messageChanged, this, &CMainFrame::showIdleText);
    m_wndStatusBar->showMessage(QStringLiteral("Ready"));

    commandAction(ID_VIEW_STATUS_BAR)->setChecked(true);
}

void CMainFrame::showIdleText(const QString& message)
{
    // A prompt clears when the pointer leaves its item; the idle text
    // takes its place.
    if (message.isEmpty())
        m_wndStatusBar->showMessage(
            m_followText.isEmpty() ? QStringLiteral("Ready") : m_followText);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip)
        return true;
    return QMainWindow::eventFilter(watched, event);
}
