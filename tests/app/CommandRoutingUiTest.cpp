#include "MainWindowFixture.h"

#include "app/CommandIds.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>

using namespace CommandIds;

// Menu items and toolbar buttons open the dialog of their command; after
// Cancel (or Esc) the record is as before.
TEST_F(MainWindowTest, CommandsOpenTheirDialogsAndCancelKeepsTheRecord)
{
    struct Row {
        int id;
        const char* dialog;
    };
    const std::vector<Row> rows = {
        { ID_TOOLBAR_RETRIEVE, "CTimeSeriesDlg" },
        { ID_FILE_RETRIEVE_DATA, "CTimeSeriesDlg" },
        { ID_TOOLBAR_PSD_CONFIG, "CPsdConfigDlg" },
        { ID_SETTINGS_PSD_CONFIG, "CPsdConfigDlg" },
        { ID_FILE_EXPORT_PSD, "CExportPsdDlg" },
        { ID_SETTINGS_GRAPHICS, "CGraphicsDlg" },
        { ID_SETTINGS_EDITOR_COMMAND, "CEditorCommandDlg" },
        { ID_SETTINGS_SELECT_SEGMENT, "CSelectSegmentDlg" },
        { ID_SETTINGS_RUNNING_AVERAGE, "CRunningAverageDlg" },
        { ID_FILE_PRINT, "QPrintDialog" },
        { ID_FILE_PRINT_SETUP, "QPageSetupDialog" },
        { ID_APP_ABOUT, "CAboutDlg" },
        { ID_FILE_PRINT_PREVIEW, "QPrintPreviewDialog" },
    };

    startWindow();
    loadTone(m_state);
    const RecordImage before = recordImage(m_state);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.dialog);
        const std::string dialog = runModal([&] { m_frame->commandAction(row.id)->trigger(); },
            [](QWidget* modal) {
                if (auto* box = qobject_cast<QDialog*>(modal))
                    box->reject();
            });
        EXPECT_EQ(dialog, row.dialog);
    }
    EXPECT_EQ(recordImage(m_state), before);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(MainWindowTest, LbButtonsMoveTheBandAndRepaint)
{
    struct Step {
        int id;
        int lbFrequencies;
    };
    // M = 1024: the band stays within 2 and M/8 = 128.
    const std::vector<Step> steps = {
        { ID_TOOLBAR_LOWER_LB, 12 },
        { ID_TOOLBAR_LOWER_LB, 8 },
        { ID_TOOLBAR_LOWER_LB, 4 },
        { ID_TOOLBAR_LOWER_LB, 2 },
        { ID_TOOLBAR_HIGHER_LB, 6 },
        { ID_TOOLBAR_HIGHER_LB, 10 },
    };

    startWindow();
    loadTone(m_state);
    const double peakBefore = m_state.peakFrequency;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.lbFrequencies);
        const int paintsBefore = paints();
        m_frame->commandAction(step.id)->trigger();
        EXPECT_EQ(m_state.lbFrequencies, step.lbFrequencies);
        EXPECT_DOUBLE_EQ(m_state.lbValue,
            lowBandRatio(step.lbFrequencies * 100.0 / 1024, m_state.psd.data(), 1024));
        waitForPaint(paintsBefore);
    }
    m_state.lbFrequencies = 126;
    m_frame->commandAction(ID_TOOLBAR_HIGHER_LB)->trigger();
    EXPECT_EQ(m_state.lbFrequencies, 128);
    EXPECT_EQ(m_state.peakFrequency, peakBefore);
    EXPECT_EQ(m_state.psdValid, 1);
}

TEST_F(MainWindowTest, ExportWithoutASpectrumOpensNoDialog)
{
    startWindow();
    const RecordImage before = recordImage(m_state);
    const std::string dialog
        = runModal([&] { m_frame->commandAction(ID_FILE_EXPORT_PSD)->trigger(); },
            [](QWidget* modal) { modal->close(); });
    EXPECT_EQ(dialog, "");
    EXPECT_EQ(m_messages, std::vector<std::string> { "No spectrum to export" });
    EXPECT_EQ(recordImage(m_state), before);
}

TEST_F(MainWindowTest, ExportCarriesTheTimeStepInAndOut)
{
    startWindow();
    loadTone(m_state);
    m_state.exportDt = 0.25;
    const QString exported = m_settingsDir.filePath(QStringLiteral("tonePSD.dat"));
    m_state.psdFileName = exported.toStdString();

    auto exportWith = [&](const char* typedDt, bool ok) {
        std::string shownDt;
        runModal([&] { m_frame->commandAction(ID_FILE_EXPORT_PSD)->trigger(); },
            [&](QWidget* modal) {
                auto* dt = modal->findChild<QLineEdit*>(QStringLiteral("field1049"));
                shownDt = dt->text().toStdString();
                dt->setText(QString::fromLatin1(typedDt));
                modal->findChild<QPushButton*>(QString::fromLatin1(ok ? "button1" : "button2"))
                    ->click();
            });
        return shownDt;
    };

    EXPECT_EQ(exportWith("4", false), "0.25");
    EXPECT_EQ(m_state.exportDt, 0.25);
    EXPECT_FALSE(QFile::exists(exported));

    EXPECT_EQ(exportWith("2", true), "0.25");
    EXPECT_EQ(m_state.exportDt, 2.0);
    EXPECT_TRUE(QFile::exists(exported));
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(MainWindowTest, EditCommandsRunTheEditorOnTheRecordsFiles)
{
    startWindow();
    m_state.editorCommand = "myeditor -a";
    m_state.psdFileName = "spectrum out.dat";
    m_frame->commandAction(ID_VIEW_EDIT_DATA_FILE)->trigger();
    m_frame->commandAction(ID_VIEW_EDIT_PSD_FILE)->trigger();
    EXPECT_EQ(m_commandLines,
        (std::vector<std::string> { editorCommandLine("myeditor -a", "test.dat"),
            editorCommandLine("myeditor -a", "spectrum out.dat") }));
    ASSERT_EQ(m_commandLines.size(), 2u);
    EXPECT_EQ(m_commandLines[0].rfind("myeditor -a ", 0), 0u);
}

TEST_F(MainWindowTest, GraphicsRepaintsAfterCancel)
{
    startWindow();
    const int before = paints();
    runModal([&] { m_frame->commandAction(ID_SETTINGS_GRAPHICS)->trigger(); },
        [](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    waitForPaint(before);
}

TEST_F(MainWindowTest, RefreshAndRedrawRepaintWithoutChangingTheRecord)
{
    startWindow();
    loadTone(m_state);
    const RecordImage before = recordImage(m_state);
    for (int id : { ID_VIEW_REFRESH_SCREEN, ID_TOOLBAR_REDRAW }) {
        SCOPED_TRACE(id);
        const int paintsBefore = paints();
        m_frame->commandAction(id)->trigger();
        waitForPaint(paintsBefore);
    }
    EXPECT_EQ(recordImage(m_state), before);
    EXPECT_TRUE(m_messages.empty());
}

// The real widgets: a click on a toolbar button and the print accelerator.
TEST_F(MainWindowTest, ButtonsAndKeysReachTheSameCommandsAsTheMenus)
{
    struct Row {
        const char* name;
        std::function<void()> press;
        const char* dialog;
    };
    startWindow();
    auto click = [this](int id) {
        return [this, id] {
            QWidget* button = m_frame->toolBar().widgetForAction(m_frame->commandAction(id));
            QTest::mouseClick(button, Qt::LeftButton);
        };
    };
    const std::vector<Row> rows = {
        { "button 1", click(ID_TOOLBAR_RETRIEVE), "CTimeSeriesDlg" },
        { "button 2", click(ID_TOOLBAR_PSD_CONFIG), "CPsdConfigDlg" },
        { "Ctrl+P",
            [this] { QTest::keySequence(m_frame.get(), QKeySequence(QStringLiteral("Ctrl+P"))); },
            "QPrintDialog" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        activate();
        const std::string dialog = runModal(
            [&] {
                row.press();
                QApplication::processEvents();
            },
            [](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
        EXPECT_EQ(dialog, row.dialog);
    }
}
