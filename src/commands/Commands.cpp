#include "commands/Commands.h"

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
    state.computeStatus = status;
    if (status != 0) {
        state.psdValid = 0;
        host.arrowCursor();
        host.message(PSD_NOT_APPROPRIATE);
        return status;
    }
    state.psdValid = 1;
    updateSpectralMeasures(state);
    return 0;
}

void retrieveData(AnalysisState& state, CommandHost& host, EstimateTiming timing)
{
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
    if (!readByDialog && (count != countBefore || !seriesHolds(state, count))) {
        state.computeStatus = allocateSeries(state, count);
        if (state.computeStatus != 0) {
            // No buffer is left: nothing may read the old counts' samples.
            state.sampleCount = 0;
            state.loadedCount = 0;
            host.message("Memory Allocation failure");
            return;
        }
    }

    host.waitCursor();
    state.computeStatus = readByDialog ? 0 : readTimeSeries(state, count, host.progressCallback());
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

    if (readOk && runEstimateStep(state, host, timing) == 0)
        derivePsdFileName(state);
    host.arrowCursor();
    host.invalidateWindow();
}

void psdConfiguration(AnalysisState& state, CommandHost& host, EstimateTiming timing)
{
    capPsdSize(state);
    state.dialogAccepted = 0;
    host.runPsdConfigDialog();
    if (!state.dialogAccepted)
        return;
    host.waitCursor();
    // The wait cursor here is an override that stays until it is lifted,
    // not one that the next mouse move replaces.
    if (runEstimateStep(state, host, timing) == 0) {
        host.arrowCursor();
        host.invalidateWindow();
    }
}

void getOriginalData(AnalysisState& state, CommandHost& host)
{
    state.sampleCount = state.loadedCount;
    host.waitCursor();
    if (seriesHolds(state, state.sampleCount))
        state.computeStatus = readTimeSeries(state, state.sampleCount, host.progressCallback());
    else {
        state.sampleCount = 0;
        state.computeStatus = 1;
    }
    const bool readOk = state.computeStatus == 0;
    if (readOk)
        computeSeriesStatistics(state);
    else
        showReadError(state, host);
    capPsdSize(state);
    if (readOk)
        runEstimateStep(state, host);
    host.arrowCursor();
    host.invalidateWindow();
}

void selectSegment(AnalysisState& state, CommandHost& host, EstimateTiming timing)
{
    // What follows runs after a refused segment and after Cancel as well.
    if (const std::optional<SegmentChoice> segment = host.runSelectSegmentDialog())
        if (cutSegment(state, segment->from, segment->to) != 0)
            host.message(SEGMENT_OUT_OF_RANGE);
    capPsdSize(state);
    host.waitCursor();
    if (runEstimateStep(state, host, timing) == 0) {
        host.arrowCursor();
        host.invalidateWindow();
    }
}

void runningAverage(AnalysisState& state, CommandHost& host, EstimateTiming timing)
{
    const std::optional<int> window = host.runRunningAverageDialog();
    // The smoothing costs N times W additions: it runs under the wait cursor.
    host.waitCursor();
    if (window)
        smoothSeries(state, *window, host.progressCallback());
    if (runEstimateStep(state, host, timing) == 0) {
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
    state.exportMinLog = choice->minLog;
    state.psdFileName = choice->psdFileName;
    host.waitCursor();
    std::string error;
    const int status
        = exportPsd(state, choice->normalScales, choice->dt, error, host.progressCallback());
    host.arrowCursor();
    if (status != 0)
        host.message(cannotWriteMessage(state.psdFileName, error));
    state.exportDt = choice->dt;
}
