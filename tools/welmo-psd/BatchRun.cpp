#include "BatchRun.h"

#include "core/Commands.h"
#include "core/SeriesStatistics.h"
#include "input/TimeSeriesReader.h"
#include "output/PsdExport.h"
#include "spectrum/PsdEstimator.h"
#include "spectrum/SpectralMeasures.h"

namespace {

void applyLayout(const BatchOptions& options, AnalysisState& state)
{
    state.dataFileName = options.dataFile;
    state.headerTokens = options.headerTokens;
    state.columnCount = options.columnCount;
    state.dataColumn = options.dataColumn;
    state.segmentCount = options.segmentCount;
    state.dataShift = options.dataShift;
    state.windowType = options.windowType;
    state.normalize = options.normalize;
    state.lbFrequencies = options.lbFrequencies;
    state.exportDt = options.dt;
    state.exportMinLog = options.minLevel;
}

BatchStatus readSeries(const BatchOptions& options, AnalysisState& state, std::string& error)
{
    unsigned rows = 0;
    if (options.rows)
        rows = *options.rows;
    else if (countTimeSeriesRows(state.dataFileName, state.headerTokens, state.columnCount, rows)
        != 0) {
        error = "File not found";
        return BATCH_DATA_ERROR;
    }
    if (rows < MIN_SERIES_ROWS) {
        error = "Too few data";
        return BATCH_DATA_ERROR;
    }
    state.sampleCount = rows;
    if (allocateSeries(state, rows) != 0) {
        state.sampleCount = 0;
        error = "Memory Allocation failure";
        return BATCH_DATA_ERROR;
    }
    state.computeStatus = readTimeSeries(state, rows);
    state.loadedCount = state.sampleCount;
    if (state.computeStatus != 0) {
        error = readErrorMessage(state.sampleCount);
        return BATCH_DATA_ERROR;
    }
    return BATCH_OK;
}

} // namespace

BatchStatus runBatch(const BatchOptions& options, AnalysisState& state, std::string& error)
{
    applyLayout(options, state);
    if (const BatchStatus status = readSeries(options, state, error); status != BATCH_OK)
        return status;

    computeSeriesStatistics(state);
    if (state.autoScaleSignal)
        applyAutomaticSignalRange(state);
    if (options.autoShift)
        state.dataShift = automaticShift(state.sampleCount, *options.psdSize, state.segmentCount);
    state.maxPsdSize = psdSizeLimit(state.sampleCount, state.segmentCount, state.dataShift);
    state.psdSize = options.psdSize ? *options.psdSize : state.maxPsdSize;

    state.computeStatus = computeSpectrum(state);
    if (state.computeStatus != 0) {
        state.psdValid = 0;
        error = "PSD configuration is not appropriate";
        return BATCH_CONFIGURATION_ERROR;
    }
    state.psdValid = 1;
    updateSpectralMeasures(state);
    derivePsdFileName(state);
    if (options.output)
        state.psdFileName = *options.output;

    std::string reason;
    if (exportPsd(state, options.normalScales, options.dt, reason) != 0) {
        error = cannotWriteMessage(state.psdFileName, reason);
        return BATCH_WRITE_ERROR;
    }
    return BATCH_OK;
}
