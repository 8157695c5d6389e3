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
struct ActionEntry {
    int id;
    const char* text;
    const char* prompt; // the status-bar text; empty for none
    const char* shortcuts; // "; "-separated key sequences
};

// Menu items, toolbar buttons and accelerators, one action per command id.
const ActionEntry actionEntries[] = {
    { ID_FILE_RETRIEVE_DATA, "Retrieve Data", "Retrieve data from file", "" },
    { ID_FILE_EXPORT_PSD, "Export PSD", "Save PSD in ASCII 2-column file (log-log)", "" },
    { ID_FILE_EXPORT_PICTURE, "Export P&icture...", "Save the window's picture as PNG, SVG or PDF",
        "" },
    { ID_FILE_PRINT, "&Print...", "Print the active document", "Ctrl+P" },
    { ID_FILE_PRINT_PREVIEW, "Print Pre&view", "Display full pages", "" },
    { ID_FILE_PRINT_SETUP, "P&rint Setup...", "Change the printer and printing options", "" },
    { ID_APP_EXIT, "E&xit", "Quit the application; prompts to save documents", "" },
    { ID_VIEW_TOOLBAR, "&Toolbar", "Show or hide the toolbar", "" },
    { ID_VIEW_STATUS_BAR, "&Status Bar", "Show or hide the status bar", "" },
    { ID_VIEW_EDIT_DATA_FILE, "Edit Data File", "", "" },
    { ID_VIEW_EDIT_PSD_FILE, "Edit PSD file", "", "" },
    { ID_VIEW_REFRESH_SCREEN, "Refresh Screen", "redraw signal and psd", "" },
    { ID_VIEW_AXES, "&Axes", "Show or hide ticks, labels and titles on the axes", "" },
    { ID_VIEW_ZOOM_OUT, "Zoom &Out", "Show the whole picture again", "" },
    { ID_VIEW_FIT_SPECTRUM, "&Fit Spectrum", "Zoom the spectrum onto the bins it draws", "" },
    { ID_SETTINGS_PSD_CONFIG, "PSD configuration", "", "" },
    { ID_SETTINGS_GRAPHICS, "Graphics", "", "" },
    { ID_SETTINGS_ORIGINAL_DATA, "Get Original data", "", "" },
    { ID_SETTINGS_SELECT_SEGMENT, "Select Segment", "", "" },
    { ID_SETTINGS_RUNNING_AVERAGE, "Running Average", "", "" },
    { ID_SETTINGS_EDITOR_COMMAND, "Editor's command", "", "" },
    { ID_APP_ABOUT, "&About Welmo...", "Display program information, version number and copyright",
        "" },
    { ID_TOOLBAR_RETRIEVE, "Retrieve", "Retrieve time-series data from file", "" },
    { ID_TOOLBAR_PSD_CONFIG, "PSD", "", "" },
    { ID_TOOLBAR_REDRAW, "Redraw", "Redraw", "" },
    { ID_TOOLBAR_LOWER_LB, "LB-", "Lower LB -4", "" },
    { ID_TOOLBAR_HIGHER_LB, "LB+", "Higher LB +4", "" },
    { ID_FILE_NEW, "&New", "Create a new document", "Ctrl+N" },
    { ID_FILE_OPEN, "&Open...", "Open an existing document", "Ctrl+O" },
    { ID_FILE_SAVE, "&Save", "Save the active document", "Ctrl+S" },
    { ID_EDIT_UNDO, "&Undo", "", "Ctrl+Z; Alt+Backspace" },
    { ID_EDIT_CUT, "Cu&t", "", "Ctrl+X; Shift+Del" },
    { ID_EDIT_COPY, "&Copy", "", "Ctrl+C; Ctrl+Ins" },
    { ID_EDIT_PASTE, "&Paste", "", "Ctrl+V; Shift+Ins" },
    { ID_NEXT_PANE, "Next Pane", "", "F6" },
    { ID_PREV_PANE, "Previous Pane", "", "Shift+F6" },
};

// 0 stands for a separator.
const int fileMenu[] = { ID_FILE_RETRIEVE_DATA, ID_FILE_EXPORT_PSD, ID_FILE_EXPORT_PICTURE, 0,
    ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP, 0, ID_APP_EXIT };
const int viewMenu[]
    = { ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, 0, ID_VIEW_EDIT_DATA_FILE, ID_VIEW_EDIT_PSD_FILE,
          ID_VIEW_REFRESH_SCREEN, 0, ID_VIEW_AXES, ID_VIEW_ZOOM_OUT, ID_VIEW_FIT_SPECTRUM };
const int settingsMenu[]
    = { ID_SETTINGS_PSD_CONFIG, ID_SETTINGS_GRAPHICS, 0, ID_SETTINGS_ORIGINAL_DATA,
          ID_SETTINGS_SELECT_SEGMENT, ID_SETTINGS_RUNNING_AVERAGE, 0, ID_SETTINGS_EDITOR_COMMAND };
const int aboutMenu[] = { ID_APP_ABOUT };
const int toolBarButtons[] = { ID_TOOLBAR_RETRIEVE, ID_TOOLBAR_PSD_CONFIG, ID_TOOLBAR_REDRAW, 0,
    ID_TOOLBAR_LOWER_LB, ID_TOOLBAR_HIGHER_LB };
// Commands reached only through the keyboard.
const int acceleratorOnly[] = { ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_EDIT_UNDO, ID_EDIT_CUT,
    ID_EDIT_COPY, ID_EDIT_PASTE, ID_NEXT_PANE, ID_PREV_PANE };

struct ToolBarGlyph {
    int id;
    const char* resource;
};
const ToolBarGlyph toolBarGlyphs[] = {
    { ID_TOOLBAR_RETRIEVE, ":/icons/retrieve.svg" },
    { ID_TOOLBAR_PSD_CONFIG, ":/icons/psdconfig.svg" },
    { ID_TOOLBAR_REDRAW, ":/icons/redraw.svg" },
    { ID_TOOLBAR_LOWER_LB, ":/icons/lowerlb.svg" },
    { ID_TOOLBAR_HIGHER_LB, ":/icons/higherlb.svg" },
};

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

QAction* CMainFrame::makeAction(
    int id, const QString& text, const QString& prompt, const QList<QKeySequence>& shortcuts)
{
    auto* action = new QAction(text, this);
    action->setData(id);
    action->setStatusTip(prompt);
    action->setShortcuts(shortcuts);
    connect(action, &QAction::triggered, this, [this, id] { onCommand(id); });
    m_actions.insert(id, action);
    return action;
}

void CMainFrame::createActions()
{
    for (const ActionEntry& entry : actionEntries) {
        QList<QKeySequence> shortcuts;
        for (const QString& keys :
            QString::fromLatin1(entry.shortcuts).split(QStringLiteral("; "), Qt::SkipEmptyParts))
            shortcuts.append(QKeySequence(keys, QKeySequence::PortableText));
        makeAction(entry.id, QString::fromLatin1(entry.text), QString::fromLatin1(entry.prompt),
            shortcuts);
    }
    commandAction(ID_VIEW_TOOLBAR)->setCheckable(true);
    commandAction(ID_VIEW_STATUS_BAR)->setCheckable(true);
    for (int id : acceleratorOnly)
        addAction(commandAction(id));

    // How the picture is looked at belongs to the view.
    QAction* axes = commandAction(ID_VIEW_AXES);
    axes->setCheckable(true);
    axes->setChecked(m_view->axesShown());
    connect(axes, &QAction::toggled, m_view, &CWelmoView::setAxesShown);
    connect(commandAction(ID_VIEW_ZOOM_OUT), &QAction::triggered, m_view, &CWelmoView::zoomOut);
    connect(
        commandAction(ID_VIEW_FIT_SPECTRUM), &QAction::triggered, m_view, &CWelmoView::fitSpectrum);
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
    for (const ToolBarGlyph& glyph : toolBarGlyphs)
        commandAction(glyph.id)->setIcon(QIcon(QString::fromLatin1(glyph.resource)));
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
        m_wndStatusBar->showMessage(QStringLiteral("Ready"));
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip)
        return true;
    return QMainWindow::eventFilter(watched, event);
}
