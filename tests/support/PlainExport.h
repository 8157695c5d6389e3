#pragma once

#include <string>

// The export written the straightforward way: fopen and one fprintf per
// line, "%f %f\n" (log-log) or "%10.9lf %10.9lf\n" (linear), in the "C"
// locale, with the linear format's raise of the level to -8. The fast
// writer must give the same bytes; tests and benchmarks compare against it.
// Returns 0 on success, 1 when the file cannot be opened or written.
int plainWritePsdFile(const std::string& fileName, const float* psd, int M, bool normalScales,
    double dt, double minLog);
