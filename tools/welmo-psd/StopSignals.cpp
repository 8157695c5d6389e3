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
    // No SA_RESTART: a read or write that waits (a FIFO, a terminal)
    // returns EINTR, and the loop around it asks whether to stop.
    action.sa_flags = 0;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A FIFO whose reader went, or a file-size limit, fails the write with
    // its reason (EPIPE, EFBIG) instead of ending the process unannounced.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
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
