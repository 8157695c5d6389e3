#include "app/CTimeSeriesDlg.h"

#include "commands/Commands.h"
#include "core/CFormat.h"

#include "output/EditorLaunch.h"
#include "platform/FileOpenDialog.h"
#include "platform/MessageBox.h"
#include "support/DialogControls.h"
#include "support/ScriptedHost.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
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
            return m_shellStatus;
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

    // Get and Check counts as the window has it count, telling its messages
    // in the Welmo box.
    struct CountingHost : ScriptedHost {
        using ScriptedHost::ScriptedHost;
        void message(const std::string& text) override { showMessage(text); }
    };

    void open()
    {
        m_dialog = std::make_unique<CTimeSeriesDlg>(m_state);
        m_dialog->setRowCounter(
            [this](const TimeSeriesChoice& layout) { return countRows(layout, m_host); });
    }
    bool accepted() const { return m_dialog->result() == QDialog::Accepted; }
    QComboBox* box(int id) const
    {
        return m_dialog->findChild<QComboBox*>(QStringLiteral("field%1").arg(id));
    }
    std::string boxText(int id) const { return box(id)->currentText().toStdString(); }
    std::string writeFile(const char* name, const std::string& bytes)
    {
        const QString path = m_dir.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), qint64(bytes.size()));
        return path.toStdString();
    }

    QTemporaryDir m_dir;

    AnalysisState m_state;
    CountingHost m_host { m_state };
    std::vector<std::string> m_messages;
    std::vector<std::string> m_commandLines;
    int m_shellStatus = 0;
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
    EXPECT_EQ(text(CTimeSeriesDlg::IDC_DATA_FILE_NAME), "test.dat");
    EXPECT_EQ(text(CTimeSeriesDlg::IDC_HEADER_TOKENS), "3");
    EXPECT_EQ(text(CTimeSeriesDlg::IDC_COLUMN_COUNT), "4");
    EXPECT_EQ(text(CTimeSeriesDlg::IDC_DATA_COLUMN), "2");
    EXPECT_EQ(text(CTimeSeriesDlg::IDC_SAMPLE_COUNT), "200");

    std::string order;
    QWidget* widget = field(CTimeSeriesDlg::IDC_DATA_FILE_NAME);
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
        { CTimeSeriesDlg::IDC_SAMPLE_COUNT, "69306017",
            "Please enter an integer between 0 and 69306016." },
        { CTimeSeriesDlg::IDC_SAMPLE_COUNT, "-1", "Please enter a positive integer." },
        { CTimeSeriesDlg::IDC_SAMPLE_COUNT, "12x", "Please enter a positive integer." },
        { CTimeSeriesDlg::IDC_HEADER_TOKENS, "one", "Please enter an integer." },
        { CTimeSeriesDlg::IDC_COLUMN_COUNT, "0", "Please enter an integer between 1 and 100." },
        { CTimeSeriesDlg::IDC_COLUMN_COUNT, "101", "Please enter an integer between 1 and 100." },
        { CTimeSeriesDlg::IDC_DATA_COLUMN, "0", "Please enter an integer between 1 and 100." },
        { CTimeSeriesDlg::IDC_DATA_COLUMN, "101", "Please enter an integer between 1 and 100." },
        { CTimeSeriesDlg::IDC_DATA_COLUMN, "4",
            "Column for processing must not exceed Number of columns" },
    };
    for (const Case& c : cases) {
        m_messages.clear();
        open();
        type(CTimeSeriesDlg::IDC_DATA_FILE_NAME, "other.dat");
        type(CTimeSeriesDlg::IDC_COLUMN_COUNT, "3");
        type(c.id, c.text);
        click(IDOK);
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
    type(CTimeSeriesDlg::IDC_SAMPLE_COUNT, "69306017");
    type(CTimeSeriesDlg::IDC_DATA_FILE_NAME, "typed.dat");
    type(CTimeSeriesDlg::IDC_COLUMN_COUNT, "0");
    click(IDOK);
    EXPECT_EQ(
        m_messages, std::vector<std::string> { "Please enter an integer between 0 and 69306016." });
    // The name after the failing row count was not taken.
    click(CTimeSeriesDlg::IDC_EDIT);
    ASSERT_EQ(m_commandLines.size(), 1u);
    EXPECT_EQ(m_commandLines[0], editorCommandLine("notepad /a", "test.dat"));
}

TEST_F(TimeSeriesDialog, OkHandsBackEveryField)
{
    m_state.sampleCount = 512; // so that the typed count is a change
    open();
    type(CTimeSeriesDlg::IDC_DATA_FILE_NAME, "/data/run 7.dat");
    type(CTimeSeriesDlg::IDC_HEADER_TOKENS, " -3 ");
    type(CTimeSeriesDlg::IDC_COLUMN_COUNT, "100");
    type(CTimeSeriesDlg::IDC_DATA_COLUMN, "100");
    type(CTimeSeriesDlg::IDC_SAMPLE_COUNT,
        "0"); // accepted here; the command refuses it as too few data
    click(IDOK);
    EXPECT_TRUE(m_messages.empty());
    EXPECT_TRUE(accepted());
    EXPECT_TRUE(accepted());
    EXPECT_EQ(m_dialog->choice().dataFileName, "/data/run 7.dat");
    EXPECT_EQ(m_dialog->choice().headerTokens, -3);
    EXPECT_EQ(m_dialog->choice().columnCount, 100);
    EXPECT_EQ(m_dialog->choice().dataColumn, 100);
    EXPECT_EQ(m_dialog->choice().rows, std::optional<unsigned>(0u));
}

TEST_F(TimeSeriesDialog, CancelChangesNothing)
{
    m_state.sampleCount = 512;
    open();
    type(CTimeSeriesDlg::IDC_DATA_FILE_NAME, "other.dat");
    type(CTimeSeriesDlg::IDC_HEADER_TOKENS, "5");
    type(CTimeSeriesDlg::IDC_COLUMN_COUNT, "2");
    type(CTimeSeriesDlg::IDC_SAMPLE_COUNT, "64");
    click(IDCANCEL);
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
        type(CTimeSeriesDlg::IDC_DATA_FILE_NAME, "typed.dat");
        type(CTimeSeriesDlg::IDC_COLUMN_COUNT, "7");
        click(CTimeSeriesDlg::IDC_BROWSE);
        ASSERT_EQ(m_requests.size(), 1u);
        EXPECT_EQ(m_requests[0].title, "Open Data File");
        EXPECT_EQ(m_requests[0].filters[0], " Data files (*.dat)");
        m_requests.clear();
        EXPECT_EQ(text(CTimeSeriesDlg::IDC_DATA_FILE_NAME), c.expectedName);
        EXPECT_EQ(text(CTimeSeriesDlg::IDC_COLUMN_COUNT), "1")
            << "typing since the fields were last taken is lost";
        click(CTimeSeriesDlg::IDC_EDIT);
        ASSERT_EQ(m_commandLines.size(), 1u);
        EXPECT_EQ(m_commandLines[0], editorCommandLine("notepad /a", c.expectedName));
    }
}

TEST_F(TimeSeriesDialog, EditRunsTheEditorOnTheNameLastTaken)
{
    open();
    type(CTimeSeriesDlg::IDC_DATA_FILE_NAME, SEVEN_NUMBERS);
    click(CTimeSeriesDlg::IDC_EDIT);
    type(CTimeSeriesDlg::IDC_HEADER_TOKENS, "3");
    type(CTimeSeriesDlg::IDC_COLUMN_COUNT, "3");
    click(CTimeSeriesDlg::IDC_GET_AND_CHECK); // takes the fields, the typed name with them
    click(CTimeSeriesDlg::IDC_EDIT);
    ASSERT_EQ(m_commandLines.size(), 2u);
    EXPECT_EQ(m_commandLines[0], editorCommandLine("notepad /a", "test.dat"));
    EXPECT_EQ(m_commandLines[1], editorCommandLine("notepad /a", SEVEN_NUMBERS));
    EXPECT_EQ(m_state.dataFileName, "test.dat") << "the record changes only on OK";
}

// A command the shell cannot run is reported; the editor's own exit
// statuses are its affair.
TEST_F(TimeSeriesDialog, EditReportsACommandTheShellCannotRun)
{
    for (int status : { 0, 1, 2, 126, 127 }) {
        m_messages.clear();
        m_shellStatus = status;
        open();
        click(CTimeSeriesDlg::IDC_EDIT);
        if (status == 126 || status == 127) {
            EXPECT_EQ(
                m_messages, std::vector<std::string> { cannotRunEditorMessage("notepad /a") });
        } else {
            EXPECT_TRUE(m_messages.empty()) << "status " << status;
        }
    }
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
        type(CTimeSeriesDlg::IDC_DATA_FILE_NAME, SEVEN_NUMBERS);
        type(CTimeSeriesDlg::IDC_HEADER_TOKENS, c.header);
        type(CTimeSeriesDlg::IDC_COLUMN_COUNT, c.columns);
        type(CTimeSeriesDlg::IDC_SAMPLE_COUNT, "999");
        click(CTimeSeriesDlg::IDC_GET_AND_CHECK);
        EXPECT_EQ(text(CTimeSeriesDlg::IDC_SAMPLE_COUNT), c.expectedRows)
            << c.header << " " << c.columns;
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
    EXPECT_TRUE(m_messages.empty());

    // The count is held: OK takes it as the number of rows to read.
    type(CTimeSeriesDlg::IDC_HEADER_TOKENS, "3");
    type(CTimeSeriesDlg::IDC_COLUMN_COUNT, "3");
    type(CTimeSeriesDlg::IDC_DATA_COLUMN, "3");
    click(CTimeSeriesDlg::IDC_GET_AND_CHECK);
    click(IDOK);
    EXPECT_EQ(m_dialog->choice().rows, std::optional<unsigned>(2u));
    EXPECT_EQ(m_dialog->choice().dataFileName, SEVEN_NUMBERS);
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
        type(CTimeSeriesDlg::IDC_DATA_FILE_NAME, c.name);
        type(CTimeSeriesDlg::IDC_COLUMN_COUNT, c.columns);
        type(CTimeSeriesDlg::IDC_SAMPLE_COUNT, "123");
        click(CTimeSeriesDlg::IDC_GET_AND_CHECK);
        EXPECT_EQ(m_messages, std::vector<std::string> { c.message });
        EXPECT_EQ(text(CTimeSeriesDlg::IDC_SAMPLE_COUNT), "123");
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
}

TEST_F(TimeSeriesDialog, KeyboardOnlyFillsEveryField)
{
    open();
    m_dialog->show();
    m_dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
    QWidget* focus = field(CTimeSeriesDlg::IDC_DATA_FILE_NAME);
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
    ASSERT_EQ(focus, button(CTimeSeriesDlg::IDC_GET_AND_CHECK));
    press(Qt::Key_Space); // Get and Check
    EXPECT_EQ(text(CTimeSeriesDlg::IDC_SAMPLE_COUNT), "2");
    press(Qt::Key_Backtab);
    ASSERT_EQ(focus, field(CTimeSeriesDlg::IDC_SAMPLE_COUNT));
    press(Qt::Key_Return); // OK, the default button
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_TRUE(accepted());
    EXPECT_EQ(m_dialog->choice().dataFileName, SEVEN_NUMBERS);
    EXPECT_EQ(m_dialog->choice().headerTokens, 3);
    EXPECT_EQ(m_dialog->choice().columnCount, 3);
    EXPECT_EQ(m_dialog->choice().dataColumn, 2);
    EXPECT_EQ(m_dialog->choice().rows, std::optional<unsigned>(2u));
    EXPECT_TRUE(m_messages.empty());
    EXPECT_TRUE(m_commandLines.empty());
}

TEST_F(TimeSeriesDialog, AnOfferedFileFillsTheLayoutItFinds)
{
    struct Case {
        const char* bytes;
        const char* header;
        const char* columns;
        const char* comment;
        const char* separator;
        bool decimalComma;
        int names;
    };
    const Case cases[] = {
        { "year value\n1 10\n2 20\n3 30\n", "2", "2", "none", "blanks", false, 2 },
        { "# made up\n# two lines\n1 5 9\n2 6 8\n# inside\n3 7 7\n", "0", "3", "#", "blanks", false,
            0 },
        { "\"time\",\"flux\"\n1,5\n2,\n3,7\n", "2", "2", "none", ",", false, 2 },
        { "a;b\n1,5;2,5\n3,5;4,5\n5;6\n", "2", "2", "none", ";", true, 2 },
    };
    for (const Case& c : cases) {
        const std::string name = writeFile("offered.dat", c.bytes);
        m_state.dataColumn = 3;
        open();
        m_dialog->offerDataFileName(name);
        EXPECT_EQ(text(CTimeSeriesDlg::IDC_HEADER_TOKENS), c.header) << c.bytes;
        EXPECT_EQ(text(CTimeSeriesDlg::IDC_COLUMN_COUNT), c.columns) << c.bytes;
        EXPECT_EQ(boxText(CTimeSeriesDlg::IDC_COMMENT), c.comment) << c.bytes;
        EXPECT_EQ(boxText(CTimeSeriesDlg::IDC_SEPARATOR), c.separator) << c.bytes;
        EXPECT_EQ(button(CTimeSeriesDlg::IDC_DECIMAL_COMMA)->isChecked(), c.decimalComma);
        EXPECT_EQ(box(CTimeSeriesDlg::IDC_COLUMN_NAMES)->count(), c.names + 1) << c.bytes;
        // A column beyond the table's moves to its last one.
        EXPECT_EQ(text(CTimeSeriesDlg::IDC_DATA_COLUMN), std::min<std::string>("3", c.columns));
        const auto* said = m_dialog->findChild<QLabel*>(
            QStringLiteral("field%1").arg(CTimeSeriesDlg::IDC_DETECTED));
        EXPECT_FALSE(said->text().isEmpty()) << "says what it found";
        click(IDOK);
        EXPECT_TRUE(accepted()) << c.bytes;
        EXPECT_EQ(m_dialog->choice().rows, std::optional<unsigned>(3u)) << c.bytes;
    }
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(TimeSeriesDialog, DetectionKeepsWhatTheUserTyped)
{
    const std::string name = writeFile("typed.dat", "# a note\nt x y\n1 2 3\n4 5 6\n");
    open();
    type(CTimeSeriesDlg::IDC_HEADER_TOKENS, "3");
    box(CTimeSeriesDlg::IDC_COMMENT)->setCurrentIndex(0);
    box(CTimeSeriesDlg::IDC_COMMENT)->setCurrentIndex(3);
    type(CTimeSeriesDlg::IDC_DATA_FILE_NAME, name);
    leave(CTimeSeriesDlg::IDC_DATA_FILE_NAME);
    EXPECT_EQ(text(CTimeSeriesDlg::IDC_HEADER_TOKENS), "3");
    EXPECT_EQ(boxText(CTimeSeriesDlg::IDC_COMMENT), "!");
    EXPECT_EQ(text(CTimeSeriesDlg::IDC_COLUMN_COUNT), "3") << "untyped, so detected";
    // The names are offered; choosing one puts its number in the field.
    QComboBox* names = box(CTimeSeriesDlg::IDC_COLUMN_NAMES);
    ASSERT_EQ(names->count(), 4);
    EXPECT_EQ(names->itemText(3).toStdString(), "3: y");
    names->setCurrentIndex(2);
    names->activated(2);
    EXPECT_EQ(text(CTimeSeriesDlg::IDC_DATA_COLUMN), "2");
}

TEST_F(TimeSeriesDialog, OkCountsRowsNotCountedForTheLayout)
{
    struct Case {
        const char* name;
        const char* header;
        const char* rows; // typed, or not
        std::optional<unsigned> expectedRows;
        const char* message;
    };
    const Case cases[] = {
        { SEVEN_NUMBERS.c_str(), "3", nullptr, 2u, nullptr },
        { SEVEN_NUMBERS.c_str(), "3", "1", 1u, nullptr },
        { "/nonexistent/welmo/missing.dat", "0", nullptr, std::nullopt, "File not found" },
    };
    for (const Case& c : cases) {
        m_messages.clear();
        open();
        type(CTimeSeriesDlg::IDC_DATA_FILE_NAME, c.name);
        type(CTimeSeriesDlg::IDC_HEADER_TOKENS, c.header);
        type(CTimeSeriesDlg::IDC_COLUMN_COUNT, "3");
        if (c.rows)
            type(CTimeSeriesDlg::IDC_SAMPLE_COUNT, c.rows);
        click(IDOK);
        EXPECT_EQ(accepted(), c.expectedRows.has_value()) << c.name;
        if (c.expectedRows) {
            EXPECT_EQ(m_dialog->choice().rows, c.expectedRows);
        }
        EXPECT_EQ(m_messages.empty(), c.message == nullptr);
    }
}

TEST_F(TimeSeriesDialog, OkHandsBackTheSyntaxGapsAndTimeStep)
{
    m_state.tableSyntax = { '%', ';', true };
    m_state.fillGaps = 1;
    m_state.timeStep = 0.5;
    m_state.timeUnit = "yr";
    m_state.columnCount = 2;
    open();
    EXPECT_EQ(boxText(CTimeSeriesDlg::IDC_COMMENT), "%");
    EXPECT_EQ(boxText(CTimeSeriesDlg::IDC_SEPARATOR), ";");
    EXPECT_TRUE(button(CTimeSeriesDlg::IDC_DECIMAL_COMMA)->isChecked());
    EXPECT_TRUE(button(CTimeSeriesDlg::IDC_FILL_GAPS)->isChecked());
    EXPECT_EQ(text(CTimeSeriesDlg::IDC_TIME_STEP), "0.5");
    EXPECT_EQ(text(CTimeSeriesDlg::IDC_TIME_UNIT), "yr");

    struct Case {
        const char* step;
        const char* column;
        int hasTimeStep;
        const char* message;
    };
    const Case cases[] = {
        { "0.5", "0", 1, nullptr },
        { "1", "0", 0, nullptr },
        { "1", "1", 1, nullptr },
        { "0", "0", 0, "The time step must be a positive number" },
        { "1", "3", 0, "The time column must not exceed Number of columns" },
    };
    for (const Case& c : cases) {
        m_messages.clear();
        open();
        type(CTimeSeriesDlg::IDC_TIME_STEP, c.step);
        type(CTimeSeriesDlg::IDC_TIME_COLUMN, c.column);
        click(IDOK);
        if (c.message) {
            EXPECT_EQ(m_messages, std::vector<std::string> { c.message });
            EXPECT_FALSE(accepted());
            continue;
        }
        ASSERT_TRUE(accepted()) << c.step << " " << c.column;
        const TimeSeriesChoice choice = m_dialog->choice();
        EXPECT_EQ(choice.tableSyntax, (TableSyntax { '%', ';', true }));
        EXPECT_EQ(choice.fillGaps, 1);
        EXPECT_EQ(choice.timeStep, strtodC(c.step, nullptr));
        EXPECT_EQ(choice.timeColumn, std::stoi(c.column));
        EXPECT_EQ(choice.timeUnit, "yr");
        EXPECT_EQ(choice.hasTimeStep, c.hasTimeStep);
    }
}

} // namespace
