#include "app/CTimeSeriesDlg.h"

#include "output/EditorLaunch.h"
#include "platform/FileOpenDialog.h"
#include "platform/MessageBox.h"
#include "support/DialogControls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

const std::string SEVEN_NUMBERS = std::string(WELMO_TEST_DATA) + "/seven_numbers.dat";

class TimeSeriesDialog : public ::testing::Test, public DialogControls<CTimeSeriesDlg> {
public:
    void SetUp() override
    {
        m_state.dialogAccepted = 0;
        m_state.editorCommand = "notepad /a";
        setMessageHook([this](const std::string& text) { m_messages.push_back(text); });
        setCommandInterpreter([this](const std::string& line) {
            m_commandLines.push_back(line);
            return 0;
        });
        setFileOpenHook([this](const FileOpenRequest& request) {
            m_requests.push_back(request);
            return m_chosenFile;
        });
    }
    void TearDown() override
    {
        setMessageHook(nullptr);
        setCommandInterpreter(nullptr);
        setFileOpenHook(nullptr);
    }

    void open() { m_dialog = std::make_unique<CTimeSeriesDlg>(m_state); }
    bool accepted() const { return m_dialog->result() == QDialog::Accepted; }

    AnalysisState m_state;
    std::vector<std::string> m_messages;
    std::vector<std::string> m_commandLines;
    std::vector<FileOpenRequest> m_requests;
    std::optional<std::string> m_chosenFile;
};

TEST_F(TimeSeriesDialog, OpensWithTheRecordInTabOrder)
{
    m_state.headerTokens = 3;
    m_state.columnCount = 4;
    m_state.dataColumn = 2;
    m_state.sampleCount = 200; // after a cut: the current N, not the file's rows
    open();
    EXPECT_EQ(m_dialog->windowTitle().toStdString(), "Time Series Data");
    EXPECT_EQ(text(1000), "test.dat");
    EXPECT_EQ(text(1002), "3");
    EXPECT_EQ(text(1003), "4");
    EXPECT_EQ(text(1004), "2");
    EXPECT_EQ(text(1005), "200");

    std::string order;
    QWidget* widget = field(1000);
    for (int i = 0; i < 10; ++i, widget = widget->nextInFocusChain())
        order += widget->objectName().toStdString() + " ";
    EXPECT_EQ(order,
        "field1000 button1001 field1002 field1003 field1004 field1005 button1006 button1007 "
        "button1 button2 ");
}

TEST_F(TimeSeriesDialog, OkRefusesAFieldInTransferOrder)
{
    struct Case {
        int id;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        { 1005, "69306017", "Please enter an integer between 0 and 69306016." },
        { 1005, "-1", "Please enter a positive integer." },
        { 1005, "12x", "Please enter a positive integer." },
        { 1002, "one", "Please enter an integer." },
        { 1003, "0", "Please enter an integer between 1 and 100." },
        { 1003, "101", "Please enter an integer between 1 and 100." },
        { 1004, "0", "Please enter an integer between 1 and 100." },
        { 1004, "101", "Please enter an integer between 1 and 100." },
        { 1004, "4", "Column for processing must not exceed Number of columns" },
    };
    for (const Case& c : cases) {
        m_messages.clear();
        open();
        type(1000, "other.dat");
        type(1003, "3");
        type(c.id, c.text);
        click(1);
        ASSERT_EQ(m_messages.size(), 1u) << c.id << " " << c.text;
        EXPECT_EQ(m_messages[0], c.message);
        EXPECT_EQ(m_dialog->focusWidget(), field(c.id)) << c.id << " " << c.text;
        EXPECT_FALSE(accepted());
        EXPECT_EQ(m_state.dialogAccepted, 0);
        EXPECT_EQ(m_state.dataFileName, "test.dat");
        EXPECT_EQ(m_state.columnCount, 1);
    }
}

TEST_F(TimeSeriesDialog, FieldsAfterAFailingOneKeepTheirHeldValues)
{
    open();
    type(1005, "69306017");
    type(1000, "typed.dat");
    type(1003, "0");
    click(1);
    EXPECT_EQ(
        m_messages, std::vector<std::string> { "Please enter an integer between 0 and 69306016." });
    // The name after the failing row count was not taken.
    click(1007);
    ASSERT_EQ(m_commandLines.size(), 1u);
    EXPECT_EQ(m_commandLines[0], editorCommandLine("notepad /a", "test.dat"));
}

TEST_F(TimeSeriesDialog, OkCopiesEveryFieldAndRaisesTheFlag)
{
    open();
    type(1000, "/data/run 7.dat");
    type(1002, " -3 ");
    type(1003, "100");
    type(1004, "100");
    type(1005, "0"); // accepted here; the command refuses it as too few data
    click(1);
    EXPECT_TRUE(m_messages.empty());
    EXPECT_TRUE(accepted());
    EXPECT_EQ(m_state.dialogAccepted, 1);
    EXPECT_EQ(m_state.dataFileName, "/data/run 7.dat");
    EXPECT_EQ(m_state.headerTokens, -3);
    EXPECT_EQ(m_state.columnCount, 100);
    EXPECT_EQ(m_state.dataColumn, 100);
    EXPECT_EQ(m_state.sampleCount, 0u);
}

TEST_F(TimeSeriesDialog, CancelChangesNothing)
{
    m_state.sampleCount = 512;
    open();
    type(1000, "other.dat");
    type(1002, "5");
    type(1003, "2");
    type(1005, "64");
    click(2);
    EXPECT_EQ(m_dialog->result(), QDialog::Rejected);
    EXPECT_EQ(m_state.dialogAccepted, 0);
    EXPECT_EQ(m_state.dataFileName, "test.dat");
    EXPECT_EQ(m_state.headerTokens, 0);
    EXPECT_EQ(m_state.columnCount, 1);
    EXPECT_EQ(m_state.sampleCount, 512u);
}

TEST_F(TimeSeriesDialog, BrowseShowsTheHeldValuesAgain)
{
    struct Case {
        std::optional<std::string> chosen;
        const char* expectedName;
    };
    const Case cases[] = {
        { "/data/chosen.dat", "/data/chosen.dat" },
        { std::nullopt, "test.dat" },
    };
    for (const Case& c : cases) {
        m_chosenFile = c.chosen;
        m_commandLines.clear();
        open();
        type(1000, "typed.dat");
        type(1003, "7");
        click(1001);
        ASSERT_EQ(m_requests.size(), 1u);
        EXPECT_EQ(m_requests[0].title, "Open Data File");
        EXPECT_EQ(m_requests[0].filters[0], " Data files (*.dat)");
        m_requests.clear();
        EXPECT_EQ(text(1000), c.expectedName);
        EXPECT_EQ(text(1003), "1") << "typing since the fields were last taken is lost";
        click(1007);
        ASSERT_EQ(m_commandLines.size(), 1u);
        EXPECT_EQ(m_commandLines[0], editorCommandLine("notepad /a", c.expectedName));
    }
}

TEST_F(TimeSeriesDialog, EditRunsTheEditorOnTheNameLastTaken)
{
    open();
    type(1000, SEVEN_NUMBERS);
    click(1007);
    type(1002, "3");
    type(1003, "3");
    click(1006); // takes the fields, the typed name with them
    click(1007);
    ASSERT_EQ(m_commandLines.size(), 2u);
    EXPECT_EQ(m_commandLines[0], editorCommandLine("notepad /a", "test.dat"));
    EXPECT_EQ(m_commandLines[1], editorCommandLine("notepad /a", SEVEN_NUMBERS));
    EXPECT_EQ(m_state.dataFileName, "test.dat") << "the record changes only on OK";
}

TEST_F(TimeSeriesDialog, GetAndCheckShowsTheCompleteRows)
{
    struct Case {
        const char* header;
        const char* columns;
        const char* expectedRows;
    };
    // "x y z" then the numbers 1 to 7.
    const Case cases[] = {
        { "3", "3", "2" }, { "3", "2", "3" }, { "3", "1", "7" }, { "3", "8", "0" },
        { "4", "3", "2" }, { "10", "1", "0" }, // more skipped than the file holds
    };
    for (const Case& c : cases) {
        open();
        type(1000, SEVEN_NUMBERS);
        type(1002, c.header);
        type(1003, c.columns);
        type(1005, "999");
        click(1006);
        EXPECT_EQ(text(1005), c.expectedRows) << c.header << " " << c.columns;
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
    EXPECT_TRUE(m_messages.empty());

    // The count is held: OK takes it as the number of rows to read.
    type(1002, "3");
    type(1003, "3");
    type(1004, "3");
    click(1006);
    click(1);
    EXPECT_EQ(m_state.sampleCount, 2u);
    EXPECT_EQ(m_state.dataFileName, SEVEN_NUMBERS);
}

TEST_F(TimeSeriesDialog, GetAndCheckStopsAtAFieldOrAMissingFile)
{
    struct Case {
        const char* name;
        const char* columns;
        const char* message;
    };
    const Case cases[] = {
        { "/nonexistent/welmo/missing.dat", "1", "File not found" },
        { SEVEN_NUMBERS.c_str(), "0", "Please enter an integer between 1 and 100." },
    };
    for (const Case& c : cases) {
        m_messages.clear();
        open();
        type(1000, c.name);
        type(1003, c.columns);
        type(1005, "123");
        click(1006);
        EXPECT_EQ(m_messages, std::vector<std::string> { c.message });
        EXPECT_EQ(text(1005), "123");
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
}

TEST_F(TimeSeriesDialog, KeyboardOnlyFillsTheRecord)
{
    open();
    m_dialog->show();
    m_dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
    QWidget* focus = field(1000);
    focus->setFocus();
    const auto press = [&focus](Qt::Key key) {
        QTest::keyClick(focus, key);
        focus = QApplication::focusWidget();
    };
    const auto typeOver = [&focus](const std::string& text) {
        QTest::keyClick(focus, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(focus, QString::fromStdString(text));
    };
    typeOver(SEVEN_NUMBERS);
    press(Qt::Key_Tab); // Browse
    press(Qt::Key_Tab);
    typeOver("3");
    press(Qt::Key_Tab);
    typeOver("3");
    press(Qt::Key_Tab);
    typeOver("2");
    press(Qt::Key_Tab); // Data Raws
    press(Qt::Key_Tab);
    ASSERT_EQ(focus, button(1006));
    press(Qt::Key_Space); // Get and Check
    EXPECT_EQ(text(1005), "2");
    press(Qt::Key_Backtab);
    ASSERT_EQ(focus, field(1005));
    press(Qt::Key_Return); // OK, the default button
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_EQ(m_state.dialogAccepted, 1);
    EXPECT_EQ(m_state.dataFileName, SEVEN_NUMBERS);
    EXPECT_EQ(m_state.headerTokens, 3);
    EXPECT_EQ(m_state.columnCount, 3);
    EXPECT_EQ(m_state.dataColumn, 2);
    EXPECT_EQ(m_state.sampleCount, 2u);
    EXPECT_TRUE(m_messages.empty());
    EXPECT_TRUE(m_commandLines.empty());
}

} // namespace
