#include "StopSignals.h"

#include "core/Progress.h"

#include <csignal>

namespace {

void storeStopSignal(int signal)
{
    processStopRequest.store(signal, std::memory_order_relaxed);
}

} // namespace

void installStopSignals()
{
    struct sigaction action = {};
    action.sa_handler = storeStopSignal;
    sigemptyset(&action.sa_mask);
    // Reads and writes go on after the handler; the step stops at its
    // next report.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int stopSignal()
{
    return processStopRequest.load(std::memory_order_relaxed);
}

int stopExitStatus(int signal)
{
    return 128 + signal;
}

std::string stopMessage(int signal)
{
    const char* name = signal == SIGINT ? "SIGINT" : signal == SIGTERM ? "SIGTERM" : "a signal";
    return std::string("stopped by ") + name;
}
