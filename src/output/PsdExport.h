#pragma once

#include "core/AnalysisState.h"
#include "core/Progress.h"

#include <string>

// Writes psd entries 2..M-1 to `fileName`, log-log ("%f %f") or, with
// normalScales, linear ("%10.9lf %10.9lf") with angular frequencies per dt.
// `minLog` is the lowest level written; the linear format raises it to -8
// first (when it writes a line) and passes the raised value back after a
// successful write; a failed one leaves it as given. The file is written
// as FileReplacement writes it: replaced whole only when complete (a link
// followed, the mode and owner kept), a FIFO or device written through, a
// folder or an unwritable file refused; a failure leaves the old file. The linear
// format refuses a time step that exportTimeStepValid refuses, before
// anything is written. Returns 0 on success, 1 on failure with the system's
// reason in `error`, and STEP_CANCELLED when the progress asks to stop (the
// old file, minLog and error untouched, no temporary file left). Large
// spectra are formatted on the parallel threads; the bytes are the same for
// any thread count.
int writePsdFile(const std::string& fileName, const float* psd, int M, bool normalScales, double dt,
    double& minLog, std::string& error, const ProgressCallback& progress = {});

// The message of an export asked for when no valid estimate exists.
inline constexpr const char* NO_SPECTRUM_TO_EXPORT = "No spectrum to export";

// Export of the record's spectrum to psdFileName, storing a raised minimum
// level in exportMinLog (the one place that stores it: the window's and
// welmo-psd's exports both come here). Refuses (1, NO_SPECTRUM_TO_EXPORT) when no valid
// spectrum exists. Returns writePsdFile's status; the record is changed
// only on success.
int exportPsd(AnalysisState& state, bool normalScales, double dt, std::string& error,
    const ProgressCallback& progress = {});

// Whether the linear format can use `dt`: finite, not 0, and not so small
// that an angular frequency would overflow to infinity.
bool exportTimeStepValid(double dt);

// The reason writePsdFile gives for a time step it refuses.
inline constexpr const char* INVALID_TIME_STEP_REASON
    = "The time step DT must be a finite number, not 0 nor too close to 0";

// "Cannot write file <fileName>" with the system's reason on a second line.
std::string cannotWriteMessage(const std::string& fileName, const std::string& reason);

// psdFileName = dataFileName up to the first '.' of the file's own name
// (the part after the last '/') followed by "p.dat". When the own name has
// no '.', or that '.' lies at index 241 or later of the whole string, it is
// the folder part followed by "zqpsd.dat" (just "zqpsd.dat" without one).
void derivePsdFileName(AnalysisState& state);
