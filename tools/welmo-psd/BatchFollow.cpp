#include "BatchFollow.h"

#include "BatchHost.h"
#include "BatchRun.h"
#include "BatchSummary.h"
#include "StopSignals.h"

#include "commands/Commands.h"

#include <chrono>
#include <ctime>

namespace {

// Sleeps in short slices, so that a stop is heard at once even where a
// signal does not cut the sleep short.
void waitOrStop(double seconds)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point until = Clock::now()
        + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    while (!stopSignal() && Clock::now() < until) {
        const timespec slice { 0, 20 * 1000 * 1000 };
        ::nanosleep(&slice, nullptr);
    }
}

int failure(const BatchOptions& options, const std::string& message, int status)
{
    const int signal = stopSignal();
    const std::string text = signal ? stopMessage(signal) : message;
    std::fprintf(stderr, "welmo-psd: %s: %s\n", options.dataFile.c_str(), text.c_str());
    return signal ? stopExitStatus(signal) : status;
}

// One look; BATCH_OK also when nothing was appended.
int look(const BatchOptions& options, AnalysisState& state, std::FILE* progressOut,
    const std::function<int(const AnalysisState&)>& render)
{
    BatchHost host(options, state, progressOut);
    const unsigned before = state.sampleCount;
    // A size or an automatic shift of the user's follows the look, as it
    // follows the first read: the look's own estimate waits for it.
    const bool configure = options.psdSize || options.autoShift;
    host.setEstimateTiming(configure ? EstimateTiming::DEFERRED : EstimateTiming::NOW);
    CommandOutcome outcome = followStep(state, host);
    const bool grew = outcome == CommandOutcome::DONE && state.sampleCount != before;
    host.setEstimateTiming(EstimateTiming::NOW);
    if (grew && configure)
        outcome = psdConfiguration(state, host);
    if (grew && outcome == CommandOutcome::DONE)
        outcome = exportPsdFile(state, host);
    if (outcome != CommandOutcome::DONE) {
        const std::string& message = host.firstMessage();
        return failure(options, message.empty() ? "Cancelled" : message, batchStatusOf(outcome));
    }
    if (state.sampleCount == before)
        return BATCH_OK;
    std::printf("%s\n", batchSummary(options.dataFile, state).c_str());
    std::fflush(stdout);
    return render(state);
}

} // namespace

int followFile(const BatchOptions& options, AnalysisState& state, std::FILE* progressOut,
    const std::function<int(const AnalysisState&)>& render)
{
    for (;;) {
        waitOrStop(*options.followSeconds);
        if (stopSignal())
            return failure(options, "", BATCH_OK);
        const int status = look(options, state, progressOut, render);
        if (status != BATCH_OK)
            return status;
    }
}
