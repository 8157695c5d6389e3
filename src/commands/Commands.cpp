#include "commands/Commands.h"

#include "commands/RecordSnapshot.h"
#include "core/CFormat.h"
#include "core/Parallel.h"
#include "core/SeriesStatistics.h"
#include "input/AppendedRows.h"
#include "input/MissingValues.h"
#include "input/SeriesEditing.h"
#include "input/TimeSeriesReader.h"
#include "input/TimeStep.h"
#include "output/PsdExport.h"
#include "spectrum/PsdEstimator.h"
#include "spectrum/PsdSize.h"
#include "spectrum/SpectralMeasures.h"
#include "spectrum/SpectrumPower.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

// Why the file did not open: the system's reason, found again on a second
// open that does not wait (a FIFO's would wait for a writer). A file that
// is not there gets the data dialog's own message.
std::string openFailure(const std::string& file)
{
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const int error = errno;
    if (descriptor >= 0) {
        ::close(descriptor);
        return "File not found";
    }
    if (error == ENOENT)
        return "File not found";
    return "Cannot read " + file + ": " + std::strerror(error);
}

// The message of a failed one-pass read (readWholeTimeSeries's status).
std::string wholeReadFailure(int status, const std::string& file)
{
    switch (status) {
    case READ_NO_MEMORY:
        return "Memory Allocation failure";
    case READ_TOO_MANY_ROWS:
        return formatC("Too many data: the file holds more than %u rows", MAX_DATA_ROWS);
    default:
        return openFailure(file);
    }
}

void showReadError(AnalysisState& state, CommandHost& host)
{
    host.arrowCursor();
    host.message(readErrorMessage(state.sampleCount));
}

void capPsdSize(AnalysisState& state)
{
    state.maxPsdSize = psdSizeLimit(state.sampleCount, state.segmentCount, state.dataShift);
    if (state.psdSize > state.maxPsdSize)
        state.psdSize = state.maxPsdSize;
}

// Whether a series of `count` samples fits in memory: asked before the
// read, so that a shortage is told as such and not as a read error.
bool hasMemoryForSeries(unsigned count)
{
    FloatBuffer probe;
    return probe.allocate(static_cast<std::size_t>(count) + 1);
}

bool seriesHolds(const AnalysisState& state, unsigned count)
{
    return state.series.size() >= static_cast<std::size_t>(count) + 1;
}

} // namespace

std::string readErrorMessage(unsigned rows)
{
    return formatC("Error in file \n %u data retrieved", rows);
}

void applyAutomaticSignalRange(AnalysisState& state)
{
    const double margin = (state.seriesMax - state.seriesMin) * 0.2;
    state.signalMin = state.seriesMin - margin;
    state.signalMax = state.seriesMax + margin;
}

int runEstimateStep(AnalysisState& state, CommandHost& host)
{
    if (host.estimateTiming() == EstimateTiming::DEFERRED && estimateFits(state))
        return 0;
    const int status = computeSpectrum(state, host.progressCallback());
    if (status == STEP_CANCELLED)
        return status;
    state.computeStatus = status != 0 ? 1 : 0;
    if (status != 0) {
        state.psdValid = 0;
        host.arrowCursor();
        // Memory that ran out is no fault of the configuration, nor a series
        // without power.
        host.message(status == ESTIMATE_NO_MEMORY ? "Memory Allocation failure"
                : status == ESTIMATE_NO_POWER     ? MESSAGE_NO_POWER
                                                  : PSD_NOT_APPROPRIATE);
        return status;
    }
    state.psdValid = 1;
    updateSpectralMeasures(state);
    return 0;
}

namespace {

void takeLayout(AnalysisState& state, const TimeSeriesChoice& choice)
{
    state.dataFileName = choice.dataFileName;
    state.headerTokens = choice.headerTokens;
    state.columnCount = choice.columnCount;
    state.dataColumn = choice.dataColumn;
    state.tableSyntax = choice.tableSyntax;
    state.fillGaps = choice.fillGaps;
    state.hasTimeStep = choice.hasTimeStep;
    state.timeStep = choice.timeStep;
    state.timeColumn = choice.timeColumn;
    state.timeUnit = choice.timeUnit;
    state.dialogAccepted = 1;
}

void takeSettings(AnalysisState& state, const PsdChoice& choice)
{
    state.maxPsdSize = choice.maxPsdSize;
    state.psdSize = choice.psdSize;
    state.dataShift = choice.dataShift;
    state.segmentCount = choice.segmentCount;
    state.windowType = choice.windowType;
    state.lbFrequencies = choice.lbFrequencies;
    state.normalize = choice.normalize;
    state.dialogAccepted = 1;
}

// Ends a command whose step was cancelled: the record goes back to how the
// command found it.
CommandOutcome endCancelled(AnalysisState& state, RecordSnapshot& before, CommandHost& host)
{
    before.restore(state);
    host.arrowCursor();
    host.cancelled();
    return CommandOutcome::CANCELLED;
}

// The estimate that ends a command, which has replaced the spectrum unless
// it was cancelled; the window repaints after a success.
CommandOutcome finishWithEstimate(AnalysisState& state, CommandHost& host, RecordSnapshot& before)
{
    const int status = runEstimateStep(state, host);
    if (status == STEP_CANCELLED)
        return endCancelled(state, before, host);
    host.showWholePicture();
    if (status == ESTIMATE_NO_MEMORY)
        return CommandOutcome::MEMORY;
    if (status == ESTIMATE_NO_POWER)
        return CommandOutcome::DATA_ERROR;
    if (status != 0)
        return CommandOutcome::CONFIGURATION;
    host.arrowCursor();
    host.invalidateWindow();
    return CommandOutcome::DONE;
}

// Whether the series just read may be estimated: values that are not
// finite are filled when the user chose so, else the series is refused.
// A refused series leaves the record as the command found it (series,
// spectrum and statistics) but for the data dialog's choices, when there
// was a dialog, so that nothing is shown as data that is not.
bool acceptFiniteSeries(AnalysisState& state, CommandHost& host, RecordSnapshot& before,
    const TimeSeriesChoice* chosenLayout)
{
    float* series = state.series.data();
    const NonFiniteValues bad = findNonFinite(series, state.sampleCount);
    if (bad.count == 0)
        return true;
    if (state.fillGaps == 1) {
        const std::uint64_t filled = fillGapsLinearly(series, state.sampleCount);
        if (filled > 0) {
            host.statusMessage(filledMessage(filled));
            return true;
        }
    }
    before.restore(state);
    if (chosenLayout)
        takeLayout(state, *chosenLayout);
    host.arrowCursor();
    host.message(nonFiniteMessage(bad));
    host.invalidateWindow();
    return false;
}

// A read that was not cancelled: the statistics or the message, the size
// rule of the command, then its estimate. The window repaints whatever
// the outcome: after a failed read the record holds the rows stored.
CommandOutcome finishRead(AnalysisState& state, CommandHost& host, RecordSnapshot& before,
    void (*sizeRule)(AnalysisState&), const TimeSeriesChoice* chosenLayout = nullptr)
{
    const bool readOk = state.computeStatus == 0;
    if (readOk && !acceptFiniteSeries(state, host, before, chosenLayout))
        return CommandOutcome::DATA_ERROR;
    if (readOk)
        computeSeriesStatistics(state);
    else
        showReadError(state, host);
    sizeRule(state);
    const CommandOutcome outcome
        = readOk ? finishWithEstimate(state, host, before) : CommandOutcome::DATA_ERROR;
    if (!readOk)
        host.showWholePicture();
    if (outcome != CommandOutcome::DONE && outcome != CommandOutcome::CANCELLED) {
        host.arrowCursor();
        host.invalidateWindow();
    }
    return outcome;
}

// Retrieve Data's size: the largest, not merely capped.
void takeLargestPsdSize(AnalysisState& state)
{
    if (state.autoScaleSignal)
        applyAutomaticSignalRange(state);
    state.maxPsdSize = psdSizeLimit(state.sampleCount, state.segmentCount, state.dataShift);
    state.psdSize = state.maxPsdSize;
}

// Reads `count` rows into a buffer of the command's own, which replaces the
// series only when the read was not cancelled: the previous series is
// handed to `before`. Returns the read's status; on a failed read the
// record holds the rows stored, as the window shows them.
int readSeriesForCommand(
    AnalysisState& state, unsigned count, RecordSnapshot& before, CommandHost& host)
{
    FloatBuffer series;
    unsigned stored = 0;
    const int status = readTimeSeriesInto(
        state, state.tableSyntax, count, series, stored, host.progressCallback());
    if (status == STEP_CANCELLED)
        return status;
    if (!series.empty()) {
        before.keepSeries(state.series);
        state.series = std::move(series);
    }
    if (status == 0)
        state.isOriginal = 1;
    else
        state.sampleCount = stored;
    return status;
}

// The time step from column timeColumn of the rows just read, the same
// layout and syntax: its median step, with one warning when the steps are
// uneven or give none. Returns STEP_CANCELLED when the read was stopped.
int takeTimeStepFromColumn(AnalysisState& state, CommandHost& host)
{
    // In double precision: times such as days since an epoch keep their
    // steps only there.
    std::unique_ptr<double[]> times;
    unsigned stored = 0;
    const int status = readTimeColumnInto(state, state.tableSyntax, state.timeColumn,
        state.sampleCount, times, stored, host.progressCallback());
    if (status == STEP_CANCELLED)
        return status;
    const TimeStep step
        = status == 0 ? medianTimeStep(times.get(), state.sampleCount) : TimeStep {};
    state.hasTimeStep = step.found ? 1 : 0;
    if (!step.found) {
        host.warning(formatC(MESSAGE_NO_TIME_STEP, state.timeColumn));
        return 0;
    }
    state.timeStep = step.step;
    if (step.uneven)
        host.warning(MESSAGE_UNEVEN_STEPS);
    return 0;
}

} // namespace

std::optional<unsigned> countRows(const TimeSeriesChoice& layout, CommandHost& host)
{
    host.waitCursor();
    unsigned rows = 0;
    const int status = countTimeSeriesRows(layout.dataFileName, layout.tableSyntax,
        layout.headerTokens, layout.columnCount, rows, host.progressCallback());
    host.arrowCursor();
    if (status == 0)
        return rows;
    if (status == STEP_CANCELLED)
        host.cancelled();
    else
        host.message("File not found");
    return std::nullopt;
}

CommandOutcome retrieveData(AnalysisState& state, CommandHost& host)
{
    // The layout and the row count go into the record before anything is
    // read; a cancelled read or estimate puts them back too.
    RecordSnapshot before(state);
    const unsigned countBefore = state.sampleCount;
    state.dialogAccepted = 0;
    const std::optional<TimeSeriesChoice> choice = host.runTimeSeriesDialog();
    if (!choice)
        return CommandOutcome::DONE;
    takeLayout(state, *choice);
    // Only a read that ends well marks where its rows end.
    state.followMark = FollowMark {};

    // Without a row count every complete row is read in one pass, which
    // also counts them.
    FloatBuffer wholeFile;
    unsigned count = choice->rows.value_or(0);
    if (!choice->rows) {
        const int status = readWholeTimeSeries(
            state, state.tableSyntax, wholeFile, count, host.progressCallback());
        if (status == STEP_CANCELLED)
            return endCancelled(state, before, host);
        if (status != 0) {
            before.restore(state);
            host.message(wholeReadFailure(status, state.dataFileName));
            return status == READ_NO_MEMORY ? CommandOutcome::MEMORY : CommandOutcome::DATA_ERROR;
        }
    }
    state.sampleCount = count;
    if (count < MIN_SERIES_ROWS) {
        // The buffer still covers only the previous series.
        state.computeStatus = 1;
        state.sampleCount = countBefore;
        host.message("Too few data");
        return CommandOutcome::DATA_ERROR;
    }
    if (choice->rows && !hasMemoryForSeries(count)) {
        // As when the series itself could not be allocated: nothing may
        // read the old counts' samples.
        state.series.release();
        state.sampleCount = 0;
        state.loadedCount = 0;
        state.computeStatus = 1;
        host.message("Memory Allocation failure");
        return CommandOutcome::MEMORY;
    }

    host.waitCursor();
    if (choice->rows)
        state.computeStatus = readSeriesForCommand(state, count, before, host);
    else {
        before.keepSeries(state.series);
        state.series = std::move(wholeFile);
        state.isOriginal = 1;
        state.computeStatus = 0;
    }
    if (state.computeStatus == STEP_CANCELLED)
        return endCancelled(state, before, host);
    state.loadedCount = state.sampleCount;
    if (state.computeStatus == 0 && state.timeColumn > 0
        && takeTimeStepFromColumn(state, host) == STEP_CANCELLED)
        return endCancelled(state, before, host);
    const CommandOutcome outcome = finishRead(state, host, before, takeLargestPsdSize, &*choice);
    if (outcome == CommandOutcome::DONE) {
        markRowsRead(state, state.followMark);
        derivePsdFileName(state);
        // The export's linear format gives frequencies per this step.
        if (state.hasTimeStep && exportTimeStepValid(state.timeStep))
            state.exportDt = state.timeStep;
    }
    return outcome;
}

CommandOutcome psdConfiguration(AnalysisState& state, CommandHost& host)
{
    RecordSnapshot before(state);
    capPsdSize(state);
    state.dialogAccepted = 0;
    const std::optional<PsdChoice> choice = host.runPsdConfigDialog();
    if (!choice)
        return CommandOutcome::DONE;
    takeSettings(state, *choice);
    host.waitCursor();
    // The wait cursor here is an override that stays until it is lifted,
    // not one that the next mouse move replaces.
    return finishWithEstimate(state, host, before);
}

CommandOutcome getOriginalData(AnalysisState& state, CommandHost& host)
{
    RecordSnapshot before(state);
    state.sampleCount = state.loadedCount;
    host.waitCursor();
    if (seriesHolds(state, state.sampleCount))
        state.computeStatus = readSeriesForCommand(state, state.sampleCount, before, host);
    else {
        state.sampleCount = 0;
        state.computeStatus = 1;
    }
    if (state.computeStatus == STEP_CANCELLED)
        return endCancelled(state, before, host);
    return finishRead(state, host, before, capPsdSize);
}

CommandOutcome selectSegment(AnalysisState& state, CommandHost& host)
{
    RecordSnapshot before(state);
    bool refused = false;
    // What follows runs after a refused segment and after Cancel as well.
    if (const std::optional<SegmentChoice> segment = host.runSelectSegmentDialog()) {
        // The cut moves samples in place; a cancelled estimate puts the
        // series back from the copy.
        if (!before.keepSeriesCopy(state)) {
            host.message("Memory Allocation failure");
            return CommandOutcome::MEMORY;
        }
        refused = cutSegment(state, segment->from, segment->to) != 0;
        if (refused)
            host.message(SEGMENT_OUT_OF_RANGE);
    }
    capPsdSize(state);
    host.waitCursor();
    const CommandOutcome outcome = finishWithEstimate(state, host, before);
    return refused && outcome != CommandOutcome::CANCELLED ? CommandOutcome::OUT_OF_RANGE : outcome;
}

CommandOutcome runningAverage(AnalysisState& state, CommandHost& host)
{
    RecordSnapshot before(state);
    const std::optional<int> window = host.runRunningAverageDialog();
    // The smoothing costs N times W additions: it runs under the wait cursor.
    host.waitCursor();
    if (window) {
        // The averaged series replaces the record's, which is kept until
        // the estimate that follows has not been cancelled either.
        FloatBuffer previous;
        const int status
            = runningAverageOfSeries(state, *window, host.progressCallback(), &previous);
        if (status == STEP_CANCELLED)
            return endCancelled(state, before, host);
        if (status != 0) {
            host.arrowCursor();
            host.message("Memory Allocation failure");
            return CommandOutcome::MEMORY;
        }
        before.keepSeries(previous);
    }
    return finishWithEstimate(state, host, before);
}

void refreshScreen(CommandHost& host)
{
    host.invalidateWindow();
}

bool canFollow(const AnalysisState& state)
{
    return state.isOriginal == 1 && state.followMark.rows != 0
        && state.followMark.rows == state.sampleCount && seriesHolds(state, state.sampleCount);
}

std::string cannotFollowMessage(const std::string& file)
{
    return "Cannot follow " + file + ": its last lines are not the rows read";
}

namespace {

// Why a look ended the follow, or "" when it did not.
std::string followStopMessage(FileChange change, const std::string& file)
{
    switch (change) {
    case FileChange::SHORTER:
        return file + " became shorter: the follow stops";
    case FileChange::REPLACED:
        return file + " was replaced: the follow stops";
    case FileChange::UNREADABLE:
        return openFailure(file);
    case FileChange::NO_MEMORY:
        return "Memory Allocation failure";
    default:
        return "";
    }
}

constexpr std::size_t COPY_BLOCK = std::size_t(1) << 20;

// The series with the appended samples after it, or an empty buffer when
// memory is short.
FloatBuffer lengthenedSeries(const AnalysisState& state, const AppendedRows& appended)
{
    FloatBuffer longer;
    const std::size_t kept = static_cast<std::size_t>(state.sampleCount) + 1;
    if (!longer.allocate(kept + appended.rows))
        return longer;
    // In blocks on the threads: the new buffer's pages are first touched
    // here, which costs more than the copy itself.
    const float* from = state.series.data();
    float* to = longer.data();
    const std::size_t blocks = (kept + COPY_BLOCK - 1) / COPY_BLOCK;
    runTasks(blocks, [&](std::size_t b) {
        const std::size_t start = b * COPY_BLOCK;
        std::copy_n(from + start, std::min(COPY_BLOCK, kept - start), to + start);
    });
    std::copy_n(appended.samples.data() + 1, appended.rows, to + kept);
    return longer;
}

} // namespace

CommandOutcome followStep(AnalysisState& state, CommandHost& host)
{
    if (!canFollow(state)) {
        host.message(cannotFollowMessage(state.dataFileName));
        return CommandOutcome::DATA_ERROR;
    }
    RecordSnapshot before(state);
    AppendedRows appended = readAppendedRows(state, state.followMark, host.progressCallback());
    if (appended.change == FileChange::CANCELLED)
        return endCancelled(state, before, host);
    const std::string stop = followStopMessage(appended.change, state.dataFileName);
    if (!stop.empty()) {
        host.message(stop);
        return appended.change == FileChange::NO_MEMORY ? CommandOutcome::MEMORY
                                                        : CommandOutcome::DATA_ERROR;
    }
    state.followMark = appended.mark;
    if (appended.change == FileChange::NONE)
        return CommandOutcome::DONE;
    if (state.sampleCount + appended.rows > MAX_DATA_ROWS) {
        before.restore(state);
        host.message(wholeReadFailure(READ_TOO_MANY_ROWS, state.dataFileName));
        return CommandOutcome::DATA_ERROR;
    }
    FloatBuffer longer = lengthenedSeries(state, appended);
    if (longer.empty()) {
        before.restore(state);
        host.message("Memory Allocation failure");
        return CommandOutcome::MEMORY;
    }
    host.waitCursor();
    before.keepSeries(state.series);
    state.series = std::move(longer);
    state.sampleCount = static_cast<unsigned>(state.sampleCount + appended.rows);
    state.loadedCount = state.sampleCount;
    state.computeStatus = 0;
    return finishRead(state, host, before, takeLargestPsdSize);
}

CommandOutcome exportPsdFile(AnalysisState& state, CommandHost& host)
{
    // The dialog shows and the writer reads spectrum entries; without a
    // valid estimate there are none to show.
    if (!state.psdValid) {
        host.message(NO_SPECTRUM_TO_EXPORT);
        return CommandOutcome::WRITE_FAILURE;
    }
    const std::optional<ExportChoice> choice = host.runExportPsdDialog();
    if (!choice)
        return CommandOutcome::DONE;
    RecordSnapshot before(state);
    state.exportMinLog = choice->minLog;
    state.psdFileName = choice->psdFileName;
    host.waitCursor();
    std::string error;
    const int status
        = exportPsd(state, choice->normalScales, choice->dt, error, host.progressCallback());
    // The file that was there stays as it was, and so do the name and level.
    if (status == STEP_CANCELLED)
        return endCancelled(state, before, host);
    host.arrowCursor();
    if (status != 0)
        host.message(cannotWriteMessage(state.psdFileName, error));
    state.exportDt = choice->dt;
    return status == 0 ? CommandOutcome::DONE : CommandOutcome::WRITE_FAILURE;
}
