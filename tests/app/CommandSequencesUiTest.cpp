#include "CommandWindowFixture.h"

#include <QStatusBar>

using namespace CommandIds;

namespace {

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
        const RecordImage before = recordImage(m_state);

        retrieve(SAWTOOTH, row.rows);
        EXPECT_EQ(m_messages, std::vector<std::string> { "Too few data" });
        EXPECT_EQ(m_state.computeStatus, 1);
        EXPECT_EQ(m_state.sampleCount, before.values.sampleCount);
        EXPECT_EQ(m_state.loadedCount, before.values.loadedCount);
        EXPECT_EQ(recordImage(m_state).series, before.series);
        EXPECT_EQ(recordImage(m_state).psd, before.psd);
        EXPECT_EQ(m_state.psdValid, before.values.psdValid);
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
    const RecordImage good = recordImage(m_state);
    const int paintsBefore = settledPaints();

    retrieve(HUNDRED_ROWS, "150");
    EXPECT_EQ(m_messages, std::vector<std::string> { "Error in file \n 100 data retrieved" });
    EXPECT_EQ(m_state.computeStatus, 1);
    EXPECT_EQ(m_state.sampleCount, 100u);
    EXPECT_EQ(m_state.loadedCount, 100u);
    for (unsigned i = 1; i <= 100; ++i)
        ASSERT_EQ(m_state.series[i], 0.25f * i) << i;
    // The statistics and the range drawn from them are the previous series'.
    EXPECT_EQ(m_state.seriesMean, good.values.seriesMean);
    EXPECT_EQ(m_state.seriesMin, -3.5);
    EXPECT_EQ(m_state.seriesMax, 3.5);
    EXPECT_EQ(m_state.seriesStdDev, good.values.seriesStdDev);
    EXPECT_DOUBLE_EQ(m_state.signalMin, -4.9);
    EXPECT_DOUBLE_EQ(m_state.signalMax, 4.9);
    // The size follows the rows read; the spectrum on screen is still the
    // one estimated before, with its own length.
    EXPECT_EQ(m_state.maxPsdSize, 32);
    EXPECT_EQ(m_state.psdSize, 32);
    EXPECT_EQ(m_state.psdValid, 1);
    EXPECT_EQ(recordImage(m_state).psd, good.psd);
    EXPECT_EQ(m_state.psdFileName, good.values.psdFileName);
    expectRepaintSince(paintsBefore);
}

// A gap in the data is refused with the previous spectrum kept, or filled
// when the data dialog asks for it, which the status bar says.
TEST_F(CommandWindow, GapsAreRefusedOrFilledAsTheDataDialogChose)
{
    const std::string file = m_exportDir.filePath(QStringLiteral("gap.dat")).toStdString();
    {
        std::ofstream out(file);
        out << "t x\n";
        for (int i = 1; i <= 64; ++i)
            out << i << ' ' << (i == 10 ? "nan" : std::to_string(i % 4)) << '\n';
    }
    startWindow();
    loadSawtooth();
    const RecordImage good = recordImage(m_state);

    retrieve(file, "64");
    EXPECT_EQ(m_messages,
        std::vector<std::string> {
            "The series holds 1 values that are not finite numbers (the first at sample 10)" });
    EXPECT_EQ(recordImage(m_state).psd, good.psd);
    EXPECT_EQ(m_state.psdValid, 1);

    m_messages.clear();
    m_state.fillGaps = 1;
    retrieve(file, "64");
    EXPECT_TRUE(m_messages.empty()) << m_messages.front();
    EXPECT_EQ(m_state.sampleCount, 64u);
    EXPECT_EQ(m_state.series[10], 2.0f); // halfway between 1 and 3
    EXPECT_EQ(m_state.psdValid, 1);
    EXPECT_EQ(m_frame->statusBar()->currentMessage(),
        QStringLiteral("1 missing values filled by linear interpolation"));
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
        const RecordImage before = recordImage(m_state);
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
                EXPECT_EQ(dialog->focusWidget(), field(dialog, 1010));
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
            EXPECT_EQ(recordImage(m_state), before);
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

} // namespace
