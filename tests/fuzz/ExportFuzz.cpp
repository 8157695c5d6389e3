// The export's own number formatting against snprintf, and whole export
// files against the plain fprintf loop, byte for byte.

#include "FuzzCompare.h"
#include "FuzzFile.h"
#include "FuzzInput.h"

#include "core/CFormat.h"
#include "core/Parallel.h"
#include "output/FixedFormat.h"
#include "output/PsdExport.h"
#include "support/PlainExport.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Past the writer's block of lines, so that the blocks formatted on
// several threads are joined.
constexpr std::size_t LONG_SPECTRUM = 9000;

void checkFormatFixed(double value, int precision, int width)
{
    char expected[FIXED_MAX_LENGTH + 1];
    {
        CLocaleScope cLocale;
        std::snprintf(expected, sizeof expected, "%*.*f", width, precision, value);
    }
    char actual[FIXED_MAX_LENGTH];
    const std::string written(actual, formatFixed(actual, value, precision, width));
    if (written != expected)
        fuzzMismatch(formatC("formatFixed(%a, %d, %d) gives \"%s\", snprintf \"%s\"", value,
            precision, width, written.c_str(), expected));
}

void checkExportFile(std::vector<float> psd, bool normalScales, double dt, double minLog,
    bool longSpectrum, int threads)
{
    static const FuzzFile fastFile("export.dat");
    static const FuzzFile plainFile("plain.dat");
    const std::string& fast = fastFile.path();
    const std::string& plain = plainFile.path();
    if (longSpectrum && !psd.empty()) {
        const std::vector<float> once = psd;
        while (psd.size() < LONG_SPECTRUM)
            psd.insert(psd.end(), once.begin(), once.end());
    }
    const int M = static_cast<int>(psd.size()) - 1;
    if (M < 0)
        return;

    std::remove(fast.c_str());
    setParallelThreads(threads);
    std::string error;
    double raisedMinLog = minLog;
    const int status = writePsdFile(fast, psd.data(), M, normalScales, dt, raisedMinLog, error);
    setParallelThreads(0);
    if (normalScales && !exportTimeStepValid(dt)) {
        if (status == 0 || std::filesystem::exists(fast))
            fuzzMismatch("a refused time step wrote a file");
        return;
    }
    if (status != 0)
        fuzzMismatch("the export failed: " + error);
    if (plainWritePsdFile(plain, psd.data(), M, normalScales, dt, minLog) != 0)
        return;
    if (readFuzzFile(fast) != readFuzzFile(plain))
        fuzzMismatch(formatC("export of M = %d (%s, dt %a, minLog %a) differs from the plain "
                             "loop's",
            M, normalScales ? "linear" : "log-log", dt, minLog));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const double value = input.bits<double>();
    const int precision = input.inRange(0, FIXED_MAX_PRECISION);
    const int width = input.inRange(0, FIXED_MAX_WIDTH);
    checkFormatFixed(value, precision, width);

    const std::uint8_t flags = input.byte();
    const bool normalScales = flags & 1;
    const bool longSpectrum = flags & 2;
    const int threads = 1 + (flags >> 2) % 3;
    const double dt = input.bits<double>();
    // The levels the dialog accepts, in steps the user could type.
    const double minLog = -input.inRange(0, 120) / 4.0;
    checkExportFile(input.restAsFloats(), normalScales, dt, minLog, longSpectrum, threads);
    return 0;
}
