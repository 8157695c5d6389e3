#include "output/PsdExport.h"

#include "core/Tuning.h"
#include "output/FileReplacement.h"
#include "output/FixedFormat.h"
#include "output/OrderedBlockWriter.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr double TWO_PI = 6.28318530718;
constexpr double LINEAR_MIN_LOG = -8.0;
constexpr std::size_t MAX_STEM = 240;

constexpr int LOG_LOG_PRECISION = 6;
constexpr int LINEAR_PRECISION = 9;
constexpr int LINEAR_WIDTH = 10;
constexpr std::size_t LINE_MAX_LENGTH = 2 * FIXED_MAX_LENGTH + 2;
constexpr double PROGRESS_STEPS = 256.0;

// A value below the level, or one that does not compare, is written as the
// level itself.
double limited(float value, double minLog)
{
    return value >= minLog ? static_cast<double>(value) : minLog;
}

struct ExportLines {
    const float* psd;
    int M;
    bool normalScales;
    double dt;
    double minLog;

    std::size_t count() const { return M > 2 ? static_cast<std::size_t>(M) - 2 : 0; }
};

bool formatBlock(const ExportLines& lines, std::size_t block, TextBuffer& text)
{
    const double twiceM = 2.0 * lines.M;
    const std::size_t firstLine = block * tuning::kExportBlockLines;
    const std::size_t endLine = std::min(firstLine + tuning::kExportBlockLines, lines.count());
    const int first = static_cast<int>(firstLine + 2);
    const int end = static_cast<int>(endLine + 2);
    for (int i = first; i < end; ++i) {
        if (!text.reserve(LINE_MAX_LENGTH))
            return false;
        const double level = limited(lines.psd[i], lines.minLog);
        char* out = text.end();
        if (lines.normalScales) {
            out = formatFixed(out, TWO_PI / lines.dt * i / twiceM, LINEAR_PRECISION, LINEAR_WIDTH);
            *out++ = ' ';
            out = formatFixed(out, std::pow(10.0, level), LINEAR_PRECISION, LINEAR_WIDTH);
        } else {
            out = formatFixed(out, std::log10(i / twiceM), LOG_LOG_PRECISION);
            *out++ = ' ';
            out = formatFixed(out, level, LOG_LOG_PRECISION);
        }
        *out++ = '\n';
        text.setEnd(out);
    }
    return true;
}

// Returns 0, the error number of the first failure, or ECANCELED when the
// progress asked to stop.
int writeLines(int descriptor, const ExportLines& lines, const ProgressCallback& progress)
{
    const std::size_t blockCount
        = (lines.count() + tuning::kExportBlockLines - 1) / tuning::kExportBlockLines;
    double reported = 0.0;
    // A stop makes the blocks not yet formatted fail, which ends the write.
    std::atomic<bool> stopping { false };
    auto afterOwnBlock = [&](std::size_t blocksWritten) {
        const double step
            = std::floor(PROGRESS_STEPS * static_cast<double>(blocksWritten) / blockCount);
        if (step > reported && step < PROGRESS_STEPS) {
            reported = step;
            if (!reportProgress(progress, PROGRESS_EXPORT, step / PROGRESS_STEPS))
                stopping.store(true, std::memory_order_relaxed);
        }
    };
    const int failure = writeBlocksInOrder(
        descriptor, blockCount,
        [&](std::size_t block, TextBuffer& text) {
            return !stopping.load(std::memory_order_relaxed) && formatBlock(lines, block, text);
        },
        afterOwnBlock);
    return stopping.load() ? ECANCELED : failure;
}

std::string systemReason(int error)
{
    return std::strerror(error);
}

int writeThroughReplacement(const std::string& fileName, const float* psd, int M, bool normalScales,
    double dt, double& minLog, std::string& error, const ProgressCallback& progress)
{
    if (normalScales && !exportTimeStepValid(dt)) {
        error = INVALID_TIME_STEP_REASON;
        return 1;
    }
    FileReplacement file;
    if (std::string refused = file.begin(fileName); !refused.empty()) {
        error = std::move(refused);
        return 1;
    }
    double level = minLog;
    if (normalScales && M > 2 && level < LINEAR_MIN_LOG)
        level = LINEAR_MIN_LOG;

    int failure = writeLines(file.descriptor(), { psd, M, normalScales, dt, level }, progress);
    // A stop heard after the last block still keeps the old file: the
    // run that reports it must not have replaced it.
    if (failure == 0)
        failure = file.commit([] { return !processStopRequested(); });
    if (failure != 0) {
        file.abandon();
        if (failure == ECANCELED)
            return STEP_CANCELLED;
        error = systemReason(failure);
        return 1;
    }
    minLog = level;
    return 0;
}

} // namespace

int writePsdFile(const std::string& fileName, const float* psd, int M, bool normalScales, double dt,
    double& minLog, std::string& error, const ProgressCallback& progress)
{
    if (!reportProgress(progress, PROGRESS_EXPORT, 0.0)) {
        reportProgress(progress, PROGRESS_EXPORT, 1.0);
        return STEP_CANCELLED;
    }
    const int status
        = writeThroughReplacement(fileName, psd, M, normalScales, dt, minLog, error, progress);
    reportProgress(progress, PROGRESS_EXPORT, 1.0);
    return status;
}

int exportPsd(AnalysisState& state, bool normalScales, double dt, std::string& error,
    const ProgressCallback& progress)
{
    if (!state.psdValid || state.psd.empty()) {
        reportProgress(progress, PROGRESS_EXPORT, 0.0);
        error = NO_SPECTRUM_TO_EXPORT;
        reportProgress(progress, PROGRESS_EXPORT, 1.0);
        return 1;
    }
    // The buffer's own length is the size of the estimate that filled it.
    const int M = static_cast<int>(state.psd.size() - 1);
    double minLog = state.exportMinLog;
    const int status = writePsdFile(
        state.psdFileName, state.psd.data(), M, normalScales, dt, minLog, error, progress);
    if (status != 0)
        return status;
    state.exportMinLog = minLog;
    return 0;
}

bool exportTimeStepValid(double dt)
{
    // The frequency of entry i is (TWO_PI / dt * i) / 2M, with i below
    // INT_MAX, so the product bounds every value written.
    return std::isfinite(dt) && dt != 0.0 && std::isfinite(TWO_PI / dt * INT_MAX);
}

std::string cannotWriteMessage(const std::string& fileName, const std::string& reason)
{
    return "Cannot write file " + fileName + "\n" + reason;
}

void derivePsdFileName(AnalysisState& state)
{
    const std::string& data = state.dataFileName;
    const std::size_t slash = data.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = data.find('.', nameStart);
    if (dot != std::string::npos && dot <= MAX_STEM)
        state.psdFileName = data.substr(0, dot) + "p.dat";
    else
        state.psdFileName = data.substr(0, nameStart) + "zqpsd.dat";
}
