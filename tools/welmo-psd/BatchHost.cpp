#include "BatchHost.h"

#include "spectrum/PsdSize.h"

namespace {

StepObserver stepObserver = nullptr;

} // namespace

void observeSteps(StepObserver observer)
{
    stepObserver = observer;
}

BatchHost::BatchHost(const BatchOptions& options, AnalysisState& state, std::FILE* progressOut)
    : m_options(options)
    , m_state(state)
    , m_progressOut(progressOut)
{
}

bool BatchHost::progress(std::string_view step, double fraction)
{
    if (stepObserver)
        stepObserver(step);
    if (!m_progressOut)
        return true;
    if (fraction >= 1.0) {
        if (m_shownLength > 0)
            std::fprintf(m_progressOut, "\r%*s\r", m_shownLength, "");
        std::fflush(m_progressOut);
        m_shownPercent = -1;
        m_shownStep.clear();
        m_shownLength = 0;
        return true;
    }
    const int percent = fraction > 0.0 ? static_cast<int>(fraction * 100.0) : 0;
    if (percent == m_shownPercent && step == m_shownStep)
        return true;
    m_shownPercent = percent;
    m_shownStep = step;
    std::fputc('\r', m_progressOut);
    const int length = std::fprintf(m_progressOut, "welmo-psd: %s: %.*s %3d%%",
        m_options.dataFile.c_str(), static_cast<int>(step.size()), step.data(), percent);
    // A shorter line than the last leaves none of it behind.
    if (length < m_shownLength)
        std::fprintf(m_progressOut, "%*s", m_shownLength - length, "");
    m_shownLength = length > m_shownLength ? length : m_shownLength;
    std::fflush(m_progressOut);
    return true;
}

std::optional<TimeSeriesChoice> BatchHost::runTimeSeriesDialog()
{
    TimeSeriesChoice choice;
    choice.dataFileName = m_options.dataFile;
    choice.headerTokens = m_options.headerTokens;
    choice.columnCount = m_options.columnCount;
    choice.dataColumn = m_options.dataColumn;
    choice.rows = m_options.rows;
    choice.tableSyntax = m_options.syntax;
    choice.fillGaps = m_options.fillGaps;
    choice.hasTimeStep = m_options.dtGiven || m_options.timeColumn > 0 ? 1 : 0;
    choice.timeStep = m_options.dt;
    choice.timeColumn = m_options.timeColumn;
    choice.timeUnit = m_options.timeUnit;
    return choice;
}

std::optional<PsdChoice> BatchHost::runPsdConfigDialog()
{
    PsdChoice choice { m_state.psdSize, m_state.maxPsdSize, m_state.dataShift, m_state.segmentCount,
        m_state.windowType, m_state.lbFrequencies, m_state.normalize };
    if (m_options.psdSize)
        choice.psdSize = *m_options.psdSize;
    if (m_options.autoShift)
        choice.dataShift = automaticShift(m_state.sampleCount, choice.psdSize, choice.segmentCount);
    choice.maxPsdSize = psdSizeLimit(m_state.sampleCount, choice.segmentCount, choice.dataShift);
    return choice;
}

std::optional<SegmentChoice> BatchHost::runSelectSegmentDialog()
{
    return SegmentChoice { m_edit.from, m_edit.to };
}

std::optional<int> BatchHost::runRunningAverageDialog()
{
    return m_edit.window;
}

std::optional<ExportChoice> BatchHost::runExportPsdDialog()
{
    return ExportChoice { m_state.psdFileName, m_state.exportMinLog, m_options.normalScales,
        m_state.exportDt };
}

void BatchHost::message(const std::string& text)
{
    if (m_firstMessage.empty())
        m_firstMessage = text;
}

void BatchHost::warning(const std::string& text)
{
    note(text);
}

void BatchHost::statusMessage(const std::string& text)
{
    note(text);
}

void BatchHost::note(const std::string& text)
{
    // Beside the summary on stdout, never in it.
    if (m_progressOut && m_shownLength > 0)
        std::fprintf(m_progressOut, "\r%*s\r", m_shownLength, "");
    m_shownLength = 0;
    m_shownPercent = -1;
    std::fprintf(stderr, "welmo-psd: %s: %s\n", m_options.dataFile.c_str(), text.c_str());
}
