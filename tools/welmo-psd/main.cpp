// welmo-psd: the Retrieve Data sequence of the desktop program on each
// file named, without a window, with the spectrum exported and the
// statistics printed.

#include "BatchFollow.h"
#include "BatchHost.h"
#include "BatchOptions.h"
#include "BatchRun.h"
#include "BatchSummary.h"
#include "StopSignals.h"

#include "core/AnalysisState.h"
#include "core/Version.h"
#include "plot/StatisticsText.h"

#if WELMO_WITH_RENDER
#include "QtRender.h"
#endif

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// With WELMO_TIMING set, where a run's time goes is printed on stderr at
// its end: each step from its first progress report to its last, then the
// picture's parts.
struct JobTiming {
    bool on = std::getenv("WELMO_TIMING") != nullptr;
    Clock::time_point start = Clock::now();
    std::vector<std::string> names;
    std::vector<std::pair<Clock::time_point, Clock::time_point>> spans;

    void mark(std::string_view name, Clock::time_point from, Clock::time_point to)
    {
        for (std::size_t i = 0; i < names.size(); ++i)
            if (names[i] == name) {
                spans[i].second = to;
                return;
            }
        names.emplace_back(name);
        spans.emplace_back(from, to);
    }
    void print() const
    {
        if (!on)
            return;
        const auto seconds = [this](Clock::time_point t) {
            return std::chrono::duration<double>(t - start).count();
        };
        for (std::size_t i = 0; i < names.size(); ++i)
            std::fprintf(stderr, "welmo-psd timing: %-20s %.3f s (from %.3f s)\n", names[i].c_str(),
                seconds(spans[i].second) - seconds(spans[i].first), seconds(spans[i].first));
    }
};

JobTiming timing;

// Each step from its first progress report to its last.
void noteStep(std::string_view step)
{
    const Clock::time_point now = Clock::now();
    timing.mark(step, now, now);
}

// The commands' messages keep the window's line breaks ("Cannot write
// file NAME\nreason"); a failure here is one line, "welmo-psd: FILE:
// message", so that a run over many files can be read a line per file.
std::string oneLine(const std::string& message)
{
    std::string line;
    for (std::size_t i = 0; i < message.size(); ++i) {
        if (message[i] != '\n') {
            line += message[i];
            continue;
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        line += ": ";
        while (i + 1 < message.size() && message[i + 1] == ' ')
            ++i;
    }
    return line;
}

int reportFailure(const std::string& file, const std::string& message, int status)
{
    std::fprintf(stderr, "welmo-psd: %s: %s\n", file.c_str(), oneLine(message).c_str());
    return status;
}

// A step that a signal stopped fails as it would for any other reason;
// the signal is the reason to give.
int reportFailureOrStop(const std::string& file, const std::string& message, int status)
{
    if (const int signal = stopSignal())
        return reportFailure(file, stopMessage(signal), stopExitStatus(signal));
    return reportFailure(file, message, status);
}

// The progress line on a terminal, nowhere otherwise.
std::FILE* terminalProgress()
{
    return progressStream(stderr, ::isatty(STDERR_FILENO) == 1);
}

#if WELMO_WITH_RENDER
int renderIfAsked(
    const BatchOptions& options, const AnalysisState& state, const ReferenceCurves& references)
{
    if (!options.renderFile)
        return BATCH_OK;
    std::string error;
    if (!renderPicture(state, options, error, &references))
        return reportFailureOrStop(options.dataFile, error, BATCH_WRITE_ERROR);
    return BATCH_OK;
}
#endif

// A file's run after its export: the failure, or the statistics block
// and then the summary line.
int finishOneFile(const std::string& file, BatchStatus status, const std::string& error,
    const AnalysisState& state, std::vector<std::string>& exports)
{
    // A stop heard after the export replaced its file comes too late for
    // this file: its run is done.
    if (status != BATCH_OK)
        return reportFailureOrStop(file, error, status);

    exports.push_back(state.psdFileName);
    for (const std::string& line : statisticsTexts(state))
        std::printf("%s\n", line.c_str());
    std::printf("%s\n", batchSummary(file, state).c_str());
    std::fflush(stdout);
    return BATCH_OK;
}

// One file on a fresh record.
int runOneFile(BatchOptions& options, const std::string& file, AnalysisState& state,
    std::vector<std::string>& exports)
{
    options.dataFile = file;
    resetAnalysisState(state);
    std::string error;
    const BatchStatus status = runBatch(options, state, error, terminalProgress(), exports);
    return finishOneFile(file, status, error, state, exports);
}

#if WELMO_WITH_RENDER
// The spectra of --reference, read before the run's own file so that a
// reference that fails leaves every file as it was.
int readReferenceFiles(const BatchOptions& options, ReferenceCurves& references)
{
    std::string failedFile;
    std::string error;
    const BatchStatus status
        = readReferences(options, references, failedFile, error, terminalProgress());
    if (status != BATCH_OK)
        return reportFailureOrStop(failedFile, error, status);
    return BATCH_OK;
}

// The export's own record: the values and the spectrum, not the series.
// False when memory is short.
bool copyForExport(const AnalysisState& state, AnalysisState& exported)
{
    static_cast<RecordValues&>(exported) = state;
    if (!exported.psd.allocate(state.psd.size()))
        return false;
    std::copy_n(state.psd.data(), state.psd.size(), exported.psd.data());
    return true;
}

// The one file of a run with a picture. Its estimate runs beside the
// start of the platform the picture is drawn on, which needs the main
// thread; the picture is then drawn there beside the export, which works
// on its own copy of the record so that the two share nothing either
// writes. The picture's file is written only once the export succeeded,
// as when the two run one after the other.
int runWithPicture(BatchOptions& options, std::vector<std::string>& exports)
{
    AnalysisState state;
    ReferenceCurves references;
    const std::string& file = options.dataFiles.front();
    options.dataFile = file;
    int status = BATCH_OK;
    std::string error;
    std::thread job([&] {
        status = readReferenceFiles(options, references);
        if (status != BATCH_OK)
            return;
        resetAnalysisState(state);
        const BatchStatus estimated = estimateBatch(options, state, error, terminalProgress());
        if (estimated != BATCH_OK)
            status = reportFailureOrStop(file, error, estimated);
    });
    const Clock::time_point qtStart = Clock::now();
    const std::shared_ptr<void> platform = startRenderPlatform();
    timing.mark("Qt start", qtStart, Clock::now());
    job.join();
    if (status != BATCH_OK)
        return status;

    AnalysisState exported;
    BatchStatus written = BATCH_OK;
    const Clock::time_point drawStart = Clock::now();
    DrawnPicture picture;
    if (copyForExport(state, exported)) {
        std::thread exporting(
            [&] { written = exportBatch(options, exported, error, terminalProgress(), exports); });
        picture = drawBatchPicture(state, options, &references);
        exporting.join();
        static_cast<RecordValues&>(state) = exported;
    } else {
        written = exportBatch(options, state, error, terminalProgress(), exports);
        if (written == BATCH_OK)
            picture = drawBatchPicture(state, options, &references);
    }
    timing.mark("Draw beside export", drawStart, Clock::now());
    status = finishOneFile(file, written, error, state, exports);
    if (status != BATCH_OK)
        return status;
    const Clock::time_point writeStart = Clock::now();
    if (!writeBatchPicture(picture, state, options, error))
        return reportFailureOrStop(file, error, BATCH_WRITE_ERROR);
    timing.mark("Write picture", writeStart, Clock::now());
    if (!options.followSeconds)
        return BATCH_OK;
    return followFile(
        options, state, terminalProgress(), [&options, &references](const AnalysisState& followed) {
            return renderIfAsked(options, followed, references);
        });
}
#else
int runWithPicture(BatchOptions&, std::vector<std::string>&)
{
    return BATCH_OK;
}
#endif

} // namespace

int main(int argc, char** argv)
{
    BatchOptions options;
    std::string error;
    if (!parseBatchOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "welmo-psd: %s\n", error.c_str());
        return BATCH_USAGE_ERROR;
    }
    if (options.help) {
        std::fputs(batchUsage().c_str(), stdout);
        return BATCH_OK;
    }
    if (options.version) {
        std::printf("welmo-psd %s\n", WELMO_VERSION);
        return BATCH_OK;
    }

#if !WELMO_WITH_RENDER
    // Refused before any file is read, as every other usage error is.
    if (options.renderFile) {
        std::fputs("welmo-psd: --render: this build of welmo-psd has no picture output\n", stderr);
        return BATCH_USAGE_ERROR;
    }
#endif

    installStopSignals();
    if (timing.on)
        observeSteps(noteStep);
    int worst = BATCH_OK;
    std::vector<std::string> exports;
    if (options.renderFile) {
        // A picture is asked for of one file only.
        const int status = runWithPicture(options, exports);
        timing.print();
        if (const int signal = stopSignal())
            return status == BATCH_OK ? status : stopExitStatus(signal);
        return status;
    }
    if (options.followSeconds) {
        AnalysisState state;
        const int status = runOneFile(options, options.dataFile, state, exports);
        if (status != BATCH_OK)
            return status;
        return followFile(
            options, state, terminalProgress(), [](const AnalysisState&) { return BATCH_OK; });
    }
    for (const std::string& file : options.dataFiles) {
        // A file whose run a stop ended has said so; the files after it are
        // not begun.
        AnalysisState state;
        const int status = runOneFile(options, file, state, exports);
        worst = std::max(worst, status);
        if (const int signal = stopSignal())
            return status == BATCH_OK && &file == &options.dataFiles.back()
                ? worst
                : stopExitStatus(signal);
    }
    timing.print();
    return worst;
}
