#include "CommandWindowFixture.h"

#include "core/CFormat.h"
#include "output/PsdExport.h"

#include <QDir>

#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstring>

using namespace CommandIds;

namespace {

TEST_F(CommandWindow, ExportWritesWhatTheWriterWritesForTheSameSpectrum)
{
    struct Row {
        const char* name;
        std::string file;
        bool normalScales;
        const char* dt;
        const char* minLevel;
        double storedMinLevel;
    };
    const std::vector<Row> rows = {
        { "log-log", "log-log.dat", false, "1", "-15", -15.0 },
        { "linear", "linear.dat", true, "0.5", "-20", -8.0 },
        // A name as long as the file system allows one.
        { "longest name", std::string(251, 'n') + ".dat", false, "1", "-15", -15.0 },
    };
    startWindow();
    loadSawtooth();
    ASSERT_TRUE(m_exportDir.isValid());
    const std::string reference = m_exportDir.filePath(QStringLiteral("reference")).toStdString();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string target
            = m_exportDir.filePath(QString::fromStdString(row.file)).toStdString();
        command(ID_FILE_EXPORT_PSD, [&](QWidget* dialog) {
            type(dialog, { { 1000, target }, { 1037, row.minLevel }, { 1049, row.dt } });
            button(dialog, 1038)->setChecked(row.normalScales);
            button(dialog, 1)->click();
        });
        EXPECT_TRUE(m_messages.empty()) << m_messages.front();

        double minLog = strtodC(row.minLevel, nullptr);
        std::string error;
        ASSERT_EQ(writePsdFile(reference, m_state.psd.data(), 256, row.normalScales,
                      strtodC(row.dt, nullptr), minLog, error),
            0)
            << error;
        EXPECT_EQ(fileBytes(target), fileBytes(reference));
        EXPECT_FALSE(fileBytes(target).empty());
        EXPECT_EQ(m_state.psdFileName, target);
        EXPECT_EQ(m_state.exportMinLog, row.storedMinLevel);
        EXPECT_EQ(m_state.exportDt, strtodC(row.dt, nullptr));
        m_messages.clear();
    }
}

TEST_F(CommandWindow, ExportThatCannotBeWrittenIsReportedAndKeepsTheOldFile)
{
    struct Row {
        const char* name;
        const char* file;
        const char* oldContents; // nullptr: no file there before
        rlim_t sizeLimit; // file-size limit while writing, 0 for none
        int reason;
    };
    const Row rows[] = {
        { "missing folder", "missing/out.dat", nullptr, 0, ENOENT },
        // The limit stops the write after a few lines, as a full disk would.
        { "write fails midway", "old.dat", "old contents\n", 300, EFBIG },
    };
    startWindow();
    loadSawtooth();
    ASSERT_TRUE(m_exportDir.isValid());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string target
            = m_exportDir.filePath(QString::fromLatin1(row.file)).toStdString();
        if (row.oldContents)
            std::ofstream(target, std::ios::binary) << row.oldContents;
        // The limit holds until the command has ended: the file is written
        // after the dialog has closed.
        rlimit saved {};
        getrlimit(RLIMIT_FSIZE, &saved);
        auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        command(ID_FILE_EXPORT_PSD, [&](QWidget* dialog) {
            type(dialog, { { 1000, target } });
            button(dialog, 1038)->setChecked(true);
            if (row.sizeLimit) {
                const rlimit limited = { row.sizeLimit, saved.rlim_max };
                setrlimit(RLIMIT_FSIZE, &limited);
            }
            button(dialog, 1)->click();
        });
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        EXPECT_EQ(m_messages,
            std::vector<std::string> {
                "Cannot write file " + target + "\n" + std::strerror(row.reason) });
        if (row.oldContents)
            EXPECT_EQ(fileBytes(target), row.oldContents);
        else
            EXPECT_FALSE(QFile::exists(QString::fromStdString(target)));
        EXPECT_EQ(m_state.exportMinLog, -15.0) << "nothing written, nothing raised";
        m_messages.clear();
    }
    const QStringList left = QDir(m_exportDir.path()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(left, QStringList { QStringLiteral("old.dat") }) << "no temporary file stays";
}

} // namespace
