#include "commands/Commands.h"

#include "commands/RecordSnapshot.h"
#include "core/CFormat.h"
#include "core/SeriesStatistics.h"
#include "input/SeriesEditing.h"
#include "input/TimeSeriesReader.h"
#include "output/PsdExport.h"
#include "spectrum/PsdEstimator.h"
#include "spectrum/PsdSize.h"
#include "spectrum/SpectralMeasures.h"

namespace {

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

int runEstimateStep(AnalysisState& state, CommandHost& host, EstimateTiming timing)
{
    if (timing == EstimateTiming::DEFERRED && estimateFits(state))
        return 0;
    const int status = computeSpectrum(state, host.progressCallback());
    if (status == STEP_CANCELLED)
        return status;
    state.computeStatus = status != 0 ? 1 : 0;
    if (status != 0) {
        state.psdValid = 0;
        host.arrowCursor();
        // Memory that ran out is no fault of the configuration.
        host.message(
            status == ESTIMATE_NO_MEMORY ? "Memory Allocation failure" : PSD_NOT_APPROPRIATE);
        return status;
    }
    state.psdValid = 1;
    updateSpectralMeasures(state);
    return 0;
}

namespace {

// Ends a command whose step was cancelled: the record goes back to how the
// command found it.
void endCancelled(AnalysisState& state, RecordSnapshot& before, CommandHost& host)
{
    before.restore(state);
    host.arrowCursor();
    host.cancelled();
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
    const int status = readTimeSeriesInto(state, count, series, stored, host.progressCallback());
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

} // namespace

void retrieveData(AnalysisState& state, CommandHost& host, EstimateTiming timing)
{
    // The dialog's OK writes the layout and the row count before anything
    // is read; a cancelled read or estimate puts them back too.
    RecordSnapshot before(state);
    const unsigned countBefore = state.sampleCount;
    state.dialogAccepted = 0;
    host.runTimeSeriesDialog();
    if (!state.dialogAccepted)
        return;

    const unsigned count = state.sampleCount;
    if (count < MIN_SERIES_ROWS) {
        // The dialog already stored the request; the buffer still covers
        // only the previous series.
        state.computeStatus = 1;
        state.sampleCount = countBefore;
        host.message("Too few data");
        return;
    }
    // welmo-psd's data dialog has already read the file, in one pass.
    const bool readByDialog = host.seriesReadByDialog();
    if (!readByDialog && !hasMemoryForSeries(count)) {
        // As when the series itself could not be allocated: nothing may
        // read the old counts' samples.
        state.series.release();
        state.sampleCount = 0;
        state.loadedCount = 0;
        state.computeStatus = 1;
        host.message("Memory Allocation failure");
        return;
    }

    host.waitCursor();
    state.computeStatus = readByDialog ? 0 : readSeriesForCommand(state, count, before, host);
    if (state.computeStatus == STEP_CANCELLED)
        return endCancelled(state, before, host);
    state.loadedCount = state.sampleCount;
    const bool readOk = state.computeStatus == 0;
    if (readOk)
        computeSeriesStatistics(state);
    else
        showReadError(state, host);

    if (state.autoScaleSignal)
        applyAutomaticSignalRange(state);
    state.maxPsdSize = psdSizeLimit(state.sampleCount, state.segmentCount, state.dataShift);
    state.psdSize = state.maxPsdSize;

    if (readOk) {
        const int status = runEstimateStep(state, host, timing);
        if (status == STEP_CANCELLED)
            return endCancelled(state, before, host);
        if (status == 0)
            derivePsdFileName(state);
    }
    host.arrowCursor();
    host.invalidateWindow();
}

void psdConfiguration(AnalysisState& state, CommandHost& host, EstimateTiming timing)
{
    RecordSnapshot before(state);
    capPsdSize(state);
    state.dialogAccepted = 0;
    host.runPsdConfigDialog();
    if (!state.dialogAccepted)
        return;
    host.waitCursor();
    // The wait cursor here is an override that stays until it is lifted,
    // not one that the next mouse move replaces.
    const int status = runEstimateStep(state, host, timing);
    if (status == STEP_CANCELLED)
        return endCancelled(state, before, host);
    if (status == 0) {
        host.arrowCursor();
        host.invalidateWindow();
    }
}

void getOriginalData(AnalysisState& state, CommandHost& host)
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
    const bool readOk = state.computeStatus == 0;
    if (readOk)
        computeSeriesStatistics(state);
    else
        showReadError(state, host);
    capPsdSize(state);
    if (readOk && runEstimateStep(state, host) == STEP_CANCELLED)
        return endCancelled(state, before, host);
    host.arrowCursor();
    host.invalidateWindow();
}

void selectSegment(AnalysisState& state, CommandHost& host, EstimateTiming timing)
{
    RecordSnapshot before(state);
    // What follows runs after a refused segment and after Cancel as well.
    if (const std::optional<SegmentChoice> segment = host.runSelectSegmentDialog()) {
        // The cut moves samples in place; a cancelled estimate puts the
        // series back from the copy.
        if (!before.keepSeriesCopy(state)) {
            host.message("Memory Allocation failure");
            return;
        }
        if (cutSegment(state, segment->from, segment->to) != 0)
            host.message(SEGMENT_OUT_OF_RANGE);
    }
    capPsdSize(state);
    host.waitCursor();
    const int status = runEstimateStep(state, host, timing);
    if (status == STEP_CANCELLED)
        return endCancelled(state, before, host);
    if (status == 0) {
        host.arrowCursor();
        host.invalidateWindow();
    }
}

void runningAverage(AnalysisState& state, CommandHost& host, EstimateTiming timing)
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
            return;
        }
        before.keepSeries(previous);
    }
    const int status = runEstimateStep(state, host, timing);
    if (status == STEP_CANCELLED)
        return endCancelled(state, before, host);
    if (status == 0) {
        host.arrowCursor();
        host.invalidateWindow();
    }
}

void refreshScreen(CommandHost& host)
{
    host.invalidateWindow();
}

void exportPsdFile(AnalysisState& state, CommandHost& host)
{
    // The dialog shows and the writer reads spectrum entries; without a
    // valid estimate there are none to show.
    if (!state.psdValid) {
        host.message(NO_SPECTRUM_TO_EXPORT);
        return;
    }
    const std::optional<ExportChoice> choice = host.runExportPsdDialog();
    if (!choice)
        return;
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
}
