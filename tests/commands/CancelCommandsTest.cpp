#include "commands/Commands.h"

#include "support/CancelPoints.h"
#include "support/FileContents.h"
#include "support/ScriptedHost.h"
#include "support/TempFolder.h"
#include "support/ThreadCount.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Events = std::vector<std::string>;

constexpr unsigned ROWS = 140000;

// A two-column table with a header of two words; the second column is a
// tone, the first a ramp, so that a cut, an average or another column all
// change the samples.
std::string writeTable(const TempFolder& folder, const std::string& name)
{
    const std::string fileName = folder.file(name);
    std::ofstream out(fileName);
    out << "t x\n";
    for (unsigned r = 1; r <= ROWS; ++r)
        out << r << ' ' << (r * 7 % 23) - 11.5 << '\n';
    return fileName;
}

// The names and bytes of every file in the folder.
std::string folderBytes(const fs::path& folder)
{
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.insert(entry.path().string());
    std::string bytes;
    for (const std::string& name : names)
        bytes += name + '\n' + fileBytes(name) + '\n';
    return bytes;
}

// A record with a series of the table's second column, its spectrum of
// eight segments, and a cut of it, so that Get Original Data has a read
// to do; the export file already exists.
struct LoadedRecord {
    explicit LoadedRecord(const TempFolder& folder, const std::string& dataFile)
    {
        state.segmentCount = 8;
        state.dataShift = 4000;
        host.timeSeriesDialog = readColumn(dataFile, 2);
        retrieveData(state, host);
        host.selectSegmentDialog = [](const AnalysisState&) {
            return SegmentChoice { 11, static_cast<int>(ROWS) - 7 };
        };
        selectSegment(state, host);
        state.psdFileName = folder.file("spectrum.dat");
        std::ofstream(state.psdFileName) << "the previous export\n";
        host.clearRecord();
    }

    static ScriptedHost::DialogScript readColumn(const std::string& dataFile, int column)
    {
        return [=](AnalysisState& record) {
            record.dataFileName = dataFile;
            record.headerTokens = 2;
            record.columnCount = 2;
            record.dataColumn = column;
            record.sampleCount = ROWS;
            return true;
        };
    }

    AnalysisState state;
    ScriptedHost host { state };
};

// One command, with the dialogs that make it do work, and the step of it
// to cancel.
struct CancelCase {
    const char* name;
    std::string_view step;
    std::function<void(LoadedRecord&, const TempFolder&)> run;
};

void retrieveFirstColumn(LoadedRecord& record, const TempFolder& folder)
{
    record.host.timeSeriesDialog = LoadedRecord::readColumn(folder.file("data.dat"), 1);
    retrieveData(record.state, record.host);
}

void configureFourSegments(LoadedRecord& record, const TempFolder&)
{
    record.host.psdConfigDialog = [](AnalysisState& state) {
        state.segmentCount = 4;
        state.windowType = 2;
        return true;
    };
    psdConfiguration(record.state, record.host);
}

void originalData(LoadedRecord& record, const TempFolder&)
{
    getOriginalData(record.state, record.host);
}

void cutAgain(LoadedRecord& record, const TempFolder&)
{
    record.host.selectSegmentDialog = [](const AnalysisState&) {
        return SegmentChoice { 3, 50000 };
    };
    selectSegment(record.state, record.host);
}

void average(LoadedRecord& record, const TempFolder&)
{
    record.host.runningAverageDialog = [](const AnalysisState&) { return 5; };
    runningAverage(record.state, record.host);
}

void exportElsewhere(LoadedRecord& record, const TempFolder& folder)
{
    record.host.exportPsdDialog = [&folder](const AnalysisState& state) {
        return ExportChoice { folder.file("spectrum.dat"), state.exportMinLog - 3.0, true, 0.5 };
    };
    exportPsdFile(record.state, record.host);
}

const CancelCase CANCEL_CASES[] = {
    { "Retrieve Data, read", PROGRESS_READ, retrieveFirstColumn },
    { "Retrieve Data, estimate", PROGRESS_ESTIMATE, retrieveFirstColumn },
    { "PSD configuration, estimate", PROGRESS_ESTIMATE, configureFourSegments },
    { "Get Original Data, read", PROGRESS_READ, originalData },
    { "Get Original Data, estimate", PROGRESS_ESTIMATE, originalData },
    { "Select Segment, estimate", PROGRESS_ESTIMATE, cutAgain },
    { "Running Average, average", PROGRESS_AVERAGE, average },
    { "Running Average, estimate", PROGRESS_ESTIMATE, average },
    { "Export, write", PROGRESS_EXPORT, exportElsewhere },
};

// Answers every report of `step` with `answer`, and the others with yes.
ProgressCallback onlyIn(std::string_view step, ProgressCallback answer)
{
    return [step, answer](std::string_view reported, double fraction) {
        return reported != step || answer(reported, fraction);
    };
}

} // namespace

// A stop asked for at the first, a middle or the last report of a step
// ends the command with the record (series, statistics, spectrum, counts,
// names) and every file exactly as before it, no message, the cursor
// restored and the cancel told to the host. The steps' own tests stop
// them on several thread counts; here one thread, so that every run makes
// the reports of the first, whichever way the tasks fall.
TEST(CancelCommand, LeavesRecordAndFilesAsTheyWere)
{
    const ThreadCount threads(1);
    TempFolder folder { "welmo_cancel" };
    const std::string dataFile = writeTable(folder, "data.dat");
    for (const CancelCase& cancelCase : CANCEL_CASES) {
        SCOPED_TRACE(cancelCase.name);
        std::vector<double> fractions;
        {
            LoadedRecord record(folder, dataFile);
            record.host.progressAnswer = onlyIn(cancelCase.step, recordFractions(fractions));
            cancelCase.run(record, folder);
            ASSERT_TRUE(record.host.messages.empty());
            ASSERT_FALSE(fractions.empty()) << "the step ran";
        }
        for (double point : cancelPoints(fractions)) {
            SCOPED_TRACE(point);
            bool asked = false;
            for (int attempt = 0; attempt < CANCEL_ATTEMPTS && !asked; ++attempt) {
                LoadedRecord record(folder, dataFile);
                const RecordImage recordBefore = recordImage(record.state);
                const std::string filesBefore = folderBytes(folder.path());
                record.host.progressAnswer = onlyIn(cancelCase.step, stopLate(point, asked));
                cancelCase.run(record, folder);
                if (!asked)
                    continue;
                // Compared as a whole, so that a failure does not print
                // megabytes of samples.
                EXPECT_TRUE(recordImage(record.state) == recordBefore) << "the record changed";
                EXPECT_TRUE(folderBytes(folder.path()) == filesBefore) << "a file changed";
                EXPECT_TRUE(record.host.messages.empty());
                const Events& events = record.host.events;
                ASSERT_GE(events.size(), 2u);
                EXPECT_EQ(events.back(), "cancelled");
                EXPECT_EQ(events[events.size() - 2], "arrow");
            }
            EXPECT_TRUE(asked) << "no report at or past the point";
        }
    }
}

// After a cancel the command runs again to the same record as an
// uncancelled run: nothing of the cancelled run is left behind.
TEST(CancelCommand, ARepeatedCommandEndsAsIfNeverCancelled)
{
    TempFolder folder { "welmo_cancel" };
    const std::string dataFile = writeTable(folder, "data.dat");
    for (const CancelCase& cancelCase : CANCEL_CASES) {
        SCOPED_TRACE(cancelCase.name);
        LoadedRecord plain(folder, dataFile);
        cancelCase.run(plain, folder);
        const RecordImage plainRecord = recordImage(plain.state);
        const std::string plainFiles = folderBytes(folder.path());

        LoadedRecord retried(folder, dataFile);
        bool asked = false;
        retried.host.progressAnswer = onlyIn(cancelCase.step, stopAt(0.0, asked));
        cancelCase.run(retried, folder);
        ASSERT_TRUE(asked);
        retried.host.progressAnswer = {};
        cancelCase.run(retried, folder);
        EXPECT_TRUE(recordImage(retried.state) == plainRecord) << "the records differ";
        EXPECT_TRUE(folderBytes(folder.path()) == plainFiles) << "the files differ";
    }
}

// Without a row count Retrieve Data reads every complete row in one pass,
// then estimates; a cancel after that read puts the series back too.
TEST(RetrieveData, ReadsEveryRowInOnePassWithoutACount)
{
    TempFolder folder { "welmo_cancel" };
    LoadedRecord record(folder, writeTable(folder, "data.dat"));
    const RecordImage before = recordImage(record.state);
    record.host.timeSeriesDialog = LoadedRecord::readColumn(folder.file("data.dat"), 1);
    record.host.everyRow = true;
    bool asked = false;
    record.host.progressAnswer = onlyIn(PROGRESS_ESTIMATE, stopAt(0.0, asked));
    retrieveData(record.state, record.host);
    ASSERT_TRUE(asked);
    EXPECT_TRUE(recordImage(record.state) == before) << "the record changed";

    record.host.progressAnswer = {};
    record.host.clearRecord();
    retrieveData(record.state, record.host);
    EXPECT_TRUE(record.host.messages.empty());
    EXPECT_EQ(std::count(record.host.progressReports.begin(), record.host.progressReports.end(),
                  std::string(PROGRESS_READ) + " 0"),
        1);
    ASSERT_EQ(record.state.sampleCount, ROWS);
    ASSERT_EQ(record.state.series.size(), ROWS + 1);
    for (unsigned r = 1; r <= ROWS; ++r)
        ASSERT_EQ(record.state.series[r], static_cast<float>(r)) << r;
    EXPECT_EQ(record.state.loadedCount, ROWS);
    EXPECT_EQ(record.state.psdValid, 1);
}

// An estimate that had to free the old spectrum for want of memory and was
// then stopped leaves no valid flag behind without a spectrum.
TEST(CancelCommand, SpectrumFreedForMemoryIsNoLongerValid)
{
    TempFolder folder { "welmo_cancel" };
    LoadedRecord record(folder, writeTable(folder, "data.dat"));
    ASSERT_EQ(record.state.psdValid, 1);
    // Only the first try at a second spectrum fails.
    static std::size_t spectrumEntries;
    static int spectrumTries;
    spectrumEntries = record.state.psd.size();
    spectrumTries = 0;
    setAllocationHook(
        [](std::size_t count) { return count != spectrumEntries || ++spectrumTries > 1; });
    bool asked = false;
    record.host.progressAnswer = onlyIn(PROGRESS_ESTIMATE, stopAt(0.0, asked));
    configureFourSegments(record, folder);
    setAllocationHook(nullptr);

    ASSERT_TRUE(asked);
    EXPECT_EQ(record.host.events.back(), "cancelled");
    EXPECT_TRUE(record.state.psd.empty());
    EXPECT_EQ(record.state.psdValid, 0);
}
