#include "BatchHost.h"

#include "input/TimeSeriesReader.h"
#include "spectrum/PsdSize.h"

BatchHost::BatchHost(const BatchOptions& options, AnalysisState& state)
    : m_options(options)
    , m_state(state)
{
}

void BatchHost::runTimeSeriesDialog()
{
    unsigned rows = 0;
    if (m_options.rows)
        rows = *m_options.rows;
    else if (countTimeSeriesRows(
                 m_options.dataFile, m_options.headerTokens, m_options.columnCount, rows)
        != 0) {
        // The dialog's Get and Check finds no file; it is never accepted.
        message("File not found");
        return;
    }
    m_state.dataFileName = m_options.dataFile;
    m_state.headerTokens = m_options.headerTokens;
    m_state.columnCount = m_options.columnCount;
    m_state.dataColumn = m_options.dataColumn;
    m_state.sampleCount = rows;
    m_state.dialogAccepted = 1;
}

void BatchHost::runPsdConfigDialog()
{
    if (m_options.psdSize)
        m_state.psdSize = *m_options.psdSize;
    if (m_options.autoShift)
        m_state.dataShift
            = automaticShift(m_state.sampleCount, m_state.psdSize, m_state.segmentCount);
    m_state.maxPsdSize = psdSizeLimit(m_state.sampleCount, m_state.segmentCount, m_state.dataShift);
    m_state.dialogAccepted = 1;
}

void BatchHost::message(const std::string& text)
{
    if (m_firstMessage.empty())
        m_firstMessage = text;
}
