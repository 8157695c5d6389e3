#include "support/PlainReader.h"

#include "core/CFormat.h"

#include <cstdio>

namespace {

constexpr int MAX_COLUMNS = 100;

void skipHeader(std::FILE* file, int headerTokens)
{
    for (int i = 0; i < headerTokens; ++i)
        std::fscanf(file, "%*s");
}

} // namespace

int plainReadTimeSeries(const std::string& fileName, int headerTokens, int columnCount,
    int dataColumn, unsigned count, float* series, unsigned& stored)
{
    stored = 0;
    if (columnCount < 1 || columnCount > MAX_COLUMNS || dataColumn < 1 || dataColumn > columnCount)
        return 1;
    CLocaleScope cLocale;
    std::FILE* file = std::fopen(fileName.c_str(), "r");
    if (!file)
        return 1;
    skipHeader(file, headerTokens);
    double row[MAX_COLUMNS + 1];
    series[0] = 0.0f;
    for (unsigned r = 1; r <= count; ++r) {
        for (int j = 1; j <= columnCount; ++j) {
            if (std::fscanf(file, "%lf", &row[j]) != 1) {
                std::fclose(file);
                stored = r - 1;
                return 1;
            }
        }
        series[r] = static_cast<float>(row[dataColumn]);
    }
    std::fclose(file);
    stored = count;
    return 0;
}

int plainCountRows(const std::string& fileName, int headerTokens, int columnCount, unsigned& rows)
{
    if (columnCount < 1 || columnCount > MAX_COLUMNS)
        return 1;
    CLocaleScope cLocale;
    std::FILE* file = std::fopen(fileName.c_str(), "r");
    if (!file)
        return 1;
    skipHeader(file, headerTokens);
    unsigned complete = 0;
    double value;
    for (;;) {
        int j = 0;
        while (j < columnCount && std::fscanf(file, "%lf", &value) == 1)
            ++j;
        if (j < columnCount)
            break;
        ++complete;
    }
    std::fclose(file);
    rows = complete;
    return 0;
}
