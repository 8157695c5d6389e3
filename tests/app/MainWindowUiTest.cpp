#include "MainWindowFixture.h"

#include "app/CWelmoDoc.h"
#include "app/CommandIds.h"
#include "app/StartUp.h"

#include <QAction>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

using namespace CommandIds;

namespace {

// Notes the record as it stands when the main window is shown and when the
// view first paints.
class StartUpWatch : public QObject {
public:
    explicit StartUpWatch(const AnalysisState& state)
        : m_state(state)
    {
    }
    int psdSizeAtShow = -1;
    int psdSizeAtFirstPaint = -1;
    double signalMinAtFirstPaint = 0.0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<CMainFrame*>(watched))
            psdSizeAtShow = m_state.psdSize;
        if (event->type() == QEvent::Paint && qobject_cast<CWelmoView*>(watched)
            && psdSizeAtFirstPaint < 0) {
            psdSizeAtFirstPaint = m_state.psdSize;
            signalMinAtFirstPaint = m_state.signalMin;
        }
        return false;
    }

private:
    const AnalysisState& m_state;
};

QStringList indicatorTexts(QStatusBar* bar)
{
    QStringList texts;
    for (QLabel* pane : bar->findChildren<QLabel*>()) {
        if (pane->objectName().startsWith(QStringLiteral("indicator")))
            texts << pane->text();
    }
    return texts;
}

} // namespace

TEST_F(MainWindowTest, StartUpResetsTheRecordBeforeTheFirstPaint)
{
    // Values the reset replaces: the first paint must not see them.
    m_state.psdSize = 7;
    m_state.signalMin = 3.0;
    StartUpWatch watch(m_state);
    qApp->installEventFilter(&watch);
    m_frame = startMainWindow(m_state, QString());
    ASSERT_NE(m_frame, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_frame.get()));
    waitForPaint();
    qApp->removeEventFilter(&watch);

    EXPECT_EQ(watch.psdSizeAtShow, 1024);
    EXPECT_EQ(watch.psdSizeAtFirstPaint, 1024);
    EXPECT_EQ(watch.signalMinAtFirstPaint, -1.0);
    EXPECT_EQ(m_frame->windowTitle().toStdString(), " ZQ_PSD test.dat - Welmo");
    EXPECT_EQ(m_frame->statusBar()->currentMessage().toStdString(), "Ready");
    EXPECT_EQ(indicatorTexts(m_frame->statusBar()),
        (QStringList { QStringLiteral("CAP"), QStringLiteral("NUM"), QStringLiteral("SCRL") }));
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(MainWindowTest, StartUpFailsOnADocumentThatCannotBeOpened)
{
    m_frame = startMainWindow(m_state, m_settingsDir.filePath(QStringLiteral("missing.dat")));
    EXPECT_EQ(m_frame, nullptr);
    EXPECT_EQ(m_messages, std::vector<std::string> { "Failed to open document." });
}

TEST_F(MainWindowTest, MenusHoldEveryItemWithItsCommandAndPrompt)
{
    struct Item {
        const char* text; // nullptr for a separator
        int id;
        const char* prompt;
        bool enabled = true; // at start-up, without a spectrum
    };
    struct Menu {
        const char* title;
        std::vector<Item> items;
    };
    const std::vector<Menu> expected = {
        { "&File",
            { { "Retrieve Data", 32775, "Retrieve data from file" },
                { "&Follow File", 32800, "Read the rows appended to the data file as it grows" },
                { "Export PSD", 32776, "Save PSD in ASCII 2-column file (log-log)" },
                { "Export &References...", 32812,
                    "Save the live spectrum and every reference in one text file" },
                { "Export P&icture...", 32791, "Save the window's picture as PNG, SVG or PDF" },
                { nullptr, 0, "" }, { "&Print...", 57607, "Print the active document" },
                { "Print Pre&view", 57609, "Display full pages" },
                { "P&rint Setup...", 57606, "Change the printer and printing options" },
                { nullptr, 0, "" },
                { "E&xit", 57665, "Quit the application; prompts to save documents" } } },
        { "&View",
            { { "&Toolbar", 59392, "Show or hide the toolbar" },
                { "&Status Bar", 59393, "Show or hide the status bar" }, { nullptr, 0, "" },
                { "Edit Data File", 32784, "" }, { "Edit PSD file", 32785, "" },
                { "Refresh Screen", 32786, "redraw signal and psd" }, { nullptr, 0, "" },
                { "&Axes", 32792, "Show or hide ticks, labels and titles on the axes" },
                { "Zoom &Out", 32793, "Show the whole picture again" },
                { "&Fit Spectrum", 32794, "Zoom the spectrum onto the bins it draws" },
                { nullptr, 0, "" },
                { "&Keep as Reference", 32810,
                    "Keep the spectrum as a reference curve to compare with", false },
                { "C&lear References", 32811, "Remove every reference curve", false } } },
        { "Settings",
            { { "PSD configuration", 32777, "" }, { "Graphics", 32778, "" }, { nullptr, 0, "" },
                { "Get Original data", 32780, "" }, { "Select Segment", 32781, "" },
                { "Running Average", 32783, "" }, { nullptr, 0, "" },
                { "Follow Interval...", 32801,
                    "Set the seconds between two looks at a followed file" },
                { "Editor's command", 32779, "" } } },
        { "About",
            { { "&About Welmo...", 57664,
                "Display program information, version number and copyright" } } },
    };

    startWindow();
    const QList<QAction*> menus = m_frame->menuBar()->actions();
    ASSERT_EQ(menus.size(), static_cast<qsizetype>(expected.size()));
    for (std::size_t m = 0; m < expected.size(); ++m) {
        SCOPED_TRACE(expected[m].title);
        EXPECT_EQ(menus[m]->text().toStdString(), expected[m].title);
        const QList<QAction*> items = menus[m]->menu()->actions();
        ASSERT_EQ(items.size(), static_cast<qsizetype>(expected[m].items.size()));
        for (qsizetype i = 0; i < items.size(); ++i) {
            const Item& want = expected[m].items[i];
            SCOPED_TRACE(i);
            if (!want.text) {
                EXPECT_TRUE(items[i]->isSeparator());
                continue;
            }
            EXPECT_EQ(items[i]->text().toStdString(), want.text);
            EXPECT_EQ(items[i]->data().toInt(), want.id);
            EXPECT_EQ(items[i]->statusTip().toStdString(), want.prompt);
            EXPECT_EQ(items[i]->isEnabled(), want.enabled);
        }
    }
    EXPECT_EQ(
        m_frame->commandAction(ID_FILE_PRINT)->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
}

TEST_F(MainWindowTest, ToolbarHoldsSixButtonsWithPromptsAndNoTooltips)
{
    struct Button {
        int id; // 0 for the separator
        const char* prompt;
    };
    const std::vector<Button> expected = {
        { 32772, "Retrieve time-series data from file" },
        { 32773, "" },
        { 32788, "Redraw" },
        { 0, "" },
        { 32789, "Lower LB -4" },
        { 32790, "Higher LB +4" },
        { 0, "" },
        { 32800, "Read the rows appended to the data file as it grows" },
    };

    startWindow();
    QToolBar& bar = m_frame->toolBar();
    EXPECT_TRUE(bar.isMovable());
    EXPECT_EQ(bar.allowedAreas(), Qt::AllToolBarAreas);
    EXPECT_EQ(m_frame->toolBarArea(&bar), Qt::TopToolBarArea);
    const QList<QAction*> actions = bar.actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        if (expected[i].id == 0) {
            EXPECT_TRUE(actions[i]->isSeparator());
            continue;
        }
        EXPECT_EQ(actions[i]->data().toInt(), expected[i].id);
        EXPECT_FALSE(actions[i]->icon().isNull());
        auto* button = qobject_cast<QToolButton*>(bar.widgetForAction(actions[i]));
        ASSERT_NE(button, nullptr);

        // The prompt shows in the status bar while the pointer rests here.
        if (*expected[i].prompt) {
            QTest::mouseMove(button);
            EXPECT_EQ(m_frame->statusBar()->currentMessage().toStdString(), expected[i].prompt);
        }

        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), button->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(button, &help);
        EXPECT_FALSE(QToolTip::isVisible());
    }
    m_frame->statusBar()->clearMessage();
    EXPECT_EQ(m_frame->statusBar()->currentMessage().toStdString(), "Ready");
}

TEST_F(MainWindowTest, AcceleratorsCarryTheirCommands)
{
    struct Accelerator {
        const char* keys;
        int id;
    };
    const std::vector<Accelerator> expected = {
        { "Ctrl+N", ID_FILE_NEW },
        { "Ctrl+O", ID_FILE_OPEN },
        { "Ctrl+S", ID_FILE_SAVE },
        { "Ctrl+P", ID_FILE_PRINT },
        { "Ctrl+Z", ID_EDIT_UNDO },
        { "Alt+Backspace", ID_EDIT_UNDO },
        { "Ctrl+X", ID_EDIT_CUT },
        { "Shift+Del", ID_EDIT_CUT },
        { "Ctrl+C", ID_EDIT_COPY },
        { "Ctrl+Ins", ID_EDIT_COPY },
        { "Ctrl+V", ID_EDIT_PASTE },
        { "Shift+Ins", ID_EDIT_PASTE },
        { "F6", ID_NEXT_PANE },
        { "Shift+F6", ID_PREV_PANE },
    };

    startWindow();
    for (const Accelerator& accelerator : expected) {
        SCOPED_TRACE(accelerator.keys);
        QAction* action = m_frame->commandAction(accelerator.id);
        ASSERT_NE(action, nullptr);
        EXPECT_TRUE(
            action->shortcuts().contains(QKeySequence(QString::fromLatin1(accelerator.keys))));
    }
}

TEST_F(MainWindowTest, EditKeysDoNothing)
{
    startWindow();
    loadTone(m_state);
    m_frame->view().update();
    waitForPaint(paints());
    const RecordImage before = recordImage(m_state);
    const QString title = m_frame->windowTitle();

    for (const char* keys : { "Ctrl+Z", "Alt+Backspace", "Ctrl+X", "Shift+Del", "Ctrl+C",
             "Ctrl+Ins", "Ctrl+V", "Shift+Ins", "F6", "Shift+F6" }) {
        SCOPED_TRACE(keys);
        activate();
        const std::string dialog = runModal(
            [&] {
                QTest::keySequence(m_frame.get(), QKeySequence(QString::fromLatin1(keys)));
                QApplication::processEvents();
            },
            [](QWidget* modal) { modal->close(); });
        EXPECT_EQ(dialog, "");
    }
    EXPECT_EQ(recordImage(m_state), before);
    EXPECT_EQ(m_frame->windowTitle(), title);
    EXPECT_TRUE(m_messages.empty());
    EXPECT_TRUE(m_commandLines.empty());
    EXPECT_TRUE(m_frame->recentFiles().isEmpty());
}
