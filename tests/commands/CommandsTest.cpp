#include "commands/Commands.h"

#include "core/SeriesStatistics.h"
#include "input/SeriesEditing.h"
#include "output/PsdExport.h"
#include "spectrum/PsdEstimator.h"
#include "support/FileContents.h"
#include "support/ScriptedHost.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Events = std::vector<std::string>;

// Sample r of the test tables: a sawtooth of period 4 (0, 1, 2, 3, ...),
// whose strongest line below Nyquist is a quarter of the sampling rate.
double sawtooth(unsigned r)
{
    return (r - 1) % 4;
}

double ramp(unsigned r)
{
    return r;
}

class CommandSequence : public ::testing::Test {
protected:
    void TearDown() override { setAllocationHook(nullptr); }

    // A table of `rows` rows and two columns: value(r) and 100 + value(r).
    std::string writeTable(
        const std::string& name, unsigned rows, const std::function<double(unsigned)>& value) const
    {
        const std::string fileName = (m_folder.path() / name).string();
        std::ofstream out(fileName);
        out << "x y\n";
        for (unsigned r = 1; r <= rows; ++r)
            out << value(r) << ' ' << 100 + value(r) << '\n';
        return fileName;
    }

    // The data dialog's OK for a file of this fixture's tables.
    ScriptedHost::DialogScript okData(const std::string& fileName, unsigned rows, int column = 1)
    {
        return [=](AnalysisState& state) {
            state.dataFileName = fileName;
            state.headerTokens = 2;
            state.columnCount = 2;
            state.dataColumn = column;
            state.sampleCount = rows;
            return true;
        };
    }

    // Retrieve Data of a fresh sawtooth table, then a clean record of events.
    static ScriptedHost::ValueScript<SegmentChoice> segment(int from, int to)
    {
        return [=](const AnalysisState&) { return SegmentChoice { from, to }; };
    }
    static ScriptedHost::ValueScript<int> averageWindow(int window)
    {
        return [=](const AnalysisState&) { return window; };
    }
    // The PSD configuration dialog's OK with `size` typed.
    static ScriptedHost::DialogScript psdSize(int size)
    {
        return [=](AnalysisState& state) {
            state.psdSize = size;
            return true;
        };
    }

    void load(unsigned rows, const std::string& name = "run1.dat",
        const std::function<double(unsigned)>& value = sawtooth)
    {
        m_host.timeSeriesDialog = okData(writeTable(name, rows, value), rows);
        retrieveData(m_state, m_host);
        ASSERT_EQ(m_state.computeStatus, 0);
        ASSERT_EQ(m_state.psdValid, 1);
        m_host.clearRecord();
    }

    TempFolder m_folder { "welmo_core" };
    AnalysisState m_state;
    ScriptedHost m_host { m_state };
};

TEST_F(CommandSequence, ExportWritesTheAcceptedValuesAndStoresThem)
{
    struct Case {
        std::string label;
        bool accepted;
        std::string file; // beside the tables
        bool normalScales;
        double minLog;
        Events events;
        double storedMinLog;
        bool written;
    } cases[] = {
        { "log-log", true, "out.dat", false, -20.0, { "dialog", "wait", "arrow" }, -20.0, true },
        { "linear raises the level", true, "out.dat", true, -20.0, { "dialog", "wait", "arrow" },
            -8.0, true },
        { "cancelled", false, "out.dat", true, -20.0, { "dialog" }, -15.0, false },
        { "unwritable", true, "missing/out.dat", true, -20.0,
            { "dialog", "wait", "arrow", "message" }, -20.0, false },
    };
    for (const Case& c : cases) {
        m_state = AnalysisState();
        resetAnalysisState(m_state);
        load(1000);
        const std::string target = (m_folder.path() / c.file).string();
        fs::remove(target);
        const std::string derivedName = m_state.psdFileName;
        m_host.exportPsdDialog = [&](const AnalysisState&) -> std::optional<ExportChoice> {
            if (!c.accepted)
                return std::nullopt;
            return ExportChoice { target, c.minLog, c.normalScales, 0.5 };
        };
        exportPsdFile(m_state, m_host);
        EXPECT_EQ(m_host.events, c.events) << c.label;
        EXPECT_EQ(m_state.exportMinLog, c.storedMinLog) << c.label;
        EXPECT_EQ(m_state.psdFileName, c.accepted ? target : derivedName) << c.label;
        EXPECT_EQ(m_state.exportDt, c.accepted ? 0.5 : 1.0) << c.label;
        EXPECT_EQ(fs::exists(target), c.written) << c.label;
        if (c.written) {
            const std::string reference = (m_folder.path() / "reference.dat").string();
            double minLog = c.minLog;
            std::string error;
            ASSERT_EQ(writePsdFile(reference, m_state.psd.data(), m_state.psdSize, c.normalScales,
                          0.5, minLog, error),
                0);
            EXPECT_EQ(fileBytes(target), fileBytes(reference)) << c.label;
        }
    }
}

TEST_F(CommandSequence, ExportWithoutASpectrumOpensNoDialog)
{
    m_state.psdValid = 0;
    m_host.exportPsdDialog = [](const AnalysisState&) { return ExportChoice {}; };
    exportPsdFile(m_state, m_host);
    EXPECT_EQ(m_host.events, (Events { "message" }));
    EXPECT_EQ(m_host.messages, std::vector<std::string> { NO_SPECTRUM_TO_EXPORT });
}

} // namespace

TEST_F(CommandSequence, RetrieveDataReadsEstimatesAndNamesTheExport)
{
    m_state.psdSize = 64; // chosen earlier in the configuration dialog
    const std::string fileName = writeTable("run1.dat", 1000, sawtooth);
    m_host.timeSeriesDialog = okData(fileName, 1000);
    retrieveData(m_state, m_host);

    EXPECT_EQ(m_host.events, (Events { "dialog", "wait", "arrow", "repaint" }));
    EXPECT_EQ(m_state.computeStatus, 0);
    EXPECT_EQ(m_state.sampleCount, 1000u);
    EXPECT_EQ(m_state.loadedCount, 1000u);
    EXPECT_EQ(m_state.seriesMean, 1.5);
    EXPECT_EQ(m_state.seriesMin, 0.0);
    EXPECT_EQ(m_state.seriesMax, 3.0);
    EXPECT_NEAR(m_state.seriesStdDev, std::sqrt(1000 * 1.25 / 999), 1e-12);
    EXPECT_NEAR(m_state.signalMin, -0.6, 1e-12);
    EXPECT_NEAR(m_state.signalMax, 3.6, 1e-12);
    EXPECT_EQ(m_state.maxPsdSize, 256);
    EXPECT_EQ(m_state.psdSize, 256) << "set to the largest size, not merely capped";
    EXPECT_EQ(m_state.psdValid, 1);
    EXPECT_EQ(m_state.psd.size(), 257u);
    EXPECT_EQ(m_state.peakFrequency, 0.5) << "a quarter of the sampling rate, in Nyquist units";
    EXPECT_EQ(m_state.psdFileName, (m_folder.path() / "run1p.dat").string());
}

// The read, then the estimate, each opened and closed, parts between (and
// none of them once a read fails).
TEST_F(CommandSequence, LongStepsReportTheirProgressInTurn)
{
    auto steps = [&] {
        std::vector<std::string> ends;
        for (const std::string& report : m_host.progressReports)
            if (report.substr(report.size() - 4) != "part")
                ends.push_back(report);
        return ends;
    };
    m_host.timeSeriesDialog = okData(writeTable("run1.dat", 1000, sawtooth), 1000);
    retrieveData(m_state, m_host);
    EXPECT_EQ(steps(),
        (Events { "Reading data 0", "Reading data 1", "Estimating spectrum 0",
            "Estimating spectrum 1" }));

    m_host.clearRecord();
    m_host.timeSeriesDialog = okData(writeTable("short.dat", 40, sawtooth), 1000);
    retrieveData(m_state, m_host);
    EXPECT_EQ(steps(), (Events { "Reading data 0", "Reading data 1" }));
}

TEST_F(CommandSequence, RetrieveDataCancelledChangesNothing)
{
    load(1000);
    m_state.psdSize = 64;
    const float* series = m_state.series.data();
    m_host.timeSeriesDialog = nullptr;
    retrieveData(m_state, m_host);
    EXPECT_EQ(m_host.events, (Events { "dialog" }));
    EXPECT_EQ(m_state.psdSize, 64);
    EXPECT_EQ(m_state.sampleCount, 1000u);
    EXPECT_EQ(m_state.series.data(), series);
    EXPECT_EQ(m_state.dialogAccepted, 0);
}

TEST_F(CommandSequence, RetrieveDataNeedsThirtyTwoRows)
{
    const std::string fileName = writeTable("short.dat", 40, sawtooth);
    struct Case {
        unsigned before; // rows loaded before; 0 is the start-up record
        unsigned requested;
        Events events;
        unsigned countAfter;
        int psdSizeAfter;
    } cases[] = {
        { 0, 2, { "dialog", "message" }, 0, 1024 },
        { 0, 31, { "dialog", "message" }, 0, 1024 },
        { 1000, 0, { "dialog", "message" }, 1000, 256 },
        { 1000, 31, { "dialog", "message" }, 1000, 256 },
        { 0, 32, { "dialog", "wait", "arrow", "repaint" }, 32, 16 },
    };
    for (const Case& c : cases) {
        m_state = AnalysisState();
        resetAnalysisState(m_state);
        if (c.before)
            load(c.before);
        m_host.clearRecord();
        m_host.timeSeriesDialog = okData(fileName, c.requested);
        retrieveData(m_state, m_host);
        const std::string label = "request " + std::to_string(c.requested);
        EXPECT_EQ(m_host.events, c.events) << label;
        EXPECT_EQ(m_state.sampleCount, c.countAfter) << label;
        EXPECT_EQ(m_state.psdSize, c.psdSizeAfter) << label;
        EXPECT_EQ(m_state.dataFileName, fileName) << label << ": what the dialog stored stays";
        EXPECT_TRUE(m_host.consistentAtEveryMessage) << label;
        if (c.requested < 32) {
            EXPECT_EQ(m_host.messages, std::vector<std::string> { "Too few data" }) << label;
            EXPECT_EQ(m_state.computeStatus, 1) << label;
        }
    }
}

TEST_F(CommandSequence, ShortReadReportsTheRowsAndKeepsTheStatistics)
{
    load(1000);
    const double mean = m_state.seriesMean;
    const double stdDev = m_state.seriesStdDev;
    const std::size_t spectrumEntries = m_state.psd.size();

    m_host.timeSeriesDialog = okData(writeTable("hundred.dat", 100, ramp), 150);
    retrieveData(m_state, m_host);

    EXPECT_EQ(m_host.messages, std::vector<std::string> { "Error in file \n 100 data retrieved" });
    EXPECT_EQ(m_host.events, (Events { "dialog", "wait", "arrow", "message", "arrow", "repaint" }));
    EXPECT_TRUE(m_host.consistentAtEveryMessage);
    EXPECT_EQ(m_state.computeStatus, 1);
    EXPECT_EQ(m_state.sampleCount, 100u);
    EXPECT_EQ(m_state.loadedCount, 100u);
    EXPECT_EQ(m_state.series[100], 100.0f);
    EXPECT_EQ(m_state.seriesMean, mean) << "the statistics describe the previous series";
    EXPECT_EQ(m_state.seriesStdDev, stdDev);
    EXPECT_NEAR(m_state.signalMin, -0.6, 1e-12)
        << "automatic range from the statistics as they stand";
    EXPECT_EQ(m_state.psdSize, 32) << "set from the reduced count";
    EXPECT_EQ(m_state.psdValid, 1) << "no estimate was made";
    EXPECT_EQ(m_state.psd.size(), spectrumEntries) << "the spectrum keeps its own size";
    EXPECT_EQ(m_state.psdFileName, (m_folder.path() / "run1p.dat").string());
}

TEST_F(CommandSequence, FailedAllocationEmptiesTheSeries)
{
    load(1000);
    setAllocationHook([](std::size_t count) { return count != 5001; });
    m_host.timeSeriesDialog = okData(writeTable("big.dat", 5000, sawtooth), 5000);
    retrieveData(m_state, m_host);

    EXPECT_EQ(m_host.events, (Events { "dialog", "message" }));
    EXPECT_EQ(m_host.messages, std::vector<std::string> { "Memory Allocation failure" });
    EXPECT_TRUE(m_host.consistentAtEveryMessage);
    EXPECT_EQ(m_state.computeStatus, 1);
    EXPECT_EQ(m_state.sampleCount, 0u);
    EXPECT_EQ(m_state.loadedCount, 0u);
    EXPECT_TRUE(m_state.series.empty());

    // Nothing may now read the old count back into the missing buffer.
    m_host.clearRecord();
    getOriginalData(m_state, m_host);
    EXPECT_EQ(m_state.sampleCount, 0u);
    EXPECT_EQ(m_state.computeStatus, 1);
    EXPECT_TRUE(m_host.consistentAtEveryMessage);
    EXPECT_EQ(m_host.events.back(), "repaint");
}

TEST_F(CommandSequence, SameRowCountReusesTheBufferAfterAFailedEstimate)
{
    load(1000);

    // No size fits N - K*S = 1: the estimate fails and the record holds no
    // spectrum.
    m_state.dataShift = 999;
    m_host.timeSeriesDialog = okData(m_state.dataFileName, 1000, 2);
    retrieveData(m_state, m_host);
    EXPECT_EQ(m_host.messages, std::vector<std::string> { "PSD configuration is not appropriate" });
    EXPECT_EQ(m_host.events, (Events { "dialog", "wait", "arrow", "message", "arrow", "repaint" }));
    EXPECT_TRUE(m_host.consistentAtEveryMessage);
    EXPECT_EQ(m_state.psdSize, 0);
    EXPECT_EQ(m_state.psdValid, 0);
    EXPECT_EQ(m_state.computeStatus, 1);
    EXPECT_TRUE(m_state.psd.empty());
    EXPECT_EQ(m_state.seriesMean, 101.5) << "the second column was read";

    m_host.clearRecord();
    m_state.dataShift = 0;
    m_host.timeSeriesDialog = okData(m_state.dataFileName, 1000, 1);
    retrieveData(m_state, m_host);
    EXPECT_TRUE(m_host.messages.empty());
    EXPECT_EQ(m_state.series.size(), 1001u) << "same row count, same size";
    EXPECT_EQ(m_state.seriesMean, 1.5);
    EXPECT_EQ(m_state.psdValid, 1);
}

TEST_F(CommandSequence, PsdConfigurationCapsTheSizeBeforeTheDialog)
{
    load(1024);
    m_state.dataShift = 100;
    m_state.psdSize = 512; // the dialog can accept it, the estimate cannot
    int sizeSeenByDialog = -1;
    m_host.psdConfigDialog = [&sizeSeenByDialog](AnalysisState& state) {
        sizeSeenByDialog = state.psdSize;
        return false;
    };
    psdConfiguration(m_state, m_host);
    EXPECT_EQ(sizeSeenByDialog, 256);
    EXPECT_EQ(m_state.psdSize, 256) << "the lowered size stays after Cancel";
    EXPECT_EQ(m_state.maxPsdSize, 256);
    EXPECT_EQ(m_host.events, (Events { "dialog" }));

    struct Case {
        int chosenSize;
        Events events;
        int psdValid;
    } cases[] = {
        { 128, { "dialog", "wait", "arrow", "repaint" }, 1 },
        { 512, { "dialog", "wait", "arrow", "message" }, 0 },
    };
    for (const Case& c : cases) {
        m_host.clearRecord();
        m_host.psdConfigDialog = [&c](AnalysisState& state) {
            state.psdSize = c.chosenSize;
            return true;
        };
        psdConfiguration(m_state, m_host);
        EXPECT_EQ(m_host.events, c.events) << "M " << c.chosenSize;
        EXPECT_EQ(m_state.psdValid, c.psdValid) << "M " << c.chosenSize;
        EXPECT_EQ(m_state.computeStatus, 1 - c.psdValid) << "M " << c.chosenSize;
        EXPECT_TRUE(m_host.consistentAtEveryMessage);
    }
}

TEST_F(CommandSequence, GetOriginalDataUndoesASegmentCut)
{
    load(1000, "ramp.dat", ramp);
    m_state.psdSize = 64;
    m_host.selectSegmentDialog = segment(101, 300);
    selectSegment(m_state, m_host);
    EXPECT_EQ(m_host.events, (Events { "dialog", "wait", "arrow", "repaint" }));
    EXPECT_EQ(m_state.sampleCount, 200u);
    EXPECT_EQ(m_state.maxPsdSize, 64);
    EXPECT_EQ(m_state.psd.size(), 65u);
    EXPECT_EQ(m_state.seriesMean, 500.5) << "statistics still describe the file's series";

    m_host.clearRecord();
    m_state.signalMin = -42.0;
    getOriginalData(m_state, m_host);
    EXPECT_EQ(m_host.events, (Events { "wait", "arrow", "repaint" }));
    EXPECT_EQ(m_state.sampleCount, 1000u);
    EXPECT_EQ(m_state.isOriginal, 1);
    EXPECT_EQ(m_state.series[1], 1.0f);
    EXPECT_EQ(m_state.series[1000], 1000.0f);
    EXPECT_EQ(m_state.seriesMean, 500.5);
    EXPECT_EQ(m_state.seriesMax, 1000.0);
    EXPECT_EQ(m_state.maxPsdSize, 256);
    EXPECT_EQ(m_state.psdSize, 64) << "capped, never raised again";
    EXPECT_EQ(m_state.psdValid, 1);
    EXPECT_EQ(m_state.signalMin, -42.0) << "the signal range is not touched";
}

TEST_F(CommandSequence, GetOriginalDataReportsAFileThatShrank)
{
    load(1000, "run1.dat");
    writeTable("run1.dat", 40, ramp);
    getOriginalData(m_state, m_host);
    EXPECT_EQ(m_host.messages, std::vector<std::string> { "Error in file \n 40 data retrieved" });
    EXPECT_EQ(m_host.events, (Events { "wait", "arrow", "message", "arrow", "repaint" }));
    EXPECT_EQ(m_state.sampleCount, 40u);
    EXPECT_EQ(m_state.seriesMean, 1.5) << "no statistics after a failed read";
    EXPECT_EQ(m_state.psdSize, 16);
    EXPECT_EQ(m_state.loadedCount, 1000u);
}

TEST_F(CommandSequence, EditCommandsEstimateWhateverTheDialogDid)
{
    struct Case {
        std::string label;
        ScriptedHost::ValueScript<SegmentChoice> segmentDialog;
        ScriptedHost::ValueScript<int> averageDialog;
        int dataShift;
        Events events;
        unsigned sampleCount;
        float first; // series[1] afterwards
    } cases[] = {
        { "segment", segment(101, 300), nullptr, 0, { "dialog", "wait", "arrow", "repaint" }, 200,
            0.0f },
        { "segment refused", segment(900, 2000), nullptr, 0,
            { "dialog", "message", "wait", "arrow", "repaint" }, 1000, 0.0f },
        { "segment cancelled", nullptr, nullptr, 0, { "dialog", "wait", "arrow", "repaint" }, 1000,
            0.0f },
        { "segment estimate fails", nullptr, nullptr, 999, { "dialog", "wait", "arrow", "message" },
            1000, 0.0f },
        { "average", nullptr, averageWindow(3), 0, { "dialog", "wait", "arrow", "repaint" }, 1000,
            1.0f },
        { "average cancelled", nullptr, nullptr, 0, { "dialog", "wait", "arrow", "repaint" }, 1000,
            0.0f },
        { "average estimate fails", nullptr, nullptr, 900, { "dialog", "wait", "arrow", "message" },
            1000, 0.0f },
    };
    for (const Case& c : cases) {
        m_state = AnalysisState();
        resetAnalysisState(m_state);
        load(1000);
        const double mean = m_state.seriesMean;
        m_state.psd.release(); // so that a new estimate shows
        m_state.psdValid = 0;
        m_state.dataShift = c.dataShift;
        const bool average = c.label.rfind("average", 0) == 0;
        m_host.selectSegmentDialog = c.segmentDialog;
        m_host.runningAverageDialog = c.averageDialog;
        if (average)
            runningAverage(m_state, m_host);
        else
            selectSegment(m_state, m_host);
        EXPECT_EQ(m_host.events, c.events) << c.label;
        EXPECT_EQ(m_state.psdValid, c.dataShift == 0 ? 1 : 0) << c.label;
        EXPECT_EQ(m_state.seriesMean, mean) << c.label << ": statistics are not recomputed";
        EXPECT_EQ(m_state.sampleCount, c.sampleCount) << c.label;
        EXPECT_EQ(m_state.series[1], c.first) << c.label;
        EXPECT_EQ(m_state.isOriginal, c.sampleCount != 1000 || c.first != 0.0f ? 0 : 1) << c.label;
        EXPECT_TRUE(m_host.consistentAtEveryMessage) << c.label;
        if (c.events[1] == "message") {
            EXPECT_EQ(m_host.messages.front(), SEGMENT_OUT_OF_RANGE) << c.label;
        }
    }
}

TEST_F(CommandSequence, RunningAverageOfARecordWithoutABufferLeavesItWhole)
{
    load(1000);
    m_state.series.release();
    m_state.sampleCount = 4;
    m_host.runningAverageDialog = averageWindow(2);
    runningAverage(m_state, m_host);
    EXPECT_TRUE(m_state.series.empty());
    EXPECT_EQ(m_state.sampleCount, 4u);
}

TEST_F(CommandSequence, SpectrumOutOfMemoryEndsOnTheFailurePath)
{
    load(1000);
    m_state.computeStatus = 0;
    setAllocationHook([](std::size_t count) { return count != 257; });
    selectSegment(m_state, m_host);
    EXPECT_EQ(m_host.events, (Events { "dialog", "wait", "arrow", "message" }));
    EXPECT_EQ(m_host.messages, std::vector<std::string> { "Memory Allocation failure" });
    EXPECT_TRUE(m_host.consistentAtEveryMessage);
    EXPECT_EQ(m_state.psdValid, 0);
    EXPECT_EQ(m_state.computeStatus, 1);
    EXPECT_TRUE(m_state.psd.empty());
}

TEST_F(CommandSequence, RunningAverageKeepsTheSize)
{
    load(1000);
    m_state.psdSize = 64;
    m_state.maxPsdSize = 512;
    // Four samples would average the sawtooth to a constant, which has no
    // spectrum to show.
    m_host.runningAverageDialog = averageWindow(3);
    runningAverage(m_state, m_host);
    EXPECT_EQ(m_state.psdSize, 64);
    EXPECT_EQ(m_state.maxPsdSize, 512);
    EXPECT_EQ(m_state.psd.size(), 65u);
    EXPECT_EQ(m_state.series[1], 1.0f) << "mean of 0, 1, 2";
}

TEST_F(CommandSequence, RefreshOnlyRepaints)
{
    load(1000);
    const float* spectrum = m_state.psd.data();
    refreshScreen(m_host);
    EXPECT_EQ(m_host.events, (Events { "repaint" }));
    EXPECT_EQ(m_state.psd.data(), spectrum);
}

// The fit check decides whether a deferred estimate runs; it must agree
// with the estimate's own verdict on every configuration.
TEST(EstimateFits, AgreesWithTheEstimate)
{
    const struct {
        const char* label;
        unsigned buffered; // samples the series buffer holds
        unsigned sampleCount;
        int psdSize;
        int segmentCount;
        int dataShift;
    } cases[] = {
        { "2M is N", 128, 128, 64, 1, 0 },
        { "2M is N + 1", 127, 127, 64, 1, 0 },
        { "K shifts and 2M are N", 528, 528, 64, 4, 100 },
        { "one sample short", 527, 527, 64, 4, 100 },
        { "not a power of two", 1000, 1000, 48, 1, 0 },
        { "no size", 1000, 1000, 0, 1, 0 },
        { "negative size", 1000, 1000, -4, 1, 0 },
        { "no segment", 1000, 1000, 64, 0, 0 },
        { "negative shift", 1000, 1000, 64, 2, -1 },
        { "count beyond the buffer", 100, 1000, 64, 1, 0 },
        { "no buffer", 0, 40, 1, 1, 0 },
        { "K times S beyond 32 bits", 1000, 1000, 2, 10000, 1000000 },
        { "the smallest", 2, 2, 1, 1, 0 },
    };
    for (const auto& c : cases) {
        AnalysisState state;
        resetAnalysisState(state);
        if (c.buffered > 0) {
            ASSERT_EQ(allocateSeries(state, c.buffered), 0);
            for (unsigned i = 1; i <= c.buffered; ++i)
                state.series[i] = static_cast<float>(i % 7);
        }
        state.sampleCount = c.sampleCount;
        state.psdSize = c.psdSize;
        state.segmentCount = c.segmentCount;
        state.dataShift = c.dataShift;
        const bool fits = estimateFits(state);
        // Whether the bins hold power is a question about the data, which
        // the check does not read (M = 1 never shows any).
        const int status = computeSpectrum(state);
        EXPECT_EQ(fits, status == 0 || status == ESTIMATE_NO_POWER) << c.label;
    }
}

// A deferred estimate step changes nothing when the configuration fits and
// otherwise fails exactly as the estimate at once does.
TEST_F(CommandSequence, DeferredEstimateRunsOnlyWhenItWouldFail)
{
    using Command = std::function<void(AnalysisState&, ScriptedHost&)>;
    const Command retrieve = [&](AnalysisState& state, ScriptedHost& host) {
        host.timeSeriesDialog = okData(writeTable("again.dat", 1000, ramp), 1000);
        retrieveData(state, host);
    };
    const Command configure = psdConfiguration;
    const Command select = [](AnalysisState& state, ScriptedHost& host) {
        host.selectSegmentDialog = segment(11, 900);
        selectSegment(state, host);
    };
    const Command average = [](AnalysisState& state, ScriptedHost& host) {
        host.runningAverageDialog = averageWindow(3);
        runningAverage(state, host);
    };
    const struct {
        const char* label;
        Command command;
        int segmentCount;
        int dataShift;
        int dialogSize; // the configuration dialog's size
        bool fits;
    } cases[] = {
        { "retrieve", retrieve, 1, 0, 0, true },
        { "retrieve, shifts beyond the series", retrieve, 10, 100, 0, false },
        { "configure", configure, 1, 0, 128, true },
        { "configure, size beyond the series", configure, 1, 0, 1024, false },
        { "select", select, 1, 0, 0, true },
        { "select, shift beyond the cut", select, 2, 500, 0, false },
        { "average", average, 1, 0, 0, true },
        { "average, shift beyond the series", average, 1, 999, 0, false },
    };
    struct Outcome {
        AnalysisState state;
        Events events;
        Events messages;
        int estimates = 0;
    };
    for (const auto& c : cases) {
        Outcome outcomes[2];
        const EstimateTiming timings[2] = { EstimateTiming::NOW, EstimateTiming::DEFERRED };
        for (int run = 0; run < 2; ++run) {
            m_state = AnalysisState();
            resetAnalysisState(m_state);
            m_host.timing = EstimateTiming::NOW;
            load(1000);
            m_state.psdFileName = "kept.dat";
            m_state.segmentCount = c.segmentCount;
            m_state.dataShift = c.dataShift;
            m_host.psdConfigDialog = psdSize(c.dialogSize);
            m_host.timing = timings[run];
            c.command(m_state, m_host);
            Outcome& outcome = outcomes[run];
            outcome.events = m_host.events;
            outcome.messages = m_host.messages;
            for (const std::string& report : m_host.progressReports)
                outcome.estimates += report == "Estimating spectrum 0";
            outcome.state = std::move(m_state);
        }
        const AnalysisState& now = outcomes[0].state;
        const AnalysisState& deferred = outcomes[1].state;
        EXPECT_EQ(outcomes[1].events, outcomes[0].events) << c.label;
        EXPECT_EQ(outcomes[1].messages, outcomes[0].messages) << c.label;
        EXPECT_EQ(deferred.psdFileName, now.psdFileName) << c.label;
        EXPECT_EQ(deferred.sampleCount, now.sampleCount) << c.label;
        EXPECT_EQ(deferred.psdSize, now.psdSize) << c.label;
        EXPECT_EQ(outcomes[0].estimates, 1) << c.label;
        if (c.fits) {
            EXPECT_EQ(outcomes[1].estimates, 0) << c.label;
            EXPECT_EQ(now.psdValid, 1) << c.label;
            EXPECT_EQ(deferred.psdValid, 1) << c.label << ": the previous spectrum stays";
            EXPECT_EQ(deferred.psd.size(), 257u) << c.label << ": the previous spectrum stays";
        } else {
            EXPECT_EQ(outcomes[1].estimates, 1) << c.label;
            EXPECT_EQ(outcomes[1].messages, Events { PSD_NOT_APPROPRIATE }) << c.label;
            EXPECT_EQ(deferred.psdValid, 0) << c.label;
            EXPECT_EQ(deferred.computeStatus, now.computeStatus) << c.label;
            EXPECT_TRUE(deferred.psd.empty()) << c.label;
        }
    }
}

// What each command tells its caller, and whether it asks for the whole
// picture: exactly when it replaced the series or the spectrum.
TEST_F(CommandSequence, OutcomeAndWholePictureFollowWhatTheCommandChanged)
{
    using Command = std::function<CommandOutcome()>;
    const struct {
        const char* label;
        Command command;
        CommandOutcome outcome;
        int wholePictures;
    } cases[] = {
        { "retrieve",
            [this] {
                m_host.timeSeriesDialog = okData(writeTable("r.dat", 500, ramp), 500);
                return retrieveData(m_state, m_host);
            },
            CommandOutcome::DONE, 1 },
        { "retrieve, too few rows",
            [this] {
                m_host.timeSeriesDialog = okData(writeTable("r.dat", 500, ramp), 31);
                return retrieveData(m_state, m_host);
            },
            CommandOutcome::DATA_ERROR, 0 },
        { "retrieve, short file",
            [this] {
                m_host.timeSeriesDialog = okData(writeTable("r.dat", 50, ramp), 500);
                return retrieveData(m_state, m_host);
            },
            CommandOutcome::DATA_ERROR, 1 },
        { "retrieve, dialog cancelled", [this] { return retrieveData(m_state, m_host); },
            CommandOutcome::DONE, 0 },
        { "configure, size beyond the series",
            [this] {
                m_host.psdConfigDialog = psdSize(4096);
                return psdConfiguration(m_state, m_host);
            },
            CommandOutcome::CONFIGURATION, 1 },
        { "select, out of range",
            [this] {
                m_host.selectSegmentDialog = segment(900, 2000);
                return selectSegment(m_state, m_host);
            },
            CommandOutcome::OUT_OF_RANGE, 1 },
        { "average",
            [this] {
                m_host.runningAverageDialog = averageWindow(3);
                return runningAverage(m_state, m_host);
            },
            CommandOutcome::DONE, 1 },
        { "estimate cancelled",
            [this] {
                m_host.runningAverageDialog = averageWindow(3);
                m_host.progressAnswer
                    = [](std::string_view step, double) { return step != PROGRESS_ESTIMATE; };
                return runningAverage(m_state, m_host);
            },
            CommandOutcome::CANCELLED, 0 },
        { "export without a spectrum",
            [this] {
                m_state.psdValid = 0;
                return exportPsdFile(m_state, m_host);
            },
            CommandOutcome::WRITE_FAILURE, 0 },
    };
    for (const auto& c : cases) {
        m_state = AnalysisState();
        resetAnalysisState(m_state);
        m_host.progressAnswer = {};
        load(1000);
        m_host.timeSeriesDialog = nullptr;
        m_host.wholePictures = 0;
        EXPECT_EQ(c.command(), c.outcome) << c.label;
        EXPECT_EQ(m_host.wholePictures, c.wholePictures) << c.label;
    }
}
