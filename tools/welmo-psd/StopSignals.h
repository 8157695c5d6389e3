#pragma once

#include <string>

// SIGINT and SIGTERM ask the running step to stop (processStopRequest)
// instead of ending the process at once: the step ends at its next report
// and an export in progress leaves no file behind. A second signal asks
// the same.
void installStopSignals();

// The signal that asked to stop, or 0.
int stopSignal();

// The exit status of a run that a signal stopped: 128 + the signal, as a
// shell reports a process the signal ended (130, 143).
int stopExitStatus(int signal);

// Why the run ended, for the line on stderr.
std::string stopMessage(int signal);
