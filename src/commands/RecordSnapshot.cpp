#include "commands/RecordSnapshot.h"

#include <algorithm>

namespace {

// A field added to the record changes its size: this stops the build until
// the field is copied below too (then the size here is updated), so that a
// cancelled command never leaves a new field changed.
static_assert(sizeof(AnalysisState) == 352, "copyFields must copy every field of the record");

// Every field of the record but the series and the spectrum buffers.
void copyFields(const AnalysisState& from, AnalysisState& to)
{
    to.dataFileName = from.dataFileName;
    to.headerTokens = from.headerTokens;
    to.columnCount = from.columnCount;
    to.dataColumn = from.dataColumn;
    to.sampleCount = from.sampleCount;
    to.loadedCount = from.loadedCount;
    to.isOriginal = from.isOriginal;

    to.windowType = from.windowType;
    to.amplitudeOutput = from.amplitudeOutput;
    to.extractAverage = from.extractAverage;
    to.psdSize = from.psdSize;
    to.dataShift = from.dataShift;
    to.segmentCount = from.segmentCount;
    to.normalize = from.normalize;
    to.logOutput = from.logOutput;
    to.maxPsdSize = from.maxPsdSize;
    to.lbFrequencies = from.lbFrequencies;
    to.reallocatePsd = from.reallocatePsd;

    to.psdValid = from.psdValid;
    to.computeStatus = from.computeStatus;
    to.lbValue = from.lbValue;
    to.peakFrequency = from.peakFrequency;
    to.seriesMean = from.seriesMean;
    to.seriesMin = from.seriesMin;
    to.seriesMax = from.seriesMax;
    to.seriesStdDev = from.seriesStdDev;

    to.autoScaleSignal = from.autoScaleSignal;
    to.dottedSignal = from.dottedSignal;
    to.signalMin = from.signalMin;
    to.signalMax = from.signalMax;
    to.logFrequency = from.logFrequency;
    to.minLogFrequency = from.minLogFrequency;
    to.colorLb = from.colorLb;
    to.logPower = from.logPower;
    to.minLogPower = from.minLogPower;
    to.maxLogPower = from.maxLogPower;
    to.maxNormalPower = from.maxNormalPower;

    to.psdFileName = from.psdFileName;
    to.editorCommand = from.editorCommand;
    to.exportDt = from.exportDt;
    to.exportMinLog = from.exportMinLog;

    to.dialogAccepted = from.dialogAccepted;
}

} // namespace

RecordSnapshot::RecordSnapshot(const AnalysisState& state)
{
    copyFields(state, m_fields);
}

void RecordSnapshot::keepSeries(FloatBuffer& series)
{
    m_series = std::move(series);
    // A moved-from buffer keeps its count; it must not claim entries.
    series.release();
    m_seriesKept = true;
}

bool RecordSnapshot::keepSeriesCopy(const AnalysisState& state)
{
    FloatBuffer copy;
    if (!copy.allocate(state.series.size()))
        return false;
    std::copy_n(state.series.data(), state.series.size(), copy.data());
    m_series = std::move(copy);
    m_seriesKept = true;
    return true;
}

void RecordSnapshot::restore(AnalysisState& state)
{
    copyFields(m_fields, state);
    if (m_seriesKept) {
        state.series = std::move(m_series);
        m_series.release();
        m_seriesKept = false;
    }
}
