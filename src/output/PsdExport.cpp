#include "output/PsdExport.h"

#include "core/CFormat.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr double TWO_PI = 6.28318530718;
constexpr double LINEAR_MIN_LOG = -8.0;
constexpr std::size_t MAX_STEM = 240;

// A value below the level, or one that does not compare, is written as the
// level itself.
double limited(float value, double minLog)
{
    return value >= minLog ? static_cast<double>(value) : minLog;
}

bool writeLines(
    std::FILE* file, const float* psd, int M, bool normalScales, double dt, double minLog)
{
    CLocaleScope cLocale;
    const double twiceM = 2.0 * M;
    for (int i = 2; i <= M - 1; ++i) {
        const double level = limited(psd[i], minLog);
        int written;
        if (normalScales)
            written = std::fprintf(
                file, "%10.9lf %10.9lf\n", TWO_PI / dt * i / twiceM, std::pow(10.0, level));
        else
            written = std::fprintf(file, "%f %f\n", std::log10(i / twiceM), level);
        if (written < 0)
            return false;
    }
    return true;
}

std::string systemReason(int error)
{
    return std::strerror(error);
}

// The temporary file lives in the target's folder so that the final rename
// stays within one file system and replaces the target in one step. Its
// name is short, so that it is legal whenever the target's name is: a
// suffix on a name already at the file system's limit would not be.
std::string temporaryNameBeside(const std::string& fileName)
{
    const std::size_t slash = fileName.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : fileName.substr(0, slash + 1);
    return folder + ".psd-XXXXXX";
}

// mkstemp creates the file for its owner only; the export gets the mode an
// ordinary open for writing would have left: the old file's, or the
// default under the umask.
mode_t exportFileMode(const std::string& fileName)
{
    struct stat existing;
    if (stat(fileName.c_str(), &existing) == 0)
        return existing.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

} // namespace

int writePsdFile(const std::string& fileName, const float* psd, int M, bool normalScales, double dt,
    double& minLog, std::string& error)
{
    std::string tempName = temporaryNameBeside(fileName);
    const int descriptor = mkstemp(tempName.data());
    if (descriptor < 0) {
        error = systemReason(errno);
        return 1;
    }
    if (fchmod(descriptor, exportFileMode(fileName)) != 0) {
        error = systemReason(errno);
        close(descriptor);
        unlink(tempName.c_str());
        return 1;
    }
    std::FILE* file = fdopen(descriptor, "w");
    if (!file) {
        error = systemReason(errno);
        close(descriptor);
        unlink(tempName.c_str());
        return 1;
    }
    double level = minLog;
    if (normalScales && M > 2 && level < LINEAR_MIN_LOG)
        level = LINEAR_MIN_LOG;

    bool ok = writeLines(file, psd, M, normalScales, dt, level);
    int savedError = errno;
    if (std::fflush(file) != 0 || std::ferror(file)) {
        ok = false;
        savedError = errno;
    }
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        savedError = errno;
    }
    if (ok && std::rename(tempName.c_str(), fileName.c_str()) != 0) {
        ok = false;
        savedError = errno;
    }
    if (!ok) {
        unlink(tempName.c_str());
        error = systemReason(savedError);
        return 1;
    }
    minLog = level;
    return 0;
}

int exportPsd(AnalysisState& state, bool normalScales, double dt, std::string& error)
{
    if (!state.psdValid || state.psd.empty()) {
        error = "No spectrum to export";
        return 1;
    }
    // The buffer's own length is the size of the estimate that filled it.
    const int M = static_cast<int>(state.psd.size() - 1);
    double minLog = state.exportMinLog;
    if (writePsdFile(state.psdFileName, state.psd.data(), M, normalScales, dt, minLog, error) != 0)
        return 1;
    state.exportMinLog = minLog;
    return 0;
}

std::string cannotWriteMessage(const std::string& fileName, const std::string& reason)
{
    return "Cannot write file " + fileName + "\n" + reason;
}

void derivePsdFileName(AnalysisState& state)
{
    const std::size_t dot = state.dataFileName.find('.');
    if (dot != std::string::npos && dot <= MAX_STEM)
        state.psdFileName = state.dataFileName.substr(0, dot) + "p.dat";
    else
        state.psdFileName = "zqpsd.dat";
}
