#include "app/CExportPsdDlg.h"

#include "commands/Commands.h"
#include "core/CFormat.h"
#include "output/PsdExport.h"
#include "platform/MessageBox.h"
#include "support/DialogControls.h"
#include "support/ScriptedHost.h"

#include <QAbstractButton>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

// A spectrum of M+1 entries falling from -2 by 0.01 per entry, with a few
// entries below any minimum level.
void fillSpectrum(AnalysisState& state, int M)
{
    ASSERT_TRUE(state.psd.allocate(static_cast<std::size_t>(M) + 1));
    for (int i = 0; i <= M; ++i)
        state.psd[i] = -2.0f - 0.01f * static_cast<float>(i);
    if (M >= 3) {
        state.psd[2] = -3.25f;
        state.psd[M - 1] = -7.5f;
    }
    if (M > 10)
        state.psd[10] = -40.0f;
    state.psdSize = M;
    state.psdValid = 1;
}

QByteArray contents(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

class ExportPsdDialog : public ::testing::Test, public DialogControls<CExportPsdDlg> {
protected:
    void SetUp() override
    {
        setMessageHook([this](const std::string& text) { m_messages.push_back(text); });
        ASSERT_TRUE(m_folder.isValid());
        fillSpectrum(m_state, 1024);
        m_state.psdFileName = path("run1p.dat");
    }
    void TearDown() override { setMessageHook(nullptr); }

    std::string path(const char* name) const
    {
        return m_folder.filePath(QString::fromLatin1(name)).toStdString();
    }
    void open(double dt = 1.0)
    {
        m_dialog = std::make_unique<CExportPsdDlg>(m_state);
        m_dialog->setDt(dt);
        m_dialog->show();
    }
    // OK, and then what the export command does with the values the
    // dialog hands back.
    void exportOnOk()
    {
        ScriptedHost host(m_state);
        host.exportPsdDialog = [this](const AnalysisState&) -> std::optional<ExportChoice> {
            button(IDOK)->click();
            if (m_dialog->result() != QDialog::Accepted)
                return std::nullopt;
            return m_dialog->choice();
        };
        exportPsdFile(m_state, host);
        m_messages.insert(m_messages.end(), host.messages.begin(), host.messages.end());
    }

    QTemporaryDir m_folder;
    AnalysisState m_state;
    std::vector<std::string> m_messages;
};

TEST_F(ExportPsdDialog, ShowsTheEndsOfTheLogLogFormat)
{
    m_state.exportMinLog = -12.5;
    open(0.25);
    EXPECT_EQ(m_dialog->windowTitle().toStdString(), "Export Psd file");
    EXPECT_EQ(text(CExportPsdDlg::IDC_PSD_FILE_NAME), m_state.psdFileName);
    EXPECT_EQ(text(CExportPsdDlg::IDC_FIRST_LOG_FREQUENCY),
        "-3.01029995663981"); // log10(1/1024) = -10 log10(2)
    EXPECT_EQ(text(CExportPsdDlg::IDC_FIRST_PSD), "-3.25");
    EXPECT_EQ(text(CExportPsdDlg::IDC_LAST_LOG_FREQUENCY), "-0.301029995663981"); // log10(0.5)
    EXPECT_EQ(text(CExportPsdDlg::IDC_LAST_PSD), "-7.5");
    EXPECT_EQ(text(CExportPsdDlg::IDC_MIN_LOG), "-12.5");
    EXPECT_EQ(text(CExportPsdDlg::IDC_DT), "0.25");
    EXPECT_FALSE(button(CExportPsdDlg::IDC_NORMAL_SCALES)->isChecked());
    for (int id : { CExportPsdDlg::IDC_FIRST_LOG_FREQUENCY, CExportPsdDlg::IDC_FIRST_PSD,
             CExportPsdDlg::IDC_LAST_LOG_FREQUENCY, CExportPsdDlg::IDC_LAST_PSD })
        EXPECT_TRUE(field(id)->isReadOnly()) << id;
}

TEST_F(ExportPsdDialog, RefusesAnInvalidFieldAndWritesNothing)
{
    struct Case {
        int id;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        { CExportPsdDlg::IDC_MIN_LOG, "-31", "Please enter a number between -30 and 0." },
        { CExportPsdDlg::IDC_MIN_LOG, "1", "Please enter a number between -30 and 0." },
        { CExportPsdDlg::IDC_MIN_LOG, "low", "Please enter a number." },
        { CExportPsdDlg::IDC_DT, "", "Please enter a number." },
        // A time step that would give infinite or undefined frequencies.
        { CExportPsdDlg::IDC_DT, "0", "Please enter a number." },
        { CExportPsdDlg::IDC_DT, "-0", "Please enter a number." },
        { CExportPsdDlg::IDC_DT, "inf", "Please enter a number." },
        { CExportPsdDlg::IDC_DT, "nan", "Please enter a number." },
        { CExportPsdDlg::IDC_DT, "1e-320", "Please enter a number." },
    };
    const std::string before = m_state.psdFileName;
    for (const Case& c : cases) {
        m_messages.clear();
        open(2.0);
        type(CExportPsdDlg::IDC_PSD_FILE_NAME, path("typed.dat"));
        type(CExportPsdDlg::IDC_DT, "3");
        type(c.id, c.text);
        button(IDOK)->click();
        ASSERT_EQ(m_messages.size(), 1u) << c.text;
        EXPECT_EQ(m_messages[0], c.message);
        EXPECT_TRUE(m_dialog->isVisible());
        EXPECT_EQ(m_dialog->focusWidget(), field(c.id));
        EXPECT_FALSE(QFile::exists(QString::fromStdString(path("typed.dat"))));
        EXPECT_EQ(m_state.psdFileName, before);
        EXPECT_EQ(m_state.exportMinLog, -15.0);
        if (c.id == CExportPsdDlg::IDC_DT) {
            EXPECT_EQ(m_dialog->dt(), 2.0);
        }
    }
}

TEST_F(ExportPsdDialog, OkWritesWhatTheWriterWrites)
{
    struct Case {
        bool normalScales;
        const char* minLog;
        const char* dt;
        double expectedMinLog;
    };
    const Case cases[] = {
        { false, "-15", "1", -15.0 }, { false, "-30", "1", -30.0 }, { false, "0", "1", 0.0 },
        { true, "-15", "0.5", -8.0 }, // the linear format raises the level
        { true, "-5", "2", -5.0 },
        { true, "-5", "-2", -5.0 }, // a negative step only turns the frequencies
    };
    for (const Case& c : cases) {
        const std::string target = path("export.dat");
        const std::string reference = path("reference.dat");
        open();
        type(CExportPsdDlg::IDC_PSD_FILE_NAME, target);
        type(CExportPsdDlg::IDC_MIN_LOG, c.minLog);
        type(CExportPsdDlg::IDC_DT, c.dt);
        if (c.normalScales)
            button(CExportPsdDlg::IDC_NORMAL_SCALES)->click();
        exportOnOk();
        EXPECT_TRUE(m_messages.empty());
        EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
        EXPECT_EQ(m_state.psdFileName, target);
        EXPECT_EQ(m_state.exportMinLog, c.expectedMinLog);
        EXPECT_EQ(m_dialog->dt(), strtodC(c.dt, nullptr));

        double minLog = strtodC(c.minLog, nullptr);
        std::string error;
        ASSERT_EQ(writePsdFile(reference, m_state.psd.data(), 1024, c.normalScales,
                      strtodC(c.dt, nullptr), minLog, error),
            0);
        const QByteArray written = contents(target);
        EXPECT_EQ(written.count('\n'), 1022);
        EXPECT_EQ(written, contents(reference)) << c.minLog << " " << c.dt;
        m_state.exportMinLog = -15.0;
    }
}

TEST_F(ExportPsdDialog, CancelWritesAndStoresNothing)
{
    open(4.0);
    type(CExportPsdDlg::IDC_PSD_FILE_NAME, path("typed.dat"));
    type(CExportPsdDlg::IDC_MIN_LOG, "-3");
    type(CExportPsdDlg::IDC_DT, "9");
    button(IDCANCEL)->click();
    EXPECT_EQ(m_dialog->result(), QDialog::Rejected);
    EXPECT_EQ(m_dialog->dt(), 4.0);
    EXPECT_EQ(m_state.psdFileName, path("run1p.dat"));
    EXPECT_EQ(m_state.exportMinLog, -15.0);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("typed.dat"))));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("run1p.dat"))));
}

TEST_F(ExportPsdDialog, UnwritableFileIsReportedWithItsReason)
{
    const std::string target = path("no-such-folder/out.dat");
    open();
    type(CExportPsdDlg::IDC_PSD_FILE_NAME, target);
    button(CExportPsdDlg::IDC_NORMAL_SCALES)->click();
    exportOnOk();
    ASSERT_EQ(m_messages.size(), 1u);
    const std::string prefix = "Cannot write file " + target + "\n";
    EXPECT_EQ(m_messages[0].substr(0, prefix.size()), prefix);
    EXPECT_GT(m_messages[0].size(), prefix.size()) << "the system's reason follows";
    EXPECT_EQ(m_state.exportMinLog, -15.0) << "nothing written, nothing raised";
}

TEST_F(ExportPsdDialog, SpectrumValuesThatAreNotNumbersDoNotBlockTheExport)
{
    m_state.psd[2] = std::numeric_limits<float>::quiet_NaN();
    m_state.psd[1023] = -std::numeric_limits<float>::infinity();
    open();
    const std::string target = path("export.dat");
    type(CExportPsdDlg::IDC_PSD_FILE_NAME, target);
    exportOnOk();
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
    const QByteArray written = contents(target);
    EXPECT_TRUE(written.startsWith("-3.010300 -15.000000\n"));
    EXPECT_TRUE(written.endsWith(" -15.000000\n"));
}

TEST_F(ExportPsdDialog, ShortSpectrumIsShownWithoutReadingPastIt)
{
    for (int M : { 0, IDOK, IDCANCEL }) {
        m_state.psd.release();
        if (M > 0)
            fillSpectrum(m_state, M);
        open();
        EXPECT_EQ(text(CExportPsdDlg::IDC_FIRST_PSD), "0") << M;
        EXPECT_EQ(text(CExportPsdDlg::IDC_LAST_PSD), "0") << M;
        button(IDOK)->click();
        EXPECT_TRUE(m_messages.empty()) << M;
        EXPECT_EQ(m_dialog->result(), QDialog::Accepted) << M;
    }
}

} // namespace

TEST_F(ExportPsdDialog, DtStartsFromTheSeriesTimeStep)
{
    struct Case {
        int hasTimeStep;
        double timeStep, exportDt;
        const char* expected;
    };
    const Case cases[] = {
        { 1, 0.25, 2.0, "0.25" }, { 0, 0.25, 2.0, "2" },
        { 1, 0.0, 2.0, "2" }, // a step the export refuses is not offered
    };
    for (const Case& c : cases) {
        m_state.hasTimeStep = c.hasTimeStep;
        m_state.timeStep = c.timeStep;
        m_state.exportDt = c.exportDt;
        m_dialog = std::make_unique<CExportPsdDlg>(m_state);
        EXPECT_EQ(text(CExportPsdDlg::IDC_DT), c.expected) << c.timeStep;
    }
}
