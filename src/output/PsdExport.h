#pragma once

#include "core/AnalysisState.h"

#include <string>

// Writes psd entries 2..M-1 to `fileName`, log-log ("%f %f") or, with
// normalScales, linear ("%10.9lf %10.9lf") with angular frequencies per dt.
// `minLog` is the lowest level written; the linear format raises it to -8
// first (when it writes a line) and passes the raised value back after a
// successful write; a failed one leaves it as given. The file
// is written to a temporary name beside the target and renamed over it only
// when complete, so a failure leaves the old file untouched. Returns 0 on
// success, 1 on failure with the system's reason in `error`.
int writePsdFile(const std::string& fileName, const float* psd, int M, bool normalScales, double dt,
    double& minLog, std::string& error);

// Export of the record's spectrum to psdFileName, storing a raised minimum
// level in exportMinLog. Refuses (1, "No spectrum to export") when no valid
// spectrum exists.
int exportPsd(AnalysisState& state, bool normalScales, double dt, std::string& error);

// "Cannot write file <fileName>" with the system's reason on a second line.
std::string cannotWriteMessage(const std::string& fileName, const std::string& reason);

// psdFileName = dataFileName up to its first '.' followed by "p.dat", or
// "zqpsd.dat" when there is no '.' or it lies at index 241 or later.
void derivePsdFileName(AnalysisState& state);
