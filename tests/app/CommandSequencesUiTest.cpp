#include "MainWindowFixture.h"

#include "app/CommandIds.h"
#include "output/PsdExport.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDir>
#include <QFocusEvent>
#include <QLineEdit>

#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <sstream>

using namespace CommandIds;

namespace {

const std::string SAWTOOTH = WELMO_TEST_DATA "/session_sawtooth.dat";
const std::string HUNDRED_ROWS = WELMO_TEST_DATA "/hundred_rows.dat";

// session_sawtooth.dat: the header "t x", then 512 rows "i v" with v running
// -3.5, -2.5, ..., 3.5 over and over; mean 0 and a sum of squares of 64 * 42.
// With one segment and no shift Retrieve Data sets M = 512 / 2 = 256.
constexpr unsigned SAWTOOTH_ROWS = 512;
float sawtoothSample(unsigned i)
{
    return static_cast<float>((i - 1) % 8) - 3.5f;
}

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Typed {
    int id;
    std::string text;
};

class CommandWindow : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        setMessageHook([this](const std::string& text) {
            m_messages.push_back(text);
            // The real box runs a loop in which the view may paint: the
            // record must draw as it stands when a message is shown.
            EXPECT_GE(m_state.series.size(), std::size_t { m_state.sampleCount } + 1) << text;
            EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "wait cursor over " << text;
            if (m_frame) {
                m_frame->view().repaint();
                m_paintsAtMessage = paints();
            }
        });
    }

    void startWindow()
    {
        MainWindowTest::startWindow();
        m_paintsAtMessage = -1;
    }

    // Paints so far, once the repaints already asked for have been done.
    int settledPaints()
    {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        return paints();
    }

    // The command asked for a repaint since `before`, and after the paint
    // that its last message caused.
    void expectRepaintSince(int before) { waitForPaint(std::max(before, m_paintsAtMessage)); }

    static QLineEdit* field(QWidget* dialog, int id)
    {
        return dialog->findChild<QLineEdit*>(QStringLiteral("field%1").arg(id));
    }
    static QAbstractButton* button(QWidget* dialog, int id)
    {
        return dialog->findChild<QAbstractButton*>(QStringLiteral("button%1").arg(id));
    }
    static std::string text(QWidget* dialog, int id)
    {
        return field(dialog, id)->text().toStdString();
    }
    static void type(QWidget* dialog, const std::vector<Typed>& typed)
    {
        for (const Typed& entry : typed)
            field(dialog, entry.id)->setText(QString::fromStdString(entry.text));
    }
    static void leave(QWidget* dialog, int id)
    {
        QFocusEvent event(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(field(dialog, id), &event);
    }

    // Runs command `id` and plays `answer` on the dialog it opens. A dialog
    // that the answer leaves open is cancelled, so that a refusal the test
    // did not expect fails the test instead of hanging it. Every command
    // ends with the arrow cursor, however it ends. Returns the dialog's
    // class name, empty when none opened.
    std::string command(int id, const std::function<void(QWidget*)>& answer = {})
    {
        const std::string opened = runModal([&] { m_frame->onCommand(id); },
            [&](QWidget* modal) {
                if (answer)
                    answer(modal);
                if (modal->isVisible()) {
                    ADD_FAILURE() << "the dialog stayed open";
                    qobject_cast<QDialog*>(modal)->reject();
                }
            });
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "wait cursor after " << id;
        return opened;
    }

    // Retrieve Data of `rows` rows, value in column 2 of 2 after 2 header
    // tokens (the layout of both fixture files).
    void retrieve(const std::string& file, const char* rows)
    {
        command(ID_FILE_RETRIEVE_DATA, [&](QWidget* dialog) {
            type(dialog,
                { { 1000, file }, { 1002, "2" }, { 1003, "2" }, { 1004, "2" }, { 1005, rows } });
            button(dialog, 1)->click();
        });
    }

    void loadSawtooth()
    {
        retrieve(SAWTOOTH, "512");
        ASSERT_TRUE(m_messages.empty()) << m_messages.front();
        ASSERT_EQ(m_state.sampleCount, SAWTOOTH_ROWS);
        ASSERT_EQ(m_state.psdValid, 1);
    }

    void expectSawtoothSeriesAndStatistics()
    {
        ASSERT_EQ(m_state.sampleCount, SAWTOOTH_ROWS);
        for (unsigned i = 1; i <= SAWTOOTH_ROWS; ++i)
            ASSERT_EQ(m_state.series[i], sawtoothSample(i)) << i;
        EXPECT_EQ(m_state.seriesMean, 0.0);
        EXPECT_EQ(m_state.seriesMin, -3.5);
        EXPECT_EQ(m_state.seriesMax, 3.5);
        EXPECT_DOUBLE_EQ(m_state.seriesStdDev, std::sqrt(2688.0 / 511.0));
    }

    // Configuration with `segments` and `shift` typed, the shift field left,
    // and OK.
    void configure(const char* segments, const char* shift)
    {
        command(ID_SETTINGS_PSD_CONFIG, [&](QWidget* dialog) {
            type(dialog, { { 1011, segments }, { 1012, shift } });
            leave(dialog, 1012);
            button(dialog, 1)->click();
        });
    }

    QTemporaryDir m_exportDir;
    int m_paintsAtMessage = -1;
};

TEST_F(CommandWindow, TooFewRowsKeepsTheCountsTheBufferCovers)
{
    struct Row {
        const char* name;
        bool loadedBefore;
        const char* rows;
    };
    const Row rows[] = {
        { "at start-up", false, "31" },
        { "after a read", true, "31" },
        { "none", true, "0" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        startWindow();
        if (row.loadedBefore)
            loadSawtooth();
        const RecordSnapshot before = snapshotOf(m_state);

        retrieve(SAWTOOTH, row.rows);
        EXPECT_EQ(m_messages, std::vector<std::string> { "Too few data" });
        EXPECT_EQ(m_state.computeStatus, 1);
        EXPECT_EQ(m_state.sampleCount, before.sampleCount);
        EXPECT_EQ(m_state.loadedCount, before.loadedCount);
        EXPECT_EQ(snapshotOf(m_state).series, before.series);
        EXPECT_EQ(snapshotOf(m_state).psd, before.psd);
        EXPECT_EQ(m_state.psdValid, before.psdValid);
        EXPECT_GE(m_state.series.size(), std::size_t { m_state.sampleCount } + 1);

        if (row.loadedBefore) {
            // Reading the file again goes by the counts that were kept.
            m_messages.clear();
            command(ID_SETTINGS_ORIGINAL_DATA);
            EXPECT_TRUE(m_messages.empty());
            expectSawtoothSeriesAndStatistics();
            EXPECT_EQ(m_state.psdValid, 1);
        }
        m_messages.clear();
    }
}

TEST_F(CommandWindow, ShortReadReportsTheRowsAndKeepsTheStatistics)
{
    startWindow();
    loadSawtooth();
    const RecordSnapshot good = snapshotOf(m_state);
    const int paintsBefore = settledPaints();

    retrieve(HUNDRED_ROWS, "150");
    EXPECT_EQ(m_messages, std::vector<std::string> { "Error in file \n 100 data retrieved" });
    EXPECT_EQ(m_state.computeStatus, 1);
    EXPECT_EQ(m_state.sampleCount, 100u);
    EXPECT_EQ(m_state.loadedCount, 100u);
    for (unsigned i = 1; i <= 100; ++i)
        ASSERT_EQ(m_state.series[i], 0.25f * i) << i;
    // The statistics and the range drawn from them are the previous series'.
    EXPECT_EQ(m_state.seriesMean, good.seriesMean);
    EXPECT_EQ(m_state.seriesMin, -3.5);
    EXPECT_EQ(m_state.seriesMax, 3.5);
    EXPECT_EQ(m_state.seriesStdDev, good.seriesStdDev);
    EXPECT_DOUBLE_EQ(m_state.signalMin, -4.9);
    EXPECT_DOUBLE_EQ(m_state.signalMax, 4.9);
    // The size follows the rows read; the spectrum on screen is still the
    // one estimated before, with its own length.
    EXPECT_EQ(m_state.maxPsdSize, 32);
    EXPECT_EQ(m_state.psdSize, 32);
    EXPECT_EQ(m_state.psdValid, 1);
    EXPECT_EQ(snapshotOf(m_state).psd, good.psd);
    EXPECT_EQ(m_state.psdFileName, good.psdFileName);
    expectRepaintSince(paintsBefore);
}

TEST_F(CommandWindow, GetOriginalDataAfterASegmentCutRestoresTheSeries)
{
    startWindow();
    loadSawtooth();
    command(ID_SETTINGS_SELECT_SEGMENT, [](QWidget* dialog) {
        type(dialog, { { 1034, "101" }, { 1035, "300" } });
        button(dialog, 1)->click();
    });
    ASSERT_TRUE(m_messages.empty());
    ASSERT_EQ(m_state.sampleCount, 200u);
    EXPECT_EQ(m_state.series[1], sawtoothSample(101));
    EXPECT_EQ(m_state.isOriginal, 0);
    EXPECT_EQ(m_state.maxPsdSize, 64);
    EXPECT_EQ(m_state.psdSize, 64);
    EXPECT_EQ(m_state.psd.size(), 65u);

    const int paintsBefore = settledPaints();
    EXPECT_EQ(command(ID_SETTINGS_ORIGINAL_DATA), "");
    EXPECT_TRUE(m_messages.empty());
    expectSawtoothSeriesAndStatistics();
    EXPECT_EQ(m_state.loadedCount, SAWTOOTH_ROWS);
    EXPECT_EQ(m_state.isOriginal, 1);
    // The limit grows with the series; the size chosen for the cut stays.
    EXPECT_EQ(m_state.maxPsdSize, 256);
    EXPECT_EQ(m_state.psdSize, 64);
    EXPECT_EQ(m_state.psdValid, 1);
    EXPECT_EQ(m_state.psd.size(), 65u);
    expectRepaintSince(paintsBefore);
}

// A configuration the estimate refuses (2 segments shifted by 200 need
// 400 + 2M > 512 samples for every M the dialog allows), then Select Segment:
// whatever the dialog's outcome, the size is capped to the main window's
// limit (512 - 400 = 112 gives 32) and the estimate succeeds.
TEST_F(CommandWindow, SelectSegmentEstimatesAndRepaintsWhateverItsOutcome)
{
    struct Row {
        const char* name;
        std::vector<Typed> typed;
        int button;
        std::vector<std::string> messages;
    };
    const std::vector<Row> rows = {
        { "TO past the end", { { 1035, "513" } }, 1, { "Segment out of legal range" } },
        { "FROM 0", { { 1034, "0" } }, 1, { "Segment out of legal range" } },
        { "cancelled", { { 1034, "5" } }, 2, {} },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        startWindow();
        loadSawtooth();
        configure("2", "200");
        ASSERT_EQ(m_messages, std::vector<std::string> { "PSD configuration is not appropriate" });
        ASSERT_EQ(m_state.psdValid, 0);
        m_messages.clear();

        const int paintsBefore = settledPaints();
        command(ID_SETTINGS_SELECT_SEGMENT, [&](QWidget* dialog) {
            type(dialog, row.typed);
            button(dialog, row.button)->click();
        });
        EXPECT_EQ(m_messages, row.messages);
        expectSawtoothSeriesAndStatistics();
        EXPECT_EQ(m_state.isOriginal, 1);
        EXPECT_EQ(m_state.maxPsdSize, 32);
        EXPECT_EQ(m_state.psdSize, 32);
        EXPECT_EQ(m_state.computeStatus, 0);
        EXPECT_EQ(m_state.psdValid, 1);
        EXPECT_EQ(m_state.psd.size(), 33u);
        expectRepaintSince(paintsBefore);
        m_messages.clear();
    }
}

// The configuration dialog's own rule counts one shift less than the
// estimate, so it accepts a size the estimate refuses; the next opening
// shows the size lowered to the main window's limit, and Cancel keeps it.
TEST_F(CommandWindow, PsdSizeIsCappedBeforeTheDialogAndKeptAfterCancel)
{
    struct Row {
        const char* segments;
        const char* shift;
        int acceptedSize; // the dialog's: 512 - (K - 1) S
        const char* cappedSize; // the window's: 512 - K S
    };
    const Row rows[] = {
        { "1", "100", 256, "128" }, // 512 and 412
        { "3", "100", 128, "64" }, // 312 and 212
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.segments);
        startWindow();
        loadSawtooth();
        configure(row.segments, row.shift);
        ASSERT_EQ(m_messages, std::vector<std::string> { "PSD configuration is not appropriate" });
        ASSERT_EQ(m_state.psdSize, row.acceptedSize);
        m_messages.clear();

        std::string shownMax, shownSize;
        command(ID_TOOLBAR_PSD_CONFIG, [&](QWidget* dialog) {
            shownMax = text(dialog, 1009);
            shownSize = text(dialog, 1010);
            button(dialog, 2)->click();
        });
        EXPECT_EQ(shownMax, row.cappedSize);
        EXPECT_EQ(shownSize, row.cappedSize);
        EXPECT_EQ(std::to_string(m_state.maxPsdSize), row.cappedSize);
        EXPECT_EQ(std::to_string(m_state.psdSize), row.cappedSize);
        EXPECT_EQ(m_state.psdValid, 0) << "Cancel estimates nothing";
        EXPECT_TRUE(m_messages.empty());
    }
}

TEST_F(CommandWindow, PsdConfigurationRefusesWhatCannotBeEstimated)
{
    struct Row {
        const char* name;
        std::vector<Typed> typed;
        int left; // a field whose lose-focus runs before OK, 0 for none
        std::string shownMax, shownSize; // after leaving it
        std::vector<std::string> messages;
        bool stayedOpen;
        int psdSize, maxPsdSize, segmentCount;
    };
    const std::vector<Row> rows = {
        { "not a power of two", { { 1010, "200" } }, 0, "256", "200",
            { "PSD size must be a power of two" }, true, 256, 256, 1 },
        // R = 512 - 511 = 1: no segment of two samples fits, the sizes stay
        // and the estimate refuses them.
        { "no room for a segment", { { 1011, "2" }, { 1012, "511" } }, 1012, "256", "256",
            { "PSD configuration is not appropriate" }, false, 256, 256, 2 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        startWindow();
        loadSawtooth();
        const RecordSnapshot before = snapshotOf(m_state);
        std::string shownMax, shownSize;
        bool stayedOpen = false;
        command(ID_SETTINGS_PSD_CONFIG, [&](QWidget* dialog) {
            type(dialog, row.typed);
            if (row.left)
                leave(dialog, row.left);
            shownMax = text(dialog, 1009);
            shownSize = text(dialog, 1010);
            button(dialog, 1)->click();
            stayedOpen = dialog->isVisible();
            if (stayedOpen) {
                EXPECT_EQ(QApplication::focusWidget(), field(dialog, 1010));
                button(dialog, 2)->click();
            }
        });
        EXPECT_EQ(shownMax, row.shownMax);
        EXPECT_EQ(shownSize, row.shownSize);
        EXPECT_EQ(m_messages, row.messages);
        EXPECT_EQ(stayedOpen, row.stayedOpen);
        EXPECT_EQ(m_state.psdSize, row.psdSize);
        EXPECT_EQ(m_state.maxPsdSize, row.maxPsdSize);
        EXPECT_EQ(m_state.segmentCount, row.segmentCount);
        if (row.stayedOpen) {
            EXPECT_EQ(snapshotOf(m_state), before);
        } else {
            EXPECT_EQ(m_state.psdValid, 0);
            EXPECT_EQ(m_state.computeStatus, 1);
            EXPECT_TRUE(m_state.psd.empty());
        }
        m_messages.clear();
    }
}

// Whatever the dialog's outcome, the series is estimated again with the size
// it had; the statistics still describe the series as read.
TEST_F(CommandWindow, RunningAverageEstimatesWhateverItsOutcome)
{
    struct Row {
        const char* name;
        const char* window;
        bool averaged;
        std::vector<std::string> messages;
    };
    const std::vector<Row> rows = {
        { "one period", "8", true, {} },
        { "window too short", "1", false, { "Please enter an integer between 2 and 1000." } },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        startWindow();
        loadSawtooth();
        m_state.psd.release();
        m_state.psdValid = 0;
        const int paintsBefore = settledPaints();
        command(ID_SETTINGS_RUNNING_AVERAGE, [&](QWidget* dialog) {
            type(dialog, { { 1032, row.window } });
            button(dialog, 1)->click();
            if (dialog->isVisible())
                button(dialog, 2)->click();
        });
        EXPECT_EQ(m_messages, row.messages);
        if (row.averaged) {
            // Every full window holds one period, whose sum is 0.
            for (unsigned i = 1; i <= SAWTOOTH_ROWS - 8; ++i)
                ASSERT_EQ(m_state.series[i], 0.0f) << i;
            EXPECT_EQ(m_state.series[SAWTOOTH_ROWS - 1], 3.0f); // (2.5 + 3.5) / 2
            EXPECT_EQ(m_state.series[SAWTOOTH_ROWS], 3.5f);
            EXPECT_EQ(m_state.isOriginal, 0);
        } else {
            expectSawtoothSeriesAndStatistics();
            EXPECT_EQ(m_state.isOriginal, 1);
        }
        EXPECT_EQ(m_state.seriesMin, -3.5);
        EXPECT_EQ(m_state.seriesMax, 3.5);
        EXPECT_EQ(m_state.psdSize, 256);
        EXPECT_EQ(m_state.psdValid, 1);
        EXPECT_EQ(m_state.psd.size(), 257u);
        expectRepaintSince(paintsBefore);
        m_messages.clear();
    }
}

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

        double minLog = std::stod(row.minLevel);
        std::string error;
        ASSERT_EQ(writePsdFile(reference, m_state.psd.data(), 256, row.normalScales,
                      std::stod(row.dt), minLog, error),
            0)
            << error;
        EXPECT_EQ(readAll(target), readAll(reference));
        EXPECT_FALSE(readAll(target).empty());
        EXPECT_EQ(m_state.psdFileName, target);
        EXPECT_EQ(m_state.exportMinLog, row.storedMinLevel);
        EXPECT_EQ(m_state.exportDt, std::stod(row.dt));
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
        command(ID_FILE_EXPORT_PSD, [&](QWidget* dialog) {
            type(dialog, { { 1000, target } });
            button(dialog, 1038)->setChecked(true);
            rlimit saved {};
            getrlimit(RLIMIT_FSIZE, &saved);
            auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
            if (row.sizeLimit) {
                const rlimit limited = { row.sizeLimit, saved.rlim_max };
                setrlimit(RLIMIT_FSIZE, &limited);
            }
            button(dialog, 1)->click();
            setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, previousHandler);
        });
        EXPECT_EQ(m_messages,
            std::vector<std::string> {
                "Cannot write file " + target + "\n" + std::strerror(row.reason) });
        if (row.oldContents)
            EXPECT_EQ(readAll(target), row.oldContents);
        else
            EXPECT_FALSE(QFile::exists(QString::fromStdString(target)));
        EXPECT_EQ(m_state.exportMinLog, -15.0) << "nothing written, nothing raised";
        m_messages.clear();
    }
    const QStringList left = QDir(m_exportDir.path()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(left, QStringList { QStringLiteral("old.dat") }) << "no temporary file stays";
}

} // namespace
