#include "BatchHost.h"

#include "core/CFormat.h"
#include "input/TimeSeriesReader.h"
#include "spectrum/PsdSize.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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

} // namespace

std::string wholeReadFailure(int status, const std::string& file)
{
    switch (status) {
    case STEP_CANCELLED:
        return "Cancelled";
    case READ_NO_MEMORY:
        return "Memory Allocation failure";
    case READ_TOO_MANY_ROWS:
        return formatC("Too many data: the file holds more than %u rows", MAX_DATA_ROWS);
    default:
        return openFailure(file);
    }
}

BatchHost::BatchHost(const BatchOptions& options, AnalysisState& state, std::FILE* progressOut)
    : m_options(options)
    , m_state(state)
    , m_progressOut(progressOut)
{
}

bool BatchHost::progress(std::string_view step, double fraction)
{
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

void BatchHost::runTimeSeriesDialog()
{
    AnalysisState layout;
    layout.dataFileName = m_options.dataFile;
    layout.headerTokens = m_options.headerTokens;
    layout.columnCount = m_options.columnCount;
    layout.dataColumn = m_options.dataColumn;
    unsigned rows = 0;
    FloatBuffer series;
    m_seriesRead = false;
    if (m_options.rows) {
        rows = *m_options.rows;
    } else {
        // All complete rows, as Get and Check counts them, in one pass.
        const int status = readWholeTimeSeries(layout, series, rows, progressCallback());
        if (status != 0) {
            // The dialog is never accepted.
            message(wholeReadFailure(status, m_options.dataFile));
            return;
        }
        m_state.series = std::move(series);
        m_state.isOriginal = 1;
        m_seriesRead = true;
    }
    m_state.dataFileName = m_options.dataFile;
    m_state.headerTokens = m_options.headerTokens;
    m_state.columnCount = m_options.columnCount;
    m_state.dataColumn = m_options.dataColumn;
    m_state.sampleCount = rows;
    m_state.dialogAccepted = 1;
}

bool BatchHost::seriesReadByDialog()
{
    const bool read = m_seriesRead;
    m_seriesRead = false;
    return read;
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
        m_options.dt };
}

void BatchHost::message(const std::string& text)
{
    if (m_firstMessage.empty())
        m_firstMessage = text;
}
