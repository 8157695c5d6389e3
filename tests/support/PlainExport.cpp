#include "support/PlainExport.h"

#include "core/CFormat.h"

#include <cmath>
#include <cstdio>

int plainWritePsdFile(const std::string& fileName, const float* psd, int M, bool normalScales,
    double dt, double minLog)
{
    CLocaleScope cLocale;
    std::FILE* file = std::fopen(fileName.c_str(), "w");
    if (!file)
        return 1;
    if (normalScales && M > 2 && minLog < -8.0)
        minLog = -8.0;
    const double twiceM = 2.0 * M;
    bool ok = true;
    for (int i = 2; i <= M - 1 && ok; ++i) {
        const double level = psd[i] >= minLog ? static_cast<double>(psd[i]) : minLog;
        if (normalScales)
            ok = std::fprintf(file, "%10.9lf %10.9lf\n", 6.28318530718 / dt * i / twiceM,
                     std::pow(10.0, level))
                >= 0;
        else
            ok = std::fprintf(file, "%f %f\n", std::log10(i / twiceM), level) >= 0;
    }
    return std::fclose(file) == 0 && ok ? 0 : 1;
}
